// SPDX-License-Identifier: MIT
// Sorts the files a user chooses or drops on the page, one by one or as the
// lecture's whole folder, into the recording, the track, the captions, the
// descriptions and the slides.
"use strict";

/**
 * A file as the page sees it: its name, its media type, and its place in
 * what was chosen ("forelesning/foil1.html" in a folder, else its name).
 * @typedef {{ name: string, type: string, path?: string }} FileLike
 */
/**
 * The files chosen so far: the recording, the track, the captions, the descriptions, every
 * file by its place (the slides and what they show among them), and the
 * names of the files chosen one by one that none of them uses.
 * @typedef {{ recording: FileLike | null, track: FileLike | null, captions: FileLike | null,
 *             descriptions: FileLike | null, files: Map<string, FileLike>, ignored: string[] }} Chosen
 */

/** Where the places of the chosen files are resolved, as on a server. */
const chosenRoot = "file:///chosen/";

/**
 * Sorts `files` into the recording, the track, the captions and the rest,
 * on top of an `earlier` choice, so that they may come one at a time.  A
 * .txt file is the track, HREFTrack.txt before any other, a .vtt file the
 * captions, or the descriptions where its name says so (synstolking or
 * description in it: forelesning.synstolking.vtt, lecture-descriptions.vtt),
 * a video or audio file the recording; every file is kept by its
 * place, for the slides and what they show.  A folder holds other files
 * too: only those chosen one by one that no slide shows (a page, a picture,
 * a style sheet, a font) are `ignored`.
 * @param {FileLike[]} files
 * @param {Partial<Chosen>} earlier
 * @returns {Chosen}
 */
function chooseFiles(files, earlier) {
  /** @type {Chosen} */
  const chosen = { recording: null, track: null, captions: null, descriptions: null, ...earlier,
                   files: new Map(earlier.files ?? []), ignored: [] };
  let named = false;
  for (const file of files) {
    chosen.files.set(file.path || file.name, file);
    if (/\.txt$/i.test(file.name)) {
      const isTrack = file.name.toLowerCase() === "hreftrack.txt";
      if (isTrack || !named) chosen.track = file;
      named = named || isTrack;
    } else if (/\.vtt$/i.test(file.name)) {
      if (/synstolking|description/i.test(file.name)) chosen.descriptions = file;
      else chosen.captions = file;
    } else if (/^(video|audio)\//.test(file.type || "") ||
               /\.(webm|mp4|m4v|mov|mkv|ogv|ogg|oga|mp3|m4a|wav|flac)$/i.test(file.name)) {
      chosen.recording = file;
    } else if (!/^(image|font)\/|^text\/css/.test(file.type || "") &&
               !/\.(html?|png|jpe?g|gif|svg|webp|avif|bmp|ico|css|woff2?|ttf|otf)$/i.test(file.name) &&
               !(file.path ?? "").includes("/")) {
      chosen.ignored.push(file.name);
    }
  }
  return chosen;
}

/**
 * The place among the chosen files that `address`, written in the chosen
 * file at place `from`, names: resolved as a browser resolves it against
 * the file's place, each part of its path decoded (bilder/r%C3%B8d.png is
 * bilder/rød.png).  Null for an address of a scheme of its own, or one
 * that leads out of the chosen files.
 * @param {string} address
 * @param {string} from
 * @returns {string | null}
 */
function chosenPath(address, from) {
  try {
    const place = new URL(address, new URL(from, chosenRoot));
    if (!place.href.startsWith(chosenRoot)) return null;
    return place.pathname.slice(new URL(chosenRoot).pathname.length).split("/").map(decodeURIComponent).join("/");
  } catch {
    return null;
  }
}

/**
 * The chosen file at the place `path`, or, where there is none there, a
 * file of its name chosen alone: files chosen one by one come without
 * their place in a folder.
 * @template {FileLike} F
 * @param {Map<string, F>} files
 * @param {string | null} path
 * @returns {F | null}
 */
function fileAt(files, path) {
  if (path === null) return null;
  return files.get(path) ?? files.get(path.slice(path.lastIndexOf("/") + 1)) ?? null;
}

/**
 * The chosen slide that the address `url` in the track names: relative to
 * the track's own place among the chosen files, as on a server.  Null for
 * an address that leads elsewhere.
 * @template {FileLike} F
 * @param {string} url
 * @param {{ track: FileLike | null, files: Map<string, F> }} chosen
 * @returns {F | null}
 */
function chosenSlide(url, chosen) {
  return fileAt(chosen.files, chosenPath(url, chosen.track?.path || chosen.track?.name || ""));
}

/**
 * The addresses in the track of the slides it shows that are not among the
 * chosen files, each once, in the order they first play.  An address of a
 * scheme of its own (http:, https:) is no chosen file and not missing.
 * @param {{ url: string }[]} samples
 * @param {{ track: FileLike | null, files: Map<string, FileLike> }} chosen
 * @returns {string[]}
 */
function missingSlides(samples, chosen) {
  const urls = new Set(samples.map((sample) => sample.url));
  return [...urls].filter((url) => !hasScheme(url) && chosenSlide(url, chosen) === null);
}

/**
 * The addresses a style sheet names: in url() and in its import rules, each once.
 * @param {string} css
 * @returns {string[]}
 */
function cssAddresses(css) {
  /** @type {Set<string>} */
  const found = new Set();
  rewriteCss(css, (address) => {
    found.add(address);
    return address;
  });
  return [...found];
}

/**
 * `css` with each address in url() and in its import rules given by `replace`.
 * @param {string} css
 * @param {(address: string) => string} replace
 * @returns {string}
 */
function rewriteCss(css, replace) {
  const quoted = (/** @type {string} */ address) => `"${replace(address).replace(/["\\\n]/g, (c) => `\\${c === "\n" ? "a " : c}`)}"`;
  return css
    .replace(/url\(\s*(?:"([^"]*)"|'([^']*)'|([^)\s"']*))\s*\)/gi,
             (_, double, single, bare) => `url(${quoted(double ?? single ?? bare)})`)
    .replace(/@import\s+(?:"([^"]*)"|'([^']*)')/gi, (_, double, single) => `@import ${quoted(double ?? single)}`);
}

// Under Node, for the tests.
if (typeof module === "object" && module !== null) {
  Object.assign(module.exports, { chooseFiles, chosenPath, fileAt, chosenSlide, missingSlides, cssAddresses,
                                  rewriteCss });
}
