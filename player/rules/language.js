// SPDX-License-Identifier: MIT
// Which of the page's languages a student reads it in: Bokmål, Nynorsk or
// English.  The student's own choice first, then a link's lang=, then the
// browser's languages in their order, then Bokmål; and the locale the page
// formats its numbers in, where an engine does not know Nynorsk's.
"use strict";

/** The page's languages, by the tag its `lang` attribute takes. */
const pageLanguages = Object.freeze(["nb", "nn", "en"]);

/**
 * The page's language that the language tag `tag` names, or null where it names none: Norwegian
 * without a written standard (no, no-NO) and Bokmål (nb, nb-NO) are Bokmål, nn and its regions
 * Nynorsk, en and its regions English.  Case and `_` for `-` do not matter.
 * @param {string | null | undefined} tag
 * @returns {string | null}
 */
function pageLanguage(tag) {
  if (typeof tag !== "string") return null;
  const base = tag.trim().toLowerCase().split(/[-_]/)[0];
  if (base === "no" || base === "nb") return "nb";
  return pageLanguages.includes(base) ? base : null;
}

/**
 * The language the page is read in: the student's `chosen` one (kept with the settings), else the
 * one a link names (`lang=`), else the first of the browser's `preferred` languages the page has,
 * else Bokmål.
 * @param {{ chosen?: string | null, linked?: string | null, preferred?: readonly string[] }} asked
 * @returns {string}
 */
function chooseLanguage({ chosen = null, linked = null, preferred = [] }) {
  for (const tag of [chosen, linked, ...preferred]) {
    const language = pageLanguage(tag);
    if (language !== null) return language;
  }
  return "nb";
}

/**
 * The locale to format numbers, plurals and dates with for the page's `language`, of those the
 * engine knows (`known` filters a list of locales as Intl's supportedLocalesOf does): Nynorsk where
 * the engine knows it, else Norwegian.
 * @param {string} language
 * @param {(locales: string[]) => string[]} known
 * @returns {string}
 */
function formatLocale(language, known) {
  if (language === "en") return "en";
  return language === "nn" && known(["nn"]).length > 0 ? "nn" : "no";
}

// Under Node, for the tests.
if (typeof module === "object" && module !== null) {
  Object.assign(module.exports, { pageLanguages, pageLanguage, chooseLanguage, formatLocale });
}
