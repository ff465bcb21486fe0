// SPDX-License-Identifier: MIT
// The page's messages: what it says of the lecture, one list item each.
"use strict";

/**
 * @param {HTMLUListElement} list
 * @returns {{ say: (text: string) => void, clear: () => void }}
 */
function makeMessages(list) {
  return {
    say(text) {
      const item = document.createElement("li");
      item.textContent = text;
      list.append(item);
    },
    clear: () => list.replaceChildren(),
  };
}
