// SPDX-License-Identifier: MIT
// Reads a lecture's slides as text, a few at a time: what each says of
// itself (its title and first heading) and its text, for the slide list and
// the search.  A slide is only ever read as text, in one pass over its
// mark-up (rules/markup.js) that runs nothing and loads nothing, a
// block at a time, so that the page answers while it reads; only so much of
// a slide is read, and only for so long.  Reading needs a browser's fetch,
// streams and DOMParser, which replaces the character references of the
// text read; what is read of a slide is rules/slide-text.js's.
"use strict";

/** How many slides are read at once, and how long one may take. */
const slidesAtOnce = 4;
const slideSeconds = 10;
/** How much of a slide is read, in characters, and how much at a time. */
const slideLongest = 8 * 1024 * 1024;
const slideBlock = 64 * 1024;

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
 * are read, when it resolves to true (read in part); rejects once `stop`,
 * where given, is aborted.
 * @param {ReadableStream<Uint8Array>} stream
 * @param {{ feed: (block: string) => void, end: () => void }} reader
 * @param {number} longest
 * @param {AbortSignal} [stop]
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
        if (stop?.aborted) throw new Error("not read in time");
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
