// SPDX-License-Identifier: MIT
// Sorts the files a user chooses or drops on the page into the recording,
// the track and the captions.  A classic script like hreftrack-track.js.
"use strict";

/**
 * A file as the page sees it: its name and its media type.
 * @typedef {{ name: string, type: string }} FileLike
 */
/**
 * The files chosen so far, and the names of those that are none of them.
 * @typedef {{ recording: FileLike | null, track: FileLike | null, captions: FileLike | null,
 *             ignored: string[] }} Chosen
 */

/**
 * Sorts `files` into the recording, the track and the captions, on top of
 * an `earlier` choice, so that they may come one at a time.  A .txt file is
 * the track, HREFTrack.txt before any other, a .vtt file the captions, a
 * video or audio file the recording; the names of the rest are `ignored`.
 * @param {FileLike[]} files
 * @param {Partial<Chosen>} earlier
 * @returns {Chosen}
 */
function chooseFiles(files, earlier) {
  /** @type {Chosen} */
  const chosen = { recording: null, track: null, captions: null, ...earlier, ignored: [] };
  let named = false;
  for (const file of files) {
    if (/\.txt$/i.test(file.name)) {
      const isTrack = file.name.toLowerCase() === "hreftrack.txt";
      if (isTrack || !named) chosen.track = file;
      named = named || isTrack;
    } else if (/\.vtt$/i.test(file.name)) {
      chosen.captions = file;
    } else if (/^(video|audio)\//.test(file.type || "") ||
               /\.(webm|mp4|m4v|mov|mkv|ogv|ogg|oga|mp3|m4a|wav|flac)$/i.test(file.name)) {
      chosen.recording = file;
    } else {
      chosen.ignored.push(file.name);
    }
  }
  return chosen;
}

// Under Node, for the tests.
if (typeof module === "object" && module !== null) Object.assign(module.exports, { chooseFiles });
