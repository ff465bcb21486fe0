// SPDX-License-Identifier: MIT
// Reads a lecture's slides as text, a few at a time: what each says of
// itself (its title and first heading) and its text, for the slide list and
// the search.  A slide is only ever read as text, in one pass over its
// mark-up (hreftrack-markup.js) that runs nothing and loads nothing, a
// block at a time, so that the page answers while it reads; only so much of
// a slide is read, and only for so long.  A classic script like
// hreftrack-track.js; reading needs a browser's fetch, streams and
// DOMParser, which replaces the character references of the text read.
"use strict";

/**
 * What a slide says: its title, its first heading and its text, each with
 * its white space collapsed.
 * @typedef {{ title: string, heading: string, text: string }} SlideText
 */

/** How many slides are read at once, and how long one may take. */
const slidesAtOnce = 4;
const slideSeconds = 10;
/** How much of a slide is read, in characters, and how much at a time. */
const slideLongest = 8 * 1024 * 1024;
const slideBlock = 64 * 1024;

/** The elements whose text a slide does not show. */
const unshownElements = new Set(["script", "style", "noscript", "template"]);

/**
 * What collects a slide's title, first heading and text as its mark-up is
 * read, each as written: its references not yet replaced, and every "<",
 * and every "&" of raw text, written as a reference, so that the HTML
 * parser's reading of it as text gives the text back.  The texts of two
 * elements are a blank apart, those within a heading not, as a browser
 * gives them.
 * @returns {{ sink: MarkupSink, slide: () => SlideText }}
 */
function makeSlideTextSink() {
  let title = "";
  let heading = "";
  // Whether the first title, and the first heading, are yet to come (0),
  // being read (1) or read (2); whether any title is being read.
  let titleRead = 0;
  let headingRead = 0;
  let inTitle = false;
  // The element whose text is not shown that is being read, and how deep.
  let unshown = "";
  let depth = 0;
  /** @type {string[]} */
  const runs = [];
  let run = "";
  const isHeading = (/** @type {string} */ name) => /^h[1-6]$/.test(name);
  const endRun = () => {
    if (run !== "") runs.push(run);
    run = "";
  };

  /** @type {MarkupSink} */
  const sink = {
    text(raw, literal) {
      if (depth > 0) return;
      const written = (literal ? raw.replace(/&/g, "&amp;") : raw).replace(/</g, "&lt;");
      if (inTitle) {
        if (titleRead === 1) title += written;
        return;
      }
      run += written;
      if (headingRead === 1) heading += written;
    },
    open(name, attributes, selfClosed, foreign) {
      if (depth > 0) {
        if (name === unshown && !selfClosed) depth += 1;
        return;
      }
      endRun();
      if (selfClosed) return;
      if (unshownElements.has(name)) {
        unshown = name;
        depth = 1;
      } else if (name === "title" && !foreign) {
        inTitle = true;
        if (titleRead === 0) titleRead = 1;
      } else if (isHeading(name)) {
        // A heading begun ends the one open.
        headingRead = headingRead === 0 ? 1 : 2;
      }
    },
    close(name) {
      if (depth > 0) {
        if (name === unshown) depth -= 1;
        return;
      }
      endRun();
      if (name === "title" && inTitle) {
        inTitle = false;
        if (titleRead === 1) titleRead = 2;
      } else if (isHeading(name) && headingRead === 1) {
        headingRead = 2;
      }
    },
  };
  return {
    sink,
    slide() {
      endRun();
      return { title, heading, text: runs.join(" ") };
    },
  };
}

/** Lets the page answer, and whatever waits, before going on. */
function yieldToPage() {
  return new Promise((resolve) => {
    const channel = new MessageChannel();
    channel.port1.onmessage = () => {
      channel.port1.close();
      resolve(undefined);
    };
    channel.port2.postMessage(null);
  });
}

/**
 * `written`, text as written in HTML, with its character references
 * replaced, as the browser's HTML parser reads them, a block at a time.
 * @param {string} written  holding no "<"
 * @returns {Promise<string>}
 */
async function replaceReferences(written) {
  if (!written.includes("&")) return written;
  const parser = new DOMParser();
  let text = "";
  for (let at = 0; at < written.length;) {
    let end = Math.min(at + slideBlock, written.length);
    // A block does not end within a reference; the longest is 33 characters.
    const amp = written.lastIndexOf("&", end - 1);
    if (end < written.length && amp > at && amp > end - 40) end = amp;
    text += parser.parseFromString(`<!doctype html><body>${written.slice(at, end)}`, "text/html").body.textContent;
    at = end;
    if (at < written.length) await yieldToPage();
  }
  return text;
}

/**
 * Feeds the HTML `stream` gives to `reader`, a block at a time, letting the
 * page answer after each, until it ends, or its first `longest` characters
 * are read, when it resolves to true (read in part); rejects once `stop` is
 * aborted.
 * @param {ReadableStream<Uint8Array>} stream
 * @param {{ feed: (block: string) => void, end: () => void }} reader
 * @param {number} longest
 * @param {AbortSignal} stop
 * @returns {Promise<boolean>}
 */
async function readMarkup(stream, reader, longest, stop) {
  const chunks = stream.getReader();
  const decoder = new TextDecoder();
  let read = 0;
  try {
    for (let chunk = await chunks.read(); ; chunk = await chunks.read()) {
      const text = chunk.done ? decoder.decode() : decoder.decode(chunk.value, { stream: true });
      for (let at = 0; at < text.length; at += slideBlock) {
        if (read >= longest) return true;
        const block = text.slice(at, at + Math.min(slideBlock, longest - read));
        reader.feed(block);
        read += block.length;
        await yieldToPage();
        if (stop.aborted) throw new Error("not read in time");
      }
      if (chunk.done) return false;
    }
  } finally {
    chunks.cancel().catch(() => {});
    reader.end();
  }
}

/**
 * What the slide whose HTML `stream` gives says, read until `stop` is
 * aborted; of a slide over slideLongest characters, what its first
 * slideLongest say, `partial`.  Rejects once `stop` is aborted.
 * @param {ReadableStream<Uint8Array>} stream
 * @param {AbortSignal} stop
 * @returns {Promise<{ slide: SlideText, partial: boolean }>}
 */
async function readSlide(stream, stop) {
  const { sink, slide } = makeSlideTextSink();
  const partial = await readMarkup(stream, makeMarkupReader(sink), slideLongest, stop);
  const written = slide();
  /** @type {SlideText} */
  const said = { title: "", heading: "", text: "" };
  for (const part of /** @type {(keyof SlideText)[]} */ (["title", "heading", "text"])) {
    said[part] = (await replaceReferences(written[part])).replace(/\s+/g, " ").trim();
    if (stop.aborted) throw new Error("not read in time");
  }
  return { slide: said, partial };
}

/**
 * What the player's own origin answers for the page at `url`: the status
 * (0 where no answer came) and, of a page that is there, its HTML as a
 * stream (null where it is no HTML); no answer once `stop` is aborted.
 * @param {string} url
 * @param {AbortSignal} [stop]
 * @returns {Promise<{ status: number, html: ReadableStream<Uint8Array> | null }>}
 */
async function fetchSlide(url, stop = AbortSignal.timeout(slideSeconds * 1000)) {
  try {
    const response = await fetch(url, { mode: "same-origin", signal: stop });
    const html = response.ok && /html/i.test(response.headers.get("content-type") ?? "");
    if (!html) response.body?.cancel().catch(() => {});
    return { status: response.status, html: html ? response.body : null };
  } catch {
    return { status: 0, html: null };
  }
}

/**
 * Reads every slide of `sources` (an address of the player's own origin,
 * or a file chosen from disk, by the address the track gives it),
 * slidesAtOnce at a time, and resolves to what each says, to what the
 * server answered for each address it fetched, and to the slides read only
 * in part, for their length.  A slide that cannot be read, or not within
 * slideSeconds of being asked for, has no text.
 * @param {Map<string, string | Blob>} sources
 * @returns {Promise<{ texts: Map<string, SlideText>, statuses: Map<string, number>, partial: Set<string> }>}
 */
async function readSlideTexts(sources) {
  const queue = [...sources];
  /** @type {Map<string, SlideText>} */
  const texts = new Map();
  /** @type {Map<string, number>} */
  const statuses = new Map();
  /** @type {Set<string>} */
  const partial = new Set();
  const reader = async () => {
    for (let next = queue.shift(); next !== undefined; next = queue.shift()) {
      const [url, source] = next;
      const stop = AbortSignal.timeout(slideSeconds * 1000);
      try {
        /** @type {ReadableStream<Uint8Array> | null} */
        let html = null;
        if (typeof source === "string") {
          const fetched = await fetchSlide(source, stop);
          statuses.set(url, fetched.status);
          html = fetched.html;
        } else {
          html = source.stream();
        }
        if (html !== null) {
          const read = await readSlide(html, stop);
          texts.set(url, read.slide);
          if (read.partial) partial.add(url);
        }
      } catch {
        // Left out: the entry keeps its name, and the search passes it by.
      }
    }
  };
  await Promise.all(Array.from({ length: slidesAtOnce }, reader));
  return { texts, statuses, partial };
}

// Under Node, for the tests.
if (typeof module === "object" && module !== null) {
  Object.assign(module.exports, { makeSlideTextSink, unshownElements });
}
