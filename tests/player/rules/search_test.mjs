// SPDX-License-Identifier: MIT
// Slide titles and the search of a lecture.
import { test } from "node:test";
import assert from "node:assert/strict";
import { timed } from "./rules.mjs";

const { words, entryLabel, slideTitles, foldText, indexLecture, markWords, queryWords,
        searchLecture, excerptBeside } = globalThis;

test("slide titles: the page's title, else its first heading, where the title tells nothing", () => {
  const page = (title, heading = "") => ({ title, heading });
  let titles = slideTitles(new Map([
    ["foil1.html", page("Måling av tid", "Tid")],
    ["foil2.html", page("Lysark 2", "Loggen")],          // only repeats the name
    ["foil3.html", page("", "Sporet")],                    // no title
    ["foil4.html", page("", "")],                          // nothing at all
    ["foil5.html", page("lysark 5", "LYSARK 5")],          // both only repeat it
  ]));
  assert.deepEqual([...titles], [["foil1.html", "Måling av tid"], ["foil2.html", "Loggen"],
                                 ["foil3.html", "Sporet"]]);
  // An export that gives every page the presentation's name: the headings serve.
  titles = slideTitles(new Map([["foil1.html", page("Forelesning 3", "Innledning")],
                                ["foil2.html", page("Forelesning 3", "Målingen")]]));
  assert.deepEqual([...titles.values()], ["Innledning", "Målingen"]);
  assert.deepEqual([...slideTitles(new Map([["foil1.html", page("Forelesning 3", "Innledning")]])).values()],
                   ["Forelesning 3"], "one page alone is not the same on every page");
  assert.deepEqual(entryLabel({ url: "foil1.html", start: 41 }, new Map([["foil1.html", "Måling av tid"]])),
                   { name: "Lysark 1 · Måling av tid", start: "0:41" });
});

test("search: case and accents ignored, æ, ø and å letters of their own, every word, time order", () => {
  assert.equal(foldText("  Café\tCAFÉ  Naïve Ærlig Øl ÅR  ").folded, "cafe cafe naive ærlig øl år");
  const slides = [{ url: "foil0.html", start: 0 }, { url: "foil1.html", start: 3 },
                  { url: "foil0.html", start: 12 }];
  const pages = new Map([["foil0.html", "Velkommen til kafeen: en café au lait, og så måling av tid."],
                         ["foil1.html", "Loggen viser når et lysark ble vist."]]);
  const cues = [{ start: 7, text: "Vi måler tiden med loggen." }, { start: 3, text: "Cafe, sa hun." }];
  const lecture = indexLecture(slides, pages, cues);
  const hits = (query) => searchLecture(lecture, query).map((hit) => `${hit.sample}@${hit.start}`);
  assert.deepEqual(hits("CAFE"), ["0@0", "-1@3", "2@12"], "a slide shown twice is two hits");
  assert.deepEqual(hits("café"), hits("cafe"));
  assert.deepEqual(hits("maling"), [], "å is no a");
  assert.deepEqual(hits("måling"), ["0@0", "2@12"]);
  assert.deepEqual(hits("loggen måler"), ["-1@7"], "every word, anywhere in the text");
  assert.deepEqual(hits("lOgGeN"), ["1@3", "-1@7"], "a slide before a caption of the same start");
  assert.deepEqual([hits(""), hits("   "), hits("ingensteds")], [[], [], []]);
  // A description is found as a caption is, and known as one: its hit is named by its kind.
  const described = indexLecture([], new Map(), [{ start: 2, text: "En graf over tid.", described: true }, cues[0]]);
  assert.deepEqual(searchLecture(described, "tid").map((hit) => [hit.start, hit.described]), [[2, true], [7, undefined]]);
  // Saved decomposed, as macOS saves it, å is still å.
  const decomposed = indexLecture([{ url: "a", start: 0 }], new Map([["a", "Ma\u030Aling av tid"]]), []);
  assert.deepEqual([searchLecture(decomposed, "måling").length, searchLecture(decomposed, "maling").length], [1, 0]);
  // Every place a word of the query stands is marked, words that overlap as one.
  const marked = (text, query) => markWords(foldText(text), queryWords(query))
    .map((part) => (part.marked ? `[${part.text}]` : part.text)).join("");
  assert.equal(marked("Loggen, LOGGEN og loggene.", "loggen"), "[Loggen], [LOGGEN] og [loggen]e.");
  assert.equal(marked("Caféen logger", "cafe log logg"), "[Café]en [logg]er");
  assert.equal(marked("Ma\u030Aling", "måling"), "[Måling]");
  // The excerpt is the original text around the hit, cut at blanks.
  const long = `${"innledning ".repeat(10)}her står Måling av tid midt i${" og mer".repeat(20)}`;
  const [hit] = searchLecture(indexLecture([{ url: "a", start: 0 }], new Map([["a", long]]), []), "maaling måling");
  assert.equal(hit, undefined, "a word that is missing leaves the slide out");
  const [found] = searchLecture(indexLecture([{ url: "a", start: 0 }], new Map([["a", long]]), []), "måling");
  assert.match(found.excerpt, /^… (innledning )+her står Måling av tid midt i( og| mer)+ …$/);
  assert.ok(found.excerpt.length < 130, found.excerpt);
});

test("search keeps up with typing in a lecture of 300 slides and 2,000 captions", timed, () => {
  const words = "måling tid signal verdi kretsen klokka figur kafé æresord øvelse årsak spenning strøm".split(" ");
  const text = (seed, count) => Array.from({ length: count }, (_, i) => words[(seed * 7 + i * 13) % words.length]).join(" ");
  const slides = Array.from({ length: 300 }, (_, i) => ({ url: `foil${i}.html`, start: i * 18 }));
  const pages = new Map(slides.map((slide, i) => [slide.url, text(i, 150)]));
  const cues = Array.from({ length: 2000 }, (_, i) => ({ start: i * 2.7, text: text(i, 12) }));
  const lecture = indexLecture(slides, pages, cues);
  let slowest = 0;
  for (let typed = 1; typed <= "spenning strøm".length; typed += 1) {
    const started = performance.now();
    searchLecture(lecture, "spenning strøm".slice(0, typed));
    slowest = Math.max(slowest, performance.now() - started);
  }
  assert.ok(slowest < 50, `a keystroke took ${slowest} ms`);
});

test("a hit's excerpt and marks, exactly: cut at blanks, around the query's first word, every word marked once", () => {
  const excerpt = (text, query) =>
    searchLecture(indexLecture([{ url: "a", start: 0 }], new Map([["a", text]]), []), query)[0].excerpt;
  assert.equal(excerpt(`${"innledning ".repeat(10)}her står Måling av tid midt i${" og mer".repeat(20)}`, "måling"),
               "… innledning innledning her står Måling av tid midt i og mer og mer og mer og mer og mer og mer og …");
  // Around the first word of the query, wherever the others stand.
  assert.equal(excerpt(`alfa ${"x ".repeat(60)}omega`, "alfa omega"), `alfa ${"x ".repeat(28)}x …`);
  // A short text whole, its blanks as one, nothing cut and so no "…".
  assert.equal(excerpt("  kort  måling\n av tid", "måling"), "kort måling av tid");
  // Cut at the blank nearest each end; a word too long to cut at a blank is cut where it must be.
  assert.equal(excerpt(`${"x".repeat(50)} måling ${"y".repeat(70)}`, "måling"), "… måling …");
  assert.equal(excerpt(`måling${"y".repeat(70)}`, "måling"), `måling${"y".repeat(60)} …`);
  const parts = (text, query) => markWords(foldText(text), queryWords(query))
    .map((part) => (part.marked ? `[${part.text}]` : `(${part.text})`)).join("");
  // Found in any order, each stretch once, nothing after a mark that ends the text.
  assert.deepEqual([parts("måling av tid", "tid måling"), parts("måling av tid", "måling mål"), parts("måling", "måling")],
                   ["[måling]( av )[tid]", "[måling]( av tid)", "[måling]"]);
  // Digits and Z are as typed, a blank of any script is a blank, and a query of blanks is none.
  assert.deepEqual([foldText("A1 Z\u00a0b\u2003c").folded, queryWords("   ")], ["a1 z b c", []]);
});

test("a slide's hit reads its title once: the excerpt after the name drops the title it starts with", () => {
  assert.deepEqual([excerptBeside("Lysark 1 · Loggen", "Loggen log.xml sier"),
                    // Only the whole title, followed by a blank, and only at the start.
                    excerptBeside("Lysark 1 · Logg", "Loggen log.xml"), excerptBeside("Lysark 1 · Loggen", "… Loggen sier"),
                    excerptBeside("Lysark 1 · A · B", "A · B tekst"), excerptBeside("Lysark 1", "Lysark 1 tekst")],
                   ["log.xml sier", "Loggen log.xml", "… Loggen sier", "tekst", "Lysark 1 tekst"]);
});
