// SPDX-License-Identifier: MIT
// The player's words in English: the keys of the Bokmål table in words.js,
// each written as English says it.
"use strict";

wordTables.en = (() => {
  const plural = new Intl.PluralRules("en");
  const stillWorks = "the slides, the search and the transcript work all the same.";
  const noRanges = "the server does not answer requests for parts of a file (byte ranges)";
  const rangesServer = "Put the lecture on a server that does, such as Apache, nginx, lighttpd or " +
                       "npx http-server (python3 -m http.server does not)";
  const chosenStillShows = "the slide you choose still shows.";
  return {
    /** @param {string} number */
    slide: (number) => `Slide ${number}`,
    captionHit: "Captions",

    hits: {
      /** @param {string} query */
      none: (query) => `No hits for “${query}”.`,
      /** @param {number} count */
      all: (count) => `${count} ${plural.select(count) === "one" ? "hit" : "hits"}.`,
      /** @param {number} count @param {number} listed */
      first: (count, listed) => `${count} hits; the first ${listed} are shown.`,
    },

    track: {
      noHeader: "The track does not begin with the {QTtext} line, and cannot be played.",
      /** @param {number} most */
      tooLong: (most) => `The track has more than ${most.toLocaleString("en")} pages, and the player does not ` +
                         "play tracks that long.",
      /** @param {number} line */
      noStamp: (line) => `Line ${line}: an HREF line with no time stamp before it, skipped.`,
      /** @param {number} line */
      unknownLine: (line) => `Line ${line}: neither a time stamp nor an HREF line, skipped.`,
      /** @param {number} line */
      noEnd: (line) => `Line ${line}: the last page has no closing stamp, and is not shown.`,
      /** @param {number} line @param {string} url */
      refused: (line, url) => `Line ${line}: the address "${url}" is not allowed, and is not used.`,
      /** @param {number} line @param {string} frame */
      noFrame: (line, frame) => `Line ${line}: the frame "${frame}" is not on the page.`,
      /** @param {number} count */
      more: (count) => `… and ${count.toLocaleString("en")} more ${plural.select(count) === "one" ? "problem" : "problems"} ` +
                       "in the track, not shown here.",
      /** @param {string} name */
      unfetched: (name) => `Cannot get the track ${name}.`,
      /** @param {string} name */
      unread: (name) => `Cannot read the track ${name}.`,
    },

    link: {
      /** @param {string} value */
      notSeconds: (value) => `t=${value} is not a number of seconds; the recording starts at the beginning.`,
      /** @param {string} start @param {string} length */
      pastEnd: (start, length) => `The link asks to start at ${start}, but the recording is only ${length} long; ` +
                                  "it starts at the beginning.",
      /** @param {string} value */
      notLanguage: (value) => `captionslang=${value} is no language code; the captions are taken to be Norwegian.`,
      fromDisk: "The page is opened as a file and cannot get the files itself: choose the lecture's folder.",
      /** @param {string} name */
      trackInvalid: (name) => `The track ${name} is no valid address, and is not played.`,
      /** @param {string} url */
      trackForeign: (url) => `The track ${url} is on another site than the player's, and is not played.`,
      /** @param {string} name */
      recordingInvalid: (name) => `The recording ${name} is no valid address.`,
      noRecording: "Name the recording in the address: index.html?video=lecture.webm&track=HREFTrack.txt",
      /** @param {string} url */
      captionsForeign: (url) => `The captions ${url} are on another site than the player's, and are not used.`,
      /** @param {string} url */
      descriptionsForeign: (url) => `The descriptions ${url} are on another site than the player's, and are not used.`,
    },

    recording: {
      /** @param {string} name */
      missing: (name) => `The recording ${name} is not there; ${stillWorks}`,
      /** @param {string} name */
      unplayable: (name) => `The recording ${name} is of a type this browser cannot play; ${stillWorks}`,
      /** @param {string} name */
      missingOrUnplayable: (name) => `The recording ${name} is not there, or is of a type this browser cannot ` +
                                     `play; ${stillWorks}`,
      /** @param {string} name */
      network: (name) => `The recording ${name} could not be loaded, as the network failed; ${stillWorks}`,
      /** @param {string} name */
      damaged: (name) => `The recording ${name} is damaged and cannot play on; ${stillWorks}`,
      /** @param {string} name @param {number} status */
      refused: (name, status) => `The recording ${name} could not be loaded (the server answered ${status}); ` +
                                 stillWorks,
      /** @param {string} name */
      noRanges: (name) => `The recording ${name} cannot be played, as ${noRanges}, which the browser needs. ` +
                          `${rangesServer}; ${stillWorks}`,
      /** @param {string} name */
      unseekable: (name) => `The recording ${name} cannot be skipped through, as ${noRanges}. ${rangesServer}; ` +
                            chosenStillShows,
      /** @param {string} name */
      unseekableFile: (name) => `The recording ${name} cannot be skipped through: the file lacks the index of where ` +
                                "its moments lie, as a recording saved straight from a browser may. Save it anew, " +
                                `for example with ffmpeg -i in.webm -c copy out.webm; ${chosenStillShows}`,
      /** @param {string} name */
      unseekableMaybe: (name) => `The recording ${name} cannot be skipped through: probably ${noRanges}, or the ` +
                                 `file lacks the index of where its moments lie; ${chosenStillShows}`,
      /** @param {string} track @param {string} recording @param {string | null} answer */
      length: (track, recording, answer) => `The track ends at ${track}, but the recording is ${recording} long. ` +
        (answer === null ? "hreftrack makes no track longer than 99:59:59.99."
          : `Make the track anew with hreftrack, and answer "${answer}" to "Eksakt spilletid".`),
    },

    slides: {
      /** @param {string} url */
      missing: (url) => `The slide ${url} is not on the server.`,
      /** @param {string} url */
      missingOpening: (url) => `The slide ${url} is not on the server. The track always begins with ${url}, the ` +
                               "page shown before the first slide in the log: put such a page in the lecture's " +
                               "folder.",
      /** @param {string} url @param {number} status */
      refused: (url, status) => `The slide ${url} could not be loaded (the server answered ${status}).`,
      /** @param {string} url */
      readInPart: (url) => `The slide ${url} is over 8 million characters long; only its beginning is read for the ` +
                           "titles and the search.",
      /** @param {number} count */
      more: (count) => `… and ${count.toLocaleString("en")} more ${plural.select(count) === "one" ? "slide" : "slides"} ` +
                       "missing, not named here.",
    },

    captions: {
      languages: /** @type {Record<string, string>} */ ({ no: "Norwegian", nb: "Norwegian Bokmål",
                                                           nn: "Norwegian Nynorsk" }),
      /** @param {string} language */
      otherLanguage: (language) => `Captions (${language})`,
      /** @param {string} name */
      unreadable: (name) => `Cannot read the captions ${name}: they are missing or are not WebVTT. ` +
                            "The recording and the slides play all the same.",
    },

    listening: {
      descriptions: "Audio description",
      /** @param {string} name */
      unreadable: (name) => `Cannot read the descriptions ${name}: they are missing or are not WebVTT. ` +
                            "The recording and the slides play all the same.",
      noVoice: "This system has no voice of the language read aloud, so it is read in another voice.",
      noSpeech: "This browser cannot read aloud, so the descriptions are only written for the screen reader.",
    },

    chooser: {
      /** @param {string} name */
      unused: (name) => `The file ${name} is neither a recording, a track nor captions, and is not used.`,
      needRecording: "Choose the recording too, for example a .webm file.",
      needTrack: "Choose the track too, HREFTrack.txt.",
      /** @param {string} url */
      missingSlide: (url) => `${url} is not in the chosen folder.`,
      noSlides: "None of the track's slides is chosen. Choose the lecture's whole folder, or choose the slides " +
                "(foil0.html, foil1.html, …) together with the recording and the track.",
      /** @param {string} url */
      unreadSlide: (url) => `Cannot read the slide ${url}.`,
      /** @param {string} url */
      tooLarge: (url) => `The slide ${url} is over 8 MB, or shows over 32 MB of pictures and more from the disk, more ` +
                         "than the player can show of a chosen slide. Make the pictures smaller, or put the lecture " +
                         "on a server.",
    },

    resume: {
      /** @param {string} moment */
      from: (moment) => `Resuming from ${moment}.`,
    },

    notes: {
      /** @param {string} lecture */
      title: (lecture) => `Notes: ${lecture}`,
      lecture: "lecture",
      /** @param {string} lecture */
      file: (lecture) => `${lecture}-notes.md`,
      noSlide: "Between slides",
      /** @param {string} moment @param {string} slide */
      new: (moment, slide) => `New note at ${moment} · ${slide}`,
      /** @param {string} moment @param {string} slide */
      change: (moment, slide) => `Change the note at ${moment} · ${slide}`,
      changeButton: "Change",
      deleteButton: "Delete",
      /** @param {string} moment */
      changeLabel: (moment) => `Change the note at ${moment}`,
      /** @param {string} moment */
      deleteLabel: (moment) => `Delete the note at ${moment}`,
      /** @param {string} moment */
      deleted: (moment) => `The note at ${moment} is deleted.`,
      notKept: "This browser does not keep the notes: download them before you close the page.",
      none: "No notes.",
    },

    timeline: {
      preview: "The slide under the pointer",
      /** @param {string} slide @param {string} moment @param {string} length */
      value: (slide, moment, length) => (slide === "" ? `${moment} of ${length}` : `${slide}, ${moment} of ${length}`),
    },

    /** @param {string} lecture */
    chaptersFile: (lecture) => `${lecture}-chapters.vtt`,

    /** The words of the page itself (index.html). */
    page: {
      title: "Lecture with slides",
      description: "A recording of a lecture with its slides in step: the list of slides, the timeline and the " +
                   "transcript follow the recording, the search finds words in the slides and the captions, and " +
                   "your notes stay on your machine.",
      chooserLabel: "Choose the lecture's folder",
      filesLabel: "or choose the lecture's files: the recording, HREFTrack.txt, the slides (foil0.html, " +
                  "foil1.html, …) with their pictures, and the captions (.vtt) if there are any",
      drop: "or drop the folder or the files on the page.",
      chooserAgain: "Choose another lecture",
      recording: "The recording",
      timeline: "Timeline of the slides",
      layout: "Layout",
      layoutSlides: "Large slide",
      layoutEven: "Equal",
      layoutRecording: "Large recording",
      language: "Language",
      describe: "Audio description",
      chaptersSave: "Download chapters",
      keysOpen: "Keyboard shortcuts",
      listening: "Reading aloud",
      announce: "Tell of each new slide (to the screen reader)",
      speak: "Read the descriptions aloud (else only to the screen reader)",
      wait: "Hold the recording until a description has been read",
      slideText: "Without descriptions: read the slide's text too",
      resumeRestart: "Start from the beginning",
      foil: "The slide shown",
      sideTabs: "Lists beside the recording",
      slidesTab: "Slides",
      searchTab: "Search",
      transcriptTab: "Transcript",
      notesTab: "Notes",
      slidesHeading: "Slides",
      searchLabel: "Search the lecture",
      searchResults: "Hits in the lecture",
      notesHeading: "Notes",
      noteNew: "New note",
      notesSave: "Download notes",
      noteKeep: "Save",
      noteDrop: "Cancel",
      noteUndo: "Undo",
      keysHeading: "Keyboard shortcuts",
      keysClose: "Close",
    },

    keys: {
      names: { ArrowDown: "Down arrow", ArrowUp: "Up arrow", ArrowRight: "Right arrow", ArrowLeft: "Left arrow",
               " ": "Space" },
      places: {
        page: { where: "Anywhere but in a text field", next: "next slide", previous: "previous slide" },
        list: { where: "In the list of slides, the hits and the transcript", move: "next / previous in the list",
                ends: "first / last in the list", activate: "go there in the recording",
                leave: "on to the next part of the page" },
        timeline: { where: "On the timeline", move: "next / previous slide", ends: "first / last slide" },
        notes: { where: "In the notes", keep: "keep the note", drop: "discard the note", move: "next / previous note",
                 ends: "first / last note" },
        search: { where: "In the search field", hits: "to the hits", clear: "clear the field" },
        tabs: { where: "On the tabs above the lists", move: "next / previous tab, and show it", ends: "first / last tab" },
        recording: { where: "In the recording", play: "play / pause (the browser's own keys)" },
        dialog: { where: "In this dialog", close: "close" },
      },
    },
  };
})();
