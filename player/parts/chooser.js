// SPDX-License-Identifier: MIT
// The file chooser, offered where the page cannot fetch the lecture itself
// (opened from disk) or the link names no track: the recording, the track,
// the captions and the slides, chosen at once or one after the other, as
// files or as the lecture's whole folder, or dropped on the page.  The
// recording and the captions play from blob: addresses of the files, the
// slides from documents made of them (browser/slide-documents.js).
"use strict";

/**
 * A chosen file as the sorting sees it, the file itself beside.
 * @typedef {FileLike & { blob: File }} ChosenFile
 */
/**
 * @typedef {object} Chooser
 * @property {() => void} offer  shows the chooser and takes files from it and from drops
 * @property {(samples: Sample[]) => Map<string, string | Blob>} slideSources
 *   where the slides of `samples` can be read, by the address the track names each by: its chosen
 *   file where the track was chosen, else its address where that is of the player's own origin
 * @property {(url: string) => Promise<{ href: string, sandboxed: boolean }> | null} slideAddress
 *   the address of a document of the chosen slide the track names by `url`, which the frame shows
 *   sandboxed; null where the track was not chosen, or names a slide by an address of a scheme of its
 *   own
 * @property {(samples: Sample[]) => string[]} problems  what the page says of the chosen track's slides that
 *   were not chosen
 */

/** A chosen file as the page knows it again: by its name and size. @param {ChosenFile} file */
const fileId = (file) => `${file.name}:${file.blob.size}`;

/** @param {File} file @param {string} [path] @returns {ChosenFile} */
function chosenFile(file, path) {
  return { name: file.name, type: file.type, path: path || file.webkitRelativePath || file.name, blob: file };
}

// The files of a folder dropped on the page, and of the folders in it, up
// to 10,000.
/** @param {FileSystemDirectoryEntry} top @returns {Promise<ChosenFile[]>} */
async function folderFiles(top) {
  /** @type {ChosenFile[]} */
  const found = [];
  /** @type {FileSystemEntry[]} */
  const waiting = [top];
  for (let entry = waiting.shift(); entry !== undefined && found.length < 10000; entry = waiting.shift()) {
    if (entry.isFile) {
      const file = await new Promise((resolve, reject) => {
        /** @type {FileSystemFileEntry} */ (entry).file(resolve, reject);
      });
      found.push(chosenFile(file, entry.fullPath.replace(/^\//, "")));
      continue;
    }
    const reader = /** @type {FileSystemDirectoryEntry} */ (entry).createReader();
    for (;;) {
      /** @type {FileSystemEntry[]} */
      const some = await new Promise((resolve, reject) => reader.readEntries(resolve, reject));
      if (some.length === 0) break;
      waiting.push(...some);
    }
  }
  return found;
}

/**
 * @param {{ say: (text: string) => void, clear: () => void,
 *           recording: (url: string, name: string, id: string) => void,
 *           captions: (url: string, name: string) => void, descriptions: (url: string, name: string) => void,
 *           track: (text: string, id: string) => void }} wiring
 *   a chosen recording and track are known to the wiring by `id`, their name and size
 * @returns {Chooser}
 */
function makeChooser(wiring) {
  const part = byId("chooser", HTMLElement);
  const files = byId("files", HTMLInputElement);
  const folder = byId("folder", HTMLInputElement);
  const choices = byId("chooser-choices", HTMLElement);
  const again = byId("chooser-again", HTMLButtonElement);
  /** @type {Partial<Chosen>} */
  let chosen = {};
  // What is chosen, once a track is: the files are the user's own.
  const withTrack = () => /** @type {{ track: ChosenFile, files: Map<string, ChosenFile> }} */ (chosen);
  // The blob: address made for the recording and the captions, let go when
  // another file takes its place.
  /** @type {Record<string, string>} */
  const blobs = {};
  // The documents made of the chosen slides, let go with the choice.
  /** @type {SlideDocuments | null} */
  let documents = null;
  // Whether none of the slides the chosen track names was chosen with it.
  let noneChosen = false;

  /** @param {string} key @param {Blob} file */
  function blobUrl(key, file) {
    if (blobs[key]) URL.revokeObjectURL(blobs[key]);
    blobs[key] = URL.createObjectURL(file);
    return blobs[key];
  }

  // Takes the files chosen or dropped on top of those chosen before.
  /** @param {ChosenFile[]} taken */
  async function take(taken) {
    wiring.clear();
    const previous = chosen;
    const now = chooseFiles(taken, previous);
    chosen = now;
    documents?.release();
    documents = null;
    for (const name of now.ignored) wiring.say(words.chooser.unused(name));
    const recording = /** @type {ChosenFile | null} */ (now.recording);
    const track = /** @type {ChosenFile | null} */ (now.track);
    const captions = /** @type {ChosenFile | null} */ (now.captions);
    // A lecture chosen whole leaves the chooser one line: a button to choose another.
    fold(recording !== null && track !== null);
    if (captions && captions !== previous.captions) wiring.captions(blobUrl("captions", captions.blob), captions.name);
    const descriptions = /** @type {ChosenFile | null} */ (now.descriptions);
    if (descriptions && descriptions !== previous.descriptions) {
      wiring.descriptions(blobUrl("descriptions", descriptions.blob), descriptions.name);
    }
    if (recording && recording !== previous.recording) {
      wiring.recording(blobUrl("recording", recording.blob), recording.name, fileId(recording));
    }
    if (!recording) wiring.say(words.chooser.needRecording);
    if (!track) {
      wiring.say(words.chooser.needTrack);
    } else if (track !== previous.track) {
      let text;
      try {
        text = await track.blob.text();
      } catch {
        wiring.say(words.track.unread(track.name));
        return;
      }
      wiring.track(text, fileId(track));
    }
  }

  /** @param {boolean} folded */
  function fold(folded) {
    choices.hidden = folded;
    again.hidden = !folded;
  }
  again.addEventListener("click", () => {
    fold(false);
    folder.focus();
  });

  return {
    offer() {
      part.hidden = false;
      for (const input of [files, folder]) {
        input.addEventListener("change", () => take([...(input.files ?? [])].map((file) => chosenFile(file))));
      }
      document.addEventListener("dragover", (event) => {
        event.preventDefault();
        if (event.dataTransfer) event.dataTransfer.dropEffect = "copy";
      });
      document.addEventListener("drop", async (event) => {
        event.preventDefault();
        if (!event.dataTransfer) return;
        const entries = [...event.dataTransfer.items].map((item) => item.webkitGetAsEntry());
        let dropped = [...event.dataTransfer.files].map((file) => chosenFile(file));
        const folders = entries.filter((entry) => entry?.isDirectory);
        if (folders.length > 0) {
          dropped = (await Promise.all(folders.map((entry) =>
            folderFiles(/** @type {FileSystemDirectoryEntry} */ (entry))))).flat();
        }
        if (dropped.length > 0) take(dropped);
      });
    },
    slideSources(samples) {
      /** @type {Map<string, string | Blob>} */
      const sources = new Map();
      for (const sample of samples) {
        if (sources.has(sample.url)) continue;
        const file = chosen.track ? chosenSlide(sample.url, withTrack()) : null;
        if (file !== null) sources.set(sample.url, file.blob);
        else if (!chosen.track && sameOrigin(sample.href, location.href)) sources.set(sample.url, sample.href);
      }
      return sources;
    },
    slideAddress(url) {
      if (!chosen.track || hasScheme(url)) return null;
      documents ??= makeSlideDocuments(withTrack(), (missing) => (noneChosen ? words.chooser.noSlides
                                                                         : words.chooser.missingSlide(missing)),
                                       wiring.say);
      return documents.address(url).then((href) => ({ href, sandboxed: true }));
    },
    problems(samples) {
      if (!chosen.track) return [];
      const missing = missingSlides(samples, withTrack());
      const named = new Set(samples.map((sample) => sample.url).filter((url) => !hasScheme(url))).size;
      noneChosen = noSlideChosen(missing, named);
      return unchosenSlideMessages(missing, named);
    },
  };
}
