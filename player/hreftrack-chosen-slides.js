// SPDX-License-Identifier: MIT
// The slides of a lecture chosen from disk, made into documents the frame
// can show wherever the player's own files lie.  A page opened from disk
// has no origin of its own that its frame could share, and a document it
// makes cannot load the player's other blob: addresses, so each slide
// becomes one blob: document with what it shows from the chosen files
// (pictures, style sheets and the pictures and fonts these name) inlined
// as data: addresses, as the player's policy allows.  Its scripts are
// dropped, the frame that shows it is sandboxed, and a link to another
// chosen slide does nothing.  Each slide is made once, when it is first
// shown, and every address made is let go when the lecture is.
"use strict";

/**
 * @typedef {object} SlideDocuments
 * @property {(url: string) => Promise<string>} address  the blob: address of the slide the track names by `url`
 * @property {() => void} release  lets every address go
 */

/**
 * @param {{ track: FileLike | null, files: Map<string, FileLike & { blob: Blob }> }} chosen
 *   the chosen track, and the chosen files by their place
 * @param {(url: string) => string} missing  what the note says in place of a slide that was not chosen
 * @returns {SlideDocuments}
 */
function makeSlideDocuments(chosen, missing) {
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
  // imports too, up to `depth`.
  /** @param {string} css @param {string} from @param {number} depth */
  async function inlineCss(css, from, depth) {
    /** @type {Map<string, string>} */
    const replaced = new Map();
    for (const address of cssAddresses(css)) {
      const inline = await inlinedAt(chosenPath(address, from), depth);
      if (inline !== null) replaced.set(address, inline);
    }
    return rewriteCss(css, (address) => replaced.get(address) ?? address);
  }

  /** @param {string} css */
  const cssAddress = (css) => `data:text/css;charset=utf-8,${encodeURIComponent(css)}`;

  // The data: address of the chosen file at `path`, a style sheet's with
  // what it names inlined; null where there is none.
  /** @param {string | null} path @param {number} depth @returns {Promise<string | null>} */
  function inlinedAt(path, depth) {
    const file = fileAt(chosen.files, path);
    if (path === null || file === null || depth > deepest) return Promise.resolve(null);
    const key = `${depth}:${path}`;
    let inline = inlined.get(key);
    if (inline === undefined) {
      const css = /\.css$/i.test(path) || file.type === "text/css";
      inline = (css ? file.blob.text().then((text) => inlineCss(text, path, depth + 1)).then(cssAddress)
                    : dataAddress(file.blob, file.type)).catch(() => null);
      inlined.set(key, inline);
    }
    return inline;
  }

  // The slide at `path` as one document of its own.
  /** @param {string} path @param {FileLike & { blob: Blob }} file */
  async function makeDocument(path, file) {
    const page = new DOMParser().parseFromString(await file.blob.text(), "text/html");
    for (const gone of page.querySelectorAll("script, base, meta[http-equiv]")) gone.remove();
    /** @param {string} address */
    const inline = (address) => inlinedAt(chosenPath(address, path), 0);
    for (const element of page.querySelectorAll("img[src], input[src], source[src], video[poster]")) {
      const name = element.hasAttribute("poster") ? "poster" : "src";
      const address = await inline(element.getAttribute(name) ?? "");
      if (address !== null) element.setAttribute(name, address);
    }
    for (const element of page.querySelectorAll("[srcset]")) {
      const candidates = [];
      for (const candidate of (element.getAttribute("srcset") ?? "").split(",")) {
        const [address = "", ...size] = candidate.trim().split(/\s+/);
        candidates.push([(await inline(address)) ?? address, ...size].join(" "));
      }
      element.setAttribute("srcset", candidates.join(", "));
    }
    // Style sheets, style elements and style attributes, which the
    // player's policy would refuse inline, become sheets of data: addresses.
    for (const link of page.querySelectorAll('link[rel~="stylesheet" i][href]')) {
      const address = await inline(link.getAttribute("href") ?? "");
      if (address !== null) link.setAttribute("href", address);
    }
    for (const style of page.querySelectorAll("style")) {
      const link = page.createElement("link");
      link.rel = "stylesheet";
      link.href = cssAddress(await inlineCss(style.textContent ?? "", path, 1));
      style.replaceWith(link);
    }
    let attributes = "";
    for (const [index, element] of [...page.querySelectorAll("[style]")].entries()) {
      element.setAttribute("data-hreftrack-style", String(index));
      attributes += `[data-hreftrack-style="${index}"] { ${await inlineCss(element.getAttribute("style") ?? "", path, 1)} }\n`;
      element.removeAttribute("style");
    }
    if (attributes !== "") {
      const link = page.createElement("link");
      link.rel = "stylesheet";
      link.href = cssAddress(attributes);
      page.head.append(link);
    }
    // What would load a chosen file into the slide's own place, a link to
    // another slide among them, does nothing.
    for (const element of page.querySelectorAll("a[href], area[href]")) {
      const address = element.getAttribute("href") ?? "";
      if (!address.startsWith("#") && chosenPath(address, path) !== null) element.removeAttribute("href");
    }
    for (const element of page.querySelectorAll("iframe[src], embed[src], object[data], audio[src], video[src]")) {
      const name = element.hasAttribute("data") ? "data" : "src";
      if (chosenPath(element.getAttribute(name) ?? "", path) !== null) element.removeAttribute(name);
    }
    return documentAddress(`<!doctype html>\n${page.documentElement.outerHTML}`);
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
          : makeDocument(file.path || file.name, file).catch(() => note(words.chooser.unreadSlide(url)));
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
