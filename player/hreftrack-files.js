// SPDX-License-Identifier: MIT
// Sorts the files a user chooses or drops on the page, one by one or as the
// lecture's whole folder, into the recording, the track, the captions and
// the slides.  A classic script like hreftrack-track.js.
"use strict";

/**
 * A file as the page sees it: its name, its media type, and its place in
 * what was chosen ("forelesning/foil1.html" in a folder, else its name).
 * @typedef {{ name: string, type: string, path?: string }} FileLike
 */
/**
 * The files chosen so far: the recording, the track, the captions, the
 * slides by their place, and the names of the files chosen one by one
 * that are none of them.
 * @typedef {{ recording: FileLike | null, track: FileLike | null, captions: FileLike | null,
 *             slides: Map<string, FileLike>, ignored: string[] }} Chosen
 */

/**
 * Sorts `files` into the recording, the track, the captions and the slides,
 * on top of an `earlier` choice, so that they may come one at a time.  A
 * .txt file is the track, HREFTrack.txt before any other, a .vtt file the
 * captions, a video or audio file the recording, an .html file a slide.  A
 * folder holds other files too: only those chosen one by one are `ignored`.
 * @param {FileLike[]} files
 * @param {Partial<Chosen>} earlier
 * @returns {Chosen}
 */
function chooseFiles(files, earlier) {
  /** @type {Chosen} */
  const chosen = { recording: null, track: null, captions: null, ...earlier,
                   slides: new Map(earlier.slides ?? []), ignored: [] };
  let named = false;
  for (const file of files) {
    if (/\.txt$/i.test(file.name)) {
      const isTrack = file.name.toLowerCase() === "hreftrack.txt";
      if (isTrack || !named) chosen.track = file;
      named = named || isTrack;
    } else if (/\.vtt$/i.test(file.name)) {
      chosen.captions = file;
    } else if (/\.html?$/i.test(file.name)) {
      chosen.slides.set(file.path || file.name, file);
    } else if (/^(video|audio)\//.test(file.type || "") ||
               /\.(webm|mp4|m4v|mov|mkv|ogv|ogg|oga|mp3|m4a|wav|flac)$/i.test(file.name)) {
      chosen.recording = file;
    } else if (!(file.path ?? "").includes("/")) {
      chosen.ignored.push(file.name);
    }
  }
  return chosen;
}

/**
 * The chosen slide that the address `url` in the track names: relative to
 * the track's own place among the chosen files, as on a server.  Null for
 * an address that leads elsewhere.
 * @param {string} url
 * @param {Chosen} chosen
 * @returns {FileLike | null}
 */
function chosenSlide(url, chosen) {
  const root = "file:///chosen/";
  try {
    const place = new URL(url, new URL(chosen.track?.path || chosen.track?.name || "", root));
    if (!place.href.startsWith(root)) return null;
    return chosen.slides.get(decodeURIComponent(place.pathname.slice("/chosen/".length))) ?? null;
  } catch {
    return null;
  }
}

// Under Node, for the tests.
if (typeof module === "object" && module !== null) Object.assign(module.exports, { chooseFiles, chosenSlide });
