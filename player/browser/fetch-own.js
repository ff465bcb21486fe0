// SPDX-License-Identifier: MIT
// A text of the player's own origin, such as the track a link names.
"use strict";

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
