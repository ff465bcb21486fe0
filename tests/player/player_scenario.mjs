// SPDX-License-Identifier: MIT
// The web player as a student uses it, the same checks in every browser
// engine (player_browser.mjs runs them), on the example lecture served from
// 127.0.0.1: slides at 0, 3, 7 and 12 s of a 20 s recording.
import { readFileSync, writeFileSync } from "node:fs";
import { createRequire } from "node:module";
import { join } from "node:path";

const require = createRequire(import.meta.url);

// JSON with the keys of every object in order, since drivers return them in
// orders of their own.
const canonical = (value) => JSON.stringify(value, (key, v) => (
  v && typeof v === "object" && !Array.isArray(v)
    ? Object.fromEntries(Object.entries(v).sort(([a], [b]) => (a < b ? -1 : 1))) : v));

const sleep = (ms) => new Promise((resolve) => { setTimeout(resolve, ms); });

// Everything the checks read of the page at once.
const stateScript = `
  const video = document.getElementById("recording");
  const buttons = [...document.querySelectorAll("#slides li > button")];
  return {
    ready: document.body.dataset.ready === "true",
    messages: [...document.querySelectorAll("#messages li")].map((li) => li.textContent),
    entries: buttons.map((b) => b.textContent),
    current: buttons.findIndex((b) => b.getAttribute("aria-current") === "true"),
    marked: buttons.filter((b) => b.hasAttribute("aria-current")).length,
    time: video.currentTime,
    seeking: video.seeking,
    metadata: video.readyState >= 1,
    source: video.currentSrc,
    chooser: !document.getElementById("chooser").hidden,
    title: document.title,
  };`;

// The recording's captions tracks: kind, language, mode and cues.
const captionsScript = `
  return [...document.getElementById("recording").textTracks]
    .filter((track) => track.kind === "captions")
    .map((track) => ({ language: track.language, label: track.label, mode: track.mode,
                       cues: [...(track.cues || [])].map((c) => [c.startTime, c.endTime, c.text]) }));`;

const lectureCaptions = [
  [0.5, 2.8, "Velkommen. I dag handler det om lysark og opptak."],
  [3, 6.5, "Loggen viser hvilket lysark som ble vist, og naar."],
  [7, 11.5, "hreftrack skriver sporet: et tidsstempel og en side for hvert lysark."],
  [12, 19, "Spilleren viser opptaket og lysarkene i takt."]];

const lectureEntries = ["Lysark 0 0:00", "Lysark 1 0:03", "Lysark 2 0:07", "Lysark 3 0:12"];
const slideStarts = [0, 3, 7, 12];

class Scenario {
  constructor(page, lecture) {
    this.page = page;
    this.lecture = lecture;
    this.passed = [];
  }

  state() {
    return this.page.run(stateScript);
  }

  // Reads `read()` every 25 ms until `ok` holds of it or `seconds` pass;
  // returns whether it held and the last value read.
  async poll(read, ok, seconds) {
    const deadline = Date.now() + seconds * 1000;
    for (;;) {
      const value = await read();
      if (ok(value)) return { held: true, value };
      if (Date.now() > deadline) return { held: false, value };
      await sleep(25);
    }
  }

  async wait(condition, what, seconds = 8) {
    const { held, value } = await this.poll(() => this.state(), condition, seconds);
    if (!held) throw new Error(`waited ${seconds} s for ${what}; the page: ${JSON.stringify(value)}`);
    return value;
  }

  async shownPage() {
    const address = await this.page.frameAddress();
    return address === null ? null : address.split("?")[0].split("/").pop();
  }

  async expectPage(name, when) {
    const { held, value } = await this.poll(() => this.shownPage(), (shown) => shown === name, 5);
    if (!held) throw new Error(`${when}: the frame shows ${value}, not ${name}`);
  }

  // Waits until the slide `index` of the lecture plays at its start: the
  // recording there, its entry the only one marked, its page in the frame.
  async expectSlide(index, when) {
    await this.wait((s) => !s.seeking && Math.abs(s.time - slideStarts[index]) < 0.01 &&
                           s.current === index && s.marked === 1,
                    `slide ${index} at ${slideStarts[index]} s ${when}`);
    await this.expectPage(`foil${index}.html`, when);
  }

  async captions(expected, what) {
    const { held, value } = await this.poll(() => this.page.run(captionsScript),
                                            (tracks) => canonical(tracks) === canonical(expected), 8);
    if (!held) throw new Error(`${what}: ${JSON.stringify(value)}, not ${JSON.stringify(expected)}`);
  }

  async load(query, { base = this.lecture.base } = {}) {
    await this.page.goto(`${base}/index.html${query}`);
    return this.wait((s) => s.ready || s.messages.length > 0 || s.chooser, "the page to start");
  }

  async seek(seconds) {
    await this.page.run(`
      const video = document.getElementById("recording");
      video.pause();
      return new Promise((done) => {
        video.addEventListener("seeked", () => done(), { once: true });
        video.currentTime = arguments[0];
      });`, seconds);
  }

  async check(name, body) {
    const started = Date.now();
    try {
      await body();
    } catch (error) {
      let said = "";
      try {
        said = JSON.stringify((await this.state()).messages);
      } catch {
        said = "(the page could not be read)";
      }
      error.message = `check "${name}" failed: ${error.message}\nthe page's messages: ${said}`;
      error.passed = this.passed.length;
      throw error;
    }
    this.passed.push(name);
    console.log(`ok ${this.passed.length} ${name} (${Date.now() - started} ms)`);
  }
}

function equal(actual, expected, what) {
  if (canonical(actual) !== canonical(expected)) {
    throw new Error(`${what}: ${JSON.stringify(actual)}, not ${JSON.stringify(expected)}`);
  }
}

/// Runs every check; throws at the first that fails, naming it.  `lecture`
/// is { base, port, dir, screenshot }: the served address, its port, the
/// folder served, and where to save the README's screenshot (or null).
export async function runScenario(page, lecture) {
  const s = new Scenario(page, lecture);
  const played = "?video=lecture.webm&track=HREFTrack.txt";
  const captioned = `${played}&captions=lecture.vtt`;

  // The lecture as published: its track and its captions.
  await s.check("the list against the track, slide 0 at load", async () => {
    const state = await s.load(captioned);
    equal(state.messages, [], "messages");
    equal(state.entries, lectureEntries, "entries");
    equal(state.current, 0, "marked entry");
    await s.expectPage("foil0.html", "at load");
  });

  await s.check("Tab reaches the recording, every entry in order, then the frame", async () => {
    await page.run("document.activeElement.blur();");
    const reached = [];
    for (let press = 0; press < 16 && reached[reached.length - 1] !== "foil"; press += 1) {
      await page.press("Tab");
      const focused = await page.run(
        "const e = document.activeElement; return e.tagName === 'BUTTON' ? e.textContent : e.id;");
      if (focused !== reached[reached.length - 1]) reached.push(focused);
    }
    equal(reached, ["recording", ...lectureEntries, "foil"], "the order of Tab");
  });

  await s.check("a click, Enter and Space on an entry seek to its slide at once", async () => {
    await s.wait((state) => state.metadata, "the recording's metadata");
    await page.click("#slides li:nth-child(3) button");
    await s.expectSlide(2, "after a click on its entry");
    if (!page.keysActivateButtons) {
      console.log("   Enter and Space not checked: this driver's keys activate no button");
      return;
    }
    await page.run("document.querySelector('#slides li:nth-child(2) button').focus();");
    await page.press("Enter");
    await s.expectSlide(1, "after Enter on its entry");
    await page.run("document.querySelector('#slides li:nth-child(4) button').focus();");
    await page.press("Space");
    await s.expectSlide(3, "after Space on its entry");
  });

  await s.check("PageUp five times from inside a sample, then PageDown", async () => {
    await s.seek(14.5);
    await s.wait((state) => state.current === 3, "slide 3 at 14.5 s");
    for (const [press, index] of [[1, 2], [2, 1], [3, 0], [4, 0], [5, 0]]) {
      await page.press("PageUp");
      if (press > 3) await sleep(150);
      await s.expectSlide(index, `after PageUp number ${press}`);
    }
    await page.press("PageDown");
    await s.expectSlide(1, "after PageDown");
  });

  await s.check("playing across a stamp changes the page in step", async () => {
    await s.seek(6.3);
    const changes = await page.run(`
      const video = document.getElementById("recording");
      const frame = document.getElementById("foil");
      const changes = [];
      new MutationObserver(() => changes.push([frame.dataset.page.split("/").pop(),
                                               video.currentTime]))
        .observe(frame, { attributes: true, attributeFilter: ["data-page"] });
      video.muted = true;
      return video.play().then(() => new Promise((done) => {
        const watch = () => {
          if (video.currentTime > 7.4) { video.pause(); done(changes); } else setTimeout(watch, 20);
        };
        watch();
      }));`);
    equal(changes.map(([name]) => name), ["foil2.html"], "pages sent to the frame");
    const late = changes[0][1] - 7;
    console.log(`   foil2.html shown ${(late * 1000).toFixed(0)} ms after its stamp at 7 s`);
    if (!(late >= 0 && late < 0.3)) throw new Error(`foil2.html came ${late * 1000} ms late`);
    await s.wait((state) => state.current === 2, "the entry of slide 2 marked");
    await s.expectPage("foil2.html", "after playing past 7 s");
    if (lecture.screenshot) await page.screenshot(lecture.screenshot);
  });

  await s.check("axe-core finds no WCAG 2.0/2.1 A or AA violation", async () => {
    await page.run(readFileSync(require.resolve("axe-core/axe.min.js"), "latin1"));
    const violations = await page.run(`
      return axe.run(document, { runOnly: { type: "tag",
                                            values: ["wcag2a", "wcag2aa", "wcag21a", "wcag21aa"] } })
        .then((result) => result.violations.map((v) =>
          v.id + ": " + v.nodes.map((n) => n.target.join(" ")).join(", ")));`);
    equal(violations, [], "violations");
  });

  await s.check("t= starts the recording there, with its page", async () => {
    const state = await s.load(`${played}&t=12.5`);
    equal(state.messages, [], "messages");
    await s.wait((st) => !st.seeking && Math.abs(st.time - 12.5) < 0.01 && st.current === 3,
                 "the recording at 12.5 s, slide 3 marked");
    await s.expectPage("foil3.html", "with t=12.5");
  });

  await s.check("captions: shown, Norwegian, cues at their times; refused when foreign or no WebVTT", async () => {
    await s.load(captioned);
    await s.captions([{ language: "no", label: "Norsk", mode: "showing", cues: lectureCaptions }],
                     "the lecture's captions");
    const foreign = `http://localhost:${lecture.port}/lecture.vtt`;
    await s.load(`${played}&captions=${encodeURIComponent(foreign)}`);
    let state = await s.wait((st) => st.ready, "the page to play without the foreign captions");
    equal(state.messages, [`Tekstingen ${foreign} ligger paa et annet nettsted enn spilleren, og brukes ikke.`],
          "messages");
    equal(await page.run(captionsScript), [], "captions of another origin");
    equal(state.entries, lectureEntries, "entries with foreign captions");
    await s.load(`${played}&captions=HREFTrack.txt&captionslang=nn`);
    state = await s.wait((st) => st.ready && st.messages.length > 0,
                         "a word of captions that are no WebVTT");
    equal(state.messages, ["Kan ikke lese tekstingen HREFTrack.txt: den mangler eller er ikke WebVTT. " +
                           "Opptaket og lysarkene spilles likevel."], "messages");
    equal(state.entries, lectureEntries, "entries with broken captions");
    await s.seek(8);
    await s.expectPage("foil2.html", "with broken captions");
  });

  await s.check("a track of another origin is refused and nothing plays", async () => {
    const foreign = `http://localhost:${lecture.port}/HREFTrack.txt`;
    const state = await s.load(`?video=lecture.webm&track=${encodeURIComponent(foreign)}`);
    equal(state.messages, [`Sporet ${foreign} ligger paa et annet nettsted enn spilleren, og spilles ikke.`],
          "messages");
    equal(state.entries, [], "entries");
    equal(state.source, "", "recording");
    await sleep(200);
    const shown = await page.frameAddress();
    if (shown !== "about:blank") throw new Error(`the frame shows ${shown}`);
  });

  await s.check("an inline script injected into the page does not run", async () => {
    const html = readFileSync(join(lecture.dir, "index.html"), "utf8").replace(
      "</head>", "<script>window.injected = true; document.title = 'injected';</script>\n</head>");
    writeFileSync(join(lecture.dir, "injected.html"), html);
    await page.goto(`${lecture.base}/injected.html${played}`);
    const state = await s.wait((st) => st.ready, "the page to start");
    equal(state.title, "Forelesning med lysark", "title");
    equal(await page.run("return window.injected === undefined;"), true, "injected script ran");
    equal(state.entries, lectureEntries, "entries");
  });

  await s.check("at 390 px the page stacks and is no wider than the screen", async () => {
    // A phone's screen as a frame of 390 x 844 CSS pixels: the page's media
    // queries see the frame's width, and every engine's window can hold it
    // (MiniBrowser's window is never narrower than its toolbar).
    writeFileSync(join(lecture.dir, "phone.html"), "<!doctype html><body style='margin:0'>" +
                  `<iframe id="phone" width="390" height="844" src="index.html${played}"></iframe>`);
    await page.goto(`${lecture.base}/phone.html`);
    const box = await page.run(`
      const phone = document.getElementById("phone").contentWindow;
      return new Promise((done) => {
        const measure = () => {
          if (!phone.document.body || phone.document.body.dataset.ready !== "true") {
            setTimeout(measure, 25);
            return;
          }
          const rect = (id) => phone.document.getElementById(id).getBoundingClientRect();
          done({ width: phone.innerWidth, height: phone.innerHeight,
                 scrollWidth: phone.document.documentElement.scrollWidth,
                 video: rect("recording").bottom, list: rect("slides").top,
                 frameTop: rect("foil").top, frameHeight: rect("foil").height });
        };
        measure();
      });`);
    equal([box.width, box.height], [390, 844], "the phone's viewport");
    if (box.scrollWidth > box.width) throw new Error(`the page is ${box.scrollWidth} px wide`);
    if (!(box.video <= box.list && box.list < box.frameTop)) {
      throw new Error(`not stacked: ${JSON.stringify(box)}`);
    }
    if (box.frameHeight < box.height / 2) throw new Error(`the frame is ${box.frameHeight} px high`);
    if (lecture.phoneScreenshot) {
      await page.resize(1000, 900);
      await page.screenshot(lecture.phoneScreenshot);
      await page.resize(1000, 560);
    }
  });

  await s.check("a hostile track: refused addresses say so and never reach the frame", async () => {
    const lines = readFileSync(join(lecture.dir, "HREFTrack.txt"), "latin1").split("\r\n");
    // The samples of slides 1 and 2 point elsewhere: a script and a data page.
    lines[6] = "A<javascript:parent.document.title='pwned'> T<myfoil>";
    lines[8] = "A<data:text/html,pwned> T<myfoil>";
    writeFileSync(join(lecture.dir, "hostile.txt"), lines.join("\r\n"), "latin1");
    writeFileSync(join(lecture.dir, "headless.txt"), lines.slice(1).join("\r\n"), "latin1");

    let state = await s.load("?video=lecture.webm&track=hostile.txt");
    equal(state.messages.map((m) => m.slice(0, 8)), ["Linje 7:", "Linje 9:"], "messages");
    if (!state.messages.every((m) => m.includes("ikke tillatt"))) throw new Error("not refused");
    equal(state.entries, ["Lysark 0 0:00", "Lysark 3 0:12"], "entries");
    await s.expectPage("foil0.html", "at load of the hostile track");
    for (const seconds of [4, 8.5]) {
      await s.seek(seconds);
      await sleep(200);
      equal(await s.shownPage(), "foil0.html", `the frame at ${seconds} s`);
    }
    await s.seek(15);
    await s.expectPage("foil3.html", "in a valid sample of the hostile track");
    equal((await s.state()).title, "Forelesning med lysark", "title");

    state = await s.load("?video=lecture.webm&track=headless.txt");
    if (!state.messages.some((m) => m.includes("{QTtext}"))) throw new Error("no word of the header");
  });

  await s.check("the folder opened from disk plays the chosen files", async () => {
    let state = await s.load("", { base: `file://${lecture.dir}` });
    equal(state.chooser, true, "file chooser offered");
    await page.upload("#files", [join(lecture.dir, "lecture.webm"), join(lecture.dir, "HREFTrack.txt"),
                                 join(lecture.dir, "lecture.vtt")]);
    state = await s.wait((st) => st.ready && st.metadata, "the chosen files to play");
    await s.captions([{ language: "no", label: "Norsk", mode: "showing", cues: lectureCaptions }],
                     "the chosen captions");
    equal(state.messages, [], "messages");
    equal(state.entries, lectureEntries, "entries");
    await s.expectPage("foil0.html", "at the start of the chosen files");
    await page.click("#slides li:nth-child(3) button");
    await s.expectSlide(2, "after a click in the folder opened from disk");
    const address = await page.frameAddress();
    if (address !== `file://${join(lecture.dir, "foil2.html")}`) throw new Error(`the frame shows ${address}`);
  });

  return s.passed.length;
}
