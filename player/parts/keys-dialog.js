// SPDX-License-Identifier: MIT
// The dialog that lists every key the page answers to, opened by its
// button.  A modal <dialog>: it keeps the focus while open, Escape or its
// own button closes it, and the focus goes back to the button that opened
// it.
"use strict";

/**
 * @param {{ open: HTMLButtonElement, dialog: HTMLDialogElement, list: HTMLElement, close: HTMLButtonElement }} elements
 */
function makeKeys({ open, dialog, list, close }) {
  for (const group of words.keys.groups) {
    const heading = document.createElement("h3");
    heading.textContent = group.where;
    const keys = document.createElement("dl");
    for (const [key, what] of group.keys) {
      const term = document.createElement("dt");
      const name = document.createElement("kbd");
      name.textContent = key;
      term.append(name);
      const description = document.createElement("dd");
      description.textContent = what;
      keys.append(term, description);
    }
    list.append(heading, keys);
  }
  open.addEventListener("click", () => dialog.showModal());
  close.addEventListener("click", () => dialog.close());
  dialog.addEventListener("close", () => open.focus());
}
