// SPDX-License-Identifier: MIT
// The slides of a lecture chosen from disk, made into documents the frame
// can show wherever the player's own files lie.  A page opened from disk
// has no origin of its own that its frame could share, and a document it
// makes cannot load the player's other blob: addresses, so each slide
// becomes one blob: document with what it shows from the chosen files
// (pictures, style sheets and the pictures and fonts these name) inlined
// as data: addresses, as the player's policy allows.  The slide is read in
// one pass (rules/markup.js), a block at a time, and written anew: its
// scripts and its links other than style sheets dropped, a policy of its
// own put first, which lets it load nothing but what it was given inline,
// from no host at all.  The frame that shows it is sandboxed, and a link to
// another chosen slide does nothing.  Each slide is made once, when it is
// first shown, and every address made is let go when the lecture is.
"use strict";

/** How long a chosen slide may be, and how much it may show from disk, in bytes. */
const chosenPageLongest = 8 * 1024 * 1024;
const chosenFilesLongest = 32 * 1024 * 1024;

/** The policy a chosen slide's document carries: only what it was given inline. */
const chosenSlidePolicy = "default-src 'none'; img-src data:; style-src data:; font-src data:; media-src data:";

/**
 * The files a slide shows from disk, and their size together.
 * @typedef {{ files: Set<FileLike & { blob: Blob }>, size: number }} Shown
 */

/**
 * @typedef {object} SlideDocuments
 * @property {(url: string) => Promise<string>} address  the blob: address of the slide the track names by `url`
 * @property {() => void} release  lets every address go
 */

/**
 * @param {{ track: FileLike | null, files: Map<string, FileLike & { blob: Blob }> }} chosen
 *   the chosen track, and the chosen files by their place
 * @param {(url: string) => string} missing  what the note says in place of a slide that was not chosen
 * @param {(text: string) => void} say  tells the user of a slide too large to show
 * @returns {SlideDocuments}
 */
function makeSlideDocuments(chosen, missing, say) {
  /** @type {Map<string, Promise<string>>} */
  const documents = new Map();
  /** @type {Map<string, Promise<string | null>>} */
  const inlined = new Map();
  /** @type {string[]} */
  const made = [];
  // How deep style sheets may import each other.
  const deepest = 4;

  /** @param {string} html */
  function documentAddress(html) {
    const address = URL.createObjectURL(new Blob([html], { type: "text/html;charset=utf-8" }));
    made.push(address);
    return address;
  }

  /** @param {Blob} blob @param {string} type @returns {Promise<string>} */
  function dataAddress(blob, type) {
    return new Promise((resolve, reject) => {
      const reader = new FileReader();
      reader.onload = () => resolve(String(reader.result));
      reader.onerror = () => reject(reader.error);
      reader.readAsDataURL(type === "" ? blob : new Blob([blob], { type }));
    });
  }

  // A style sheet with every address it names inlined, those of sheets it
  // imports too, up to `depth`, each file counted once in `shown`.
  /** @param {string} css @param {string} from @param {number} depth @param {Shown} shown */
  async function inlineCss(css, from, depth, shown) {
    /** @type {Map<string, string>} */
    const replaced = new Map();
    for (const address of cssAddresses(css)) {
      const inline = await inlinedAt(chosenPath(address, from), depth, shown);
      if (inline !== null) replaced.set(address, inline);
    }
    return rewriteCss(css, (address) => replaced.get(address) ?? address);
  }

  /** @param {string} css */
  const cssAddress = (css) => `data:text/css;charset=utf-8,${encodeURIComponent(css)}`;

  // The data: address of the chosen file at `path`, a style sheet's with
  // what it names inlined; null where there is none.  The file is counted
  // once in what the slide shows, `shown`, which may come to so much only.
  /** @param {string | null} path @param {number} depth @param {Shown} shown @returns {Promise<string | null>} */
  function inlinedAt(path, depth, shown) {
    const file = fileAt(chosen.files, path);
    if (path === null || file === null || depth > deepest) return Promise.resolve(null);
    if (!shown.files.has(file)) {
      shown.files.add(file);
      shown.size += file.blob.size;
    }
    if (shown.size > chosenFilesLongest) return Promise.reject(new RangeError("shows too much"));
    const key = `${depth}:${path}`;
    let inline = inlined.get(key);
    if (inline === undefined) {
      const css = /\.css$/i.test(path) || file.type === "text/css";
      inline = css ? file.blob.text().then((text) => inlineCss(text, path, depth + 1, shown)).then(cssAddress)
                   : dataAddress(file.blob, file.type);
      inline = inline.catch((error) => {
        if (error instanceof RangeError) throw error;
        return null;
      });
      inlined.set(key, inline);
    }
    return inline;
  }

  // The slide at `path` as one document of its own.
  /** @param {string} path @param {FileLike & { blob: Blob }} file */
  async function makeDocument(path, file) {
    if (file.blob.size > chosenPageLongest) throw new RangeError("too long");
    /** @type {Shown} */
    const shown = { files: new Set(), size: 0 };
    // The place among the chosen files that an address as written names, or null.
    /** @param {string} address */
    const placeOf = (address) => chosenPath(decodeAttribute(address), path);
    /** @param {string} address */
    const inline = (address) => inlinedAt(placeOf(address), 0, shown);
    // What waits to be written: it may fail before the document is put
    // together, which then fails with it.
    /** @template T @param {Promise<T>} promise */
    const later = (promise) => {
      promise.catch(() => {});
      return promise;
    };
    // What the document is written of, some of it once what it names is
    // inlined; what is known at once joins the text before it.
    /** @type {(string | Promise<string>)[]} */
    const parts = [`<!doctype html>\n<meta http-equiv="Content-Security-Policy" content="${chosenSlidePolicy}">\n`];
    /** @param {string | Promise<string>} piece */
    const write = (piece) => {
      const last = parts.length - 1;
      if (typeof piece === "string" && typeof parts[last] === "string") parts[last] += piece;
      else parts.push(typeof piece === "string" ? piece : later(piece));
    };
    // The rules that stand for style attributes, which the policy refuses,
    // and for the pictures that img elements show, each picture once.
    /** @type {Promise<string>[]} */
    const rules = [];
    /** @type {Map<string, number>} */
    const pictures = new Map();
    let styled = 0;
    // The script or style element being read, and how deep; how deep in picture elements.
    let skipped = "";
    let depth = 0;
    /** @type {string[] | null} */
    let style = null;
    let inPicture = 0;

    /** @param {string} name @param {[string, string | null][]} attributes @param {boolean} selfClosed */
    function writeTag(name, attributes, selfClosed) {
      /** @type {Map<string, string | null>} */
      const kept = new Map();
      for (const [attribute, value] of attributes) {
        // The first of a name counts; a handler would never run.
        if (!kept.has(attribute) && /^[a-z_:][-a-z0-9_:.]*$/.test(attribute) && !/^on/.test(attribute)) {
          kept.set(attribute, value);
        }
      }
      const get = (/** @type {string} */ attribute) => kept.get(attribute) ?? "";
      if (name === "base" || (name === "meta" && kept.has("http-equiv"))) return;
      if (name === "link") {
        // Style sheets inlined, and nothing else: a link to another host,
        // to prefetch or to connect, would call out.
        if (!/(^|\s)stylesheet(\s|$)/i.test(get("rel")) || !kept.has("href")) return;
        write(inline(get("href")).then((address) => (address === null ? "" : `<link rel="stylesheet" href="${address}">`)));
        return;
      }
      /** @type {(string | Promise<string>)[]} */
      const written = [`<${name}`];
      /** @type {string[]} */
      const declarations = [];
      /** @type {string[]} */
      const sizes = [];
      const picture = name === "img" && inPicture === 0 && !kept.has("srcset") && kept.has("src");
      if (picture) {
        // Its size as its attributes give it, which one engine does not
        // apply to a picture shown by a rule, as weak as they are.
        for (const side of ["width", "height"]) {
          const size = /^\s*(\d+(?:\.\d+)?)(%?)/.exec(get(side));
          if (size !== null) sizes.push(`${side}: ${size[1]}${size[2] || "px"};`);
        }
      }
      for (const [attribute, value] of kept) {
        if (attribute === "style") {
          declarations.push(value ?? "");
          continue;
        }
        if (picture && attribute === "src") {
          const address = value ?? "";
          const place = placeOf(address) ?? address;
          if (!pictures.has(place)) {
            const index = pictures.size;
            pictures.set(place, index);
            rules.push(later(inline(address).then((data) => (data === null ? "" :
              `[data-hreftrack-picture="${index}"] { content: url("${data}"); }\n`))));
          }
          written.push(` data-hreftrack-picture="${pictures.get(place)}"`);
          continue;
        }
        if ((attribute === "src" && (name === "img" || name === "input")) || (attribute === "poster" && name === "video")) {
          const address = value ?? "";
          // A poster not chosen is left out with its recording.
          written.push(inline(address).then((data) => (data === null && attribute === "poster" ? "" :
            ` ${attribute}="${attributeText(data ?? address)}"`)));
          continue;
        }
        if (attribute === "srcset") {
          written.push(Promise.all((value ?? "").split(",").map(async (candidate) => {
            const [address = "", ...size] = candidate.trim().split(/\s+/);
            return [(await inline(address)) ?? address, ...size].join(" ");
          })).then((candidates) => ` srcset="${attributeText(candidates.join(", "))}"`));
          continue;
        }
        // A link to a chosen file, another slide among them, would load it
        // into the slide's own place: it does nothing.  What a frame, a
        // recording or an object would load cannot load here, from disk or
        // from another host, which a browser may reach before its policy
        // refuses what it loads: they are left empty.
        if (attribute === "href" && (name === "a" || name === "area") && !(value ?? "").startsWith("#") &&
            placeOf(value ?? "") !== null) {
          continue;
        }
        if ((/^(src|srcdoc)$/.test(attribute) && /^(i?frame|embed|audio|video|source|track)$/.test(name)) ||
            (attribute === "data" && name === "object")) {
          continue;
        }
        written.push(value === null ? ` ${attribute}` : ` ${attribute}="${attributeText(value)}"`);
      }
      if (declarations.length > 0 || sizes.length > 0) {
        const index = styled++;
        written.push(` data-hreftrack-style="${index}"`);
        if (sizes.length > 0) rules.push(Promise.resolve(`:where([data-hreftrack-style="${index}"]) { ${sizes.join(" ")} }\n`));
        if (declarations.length > 0) {
          rules.push(later(inlineCss(decodeAttribute(declarations.join(" ")), path, 1, shown)
            .then((css) => `[data-hreftrack-style="${index}"] { ${css} }\n`)));
        }
      }
      written.push(selfClosed ? "/>" : ">");
      write(written.every((piece) => typeof piece === "string") ? written.join("")
        : Promise.all(written).then((pieces) => pieces.join("")));
    }

    /** @type {MarkupSink} */
    const sink = {
      text(raw) {
        if (depth > 0) return;
        if (style !== null) style.push(raw);
        else write(raw);
      },
      open(name, attributes, selfClosed) {
        if (depth > 0) {
          if (name === skipped && !selfClosed) depth += 1;
          return;
        }
        if (name === "script" && !selfClosed) {
          [skipped, depth] = [name, 1];
        } else if (name === "style" && !selfClosed) {
          style = [];
        } else {
          if (name === "picture" && !selfClosed) inPicture += 1;
          writeTag(name, attributes, selfClosed);
        }
      },
      close(name) {
        if (depth > 0) {
          if (name === skipped) depth -= 1;
          return;
        }
        if (name === "style" && style !== null) {
          endStyle();
          return;
        }
        if (name === "picture" && inPicture > 0) inPicture -= 1;
        write(`</${name}>`);
      },
    };
    // A style element becomes a sheet of a data: address.
    function endStyle() {
      const written = (style ?? []).join("");
      style = null;
      write(inlineCss(written, path, 1, shown).then((css) => `<link rel="stylesheet" href="${cssAddress(css)}">`));
    }

    await readMarkup(file.blob.stream(), makeMarkupReader(sink), chosenPageLongest);
    if (style !== null) endStyle();
    // A picture shown by a rule is laid out as the picture it is only so.
    if (pictures.size > 0) rules.unshift(Promise.resolve(":where([data-hreftrack-picture]) { display: inline-block; }\n"));
    const [sheet, page] = await Promise.all([Promise.all(rules), Promise.all(parts)]);
    const styles = sheet.join("");
    return documentAddress(page.join("") + (styles === "" ? "" : `<link rel="stylesheet" href="${cssAddress(styles)}">`));
  }

  // A note in place of a slide that is not there.
  /** @param {string} text */
  const note = (text) => documentAddress(noteHtml(text));

  return {
    address(url) {
      let address = documents.get(url);
      if (address === undefined) {
        const file = chosenSlide(url, chosen);
        address = file === null ? Promise.resolve(note(missing(url)))
          : makeDocument(file.path || file.name, file).catch((error) => {
            if (!(error instanceof RangeError)) return note(words.chooser.unreadSlide(url));
            say(words.chooser.tooLarge(url));
            return note(words.chooser.tooLarge(url));
          });
        documents.set(url, address);
      }
      return address;
    },
    release() {
      for (const address of made) URL.revokeObjectURL(address);
      made.length = 0;
      documents.clear();
    },
  };
}
