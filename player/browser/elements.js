// SPDX-License-Identifier: MIT
// The page's elements by their id, each of the type the page needs, and
// its own text fetched from its origin.
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

/**
 * The text at `url`, of the player's own origin only, or null where it
 * cannot be had: mode same-origin also refuses a redirect to another origin.
 * @param {string} url
 * @returns {Promise<string | null>}
 */
function fetchOwn(url) {
  return fetch(url, { mode: "same-origin" }).then((response) => (response.ok ? response.text() : null))
    .catch(() => null);
}
