// SPDX-License-Identifier: MIT
// The web player as a student uses it, in one browser engine, on the example
// lecture served from 127.0.0.1 (slides at 0, 3, 7 and 12 s of a 20 s
// recording): what only a browser can show.  The player's decisions are
// tested without one, in tests/player/rules/.
//
//   node tests/player/player_scenario.mjs chromium|firefox|webkitgtk TOOL
//
// serve.py lays the lecture out in a fresh folder: the track made by TOOL,
// the recording by GStreamer.  Exits 77, naming what to install, where the
// engine, GStreamer or the npm packages (npm ci) are missing.  With
// HREFTRACK_PLAYER_SCREENSHOT=FILE it saves the page on slide 2 as a PNG.
import { spawnSync } from "node:child_process";
import { after, before, test } from "node:test";
import assert from "node:assert/strict";
import { copyFileSync, cpSync, existsSync, mkdirSync, mkdtempSync, readFileSync, rmSync, writeFileSync } from "node:fs";
import { createRequire } from "node:module";
import { tmpdir } from "node:os";
import { createServer as createNetServer } from "node:net";
import { join } from "node:path";
import zlib from "node:zlib";

import { missing, openPage } from "./browsers.mjs";
import { longTrack, serveLecture, serveWithoutRanges } from "./lecture.mjs";

const require = createRequire(import.meta.url);
const { words } = require("../../player/rules/words.js");
const [engine, tool] = process.argv.slice(2);

function skip(what) {
  console.log(`skipped: ${what}`);
  process.exit(77);
}

if (!["chromium", "firefox", "webkitgtk"].includes(engine) || !tool) {
  console.error("usage: node tests/player/player_scenario.mjs chromium|firefox|webkitgtk TOOL");
  process.exit(2);
}
const root = new URL("../..", import.meta.url).pathname;
const lacking = missing(engine) ?? (existsSync("/usr/bin/python3") ? null : "apt-get install python3");
if (lacking) skip(lacking);
// Asked at configure time only whether it would skip itself: what the
// recording needs is the last thing it could lack.
if (process.env.HREFTRACK_PROBE) {
  const needs = spawnSync("/usr/bin/python3", [join(root, "examples/lecture/serve.py"), "--needs"],
                          { encoding: "utf8" });
  if (needs.status !== 0) skip(/the recording needs: (.*)/.exec(needs.stderr)?.[1] ?? needs.stderr.trim());
  process.exit(0);
}

const sleep = (ms) => new Promise((resolve) => { setTimeout(resolve, ms); });
const dir = mkdtempSync(join(tmpdir(), "hreftrack-player-"));
const profile = mkdtempSync(join(tmpdir(), `hreftrack-${engine}-`));
let server = null;
let page = null;
let base = "";

before(async () => {
  try {
    ({ server, base } = await serveLecture(tool, dir));
  } catch (error) {
    const needs = /the recording needs: (.*)/.exec(error.message);
    if (needs) skip(needs[1]);
    throw error;
  }
  page = await openPage(engine, profile);
});

after(async () => {
  if (page !== null) await page.close().catch(() => {});
  if (server !== null) server.kill();
  rmSync(dir, { recursive: true, force: true });
  rmSync(profile, { recursive: true, force: true });
});

// Everything the tests read of the page at once.
function state() {
  return page.run(() => {
    const video = document.querySelector("video");
    const items = [...document.querySelectorAll("#slides li")];
    return {
      busy: document.getElementById("slides").getAttribute("aria-busy"),
      messages: [...document.querySelectorAll("#messages li")].map((li) => li.textContent),
      entries: items.map((item) => item.textContent),
      current: items.findIndex((item) => item.getAttribute("aria-current") === "true"),
      marked: items.filter((item) => item.hasAttribute("aria-current")).length,
      time: video.currentTime,
      seeking: video.seeking,
      metadata: video.readyState >= 1,
      source: video.currentSrc,
      chooser: !document.getElementById("chooser").hidden,
      title: document.title,
    };
  });
}

// Reads `read()` every 25 ms until `ok` holds of it; fails, saying what it
// last read, after `seconds`.
async function waitFor(read, ok, what, seconds = 8) {
  const deadline = Date.now() + seconds * 1000;
  for (;;) {
    const value = await read();
    if (ok(value)) return value;
    if (Date.now() > deadline) assert.fail(`waited ${seconds} s for ${what}; last read: ${JSON.stringify(value)}`);
    await sleep(25);
  }
}

const until = (ok, what, seconds) => waitFor(state, ok, what, seconds);

// Loads the page with `query`; resolves once the list is built, or the page
// has said something, or offers its chooser.
async function load(query, at = base) {
  await page.goto(`${at}/index.html${query}`);
  return until((s) => s.busy === "false" || s.messages.length > 0 || s.chooser, "the page to start");
}

async function shownPage() {
  const address = await page.frameAddress();
  return address === null ? null : address.split("?")[0].split("/").pop();
}

const expectPage = (name, when) => waitFor(shownPage, (shown) => shown === name, `${name} ${when}`, 5);

// The heading of the frame's document, or its text; null while it loads.
const frameText = () => page.frameRun(() => (document.readyState === "complete" ? document.querySelector("h1")?.textContent
                                                                                ?? document.body.textContent : null))
  .catch(() => null);

// The slide `index` plays at its start: the recording there, its entry the
// only one marked, its page in the frame.
async function expectSlide(index, when) {
  const start = [0, 3, 7, 12][index];
  await until((s) => !s.seeking && Math.abs(s.time - start) < 0.01 && s.current === index && s.marked === 1,
              `slide ${index} at ${start} s ${when}`);
  await expectPage(`foil${index}.html`, when);
}

// Clicks `selector` once its panel of the side is shown and it is scrolled
// into view, as its user would choose the tab and scroll the list that
// holds it (WebDriver's own scrolling leaves it out of reach).
async function clickInView(selector) {
  await page.run((target) => {
    const panel = document.querySelector(target).closest('[role="tabpanel"]');
    if (panel?.hidden) document.querySelector(`[aria-controls="${panel.id}"]`).click();
    document.querySelector(target).scrollIntoView({ block: "nearest" });
  }, selector);
  await page.click(selector);
}

// Shows a panel of the side by a real click on its tab.
const showPanel = (tab) => page.click(tab);

function seek(seconds) {
  return page.run((to) => {
    const video = document.querySelector("video");
    video.pause();
    return new Promise((done) => {
      video.addEventListener("seeked", () => done(), { once: true });
      video.currentTime = to;
    });
  }, seconds);
}

const played = "?video=lecture.webm&track=HREFTrack.txt";
// The entries, titled by their pages once the pages are read.
const entries = ["Lysark 0 0:00", "Lysark 1 0:03", "Lysark 2 0:07", "Lysark 3 0:12"];
const titled = ["Lysark 0 · Tjue sekunder om lysark 0:00", "Lysark 1 · Loggen 0:03", "Lysark 2 · Sporet 0:07",
                "Lysark 3 · Spilleren 0:12"];
const untitled = (list) => list.map((entry) => entry.replace(/ · .* (\d+(?::\d\d)+)$/, " $1"));
const captions = [
  [0.5, 2.8, "Velkommen. I dag handler det om lysark og opptak."],
  [3, 6.5, "Loggen viser hvilket lysark som ble vist, og når."],
  [7, 11.5, "hreftrack skriver sporet: et tidsstempel og en side for hvert lysark."],
  [12, 19, "Spilleren viser opptaket og lysarkene i takt."]];

function captionTracks() {
  return page.run(() => [...document.querySelector("video").textTracks]
    .filter((track) => track.kind === "captions")
    .map((track) => [track.language, track.label, track.mode,
                     [...(track.cues || [])].map((c) => [c.startTime, c.endTime, c.text])]));
}

const lectureCaptions = JSON.stringify([["no", "Norsk", "showing", captions]]);

function transcriptNow() {
  return page.run(() => [...document.querySelectorAll("#transcript li")]
    .map((item) => `${item.getAttribute("aria-current") === "true" ? "* " : ""}${item.textContent}`));
}

test("the list of the lecture, slide 0 marked and shown, titled by its pages; the captions shown", async () => {
  const loaded = await load(`${played}&captions=lecture.vtt`);
  assert.deepEqual([loaded.messages, untitled(loaded.entries), loaded.current], [[], entries, 0]);
  await expectPage("foil0.html", "at load");
  await waitFor(captionTracks, (tracks) => JSON.stringify(tracks) === lectureCaptions, "the captions");
  await until((s) => JSON.stringify(s.entries) === JSON.stringify(titled), "the titles of the pages");
  // Opening a lecture, captions shown, chooses nothing: no setting written.
  assert.equal(await page.run(() => localStorage.getItem("hreftrack.settings.v1")), null);
  // The example's server compresses the player's text, as a real one does: sent as they are, its forty
  // files cost a phone most of a second.
  assert.deepEqual(await page.run(() => performance.getEntriesByType("resource")
    .filter((entry) => /\/(page\.js|player\.css)$/.test(entry.name))
    .map((entry) => entry.encodedBodySize > 0 && entry.encodedBodySize < entry.decodedBodySize / 2)), [true, true]);
});

// What the page's live regions and lists are: the messages and the resume
// notice, where they stand, and which lists and tabs are there at all.
const regions = () => page.run(() => {
  const stage = document.querySelector(".stage");
  const messages = document.getElementById("messages");
  const resume = document.getElementById("resume");
  return { messages: [messages.getAttribute("aria-live"), !messages.hidden && getComputedStyle(messages).display !== "none",
                      stage.contains(messages)],
           resume: [resume.getAttribute("role"), !resume.hidden, stage.contains(resume)],
           hits: document.getElementById("search-results").hidden,
           transcript: document.getElementById("transcript-toggle").hidden,
           // A name a screen reader reads: letters, digits and the page's punctuation, nothing drawn.
           drawn: [...document.querySelectorAll("button, [role=tab]")].map((button) => button.textContent)
             .filter((name) => !/^[\p{L}\p{N} .,:·…-]*$/u.test(name)) };
});

test("status heard: a live region and a status beside the recording from the start; no list or tab that is empty",
     async () => {
  await load(played);
  assert.deepEqual(await regions(), { messages: ["polite", true, true], resume: ["status", true, true], hits: true,
                                      transcript: true, drawn: [] });
  await load(`${played}&captions=lecture.vtt`);
  await waitFor(regions, (r) => !r.transcript, "the transcript's tab, once the captions come");
});

test("the transcript follows the recording, and a click on a caption goes there", async () => {
  await until((s) => s.metadata, "the recording's metadata");
  await seek(8);
  await waitFor(transcriptNow, (now) => now[2] === "* 0:07 hreftrack skriver sporet: et tidsstempel og en " +
                                                    "side for hvert lysark.", "the caption at 8 s marked");
  await clickInView("#transcript li:nth-child(4)");
  await until((s) => !s.seeking && Math.abs(s.time - 12) < 0.01 && s.current === 3, "the recording at 12 s");
  await expectPage("foil3.html", "after a click in the transcript");
  assert.deepEqual((await transcriptNow()).map((line) => line.startsWith("* ")), [false, false, false, true]);
});

// Types `query` into the search field; resolves to the hits, their marked
// words and what the page says of them, once it says something.
async function find(query) {
  await page.run((text) => {
    const field = document.getElementById("search");
    field.value = text;
    field.dispatchEvent(new Event("input"));
  }, query);
  return waitFor(() => page.run(() => ({
    hits: [...document.querySelectorAll("#search-results li")].map((item) => item.textContent),
    marked: [...document.querySelectorAll("#search-results mark, #transcript mark")].map((mark) => mark.textContent),
    said: document.getElementById("search-status").textContent })), (r) => r.said !== "", `hits of ${query}`);
}

// Empties the search field, as its user would.
const clearSearch = () => page.run(() => {
  const field = document.getElementById("search");
  field.value = "";
  field.dispatchEvent(new Event("input"));
});

// Whether the current entry of the slide list lies inside the list's view.
const currentInView = () => page.run(() => {
  const list = document.getElementById("slides").getBoundingClientRect();
  const entry = document.querySelector('#slides [aria-current="true"]').getBoundingClientRect();
  return entry.top >= list.top - 1 && entry.bottom <= list.bottom + 1;
});

test("search: a slide and a caption found, the words marked, each goes to its moment; Escape clears", async () => {
  let found = await find("LOG.XML");
  // The slide's title read once, in its name, not again as its text begins.
  assert.deepEqual(found, { hits: ["Lysark 1 · Loggen 0:03 log.xml sier hvilket lysark som ble vist når. " +
                                   "Lysark 1 av 3"], marked: ["log.xml"], said: "1 treff." });
  await clickInView("#search-results li:nth-child(1)");
  await expectSlide(1, "after a click on a hit in a slide");
  found = await find("TAKT");
  assert.deepEqual(found, { hits: ["Teksting 0:12 Spilleren viser opptaket og lysarkene i takt."],
                            marked: ["takt", "takt"], said: "1 treff." });
  await clickInView("#search-results li:nth-child(1)");
  await expectSlide(3, "after a click on a hit in the captions");
  found = await find("målt");
  assert.deepEqual(found, { hits: [], marked: [], said: "Ingen treff for «målt»." });
  await page.run(() => document.getElementById("search").focus());
  await page.press("Escape");
  assert.deepEqual(await page.run(() => [document.getElementById("search").value,
                                         document.querySelectorAll("#search-results li").length]), ["", 0]);
  // The slide list, shown again after the hits, has laid out its rows and shows its current entry.
  await find("lysark");
  await showPanel("#slides-tab");
  await waitFor(currentInView, (inView) => inView, "slide 3's entry in view once the list is shown");
  await showPanel("#search-tab");
});

test("axe-core finds no WCAG 2.0/2.1/2.2 A or AA violation in any panel, search hits and the transcript shown",
     async () => {
  assert.ok((await page.run(() => document.querySelectorAll("#search-results li").length)) > 0, "no hits shown");
  await page.run(new Function(readFileSync(require.resolve("axe-core/axe.min.js"), "utf8")));
  for (const tab of ["#search-tab", "#transcript-toggle", "#notes-tab", "#slides-tab"]) {
    await showPanel(tab);
    const violations = await page.run(() => window.axe.run(document, {
      runOnly: { type: "tag", values: ["wcag2a", "wcag2aa", "wcag21a", "wcag21aa", "wcag22aa"] } })
      .then((result) => result.violations.map((v) => `${v.id}: ${v.nodes.map((n) => n.target.join(" ")).join(", ")}`)));
    assert.deepEqual(violations, [], `with ${tab} chosen`);
  }
});

// What has the focus: a button by its text, else the element's id, and the
// entry a list's focus is on.
const focused = () => page.run(() => {
  const focus = document.activeElement;
  const entry = document.getElementById(focus.getAttribute("aria-activedescendant") ?? "");
  return { name: focus.tagName === "BUTTON" ? focus.textContent : focus.id, entry: entry?.textContent ?? null };
});

test("Tab: one stop for each list and for the tabs; arrows, Home, End, Enter and Space inside; back to the same entry",
     async () => {
  await showPanel("#slides-tab");
  // Tab goes on from the page's heading, which comes first.
  await page.run(() => {
    const heading = document.querySelector("h1");
    heading.tabIndex = -1;
    heading.focus();
    heading.removeAttribute("tabindex");
  });
  const reached = [];
  for (let press = 0; press < 30 && reached[reached.length - 1] !== "slides"; press += 1) {
    await page.press("Tab");
    const { name } = await focused();
    if (name !== reached[reached.length - 1]) reached.push(name);
  }
  assert.deepEqual(reached, ["recording", "timeline", "layout", "language", "Synstolking", "Last ned kapitler", "Hurtigtaster",
                             "listening-open", "foil", "Lysark", "slides"]);
  // In the slide list, whose focus starts on the current entry (slide 3).
  await page.run(() => document.getElementById("slides").focus());
  const moves = [];
  for (const key of ["ArrowUp", "ArrowUp", "Home", "ArrowUp", "End", "ArrowDown", "ArrowUp"]) {
    await page.press(key);
    moves.push(untitled([(await focused()).entry])[0]);
  }
  assert.deepEqual(moves, ["Lysark 2 0:07", "Lysark 1 0:03", "Lysark 0 0:00", "Lysark 0 0:00", "Lysark 3 0:12",
                           "Lysark 3 0:12", "Lysark 2 0:07"]);
  await until((s) => s.metadata, "the recording's metadata");
  await page.press("Enter");
  await expectSlide(2, "after Enter on its entry");
  await page.press("ArrowUp");
  await page.press("Space");
  await expectSlide(1, "after Space on its entry");
  // Shift+Tab leaves the list for its tab; Tab comes back to the entry it left.
  await page.press("Shift+Tab");
  assert.equal((await focused()).name, "Lysark");
  await page.press("Tab");
  assert.deepEqual(untitled([(await focused()).entry]), ["Lysark 1 0:03"]);
  // On the tabs, the arrows, Home and End move to a tab and show its panel at once.
  await page.press("Shift+Tab");
  const tabs = [];
  for (const key of ["ArrowRight", "End", "ArrowRight", "Home", "ArrowLeft", "ArrowRight"]) {
    await page.press(key);
    tabs.push(await page.run(() => [document.activeElement.textContent,
      document.querySelector('[role="tab"][aria-selected="true"]').textContent,
      [...document.querySelectorAll('[role="tabpanel"]')].filter((panel) => !panel.hidden).map((panel) => panel.id)]));
  }
  assert.deepEqual(tabs, [["Søk", "Søk", ["search-part"]], ["Notater", "Notater", ["notes-part"]],
                          ["Notater", "Notater", ["notes-part"]], ["Lysark", "Lysark", ["slides-part"]],
                          ["Lysark", "Lysark", ["slides-part"]], ["Søk", "Søk", ["search-part"]]]);
  // One Tab stop for the tabs: Tab goes on into the panel shown.
  await page.press("Tab");
  assert.equal((await focused()).name, "search");
  await showPanel("#slides-tab");
});

// The contrast of two colours as computed styles write them ("rgb(1, 2, 3)"), after WCAG 2.2.
function contrast(one, other) {
  const luminance = (colour) => {
    const [r, g, b] = colour.match(/[\d.]+/g).slice(0, 3).map((value) => {
      const c = Number(value) / 255;
      return c <= 0.04045 ? c / 12.92 : ((c + 0.055) / 1.055) ** 2.4;
    });
    return 0.2126 * r + 0.7152 * g + 0.0722 * b;
  };
  const [light, dark] = [luminance(one), luminance(other)].sort((a, b) => b - a);
  return (light + 0.05) / (dark + 0.05);
}

// The focused entry of list `id` and the list itself, as drawn.
const focusMark = (id) => page.run((list) => {
  const box = document.getElementById(list);
  const entry = document.getElementById(box.getAttribute("aria-activedescendant"));
  const style = getComputedStyle(entry);
  return { visible: box.matches(":focus-visible"),
           current: entry.getAttribute("aria-current") === "true", marked: entry.querySelector("mark") !== null,
           mark: style.outlineColor, width: parseFloat(style.outlineWidth), bar: style.boxShadow,
           background: style.backgroundColor, ring: getComputedStyle(box).outlineColor,
           page: getComputedStyle(document.body).backgroundColor };
}, id);

// What of a focus ring (3 px, 2 px off its element) a scrolling box around it would cut off.
const clippedRings = () => page.run(() => {
  const cut = [];
  for (const element of document.querySelectorAll("button, input, select, textarea, video, iframe, [tabindex]")) {
    if (element.tabIndex < 0 || element.closest("[hidden], dialog, [inert]")) continue;
    const box = element.getBoundingClientRect();
    for (let up = element.parentElement; up !== null; up = up.parentElement) {
      const style = getComputedStyle(up);
      if (style.overflowX === "visible" && style.overflowY === "visible") continue;
      const edge = up.getBoundingClientRect();
      // One scrolled partly out of its box is scrolled back into view with room for its ring.
      if (box.top < edge.top || box.bottom > edge.bottom) continue;
      if (box.left - 5 < edge.left || box.right + 5 > edge.right || box.top - 5 < edge.top ||
          box.bottom + 5 > edge.bottom) cut.push(`${element.id || element.textContent} in ${up.id || up.className}`);
    }
  }
  return cut;
});

test("focus seen: the focused entry's own mark at 3:1 on plain, current and marked entries; no ring cut off",
     async (t) => {
  t.after(() => (page.looks ? page.look("dark") : null));
  for (const look of page.looks ? ["dark", "light"] : ["the engine's own"]) {
    if (page.looks) await page.look(look);
    const seen = [];
    for (const [tab, list] of [["#slides-tab", "slides"], ["#search-tab", "search-results"]]) {
      if (list === "search-results") await find("lysark");
      await showPanel(tab);
      // Reached by the keyboard, as :focus-visible asks.
      await page.run((id) => document.querySelector(`[aria-controls="${id}"]`).focus(),
                     list === "slides" ? "slides-part" : "search-part");
      await page.press("Tab");
      if (list === "search-results") await page.press("ArrowDown");
      for (let entry = 0; entry < 4; entry += 1) {
        await page.press(entry === 0 ? "Home" : "ArrowDown");
        seen.push(await focusMark(list));
      }
    }
    assert.ok(seen.some((s) => s.current) && seen.some((s) => s.marked) && seen.some((s) => !s.current && !s.marked));
    const kind = (s) => (s.current ? "current" : s.marked ? "marked" : "plain");
    const least = (name) => Math.min(...seen.filter((s) => kind(s) === name).map((s) => contrast(s.mark, s.background)));
    if (seen.every((s) => s.visible)) {
      console.log(`# ${engine}, ${look}: the focused entry's mark ${least("plain").toFixed(2)}:1 on a plain entry, ` +
                  `${least("current").toFixed(2)}:1 on the current one, ${least("marked").toFixed(2)}:1 on a marked ` +
                  `one; the list's ring ${contrast(seen[0].ring, seen[0].page).toFixed(2)}:1 on the page`);
    } else {
      // Firefox under its driver, whose window never has the system's focus, gives no focus :focus-visible.
      console.log(`# ${engine}: the focus reached by Tab is not :focus-visible here; its marks not measured`);
      seen.length = 0;
    }
    for (const s of seen) {
      const what = `${look}: ${JSON.stringify(s)}`;
      assert.ok(contrast(s.mark, s.background) >= 3 && s.width >= 2, what);
      assert.ok(s.bar.includes("inset") && s.mark !== s.ring, `the mark is the list's ring: ${what}`);
      assert.ok(contrast(s.ring, s.page) >= 3, what);
    }
    for (const tab of ["#slides-tab", "#search-tab", "#transcript-toggle", "#notes-tab"]) {
      await showPanel(tab);
      assert.deepEqual(await clippedRings(), [], `${look}, ${tab}`);
    }
  }
  await clearSearch();
  await showPanel("#slides-tab");
});

test("a click on an entry, PageUp and PageDown go to their slide at once; the keys are listed in a dialog", async () => {
  await until((s) => s.metadata, "the recording's metadata");
  await clickInView("#slides li:nth-child(3)");
  await expectSlide(2, "after a click on its entry");
  await seek(14.5);
  await until((s) => s.current === 3, "slide 3 at 14.5 s");
  await page.press("PageUp");
  await expectSlide(2, "after PageUp from inside slide 3");
  await page.press("PageDown");
  await expectSlide(3, "after PageDown");
  // The dialog of keys: opened by its button, closed by Escape, the focus back on the button.
  await page.click("#keys-open");
  const open = await waitFor(() => page.run(() => ({ open: document.getElementById("keys").open,
    keys: [...document.querySelectorAll("#keys kbd")].map((key) => key.textContent) })), (d) => d.open,
  "the dialog of keys");
  assert.ok(["PageDown", "PageUp", "Escape"].every((key) => open.keys.includes(key)), open.keys.join(", "));
  await page.press("Escape");
  await waitFor(() => page.run(() => [document.getElementById("keys").open, document.activeElement.id]),
                (now) => !now[0] && now[1] === "keys-open", "the dialog closed, the focus on its button");
});

// Puts a recorder in place of the system's speech: what is spoken, in which language, is kept, and each
// utterance ends only when the test says so; and keeps every text the live region for listeners receives.
function listen(voices = [{ name: "Engelsk", lang: "en-GB", localService: true },
                           { name: "Norsk", lang: "nb-NO", localService: true }]) {
  return page.run((known) => {
    const spoken = [];
    let speaking = null;
    // An utterance of its own: an engine's takes only a voice of its own system.
    const Utterance = class extends EventTarget {
      constructor(text) { super(); Object.assign(this, { text, lang: "", voice: null }); }
    };
    Object.defineProperty(window, "SpeechSynthesisUtterance", { value: Utterance, configurable: true });
    Object.defineProperty(window, "speechSynthesis", { configurable: true, value: {
      getVoices: () => known,
      speak(utterance) { spoken.push([utterance.lang, utterance.text]); speaking = utterance; },
      cancel() { spoken.push(["cancel"]); speaking = null; },
    } });
    window.finishSpeech = () => speaking?.dispatchEvent(new Event("end"));
    window.listened = { spoken, said: [] };
    const region = document.getElementById("said");
    // Each thing told is a line of its own, added last.
    new MutationObserver((changes) => {
      for (const change of changes) for (const line of change.addedNodes) window.listened.said.push(line.textContent);
    }).observe(region, { childList: true });
  }, voices);
}
const listened = () => page.run(() => ({ ...window.listened, title: document.getElementById("foil").title,
  time: document.querySelector("video").currentTime, paused: document.querySelector("video").paused }));

test("slide changes heard once they settle; descriptions spoken and written, the recording waiting for them",
     async () => {
  await load(`${played}&descriptions=lecture.synstolking.vtt`);
  await until((s) => JSON.stringify(s.entries) === JSON.stringify(titled) && s.metadata, "the titled list");
  // The descriptions are lines of their own kind in the transcript, and found as captions are.
  const lines = await waitFor(transcriptNow, (now) => now.length === 4, "the descriptions in the transcript");
  assert.match(lines[0], /^(\* )?0:00 Synstolking: Lysark 0: tittelen «Tjue sekunder om lysark» i blått/);
  const found = await find("blått");
  assert.deepEqual([found.hits.length, found.hits[0].split(" … ")[0]], [1, "Synstolking 0:00"]);
  // Slide 0, told once it has stood, is told before the recorder listens.
  await sleep(900);
  await listen();
  // Three keys in a row: the frame is named after each slide, the listener told only of the last.
  for (let step = 0; step < 3; step += 1) await page.press("PageDown");
  let heard = await waitFor(listened, (now) => now.said.includes("Lysark 3 · Spilleren"), "slide 3 told");
  await sleep(900);
  heard = await listened();
  assert.deepEqual([heard.title, heard.said, heard.spoken], ["Lysark 3 · Spilleren", ["Lysark 3 · Spilleren"], []]);
  // Description on, kept; its cue spoken in Norwegian and written as it begins; the recording waits at its end.
  await page.click("#describe");
  assert.equal(await page.run(() => [document.getElementById("describe").getAttribute("aria-pressed"),
    JSON.parse(localStorage.getItem("hreftrack.settings.v1")).describe].join()), "true,true");
  await seek(2.5);
  await page.run(() => document.querySelector("video").play());
  const cue = "Lysark 1 kommer: overskriften «Loggen» og én setning om log.xml.";
  heard = await waitFor(listened, (now) => now.paused && now.spoken.some(([, text]) => text === cue),
                        "the recording held for the description");
  assert.ok(heard.time >= 2.95 && heard.time < 3.2, `held at ${heard.time} s`);
  assert.deepEqual(heard.spoken.filter(([, text]) => text === cue), [["nb-NO", cue]]);
  assert.ok(heard.said.includes(cue), heard.said.join(" | "));
  // Said to its end: the recording goes on by itself.
  await page.run(() => window.finishSpeech());
  await waitFor(listened, (now) => !now.paused && now.time > 3.2, "the recording playing on");
  await page.run(() => document.querySelector("video").pause());
  // Without descriptions the slides describe themselves, spoken in the voice there is, which is said once.
  await load(`${played}&captions=lecture.vtt`);
  await until((s) => JSON.stringify(s.entries) === JSON.stringify(titled), "the titled list, again");
  await sleep(900);
  await listen([{ name: "Engelsk", lang: "en-GB", localService: true }]);
  await page.press("PageDown");
  heard = await waitFor(listened, (now) => now.spoken.length > 0, "the slide spoken");
  assert.deepEqual(heard.spoken, [["nb-NO", "Lysark 1 · Loggen"]]);
  await page.press("PageDown");
  await waitFor(listened, (now) => now.spoken.length === 3, "the next slide spoken");
  assert.deepEqual((await state()).messages, [words.listening.noVoice]);
  await page.click("#describe");
  // The rest of the scenario plays the lecture afresh.
  await load(`${played}&captions=lecture.vtt`);
});

// What the page says in words, in whichever language it is read.
const labels = () => page.run(() => ({ lang: document.documentElement.lang, title: document.title,
  notes: document.getElementById("notes-tab").textContent, keys: document.getElementById("keys-open").textContent,
  timeline: document.getElementById("timeline").getAttribute("aria-label"),
  first: document.querySelector("#slides li")?.textContent, messages: [...document.querySelectorAll("#messages li")]
    .map((item) => item.textContent), places: [...document.querySelectorAll("#keys-list h3")].map((h) => h.textContent),
  status: document.getElementById("search-status").textContent, search: document.getElementById("search").value,
  time: document.querySelector("video").currentTime }));

test("the page in Nynorsk and in English: labels, a message, the keys; a change relabels at once, losing nothing",
     async () => {
  // A course page's link in Nynorsk, over a Bokmål browser.
  await load(`${played}&captions=lecture.vtt&lang=nn&t=abc`);
  await until((s) => JSON.stringify(s.entries) === JSON.stringify(titled) && s.metadata, "the titled list");
  let said = await labels();
  assert.deepEqual([said.lang, said.title, said.notes, said.keys, said.timeline, said.messages, said.places[0]],
                   ["nn", "Førelesing med lysark", "Notat", "Snøggtastar", "Tidslinje over lysarka",
                    ["t=abc er ikkje eit tal på sekund; opptaket startar frå byrjinga."], "Kvar som helst, utanom tekstfelt"]);
  // Chosen on the page: English at once, the moment and the search as they were.
  await seek(8.4);
  assert.equal((await find("sporet")).said, "2 treff.");
  await page.run(() => {
    const choice = document.getElementById("language");
    choice.value = "en";
    choice.dispatchEvent(new Event("change"));
  });
  said = await waitFor(labels, (now) => now.status !== "" && now.lang === "en", "the page in English");
  assert.deepEqual([said.lang, said.title, said.notes, said.keys, said.first, said.places[0], said.status, said.search],
                   ["en", "Lecture with slides", "Notes", "Keyboard shortcuts", "Slide 0 · Tjue sekunder om lysark 0:00",
                    "Anywhere but in a text field", "2 hits.", "sporet"]);
  assert.ok(Math.abs(said.time - 8.4) < 0.01, `at ${said.time} s`);
  // The student's own choice wins over a link's, and is kept.
  await load(`${played}&captions=lecture.vtt&lang=nn`);
  assert.deepEqual([(await labels()).lang, await page.run(() => document.getElementById("language").value)], ["en", "en"]);
  // The rest of the scenario reads the page in Bokmål.
  await page.run(() => localStorage.clear());
  await load(`${played}&captions=lecture.vtt`);
});

test("playing across a stamp changes the slide in step", async () => {
  await seek(6.3);
  await waitFor(() => page.run(() => {
    const shown = document.getElementById("foil").contentDocument;
    return shown.readyState === "complete" && shown.location.pathname.endsWith("/foil1.html");
  }), (loaded) => loaded, "foil1.html loaded at 6.3 s");
  // The moment each slide arrives in the frame.
  const changes = await page.run(() => {
    const video = document.querySelector("video");
    const frame = document.getElementById("foil");
    const seen = [];
    const arrived = () => seen.push([frame.contentWindow.location.pathname.split("/").pop(), video.currentTime]);
    frame.addEventListener("load", arrived);
    video.muted = true;
    return video.play().then(() => new Promise((done) => {
      const watch = () => {
        if (video.currentTime > 7.4) {
          video.pause();
          frame.removeEventListener("load", arrived);
          done(seen);
        } else {
          setTimeout(watch, 20);
        }
      };
      watch();
    }));
  });
  assert.deepEqual(changes.map(([name]) => name), ["foil2.html"]);
  const late = changes[0][1] - 7;
  console.log(`# foil2.html arrived ${(late * 1000).toFixed(0)} ms after its stamp at 7 s`);
  assert.ok(late >= 0 && late < 0.3, `foil2.html came ${late * 1000} ms after its stamp`);
  await expectPage("foil2.html", "after playing past 7 s");
  if (process.env.HREFTRACK_PLAYER_SCREENSHOT) {
    await page.resize(1100, 720);
    await page.screenshot(process.env.HREFTRACK_PLAYER_SCREENSHOT);
    await page.resize(1000, 560);
  }
});

// What the page saves, caught instead of downloaded: each file's name and text.
const catchSaves = () => page.run(() => {
  window.saved = [];
  const blobs = new Map();
  const make = URL.createObjectURL;
  URL.createObjectURL = (blob) => {
    const url = make(blob);
    blobs.set(url, blob);
    return url;
  };
  HTMLAnchorElement.prototype.click = function click() {
    window.saved.push(blobs.get(this.href).text().then((text) => [this.download, text]));
  };
});
const saved = () => page.run(() => Promise.all(window.saved));

// The timeline's preview: whether it shows, the name and page it shows, whether
// it lies over the timeline, and how many frames the page has.  Its frame is
// made when it first opens.
const preview = () => page.run(() => {
  const box = document.getElementById("timeline-preview");
  const bar = document.getElementById("timeline").getBoundingClientRect();
  const frame = document.getElementById("timeline-preview-frame");
  let shown = null;
  try {
    shown = frame?.contentWindow.location.pathname.split("/").pop() ?? null;
  } catch {
    shown = "sandboxed";
  }
  const over = box.getBoundingClientRect();
  return { shown: !box.hidden, name: document.getElementById("timeline-preview-name").textContent, page: shown,
           over: box.hidden || (over.bottom <= bar.top && over.left >= bar.left - 1 && over.right <= bar.right + 1),
           frames: document.querySelectorAll("iframe").length };
});

test("the timeline: a segment for each slide, the slide and moment said; keys, clicks, hits; a preview of each slide",
     async () => {
  await until((s) => s.metadata, "the recording's metadata");
  await clearSearch();
  await seek(8);
  const timeline = () => page.run(() => {
    const bar = document.getElementById("timeline");
    return { segments: bar.querySelectorAll(".timeline-slide").length, hits: bar.querySelectorAll(".timeline-hit").length,
             said: bar.getAttribute("aria-valuetext"), role: bar.getAttribute("role") };
  });
  assert.deepEqual(await waitFor(timeline, (t) => t.said.startsWith("Lysark 2"), "the slider at 8 s"),
                   { segments: 4, hits: 0, said: "Lysark 2 · Sporet, 0:08 av 0:20", role: "slider" });
  await page.run(() => document.getElementById("timeline").focus());
  for (const [key, slide] of [["ArrowRight", 3], ["Home", 0], ["End", 3], ["ArrowLeft", 2]]) {
    await page.press(key);
    await expectSlide(slide, `after ${key} on the timeline`);
  }
  // The key's slide previewed at once: its name and its page, laid over the page, which does not move.
  const before = await page.run(() => JSON.stringify(document.getElementById("slides-part").getBoundingClientRect()));
  assert.deepEqual(await waitFor(preview, (p) => p.page === "foil2.html", "the preview of slide 2 by key"),
                   { shown: true, name: "Lysark 2 · Sporet", page: "foil2.html", over: true, frames: 2 });
  assert.equal(await page.run(() => JSON.stringify(document.getElementById("slides-part").getBoundingClientRect())),
               before, "the preview moved the page");
  await page.press("Tab");
  // Firefox under its driver, whose window never has the system's focus, tells no element it lost the focus.
  if (await page.run(() => document.hasFocus())) {
    assert.equal((await preview()).shown, false, "the preview stayed after the timeline lost the focus");
  }
  // By pointer: once it rests on a segment, that slide; from one to the next at once; gone as it leaves.
  const point = (segment, type = "pointermove") => page.run((at, kind) => {
    const box = document.querySelectorAll("#timeline .timeline-slide")[at].getBoundingClientRect();
    document.getElementById("timeline").dispatchEvent(new PointerEvent(kind, {
      bubbles: kind === "pointermove", clientX: box.left + box.width / 2, clientY: box.top + box.height / 2 }));
  }, segment, type);
  await point(0, "pointerleave");
  await point(1);
  assert.equal((await preview()).shown, false, "the preview came before the pointer rested");
  assert.deepEqual(await waitFor(preview, (p) => p.page === "foil1.html", "the preview of slide 1 by pointer"),
                   { shown: true, name: "Lysark 1 · Loggen", page: "foil1.html", over: true, frames: 2 });
  await point(3);
  assert.equal((await preview()).name, "Lysark 3 · Spilleren");
  await point(3, "pointerleave");
  assert.equal((await preview()).shown, false);
  await page.click("#timeline .timeline-slide:nth-child(2)");
  await expectSlide(1, "after a click on its segment");
  await find("lysark");
  assert.equal((await timeline()).hits, 8);
  await page.click("#timeline .timeline-hit:last-child");
  await expectSlide(3, "after a click on the hit at 0:12");
  await clearSearch();
});

test("notes: written at the moment, in time order, changed, deleted and undone, saved as Markdown", async () => {
  const notes = () => page.run(() => [...document.querySelectorAll("#notes .note-go")].map((go) => go.textContent));
  const write = async (at, text, key) => {
    await seek(at);
    await clickInView("#note-new");
    await waitFor(() => page.run(() => document.activeElement.id), (id) => id === "note-text", "the note's field");
    await page.run((typed) => { document.getElementById("note-text").value = typed; }, text);
    await page.press(key);
  };
  await write(8.4, "Sporet: stempel og side", "Control+Enter");
  await write(3.5, "Forkastet", "Escape");
  await write(1.2, "Velkommen", "Control+Enter");
  assert.deepEqual(await notes(), ["0:01 · Lysark 0 · Tjue sekunder om lysark Velkommen",
                                   "0:08 · Lysark 2 · Sporet Sporet: stempel og side"]);
  await clickInView("#notes li:nth-child(2) .note-go");
  await until((s) => !s.seeking && Math.abs(s.time - 8.4) < 0.01 && s.current === 2, "the note's moment");
  await expectPage("foil2.html", "after a click on a note");
  await clickInView("#notes li:nth-child(1) button:nth-child(2)");
  await page.run(() => { document.getElementById("note-text").value = "Velkommen til alle"; });
  await clickInView("#note-keep");
  await clickInView("#notes li:nth-child(2) button:nth-child(3)");
  assert.equal((await notes()).length, 1);
  await clickInView("#note-undo");
  assert.deepEqual(await notes(), ["0:01 · Lysark 0 · Tjue sekunder om lysark Velkommen til alle",
                                   "0:08 · Lysark 2 · Sporet Sporet: stempel og side"]);
  await catchSaves();
  await clickInView("#notes-save");
  const [[name, markdown]] = await saved();
  const address = (t) => `${base}/index.html?video=lecture.webm&track=HREFTrack.txt&captions=lecture.vtt&t=${t}`;
  assert.deepEqual([name, markdown.split("\n")], ["lecture-notater.md", [
    "# Notater: lecture", "", "## Lysark 0 · Tjue sekunder om lysark \\(0:00\\)", "",
    `- [0:01](<${address(1)}>) Velkommen til alle`, "", "## Lysark 2 · Sporet \\(0:07\\)", "",
    `- [0:08](<${address(8)}>) Sporet: stempel og side`, ""]]);
  if (!page.prints) return;
  // Printed, the page is a handout: the notes under their slides, nothing else.
  await page.print();
  const printed = await page.run(() => [document.querySelector("main").getBoundingClientRect().height,
    [...document.querySelectorAll("#handout h2, #handout h3, #handout li")].map((part) => part.textContent)]);
  await page.print(null);
  assert.deepEqual(printed, [0, ["Notater: lecture", "Lysark 0 · Tjue sekunder om lysark (0:00)", "0:01 Velkommen til alle",
                                 "Lysark 2 · Sporet (0:07)", "0:08 Sporet: stempel og side"]]);
});

test("where the student left off: the moment, rate, captions, panel, layout, listening and notes come back",
     async (t) => {
  // The rest of the scenario starts afresh.
  t.after(() => page.run(() => localStorage.clear()));
  await seek(8.4);
  await page.run(() => {
    const video = document.querySelector("video");
    video.playbackRate = 1.5;
    document.querySelector("video track").track.mode = "hidden";
    document.getElementById("transcript-toggle").click();
    const layout = document.getElementById("layout");
    layout.value = "recording";
    layout.dispatchEvent(new Event("change"));
    document.getElementById("describe").click();
    document.getElementById("announce").click();
  });
  // The browser tells of a new rate and of captions turned off a moment later.
  await waitFor(() => page.run(() => JSON.parse(localStorage.getItem("hreftrack.settings.v1"))),
                (kept) => kept?.rate === 1.5 && kept.captions === false, "the settings kept");
  const back = () => page.run(() => ({ said: document.getElementById("resume-text").textContent || null,
    rate: document.querySelector("video").playbackRate,
    panel: document.querySelector('[role="tab"][aria-selected="true"]').id,
    layout: [document.getElementById("layout").value, document.getElementById("page").dataset.layout,
             document.getElementById("recording").getBoundingClientRect().width >
             document.getElementById("foil").getBoundingClientRect().width],
    captions: document.querySelector("video track").track.mode, notes: document.querySelectorAll("#notes li").length,
    listening: [document.getElementById("describe").getAttribute("aria-pressed"), document.getElementById("announce").checked] }));
  await load(`${played}&captions=lecture.vtt`);
  await until((s) => !s.seeking && Math.abs(s.time - 8.4) < 0.01 && s.current === 2, "the moment it was left at");
  await expectPage("foil2.html", "where it was left");
  assert.deepEqual(await back(), { said: "Fortsetter fra 0:08.", rate: 1.5, panel: "transcript-toggle",
                                   layout: ["recording", "recording", true], captions: "hidden", notes: 2,
                                   listening: ["true", false] });
  // A link's t= wins over the moment kept (of 20 s, only 5 to 10 s are kept).
  await load(`${played}&captions=lecture.vtt&t=9.5`);
  await until((s) => !s.seeking && Math.abs(s.time - 9.5) < 0.01, "t=9.5");
  assert.equal((await back()).said, null);
  await load(`${played}&captions=lecture.vtt`);
  await until((s) => Math.abs(s.time - 9.5) < 0.01, "the moment of t=, kept");
  await page.click("#resume-restart");
  await expectSlide(0, "after Start fra begynnelsen");
  await load(`${played}&captions=lecture.vtt`);
  await until((s) => s.metadata, "the recording's metadata");
  assert.deepEqual([(await state()).time, (await back()).said], [0, null]);
});

test("chapters: the slides in the media session, and a WebVTT chapters file that the engine's track reads", async () => {
  await load(`${played}&captions=lecture.vtt`);
  await until((s) => JSON.stringify(s.entries) === JSON.stringify(titled), "the titles of the pages");
  const session = await page.run(() => {
    const metadata = navigator.mediaSession?.metadata;
    return metadata ? [metadata.title, metadata.chapterInfo?.map((chapter) => chapter.title) ?? null] : null;
  });
  console.log(`# ${engine}: the media session has ${JSON.stringify(session)}`);
  const names = titled.map((entry) => entry.replace(/ \d+:\d\d$/, ""));
  if (engine === "chromium") assert.deepEqual(session, ["Tjue sekunder om lysark", names]);
  await catchSaves();
  await page.click("#chapters-save");
  const [[name, vtt]] = await saved();
  assert.equal(name, "lecture-kapitler.vtt");
  const cues = await page.run((text) => new Promise((done) => {
    const video = document.createElement("video");
    const track = document.createElement("track");
    track.kind = "chapters";
    track.src = URL.createObjectURL(new Blob([text], { type: "text/vtt" }));
    track.addEventListener("load", () => done([...track.track.cues].map((cue) => [cue.startTime, cue.endTime, cue.text])));
    track.addEventListener("error", () => done("the track did not load"));
    video.append(track);
    document.body.append(video);
    track.track.mode = "hidden";
  }), vtt);
  console.log(`# ${engine}: the chapters file played as <track kind="chapters">: ${cues.length} cues`);
  assert.deepEqual(cues, [[0, 3, names[0]], [3, 7, names[1]], [7, 12, names[2]], [12, 20, names[3]]]);
});

test("t= starts the recording there, with its page; past the recording's end it is refused, and said", async () => {
  assert.deepEqual((await load(`${played}&t=12.5`)).messages, []);
  await until((s) => !s.seeking && Math.abs(s.time - 12.5) < 0.01 && s.current === 3,
              "the recording at 12.5 s, slide 3 marked");
  await expectPage("foil3.html", "with t=12.5");
  // Past the end of the 20 s recording: slide 0 at 0:00, and why.
  await page.goto(`${base}/index.html${played}&t=999`);
  const refused = await until((s) => s.metadata && s.messages.length > 0 && s.current === 0, "t=999 refused");
  assert.deepEqual([refused.messages, refused.time], [[words.link.pastEnd("16:39", "0:20")], 0]);
  await expectPage("foil0.html", "with t=999");
});

test("a recording that is missing, or of a type the browser cannot play, is said; the rest works", async () => {
  for (const [name, said] of [["borte.webm", words.recording.missing("borte.webm")],
                              ["foil1.html", words.recording.unplayable("foil1.html")]]) {
    await page.goto(`${base}/index.html?video=${name}&track=HREFTrack.txt&captions=lecture.vtt`);
    const loaded = await until((s) => JSON.stringify(s.entries) === JSON.stringify(titled) && s.messages.length > 0,
                               `the titles and a word of ${name}`);
    assert.deepEqual(loaded.messages, [said]);
    await clickInView("#slides li:nth-child(3)");
    await expectPage("foil2.html", `after a click, without the recording ${name}`);
    assert.deepEqual((await find("takt")).said, "1 treff.");
  }
});

test("a server that answers no byte ranges is said once, with the remedy; the slide chosen still shows", async (t) => {
  const { server: plain, base: at } = await serveWithoutRanges(dir);
  t.after(() => {
    plain.closeAllConnections();
    plain.close();
  });
  await load(played, at);
  // Chromium says at once that it cannot seek, Firefox when the seek goes
  // past what it has fetched, WebKit refuses the recording.
  const said = [words.recording.unseekable("lecture.webm"), words.recording.noRanges("lecture.webm")];
  await clickInView("#slides li:nth-child(4)");
  await expectPage("foil3.html", "after a click, the recording unable to seek");
  const told = await until((s) => s.messages.length > 0, "a word of the recording");
  assert.equal(told.messages.length, 1, told.messages.join("\n"));
  assert.ok(said.includes(told.messages[0]), told.messages[0]);
  assert.equal(told.current, 3);
  await clickInView("#slides li:nth-child(2)");
  await expectPage("foil1.html", "after a second click");
  assert.deepEqual((await state()).messages, told.messages);
});

test("a served lecture without foil0.html: the player's note in the frame, never the server's page, and why", async () => {
  const without = join(dir, "uten-foil0");
  mkdirSync(without, { recursive: true });
  for (const name of ["HREFTrack.txt", "foil1.html", "foil2.html", "foil3.html"]) {
    copyFileSync(join(dir, name), join(without, name));
  }
  await page.goto(`${base}/index.html?video=lecture.webm&track=uten-foil0/HREFTrack.txt`);
  const said = words.slides.missingOpening("foil0.html");
  await waitFor(frameText, (text) => text === said, "the note in place of foil0.html");
  assert.match(await page.frameAddress(), /^blob:/);
  await until((s) => s.messages.length > 0, "the missing page said");
  assert.deepEqual((await until((s) => JSON.stringify(s.entries) === JSON.stringify([entries[0], ...titled.slice(1)]),
                                "the titles of the pages that are there")).messages, [said]);
  await clickInView("#slides li:nth-child(3)");
  await expectPage("foil2.html", "from the server, after a click");
});

test("a track made for another play length is said, with the answer to give next time", async () => {
  writeFileSync(join(dir, "lang.txt"), readFileSync(join(dir, "HREFTrack.txt"), "latin1")
    .replace("[00:00:20.00]", "[00:00:30.00]"), "latin1");
  await page.goto(`${base}/index.html?video=lecture.webm&track=lang.txt`);
  const loaded = await until((s) => s.messages.length > 0, "a word of the length");
  assert.deepEqual(loaded.messages, [words.recording.length("0:30.00", "0:20.00", "0 0 20 0")]);
});

test("captions that are no WebVTT are reported, and the lecture still plays", async () => {
  await load(`${played}&captions=HREFTrack.txt`);
  // The captions may fail before the track is listed, or after: both come.
  const reported = await until((s) => s.messages.length > 0 && s.busy === "false", "a word of the captions, and the list");
  assert.deepEqual(reported.messages, ["Kan ikke lese tekstingen HREFTrack.txt: den mangler eller er " +
                                       "ikke WebVTT. Opptaket og lysarkene spilles likevel."]);
  assert.deepEqual(untitled(reported.entries), entries);
  await seek(8);
  await expectPage("foil2.html", "with broken captions");
});

test("an inline script injected into the page does not run", async () => {
  writeFileSync(join(dir, "injected.html"), readFileSync(join(dir, "index.html"), "utf8").replace(
    "</head>", "<script>window.injected = true; document.title = 'injected';</script>\n</head>"));
  await page.goto(`${base}/injected.html${played}`);
  const loaded = await until((s) => s.busy === "false", "the page to start");
  assert.deepEqual([loaded.title, untitled(loaded.entries)], ["Forelesning med lysark", entries]);
  assert.equal(await page.run(() => window.injected === undefined), true);
});

test("a hostile track: a refused address never reaches the frame", async () => {
  const lines = readFileSync(join(dir, "HREFTrack.txt"), "latin1").split("\r\n");
  lines[6] = "A<javascript:parent.document.title='pwned'> T<myfoil>";
  writeFileSync(join(dir, "hostile.txt"), lines.join("\r\n"), "latin1");
  const loaded = await load("?video=lecture.webm&track=hostile.txt");
  assert.deepEqual(untitled(loaded.entries), ["Lysark 0 0:00", "Lysark 2 0:07", "Lysark 3 0:12"]);
  assert.match(loaded.messages[0], /^Linje 7: .* ikke tillatt/);
  await seek(4);
  await sleep(200);
  assert.equal(await shownPage(), "foil0.html");
  assert.equal((await state()).title, "Forelesning med lysark");
});

test("a hostile page's title is shown as plain text, and nothing of it runs", async () => {
  writeFileSync(join(dir, "hostile.html"), "<!doctype html><title><b>Fet</b><script>parent.document.title = " +
                "'pwned'</script> tittel</title><h1><img src=x onerror=\"parent.document.title = 'pwned'\">" +
                "Overskrift</h1><p>Sider med <i>mark-up</i></p>");
  const lines = readFileSync(join(dir, "HREFTrack.txt"), "latin1").split("\r\n");
  lines[10] = "A<hostile.html> T<myfoil>";
  writeFileSync(join(dir, "hostile-title.txt"), lines.join("\r\n"), "latin1");
  await load("?video=lecture.webm&track=hostile-title.txt");
  const loaded = await until((s) => s.entries[3] !== "hostile.html 0:12", "the pages' titles");
  assert.equal(loaded.entries[3],
               "hostile.html · <b>Fet</b><script>parent.document.title = 'pwned'</script> tittel 0:12");
  assert.deepEqual(await page.run(() => [document.title, document.querySelectorAll("#slides b, #slides script, " +
                                                                                  "#slides img").length]),
                   ["Forelesning med lysark", 0]);
});

test("a track of 30,000 bad lines: ten messages and a count, the samples still play", async () => {
  const bad = Array.from({ length: 30000 }, (_, i) => `rot ${i}`).join("\r\n");
  writeFileSync(join(dir, "bad.txt"), readFileSync(join(dir, "HREFTrack.txt"), "latin1")
    .replace("\r\n", `\r\n${bad}\r\n`), "latin1");
  const loaded = await load("?video=lecture.webm&track=bad.txt");
  assert.equal(loaded.messages.length, 11);
  assert.match(loaded.messages[10], /^… og 29.990 problemer til i sporet/);
  assert.deepEqual(untitled(loaded.entries), entries);
});

test("long tracks are ready in time, and the page answers meanwhile", async () => {
  const header = readFileSync(join(dir, "HREFTrack.txt"), "latin1").split("\r\n")[0];
  // Limits of three to five times what a quiet machine takes, which a busy one of two cores keeps too:
  // work that grew with the square of the track would take minutes.
  for (const [count, seconds] of [[3000, 1], [30000, 2], [100000, 3]]) {
    writeFileSync(join(dir, "long.txt"), longTrack(header, count, 100, (i) => `foil${i % 4}.html`));
    await page.goto(`${base}/index.html?video=lecture.webm&track=long.txt`);
    // The page answers the questions asked meanwhile: the longest wait for
    // an answer is how long the page was busy at the most.
    let longestWait = 0;
    const ready = await waitFor(async () => {
      const asked = Date.now();
      const answer = await page.run(() => ({
        entries: document.getElementById("slides").childElementCount,
        busy: document.getElementById("slides").getAttribute("aria-busy"),
        marked: document.querySelector('#slides [aria-current="true"]') !== null,
        at: performance.now() }));
      longestWait = Math.max(longestWait, Date.now() - asked);
      return answer;
    }, (r) => r.busy === "false" && r.marked, `${count} samples`, 30);
    console.log(`# ${engine}: ${count} samples ready ${(ready.at / 1000).toFixed(2)} s after the page ` +
                `was asked for; the longest wait for an answer meanwhile ${longestWait} ms`);
    assert.equal(ready.entries, count);
    if (engine === "chromium") {
      assert.ok(ready.at < seconds * 1000, `${count} samples took ${ready.at} ms`);
      assert.ok(longestWait < 500, `the page did not answer for ${longestWait} ms`);
    }
  }
  await page.run(() => document.getElementById("slides").focus());
  await page.press("End");
  const last = await focused();
  assert.deepEqual([last.name, untitled([last.entry])], ["slides", ["Lysark 3 27:46:39"]]);
  // Scrolled anywhere, the list shows the entries that stand there.
  const shown = await page.run(() => new Promise((done) => {
    const list = document.getElementById("slides");
    // In a low window the page scrolls to the list, as its user would.
    list.scrollIntoView({ block: "nearest" });
    list.scrollTop = list.scrollHeight / 2;
    requestAnimationFrame(() => requestAnimationFrame(() => {
      const box = list.getBoundingClientRect();
      const item = document.elementFromPoint(box.left + 20, box.top + box.height / 2)?.closest("li");
      done(item && [item.getAttribute("aria-posinset"), item.textContent]);
    }));
  }));
  assert.ok(shown !== null, "no entry where the list was scrolled to");
  assert.ok(Math.abs(Number(shown[0]) - 50000) < 20, `entry ${shown[0]} shown in the middle of 100,000`);
  assert.match(shown[1], /^Lysark \d.* 13:\d\d:\d\d$/);
  // The entry the focus was on is laid out away: the focus moves to one in view, and stays in the list.
  assert.deepEqual(await page.run(() => {
    const list = document.getElementById("slides");
    const box = list.getBoundingClientRect();
    const entry = document.getElementById(list.getAttribute("aria-activedescendant")).getBoundingClientRect();
    return [document.activeElement === list, entry.top >= box.top - 1 && entry.bottom <= box.bottom + 1];
  }), [true, true]);
});

test("at 390 px the page stacks, the frame whole on the first screen after a search, nothing wider than it",
     async () => {
  // A phone's screen as a frame of 390 x 844 CSS pixels: the page's media
  // queries see the frame's width, and every engine's window can hold it.
  writeFileSync(join(dir, "phone.html"), "<!doctype html><body style='margin:0'>" +
                `<iframe id="phone" width="390" height="844" src="index.html${played}&captions=lecture.vtt">` +
                "</iframe>");
  await page.goto(`${base}/phone.html`);
  // The page's boxes, once it shows the transcript, after `query` is searched for.
  const measure = (query) => waitFor(() => page.run((text) => {
    const phone = document.getElementById("phone").contentWindow;
    const find = (id) => phone.document.getElementById(id);
    if (!find("slides") || find("slides").getAttribute("aria-busy") !== "false" ||
        find("transcript").childElementCount === 0) return null;
    if (find("search").value !== text) {
      find("search").value = text;
      find("search").dispatchEvent(new phone.Event("input"));
    }
    const rect = (id) => find(id).getBoundingClientRect();
    return { width: phone.innerWidth, height: phone.innerHeight, hits: find("search-results").childElementCount,
             scrollWidth: phone.document.documentElement.scrollWidth, video: rect("recording").bottom,
             frameTop: rect("foil").top, frameBottom: rect("foil").bottom, frameHeight: rect("foil").height,
             tabs: rect("side-tabs").top };
  }, query), (b) => b !== null && (query === "" || b.hits > 0), `the phone's page, searching for "${query}"`);
  let box = await measure("");
  assert.deepEqual([box.width, box.height], [390, 844]);
  assert.ok(box.video <= box.frameTop && box.frameBottom <= box.tabs, `not stacked: ${JSON.stringify(box)}`);
  assert.ok(box.frameHeight >= box.height / 2 - 1, `the frame is ${box.frameHeight} px high`);
  assert.ok(box.scrollWidth <= box.width, `the page is ${box.scrollWidth} px wide`);
  await page.run(() => document.getElementById("phone").contentDocument.getElementById("search-tab").click());
  box = await measure("lysark");
  assert.ok(box.scrollWidth <= box.width, `with hits, the page is ${box.scrollWidth} px wide`);
  assert.ok(box.frameBottom <= box.height, `after a search, the frame ends ${box.frameBottom} px down`);
});

test("a lecture chosen from disk plays whole from a player in another folder, a missing slide said", async () => {
  // The lecture in a folder of its own, a slide in it with a picture and a
  // style sheet that names the picture too, and a script that must not run.
  const lecture = join(dir, "forelesning på disk");
  mkdirSync(join(lecture, "bilder"), { recursive: true });
  const chosen = ["lecture.webm", "HREFTrack.txt", "lecture.vtt", "foil0.html", "foil1.html", "foil2.html", "foil3.html",
                  "stil.css", "bilder/rød.gif"];
  for (const name of chosen.slice(0, 7)) copyFileSync(join(dir, name), join(lecture, name));
  writeFileSync(join(lecture, "bilder", "rød.gif"),
                Buffer.from("R0lGODlhAQABAIAAAP8AAP///yH5BAAAAAAALAAAAAABAAEAAAICRAEAOw==", "base64"));
  writeFileSync(join(lecture, "stil.css"), "h1 { color: rgb(0, 128, 0) }\n" +
                ".bilde { display: inline-block; width: 40px; height: 40px; background: url('bilder/r%C3%B8d.gif') }");
  writeFileSync(join(lecture, "foil2.html"), readFileSync(join(dir, "foil2.html"), "utf8")
    .replace("</head>", '<link rel="stylesheet" href="stil.css"></head>')
    .replace("</body>", '<p><img alt="rødt" src="bilder/r%C3%B8d.gif" width="40" height="40"> <span class="bilde"></span> ' +
                        '<a href="foil3.html">Neste</a></p><script>parent.document.title = "pwned"</script></body>'));
  // The player in another folder, as the package installs it.
  const player = join(dir, "spiller");
  mkdirSync(player);
  cpSync(join(root, "player"), player, { recursive: true });
  const heading = frameText;
  const choose = async (names, entriesTitled = titled) => {
    await load("", `file://${player}`);
    await page.upload("#files", names.map((name) => join(lecture, name)));
    return until((s) => s.busy === "false" && JSON.stringify(s.entries) === JSON.stringify(entriesTitled),
                 "the chosen lecture, titled");
  };
  // The recording and the track alone: one message that says how to give the slides.
  assert.deepEqual((await choose(["lecture.webm", "HREFTrack.txt"], entries)).messages, [words.chooser.noSlides]);
  await waitFor(heading, (shown) => shown === words.chooser.noSlides, "the note in the frame");
  assert.deepEqual((await choose(chosen)).messages, []);
  // Chosen whole, the chooser is one button, which opens it again.
  const chooser = () => page.run(() => [document.getElementById("chooser-choices").hidden,
                                        document.getElementById("chooser-again").hidden]);
  assert.deepEqual(await chooser(), [true, false]);
  await page.click("#chooser-again");
  assert.deepEqual([...await chooser(), await page.run(() => document.activeElement.id)], [false, true, "folder"]);
  await waitFor(captionTracks, (tracks) => JSON.stringify(tracks) === lectureCaptions, "the chosen captions");
  await waitFor(heading, (shown) => shown === "Tjue sekunder om lysark", "slide 0 at the start");
  await clickInView("#slides li:nth-child(3)");
  await until((s) => !s.seeking && Math.abs(s.time - 7) < 0.01 && s.current === 2, "slide 2 after a click");
  await waitFor(heading, (shown) => shown === "Sporet", "slide 2 in the frame");
  assert.match(await page.frameAddress(), /^blob:/);
  assert.deepEqual(await page.frameRun(() => [getComputedStyle(document.querySelector("h1")).color,
    getComputedStyle(document.querySelector("img")).content.slice(0, 19),
    document.querySelector("img").getBoundingClientRect().width,
    getComputedStyle(document.querySelector(".bilde")).backgroundImage.slice(0, 19),
    document.querySelector("a").hasAttribute("href"), document.scripts.length]),
  ["rgb(0, 128, 0)", 'url("data:image/gif', 40, 'url("data:image/gif', false, 0]);
  assert.deepEqual(await page.run(() => [document.title, document.getElementById("foil").getAttribute("sandbox")]),
                   ["Forelesning med lysark", ""]);
  // Its preview on the timeline, sandboxed as the slide frame is; its frame made only then, as a frame
  // costs the page's parse dearly.
  assert.equal(await page.run(() => document.querySelectorAll("iframe").length), 1, "a frame before any preview");
  await page.run(() => {
    const box = document.querySelectorAll("#timeline .timeline-slide")[1].getBoundingClientRect();
    document.getElementById("timeline").dispatchEvent(new PointerEvent("pointermove", {
      bubbles: true, clientX: box.left + box.width / 2, clientY: box.top + box.height / 2 }));
  });
  assert.deepEqual(await waitFor(preview, (p) => p.page === "sandboxed", "the preview of a chosen slide"),
                   { shown: true, name: "Lysark 1 · Loggen", page: "sandboxed", over: true, frames: 2 });
  assert.match(await page.run(() => document.getElementById("timeline-preview-frame").getAttribute("sandbox")), /^$/);
  // Without one of the slides: said once by its name, and a note in the frame in its place.
  const without = await choose(chosen.filter((name) => name !== "foil3.html"), [...titled.slice(0, 3), "Lysark 3 0:12"]);
  assert.deepEqual(without.messages, ["foil3.html finnes ikke i den valgte mappen."]);
  // Where the lecture was left, slide 2 at 7 s, it goes on.
  await until((s) => !s.seeking && Math.abs(s.time - 7) < 0.01 && s.current === 2, "the lecture where it was left");
  await clickInView("#slides li:nth-child(4)");
  await waitFor(heading, (shown) => shown === "foil3.html finnes ikke i den valgte mappen.", "the note in the frame");
  if (!page.choosesFolders) return;
  // The lecture's whole folder, the rest of what it holds passed by without a word.
  await load("", `file://${player}`);
  await page.upload("#folder", [lecture]);
  const folder = await until((s) => s.busy === "false" && JSON.stringify(s.entries) === JSON.stringify(titled),
                             "the folder's lecture, titled");
  assert.deepEqual(folder.messages, []);
  await clickInView("#slides li:nth-child(3)");
  await waitFor(heading, (shown) => shown === "Sporet", "slide 2 of the folder in the frame");
});

test("a slide chosen from disk calls out to no host, whatever it names", async () => {
  // A listener on 127.0.0.1 counts every connection made to it.
  let calls = 0;
  const listener = createNetServer((socket) => {
    calls += 1;
    socket.destroy();
  });
  await new Promise((resolve) => { listener.listen(0, "127.0.0.1", resolve); });
  const away = `http://127.0.0.1:${listener.address().port}`;
  const lecture = join(dir, "kaller ut");
  mkdirSync(lecture, { recursive: true });
  for (const name of ["lecture.webm", "HREFTrack.txt", "foil0.html", "foil2.html", "foil3.html"]) {
    copyFileSync(join(dir, name), join(lecture, name));
  }
  writeFileSync(join(lecture, "foil1.html"), `<!doctype html><html lang="nb"><head><title>Ut</title>
<meta http-equiv="refresh" content="0; url=${away}/refresh"><base href="${away}/">
<link rel="prefetch" href="${away}/prefetch"><link rel="preconnect" href="${away}">
<link rel="preload" as="image" href="${away}/preload.png"><link rel="stylesheet" href="${away}/sheet.css">
<link rel="icon" href="${away}/icon.png">
<style>@import url(${away}/import.css); body { background: url(${away}/background.png) }</style></head>
<body><h1>Ut</h1><iframe src="${away}/frame"></iframe><video src="${away}/video.webm" poster="${away}/poster.png">
</video><audio src="${away}/audio.webm" autoplay></audio><video><source src="${away}/source.webm"></video>
<object data="${away}/object"></object><embed src="${away}/embed"><img src="${away}/img.png"
srcset="${away}/img2.png 2x"><input type="image" src="${away}/input.png" alt="x">
<svg><image href="${away}/svg.png" width="10" height="10"/></svg>
<p style="background: url(${away}/style.png)">Tekst</p></body></html>`);
  try {
    await load("", `file://${join(root, "player")}`);
    await page.upload("#files", ["lecture.webm", "HREFTrack.txt", "foil0.html", "foil1.html", "foil2.html", "foil3.html"]
      .map((name) => join(lecture, name)));
    await until((s) => s.busy === "false" && s.entries[1] === "Lysark 1 · Ut 0:03", "the chosen lecture, titled");
    await clickInView("#slides li:nth-child(2)");
    await waitFor(frameText, (shown) => shown === "Ut", "the slide that calls out in the frame");
    await sleep(1000);
    console.log(`# ${engine}: connections to another host from a chosen slide: ${calls}`);
    assert.equal(calls, 0);
  } finally {
    listener.close();
  }
});

test("a picture a chosen slide shows ten times is inlined once; one too large is said, and its slide a note", async () => {
  const lecture = join(dir, "bilder ti ganger");
  mkdirSync(lecture, { recursive: true });
  for (const name of ["lecture.webm", "HREFTrack.txt", "foil0.html", "foil3.html"]) {
    copyFileSync(join(dir, name), join(lecture, name));
  }
  // A picture of 300 by 1 pixels, made 1 MB long by a comment chunk no browser shows.
  const chunk = (type, data) => {
    const length = Buffer.alloc(4);
    length.writeUInt32BE(data.length);
    return Buffer.concat([length, Buffer.from(type), data, Buffer.alloc(4)]);
  };
  const header = Buffer.alloc(13);
  header.writeUInt32BE(300, 0);
  header.writeUInt32BE(1, 4);
  header.set([8, 0, 0, 0, 0], 8);
  const png = Buffer.concat([Buffer.from([0x89, 0x50, 0x4e, 0x47, 0x0d, 0x0a, 0x1a, 0x0a]), chunk("IHDR", header),
                             chunk("tEXt", Buffer.alloc(1024 * 1024, 0x41)),
                             chunk("IDAT", zlib.deflateSync(Buffer.alloc(301))), chunk("IEND", Buffer.alloc(0))]);
  // A PNG's checksums, which browsers check, of each chunk.
  const crc32 = (bytes) => {
    let crc = ~0;
    for (const byte of bytes) {
      crc ^= byte;
      for (let bit = 0; bit < 8; bit += 1) crc = (crc >>> 1) ^ (0xedb88320 & -(crc & 1));
    }
    return ~crc >>> 0;
  };
  for (let at = 8; at < png.length;) {
    const length = png.readUInt32BE(at);
    png.writeUInt32BE(crc32(png.subarray(at + 4, at + 8 + length)), at + 8 + length);
    at += 12 + length;
  }
  writeFileSync(join(lecture, "stor.png"), png);
  writeFileSync(join(lecture, "foil1.html"), `<!doctype html><title>Ti</title><h1>Ti</h1>
${'<img alt="" src="stor.png">'.repeat(10)}`);
  // Past what a chosen slide may show.
  writeFileSync(join(lecture, "enorm.png"), Buffer.alloc(33 * 1024 * 1024));
  writeFileSync(join(lecture, "foil2.html"), '<!doctype html><title>Enorm</title><img alt="" src="enorm.png">');
  await load("", `file://${join(root, "player")}`);
  await page.upload("#files", ["lecture.webm", "HREFTrack.txt", "foil0.html", "foil1.html", "foil2.html", "foil3.html",
                               "stor.png", "enorm.png"].map((name) => join(lecture, name)));
  await until((s) => s.busy === "false" && s.entries[1] === "Lysark 1 · Ti 0:03", "the chosen lecture, titled");
  await clickInView("#slides li:nth-child(2)");
  await waitFor(frameText, (shown) => shown === "Ti", "the slide of ten pictures");
  const [widths, length] = await page.frameRun(() => [[...document.images].map((image) => image.width),
                                                      document.documentElement.outerHTML.length]);
  console.log(`# ${engine}: a slide showing a 1 MB picture ten times, made into ${length} characters`);
  assert.deepEqual(widths, Array(10).fill(300));
  assert.ok(length < 2 * png.length, `${length} characters`);
  await clickInView("#slides li:nth-child(3)");
  const said = words.chooser.tooLarge("foil2.html");
  await waitFor(frameText, (shown) => shown === said, "the note in place of the slide too large");
  assert.deepEqual((await state()).messages, [said]);
});
