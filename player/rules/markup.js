// SPDX-License-Identifier: MIT
// Reads a slide's HTML in one pass, as a browser's tokenizer does, fed by
// blocks of any size: its text, its tags with their attributes, and the raw
// text of elements such as style and title.  Its state is carried across a
// block's end, every character is looked at once, and nothing it reads is
// looked at again, so that no mark-up, however broken or hostile, costs
// more than its length: a browser's own parser, which builds a tree, may
// take seconds on a few hundred kilobytes of nested elements.  Comments,
// doctypes and processing instructions are skipped.
"use strict";

/**
 * What the reader hands on as it reads.  `text` is text as written, its
 * character references not yet replaced, unless `literal`, where there
 * are none (the raw text of style, script, xmp, iframe, noembed, noframes
 * and plaintext).  The text of one run between two tags may come in
 * several calls.  An attribute's value is as written, null where it has
 * none; names are in lower case, and of several of one name only the
 * first is handed on, as a browser keeps it.  `foreign` says that the
 * element is one of SVG or MathML, where `selfClosed` closes it, as it
 * does nowhere else.
 * @typedef {object} MarkupSink
 * @property {(raw: string, literal: boolean) => void} text
 * @property {(name: string, attributes: [string, string | null][], selfClosed: boolean, foreign: boolean) => void} open
 * @property {(name: string) => void} close
 */

/**
 * The elements whose content is raw text, by how it ends: at their own
 * end tag, with character references (RCDATA) or without, or never.
 */
const rawElements = new Map([
  ["title", "rcdata"], ["textarea", "rcdata"], ["script", "rawtext"], ["style", "rawtext"], ["xmp", "rawtext"],
  ["iframe", "rawtext"], ["noembed", "rawtext"], ["noframes", "rawtext"], ["plaintext", "plaintext"],
]);

/**
 * A reader that hands what it reads to `sink`.  `feed` takes the next
 * block; `end` says that there is none, and hands on what waits.
 * @param {MarkupSink} sink
 * @returns {{ feed: (block: string) => void, end: () => void }}
 */
function makeMarkupReader(sink) {
  // The states, as a browser's tokenizer names them.
  const DATA = 0, TAG_OPEN = 1, END_TAG_OPEN = 2, TAG_NAME = 3, BEFORE_NAME = 4, NAME = 5, AFTER_NAME = 6,
        BEFORE_VALUE = 7, DOUBLE = 8, SINGLE = 9, UNQUOTED = 10, AFTER_QUOTED = 11, SELF_CLOSING = 12,
        BOGUS = 13, DECLARATION = 14, COMMENT_START = 15, COMMENT_START_DASH = 16, COMMENT = 17,
        COMMENT_END_DASH = 18, COMMENT_END = 19, COMMENT_END_BANG = 20, CDATA = 21, CDATA_BRACKET = 22,
        CDATA_END = 23, RAW = 24, RAW_LESS = 25, RAW_END = 26, PLAINTEXT = 27;

  let state = DATA;
  // The tag being read: its name, whether it ends an element, its
  // attributes, and the one whose name or value is being read.
  let name = "";
  let ending = false;
  let selfClosing = false;
  /** @type {[string, string | null][]} */
  let attributes = [];
  // The names of the tag's attributes, null while it has none, and whether
  // the last one read was kept.
  /** @type {Set<string> | null} */
  let names = null;
  let kept = false;
  let attribute = "";
  /** @type {string | null} */
  let value = null;
  // The raw element being read, and whether its text has references.
  let raw = "";
  let literal = true;
  // What was read of what may be an end tag of the raw element, or the
  // start of a comment or a CDATA section; how much of the raw element's
  // name it matched.
  let pending = "";
  let matched = 0;
  // How deep in SVG or MathML, where no element has raw text.
  let foreign = 0;

  const space = (/** @type {number} */ code) => code === 32 || code === 9 || code === 10 || code === 12 || code === 13;
  const letter = (/** @type {number} */ code) => (code >= 65 && code <= 90) || (code >= 97 && code <= 122);
  // What ends a tag's name, an attribute's name, and a value without quotes.
  const endsName = (/** @type {number} */ code) => space(code) || code === 47 || code === 62;
  const endsAttribute = (/** @type {number} */ code) => endsName(code) || code === 61;
  const endsValue = (/** @type {number} */ code) => space(code) || code === 62;
  /** Where in `block`, from `at`, the first character that `ends` comes, else its length.
   *  @param {string} block @param {number} at @param {(code: number) => boolean} ends */
  const scan = (block, at, ends) => {
    let end = at;
    while (end < block.length && !ends(block.charCodeAt(end))) end += 1;
    return end;
  };

  function startTag() {
    name = "";
    ending = false;
    selfClosing = false;
    attributes = [];
    names = null;
  }
  function startAttribute(/** @type {string} */ first) {
    attribute = first;
    value = null;
  }
  // A name that came before in the tag is dropped with its value; a tag of
  // a hundred thousand such costs no more than one of one.
  function endAttribute() {
    const lower = attribute.toLowerCase();
    names ??= new Set();
    kept = !names.has(lower);
    if (!kept) return;
    names.add(lower);
    attributes.push([lower, value]);
  }
  // The last name read, which ended at a blank, has a value after all: it is
  // read on, and ended again with its value.
  function reopenAttribute() {
    if (!kept) return;
    attributes.pop();
    names?.delete(attribute.toLowerCase());
  }

  // Hands the tag read on, and goes on reading what follows it.
  function emit() {
    state = DATA;
    if (ending) {
      if (foreign > 0 && (name === "svg" || name === "math")) foreign -= 1;
      sink.close(name);
      return;
    }
    const ownForeign = foreign > 0 || name === "svg" || name === "math";
    const closed = selfClosing && ownForeign;
    sink.open(name, attributes, closed, ownForeign);
    if (!closed && (name === "svg" || name === "math")) foreign += 1;
    const kind = foreign > 0 ? undefined : rawElements.get(name);
    if (kind === "plaintext") {
      state = PLAINTEXT;
    } else if (kind !== undefined) {
      state = RAW;
      raw = name;
      literal = kind === "rawtext";
    }
  }

  /** @param {string} block */
  function feed(block) {
    const length = block.length;
    let i = 0;
    // Where the name or the value being read began in this block.
    let from = 0;
    while (i < length) {
      const code = block.charCodeAt(i);
      switch (state) {
        case DATA:
        case RAW: {
          // Text, up to what may be a tag, or the raw element's end tag.
          const next = block.indexOf("<", i);
          const stop = next < 0 ? length : next;
          if (stop > i) sink.text(block.slice(i, stop), state === RAW && literal);
          i = stop + 1;
          if (next >= 0) state = state === DATA ? TAG_OPEN : RAW_LESS;
          continue;
        }
        case TAG_OPEN:
          if (letter(code)) {
            startTag();
            state = TAG_NAME;
            from = i;
          } else if (code === 47 /* / */) {
            state = END_TAG_OPEN;
            i += 1;
          } else if (code === 33 /* ! */) {
            state = DECLARATION;
            pending = "";
            i += 1;
          } else if (code === 63 /* ? */) {
            // A processing instruction: skipped as a bogus comment is, from its "?".
            state = BOGUS;
          } else {
            sink.text("<", false);
            state = DATA;
          }
          continue;
        case END_TAG_OPEN:
          if (letter(code)) {
            startTag();
            ending = true;
            state = TAG_NAME;
            from = i;
          } else {
            // No name: skipped up to a ">", this one for "</>".
            state = BOGUS;
          }
          continue;
        case TAG_NAME: {
          const at = scan(block, i, endsName);
          name += block.slice(from, at).toLowerCase();
          i = at;
          if (at < length) {
            const c = block.charCodeAt(at);
            i += 1;
            if (c === 62) emit();
            else state = c === 47 ? SELF_CLOSING : BEFORE_NAME;
          }
          continue;
        }
        case BEFORE_NAME:
        case AFTER_NAME:
          i += 1;
          if (space(code)) continue;
          if (code === 61 && state === AFTER_NAME) {
            // The name ended at a blank; its value follows.
            reopenAttribute();
            state = BEFORE_VALUE;
          } else if (code === 47) {
            state = SELF_CLOSING;
          } else if (code === 62) {
            emit();
          } else {
            // Before a name, even "=" begins one.  Its first character is
            // kept at once: the block may end with it.
            startAttribute(block[i - 1]);
            state = NAME;
            from = i;
          }
          continue;
        case NAME: {
          const at = scan(block, i, endsAttribute);
          attribute += block.slice(from, at);
          i = at;
          if (at < length) {
            const c = block.charCodeAt(at);
            i += 1;
            if (c === 61 /* = */) {
              state = BEFORE_VALUE;
            } else {
              endAttribute();
              if (c === 62) emit();
              else state = c === 47 ? SELF_CLOSING : AFTER_NAME;
            }
          }
          continue;
        }
        case BEFORE_VALUE:
          if (space(code)) {
            i += 1;
          } else if (code === 34 || code === 39) {
            value = "";
            state = code === 34 ? DOUBLE : SINGLE;
            i += 1;
            from = i;
          } else {
            // A value without quotes, empty where a ">" comes at once.
            value = "";
            state = UNQUOTED;
            from = i;
          }
          continue;
        case DOUBLE:
        case SINGLE: {
          const close = block.indexOf(state === DOUBLE ? "\"" : "'", i);
          const stop = close < 0 ? length : close;
          value += block.slice(from, stop);
          i = stop;
          if (close >= 0) {
            endAttribute();
            state = AFTER_QUOTED;
            i += 1;
          }
          continue;
        }
        case UNQUOTED: {
          const at = scan(block, i, endsValue);
          value += block.slice(from, at);
          i = at;
          if (at < length) {
            endAttribute();
            i += 1;
            if (block.charCodeAt(at) === 62) emit();
            else state = BEFORE_NAME;
          }
          continue;
        }
        case AFTER_QUOTED:
          // A blank, "/", ">" or, with no blank between, the next name: as
          // before a name.
          state = BEFORE_NAME;
          continue;
        case SELF_CLOSING:
          if (code === 62) {
            selfClosing = true;
            i += 1;
            emit();
          } else {
            state = BEFORE_NAME;
          }
          continue;
        case BOGUS:
        case COMMENT: {
          // Skipped up to a ">", or in a comment up to a "-" that may end it.
          const found = block.indexOf(state === BOGUS ? ">" : "-", i);
          i = found < 0 ? length : found + 1;
          if (found >= 0) state = state === BOGUS ? DATA : COMMENT_END_DASH;
          continue;
        }
        case DECLARATION: {
          // "<!--" opens a comment, "<![CDATA[" a CDATA section in SVG or
          // MathML; anything else, a doctype among them, is skipped.
          const read = pending + block[i];
          if ("--".startsWith(read) || (foreign > 0 && "[CDATA[".startsWith(read))) {
            pending = read;
            i += 1;
            if (read === "--") state = COMMENT_START;
            else if (read === "[CDATA[") state = CDATA;
          } else {
            state = BOGUS;
          }
          continue;
        }
        case COMMENT_START:
        case COMMENT_START_DASH:
          if (code === 62) {
            state = DATA;
            i += 1;
          } else if (code === 45 /* - */) {
            state = state === COMMENT_START ? COMMENT_START_DASH : COMMENT_END;
            i += 1;
          } else {
            state = COMMENT;
          }
          continue;
        case COMMENT_END_DASH:
          if (code === 45) {
            state = COMMENT_END;
            i += 1;
          } else {
            state = COMMENT;
          }
          continue;
        case COMMENT_END:
        case COMMENT_END_BANG:
          if (code === 62) {
            state = DATA;
            i += 1;
          } else if (code === 45) {
            state = state === COMMENT_END ? COMMENT_END : COMMENT_END_DASH;
            i += 1;
          } else if (code === 33 && state === COMMENT_END) {
            state = COMMENT_END_BANG;
            i += 1;
          } else {
            state = COMMENT;
          }
          continue;
        case CDATA: {
          // Its text has no references: it is handed on as text that has.
          const bracket = block.indexOf("]", i);
          const stop = bracket < 0 ? length : bracket;
          if (stop > i) sink.text(block.slice(i, stop).replace(/&/g, "&amp;").replace(/</g, "&lt;"), false);
          i = stop + 1;
          if (bracket >= 0) state = CDATA_BRACKET;
          continue;
        }
        case CDATA_BRACKET:
          if (code === 93 /* ] */) {
            state = CDATA_END;
            i += 1;
          } else {
            sink.text("]", false);
            state = CDATA;
          }
          continue;
        case CDATA_END:
          if (code === 62) {
            state = DATA;
            i += 1;
          } else if (code === 93) {
            sink.text("]", false);
            i += 1;
          } else {
            sink.text("]]", false);
            state = CDATA;
          }
          continue;
        case RAW_LESS:
          if (code === 47) {
            state = RAW_END;
            pending = "</";
            matched = 0;
            i += 1;
          } else {
            sink.text("<", literal);
            state = RAW;
          }
          continue;
        case RAW_END:
          if (matched < raw.length && (code | 32) === raw.charCodeAt(matched)) {
            pending += block[i];
            matched += 1;
            i += 1;
          } else if (matched === raw.length && (space(code) || code === 47 || code === 62)) {
            // The raw element's end tag, read on as any tag.
            startTag();
            ending = true;
            name = raw;
            state = TAG_NAME;
            from = i;
          } else {
            sink.text(pending, literal);
            state = RAW;
          }
          continue;
        case PLAINTEXT:
          sink.text(block.slice(i), true);
          i = length;
          continue;
        default:
          throw new Error(`no state ${state}`);
      }
    }
  }

  return {
    feed,
    end() {
      // A tag, a comment or a doctype the text ends in is dropped, as a
      // browser drops it; what only looked like the start of one is text.
      if (state === TAG_OPEN) sink.text("<", false);
      else if (state === END_TAG_OPEN) sink.text("</", false);
      else if (state === RAW_LESS) sink.text("<", literal);
      else if (state === RAW_END) sink.text(pending, literal);
      else if (state === CDATA_BRACKET) sink.text("]", false);
      else if (state === CDATA_END) sink.text("]]", false);
      state = DATA;
    },
  };
}

/** The character references an address is written with, by their names. */
const namedReferences = new Map([["amp", "&"], ["lt", "<"], ["gt", ">"], ["quot", "\""], ["apos", "'"],
                                 ["nbsp", "\u00a0"]]);

/**
 * An attribute's value as written, its references replaced: those by
 * number, and the few by name that an address is written with; others
 * stay as written.
 * @param {string} written
 * @returns {string}
 */
function decodeAttribute(written) {
  return written.replace(/&(?:#(\d{1,7})|#[xX]([\da-fA-F]{1,6})|([a-zA-Z]+));?/g, (reference, decimal, hex, name) => {
    if (name !== undefined) return reference.endsWith(";") ? namedReferences.get(name) ?? reference : reference;
    const code = decimal !== undefined ? Number(decimal) : parseInt(hex, 16);
    return code > 0 && code <= 0x10ffff && (code < 0xd800 || code > 0xdfff) ? String.fromCodePoint(code) : "\ufffd";
  });
}

/**
 * `value` as the text of an attribute in double quotes: a value as written
 * keeps its references, and one made anew has none to keep.
 * @param {string} value
 * @returns {string}
 */
function attributeText(value) {
  return value.replace(/"/g, "&quot;");
}

// Under Node, for the tests.
if (typeof module === "object" && module !== null) {
  Object.assign(module.exports, { makeMarkupReader, decodeAttribute, attributeText });
}
