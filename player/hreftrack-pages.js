// SPDX-License-Identifier: MIT
// Reads a lecture's slide pages as text, a few at a time: what each says of
// itself (its title and first heading) and its text, for the slide list and
// the search.  A page is only ever read as text: it is parsed into a
// document without a window, where nothing runs and nothing loads, and only
// text taken from it by textContent is kept.  A classic script like
// hreftrack-track.js; it needs a browser's DOMParser and fetch.
"use strict";

/**
 * What a slide page says: its title, its first heading and its text, each
 * with its white space collapsed.
 * @typedef {{ title: string, heading: string, text: string }} PageText
 */

/** How many pages are read at once, and how long one may take. */
const pagesAtOnce = 4;
const pageSeconds = 10;

/**
 * What the HTML of a slide page says.
 * @param {string} html
 * @returns {PageText}
 */
function pageText(html) {
  // Styles and event handlers say nothing of a page's words, and the page's
  // policy, which the parsed page shares, would refuse each with a word.
  let bare = html.replace(/<style\b[\s\S]*?<\/style\s*>/gi, "");
  for (let before = ""; before !== bare;) {
    before = bare;
    bare = bare.replace(/(<[a-z][^>]*?)\s(?:style|on[a-z]+)\s*=\s*("[^"]*"|'[^']*'|[^\s>]*)/gi, "$1");
  }
  const page = new DOMParser().parseFromString(bare, "text/html");
  for (const unread of page.querySelectorAll("script, style, noscript, template")) unread.remove();
  const collapse = (/** @type {string | null | undefined} */ text) => (text ?? "").replace(/\s+/g, " ").trim();
  // The words of the body, a blank between the texts of two elements.
  const words = [];
  if (page.body !== null) {
    const texts = page.createTreeWalker(page.body, NodeFilter.SHOW_TEXT);
    for (let text = texts.nextNode(); text !== null; text = texts.nextNode()) words.push(text.textContent);
  }
  return { title: collapse(page.title),
           heading: collapse(page.querySelector("h1, h2, h3, h4, h5, h6")?.textContent),
           text: collapse(words.join(" ")) };
}

/**
 * The HTML at `url`, of the page's own origin, within pageSeconds.
 * @param {string} url
 * @returns {Promise<string>}
 */
async function fetchPage(url) {
  const stop = new AbortController();
  const timer = setTimeout(() => stop.abort(), pageSeconds * 1000);
  try {
    const response = await fetch(url, { mode: "same-origin", signal: stop.signal });
    if (!response.ok || !/html/i.test(response.headers.get("content-type") ?? "")) {
      throw new Error(`${url}: ${response.status}`);
    }
    return await response.text();
  } finally {
    clearTimeout(timer);
  }
}

/**
 * Reads every page of `sources` (an address of the page's own origin, or a
 * file chosen from disk, by the address the track gives it), pagesAtOnce
 * at a time, and resolves to what each says.  A page that cannot be read,
 * or not in time, is left out.
 * @param {Map<string, string | Blob>} sources
 * @returns {Promise<Map<string, PageText>>}
 */
async function readPages(sources) {
  const queue = [...sources];
  /** @type {Map<string, PageText>} */
  const read = new Map();
  const reader = async () => {
    for (let next = queue.shift(); next !== undefined; next = queue.shift()) {
      const [url, source] = next;
      try {
        read.set(url, pageText(typeof source === "string" ? await fetchPage(source) : await source.text()));
      } catch {
        // Left out: the entry keeps its name, and the search passes it by.
      }
    }
  };
  await Promise.all(Array.from({ length: pagesAtOnce }, reader));
  return read;
}
