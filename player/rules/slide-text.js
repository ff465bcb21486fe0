// SPDX-License-Identifier: MIT
// What a slide says of itself as its mark-up is read (rules/markup.js):
// its title, its first heading and its text, for the slide list and the
// search.
"use strict";

/**
 * What a slide says: its title, its first heading and its text, each with
 * its white space collapsed.
 * @typedef {{ title: string, heading: string, text: string }} SlideText
 */

/** The elements whose text a slide does not show. */
const unshownElements = new Set(["script", "style", "noscript", "template"]);

/**
 * What collects a slide's title, first heading and text as its mark-up is
 * read, each as written: its references not yet replaced, and every "<",
 * and every "&" of raw text, written as a reference, so that the HTML
 * parser's reading of it as text gives the text back.  The texts of two
 * elements are a blank apart, those within a heading not, as a browser
 * gives them.
 * @returns {{ sink: MarkupSink, slide: () => SlideText }}
 */
function makeSlideTextSink() {
  let title = "";
  let heading = "";
  // Whether the first title, and the first heading, are yet to come (0),
  // being read (1) or read (2); whether any title is being read.
  let titleRead = 0;
  let headingRead = 0;
  let inTitle = false;
  // The element whose text is not shown that is being read, and how deep.
  let unshown = "";
  let depth = 0;
  /** @type {string[]} */
  const runs = [];
  let run = "";
  const isHeading = (/** @type {string} */ name) => /^h[1-6]$/.test(name);
  const endRun = () => {
    if (run !== "") runs.push(run);
    run = "";
  };

  /** @type {MarkupSink} */
  const sink = {
    text(raw, literal) {
      if (depth > 0) return;
      const written = (literal ? raw.replace(/&/g, "&amp;") : raw).replace(/</g, "&lt;");
      if (inTitle) {
        if (titleRead === 1) title += written;
        return;
      }
      run += written;
      if (headingRead === 1) heading += written;
    },
    open(name, attributes, selfClosed, foreign) {
      if (depth > 0) {
        if (name === unshown && !selfClosed) depth += 1;
        return;
      }
      endRun();
      if (selfClosed) return;
      if (unshownElements.has(name)) {
        unshown = name;
        depth = 1;
      } else if (name === "title" && !foreign) {
        inTitle = true;
        if (titleRead === 0) titleRead = 1;
      } else if (isHeading(name)) {
        // A heading begun ends the one open.
        headingRead = headingRead === 0 ? 1 : 2;
      }
    },
    close(name) {
      if (depth > 0) {
        if (name === unshown) depth -= 1;
        return;
      }
      endRun();
      if (name === "title" && inTitle) {
        inTitle = false;
        if (titleRead === 1) titleRead = 2;
      } else if (isHeading(name) && headingRead === 1) {
        headingRead = 2;
      }
    },
  };
  return {
    sink,
    slide() {
      endRun();
      return { title, heading, text: runs.join(" ") };
    },
  };
}

// Under Node, for the tests.
if (typeof module === "object" && module !== null) {
  Object.assign(module.exports, { makeSlideTextSink });
}
