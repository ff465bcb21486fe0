// SPDX-License-Identifier: MIT
// The slides shown, with their titles, are the recording's chapters: the
// operating system's media controls show them where the browser hands them
// on (Media Session's chapterInfo), and "Last ned kapitler" saves them as a
// WebVTT chapters file that other players and video services read.
"use strict";

/**
 * @typedef {object} Chapters
 * @property {(title: string) => void} present  hands the lecture's title and chapters to the media session
 */

/**
 * @param {HTMLButtonElement} button
 * @param {{ chapters: () => Chapter[], lecture: () => string }} wiring
 * @returns {Chapters}
 */
function makeChapters(button, wiring) {
  button.addEventListener("click", () => {
    saveFile(words.chaptersFile(wiring.lecture()), chaptersVtt(wiring.chapters()), "text/vtt;charset=utf-8");
  });
  return {
    present(title) {
      const chapters = wiring.chapters();
      button.disabled = chapters.length === 0;
      if (!("mediaSession" in navigator) || typeof MediaMetadata !== "function") return;
      // Browsers without chapterInfo pass it by.
      const metadata = { title, chapterInfo: chapters.map((chapter) => ({ title: chapter.title,
                                                                          startTime: chapter.start })) };
      try {
        navigator.mediaSession.metadata = new MediaMetadata(metadata);
      } catch {
        // A browser that refuses it keeps its own.
      }
    },
  };
}
