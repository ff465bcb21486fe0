// SPDX-License-Identifier: MIT
// Saves a file the page made, as a download.
"use strict";

/**
 * Saves `text` as the file `name` in the user's downloads.
 * @param {string} name
 * @param {string} text
 * @param {string} type
 */
function saveFile(name, text, type) {
  const url = URL.createObjectURL(new Blob([text], { type }));
  const link = document.createElement("a");
  link.href = url;
  link.download = name;
  document.body.append(link);
  link.click();
  link.remove();
  // Only once the click has been handled: a browser may still be reading it.
  setTimeout(() => URL.revokeObjectURL(url), 10000);
}
