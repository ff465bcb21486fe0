// SPDX-License-Identifier: MIT
// The dialog that lists every key the page answers to (rules/keys.js),
// opened by its button.  A modal <dialog>: it keeps the focus while open, Escape or its
// own button closes it, and the focus goes back to the button that opened
// it.
"use strict";

/**
 * Makes the dialog #keys, opened by #keys-open and closed by #keys-close.
 * @returns {{ relabel: () => void }}  `relabel` lists the keys anew, in the page's language
 */
function makeKeys() {
  const open = byId("keys-open", HTMLButtonElement);
  const dialog = byId("keys", HTMLDialogElement);
  const list = byId("keys-list", HTMLElement);
  const close = byId("keys-close", HTMLButtonElement);
  listKeys();
  open.addEventListener("click", () => dialog.showModal());
  close.addEventListener("click", () => dialog.close());
  dialog.addEventListener("close", () => open.focus());
  return { relabel: listKeys };

  function listKeys() {
    list.replaceChildren();
    for (const group of keyGroups()) {
      const heading = document.createElement("h3");
      heading.textContent = group.where;
      const keys = document.createElement("dl");
      for (const line of group.lines) {
        const term = document.createElement("dt");
        line.keys.forEach((key, index) => {
          const name = document.createElement("kbd");
          name.textContent = key;
          term.append(...(index > 0 ? [" / ", name] : [name]));
        });
        const description = document.createElement("dd");
        description.textContent = line.what;
        keys.append(term, description);
      }
      list.append(heading, keys);
    }
  }
}
