// SPDX-License-Identifier: MIT
// Which language the page is read in.
import { test } from "node:test";
import assert from "node:assert/strict";
import "./rules.mjs";

const { pageLanguage, chooseLanguage, formatLocale } = globalThis;

test("the language: the student's choice, the link's, the browser's in order, else Bokmål", () => {
  // Norwegian's tags, as browsers and systems write them.
  assert.deepEqual(["no", "nb", "nb-NO", "no-NO", "NB_no", "nn", "nn-NO", "en", "en-GB", "en-US", "se", "", null]
    .map(pageLanguage), ["nb", "nb", "nb", "nb", "nb", "nn", "nn", "en", "en", "en", null, null, null]);
  const cases = [
    [{}, "nb"],
    [{ preferred: ["de-DE", "en-US", "nn-NO"] }, "en"],
    [{ preferred: ["sv", "no"] }, "nb"],
    [{ linked: "nn", preferred: ["en"] }, "nn"],
    [{ linked: "fr", preferred: ["en"] }, "en"],
    [{ chosen: "en", linked: "nn", preferred: ["nb"] }, "en"],
    [{ chosen: "tlh", linked: "nn" }, "nn"],
  ];
  for (const [asked, language] of cases) assert.equal(chooseLanguage(asked), language, JSON.stringify(asked));
  // Nynorsk's numbers where the engine knows them, else Norwegian's.
  assert.deepEqual([formatLocale("nn", () => ["nn"]), formatLocale("nn", () => []), formatLocale("nb", () => ["nn"]),
                    formatLocale("en", () => [])], ["nn", "no", "no", "en"]);
});
