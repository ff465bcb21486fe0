// SPDX-License-Identifier: MIT
// The page's elements by their id, each of the type the page needs.
"use strict";

/**
 * The page's element `id`, which must be a `type`.
 * @template {HTMLElement} T
 * @param {string} id
 * @param {{ new (): T, name: string }} type
 * @returns {T}
 */
function byId(id, type) {
  const found = document.getElementById(id);
  if (!(found instanceof type)) throw new Error(`#${id} is no ${type.name}`);
  return found;
}
