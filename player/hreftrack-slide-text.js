// SPDX-License-Identifier: MIT
// Reads a lecture's slides as text, a few at a time: what each says of
// itself (its title and first heading) and its text, for the slide list and
// the search.  A slide is only ever read as text: its HTML is parsed into a
// document without a window, where nothing runs and nothing loads, and only
// text taken from it by textContent is kept.  A classic script like
// hreftrack-track.js; it needs a browser's DOMParser and fetch.
"use strict";

/**
 * What a slide says: its title, its first heading and its text, each with
 * its white space collapsed.
 * @typedef {{ title: string, heading: string, text: string }} SlideText
 */

/** How many slides are read at once, and how long one may take. */
const slidesAtOnce = 4;
const slideSeconds = 10;

/**
 * What the HTML of a slide says.
 * @param {string} html
 * @returns {SlideText}
 */
function slideText(html) {
  // Styles and event handlers say nothing of a slide's words, and the
  // player's policy, which the parsed slide shares, would refuse each with
  // a word.
  let bare = html.replace(/<style\b[\s\S]*?<\/style\s*>/gi, "");
  for (let before = ""; before !== bare;) {
    before = bare;
    bare = bare.replace(/(<[a-z][^>]*?)\s(?:style|on[a-z]+)\s*=\s*("[^"]*"|'[^']*'|[^\s>]*)/gi, "$1");
  }
  const slide = new DOMParser().parseFromString(bare, "text/html");
  for (const unread of slide.querySelectorAll("script, style, noscript, template")) unread.remove();
  const collapse = (/** @type {string | null | undefined} */ text) => (text ?? "").replace(/\s+/g, " ").trim();
  // The words of the body, a blank between the texts of two elements.
  const words = [];
  if (slide.body !== null) {
    const texts = slide.createTreeWalker(slide.body, NodeFilter.SHOW_TEXT);
    for (let text = texts.nextNode(); text !== null; text = texts.nextNode()) words.push(text.textContent);
  }
  return { title: collapse(slide.title),
           heading: collapse(slide.querySelector("h1, h2, h3, h4, h5, h6")?.textContent),
           text: collapse(words.join(" ")) };
}

/**
 * What the player's own origin answers for the page at `url` within
 * slideSeconds: the status (0 where no answer came, or not in time) and,
 * of a page that is there, its HTML (null where it is no HTML).
 * @param {string} url
 * @returns {Promise<{ status: number, html: string | null }>}
 */
async function fetchSlide(url) {
  const stop = new AbortController();
  const timer = setTimeout(() => stop.abort(), slideSeconds * 1000);
  try {
    const response = await fetch(url, { mode: "same-origin", signal: stop.signal });
    const html = response.ok && /html/i.test(response.headers.get("content-type") ?? "");
    if (!html) response.body?.cancel().catch(() => {});
    return { status: response.status, html: html ? await response.text() : null };
  } catch {
    return { status: 0, html: null };
  } finally {
    clearTimeout(timer);
  }
}

/**
 * Reads every slide of `sources` (an address of the player's own origin,
 * or a file chosen from disk, by the address the track gives it),
 * slidesAtOnce at a time, and resolves to what each says and to what the
 * server answered for each address it fetched.  A slide that cannot be
 * read, or not in time, has no text.
 * @param {Map<string, string | Blob>} sources
 * @returns {Promise<{ texts: Map<string, SlideText>, statuses: Map<string, number> }>}
 */
async function readSlideTexts(sources) {
  const queue = [...sources];
  /** @type {Map<string, SlideText>} */
  const texts = new Map();
  /** @type {Map<string, number>} */
  const statuses = new Map();
  const reader = async () => {
    for (let next = queue.shift(); next !== undefined; next = queue.shift()) {
      const [url, source] = next;
      try {
        let html;
        if (typeof source === "string") {
          const fetched = await fetchSlide(source);
          statuses.set(url, fetched.status);
          html = fetched.html;
        } else {
          html = await source.text();
        }
        if (html !== null) texts.set(url, slideText(html));
      } catch {
        // Left out: the entry keeps its name, and the search passes it by.
      }
    }
  };
  await Promise.all(Array.from({ length: slidesAtOnce }, reader));
  return { texts, statuses };
}
