// SPDX-License-Identifier: MIT
// The page's language: the choice of it (#language), and the page's own
// words in it.  A language other than Bokmål has its table in a script of
// its own (rules/words-nn.js), loaded only for a reader of it, so that the
// others cost a student nothing.  Each element of index.html that holds a
// word names it (data-word for its text, data-word-label for its name,
// data-word-title and data-word-content for those attributes); the page's
// other parts write their own words anew when told.
"use strict";

/**
 * @typedef {object} LanguageChoice
 * @property {(language: string) => Promise<void>} show
 *   reads the page in `language` (its words, its `lang`, the choice), once its table is loaded; in Bokmål
 *   where its table cannot be
 */

/**
 * @param {{ chosen: (language: string) => void }} wiring  told of the student's choice
 * @returns {LanguageChoice}
 */
function makeLanguageChoice(wiring) {
  const choice = byId("language", HTMLSelectElement);
  choice.addEventListener("change", () => wiring.chosen(choice.value));
  const attributes = /** @type {const} */ ([["wordLabel", "aria-label"], ["wordTitle", "title"],
                                            ["wordContent", "content"]]);
  // The language asked for last: a table that arrives after another was asked for is not shown.
  let asked = "";

  /** @param {string} language @returns {Promise<void>} */
  function load(language) {
    if (language in wordTables) return Promise.resolve();
    return new Promise((loaded) => {
      const script = document.createElement("script");
      script.src = `rules/words-${language}.js`;
      script.addEventListener("load", () => loaded());
      script.addEventListener("error", () => loaded());
      document.head.append(script);
    });
  }

  return {
    async show(wanted) {
      asked = wanted;
      await load(wanted);
      if (asked !== wanted) return;
      const language = wanted in wordTables ? wanted : "nb";
      useWords(language);
      choice.value = language;
      document.documentElement.lang = language;
      const page = /** @type {Record<string, string>} */ (words.page);
      const named = "[data-word], [data-word-label], [data-word-title], [data-word-content]";
      for (const element of document.querySelectorAll(named)) {
        const data = /** @type {HTMLElement} */ (element).dataset;
        if (data.word !== undefined) element.textContent = page[data.word];
        for (const [key, attribute] of attributes) {
          const word = data[key];
          if (word !== undefined) element.setAttribute(attribute, page[word]);
        }
      }
    },
  };
}
