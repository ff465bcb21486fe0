// SPDX-License-Identifier: MIT
// The player's reading of its own address.
import { test } from "node:test";
import assert from "node:assert/strict";
import "./rules.mjs";

const { words, captionsLabel, fileName, readLink, sameOrigin } = globalThis;

test("the link: the track and captions of the page's own origin only, t=, captionslang=, disk", () => {
  const page = "http://127.0.0.1:8000/lecture/index.html";
  let link = readLink(`${page}?video=a.webm&track=t.txt&captions=c.vtt&t=2460.5&captionslang=nn`);
  assert.deepEqual(link, { track: "http://127.0.0.1:8000/lecture/t.txt",
    video: "http://127.0.0.1:8000/lecture/a.webm", captions: "http://127.0.0.1:8000/lecture/c.vtt", descriptions: null,
    startAt: 2460.5, language: "nn", chooser: false, messages: [] });
  // video= alone plays HREFTrack.txt beside the page, and offers the chooser.
  link = readLink(`${page}?video=https://media.example/a.webm`);
  assert.deepEqual([link.track, link.video, link.chooser, link.captions, link.language],
                   ["http://127.0.0.1:8000/lecture/HREFTrack.txt", "https://media.example/a.webm", true, null, "no"]);
  // track= without a recording, or with an empty one, plays nothing and says how to name it.
  for (const video of ["", "&video="]) {
    link = readLink(`${page}?track=t.txt${video}`);
    assert.deepEqual([link.track, link.video, link.chooser, link.messages],
                     ["http://127.0.0.1:8000/lecture/t.txt", null, false, [words.link.noRecording]], video);
  }
  assert.deepEqual(readLink(`${page}?track=http://[::1`).messages, [words.link.trackInvalid("http://[::1")]);
  assert.equal(sameOrigin("http://[::1", page), false, "an address that is none is no address of the page's");
  for (const foreign of ["http://localhost:8000/t.txt", "https://127.0.0.1:8000/t.txt",
                         "http://127.0.0.1:8001/t.txt", "//elsewhere.example/t.txt", "data:text/plain,x"]) {
    link = readLink(`${page}?video=a.webm&track=${encodeURIComponent(foreign)}`);
    assert.deepEqual([link.track, link.video], [null, null], foreign);
    assert.match(link.messages[0], /ligger på et annet nettsted enn spilleren, og spilles ikke/);
  }
  link = readLink(`${page}?video=a.webm&track=t.txt&captions=http://localhost:8000/c.vtt`);
  assert.deepEqual([link.track !== null, link.captions], [true, null]);
  assert.match(link.messages[0], /^Tekstingen .* brukes ikke/);
  // Descriptions follow the captions' rule: a file of the page's own origin only.
  link = readLink(`${page}?video=a.webm&track=t.txt&descriptions=s.vtt`);
  assert.equal(link.descriptions, "http://127.0.0.1:8000/lecture/s.vtt");
  link = readLink(`${page}?video=a.webm&track=t.txt&descriptions=http://localhost:8000/s.vtt`);
  assert.deepEqual([link.descriptions, link.messages],
                   [null, [words.link.descriptionsForeign("http://localhost:8000/s.vtt")]]);
  for (const [t, startAt] of [["41", 41], [".5", 0.5], [".25", 0.25], ["7.", 7]]) {
    assert.equal(readLink(`${page}?t=${t}`).startAt, startAt);
  }
  for (const t of ["", "-1", "1e3", "0x10", "1:20", "%205", "Infinity"]) {
    link = readLink(`${page}?t=${t}`);
    assert.deepEqual([link.startAt, link.messages.length], [null, 1], t);
  }
  // Digits past what a number holds are no time, said by their start.
  link = readLink(`${page}?t=${"9".repeat(311)}`);
  assert.deepEqual([link.startAt, link.messages], [null, [words.link.notSeconds(`${"9".repeat(20)}…`)]]);
  assert.deepEqual([readLink(`${page}?t=1:20`).messages, readLink(`${page}?t=${"x".repeat(20)}`).messages],
                   [[words.link.notSeconds("1:20")], [words.link.notSeconds("x".repeat(20))]]);
  for (const lang of ["", "n", "no_NO", "en-", "<b>", "toolonglanguage"]) {
    link = readLink(`${page}?captionslang=${encodeURIComponent(lang)}`);
    assert.deepEqual([link.language, link.messages.length], ["no", 1], lang);
  }
  assert.deepEqual(readLink(`${page}?captionslang=%3Cb%3E`).messages, [words.link.notLanguage("<b>")]);
  assert.deepEqual(["en-GB", "zh-Hant"].map((lang) => readLink(`${page}?captionslang=${lang}`).language),
                   ["en-GB", "zh-Hant"]);
  assert.deepEqual(["no", "NB", "en"].map(captionsLabel), ["Norsk", "Norsk bokmål", "Teksting (en)"]);
  // A page opened from disk fetches nothing: it offers the chooser, and says so if asked to.
  link = readLink("file:///home/a/index.html?video=a.webm&track=HREFTrack.txt");
  assert.deepEqual([link.track, link.video, link.chooser, link.messages.length], [null, null, true, 1]);
  assert.equal(sameOrigin("HREFTrack.txt", "file:///home/a/index.html"), false);
  assert.deepEqual(["", "?video=a.webm", "?captions=c.vtt", "?track=t.txt"]
    .map((query) => readLink(`file:///home/a/index.html${query}`).messages.length), [0, 1, 1, 1]);
  // An address that is none is reported, never thrown.
  link = readLink(`${page}?video=http://[::1&track=t.txt`);
  assert.deepEqual([link.video, link.messages.length], [null, 1]);
  // A file is named to its user as they know it.
  assert.equal(fileName("http://127.0.0.1:8000/r%C3%B8d%20forelesning.webm?x=1"), "rød forelesning.webm");
  assert.deepEqual(["forelesning.webm", "http://x/%E0%A4%A.webm"].map(fileName),
                   ["forelesning.webm", "http://x/%E0%A4%A.webm"], "a name that is no address, or not decoded, as given");
});
