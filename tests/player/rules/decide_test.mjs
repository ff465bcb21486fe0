// SPDX-License-Identifier: MIT
// The player's decisions as the recording plays and the user moves.
import { test } from "node:test";
import assert from "node:assert/strict";
import { samples } from "./rules.mjs";

const { decide, initialState, isTextField, sampleAt, spanAt, stepFrom } = globalThis;

test("which sample plays at a time, the span it plays in, and where a step goes from it", () => {
  const at = [0, 2.99, 3, 4.99, 5, 5.5, 6, 9.99, 10, 29.99, 30, -1].map((t) => sampleAt(samples, t));
  assert.deepEqual(at, [0, 0, 1, 1, -1, -1, 2, 2, 3, 3, -1, -1]);
  assert.equal(sampleAt([], 0), -1);
  // A span ends where a later sample starts or its own ends, and begins
  // where it started or where a later-started one ended.
  const span = (t) => { const { index, from, to } = spanAt(samples, t); return `${index}@${from}-${to}`; };
  assert.deepEqual([0, 4, 5.5, 7, 12, 25, 35].map(span),
                   ["0@0-3", "1@3-5", "-1@5-6", "2@6-10", "3@10-30", "3@10-30", `-1@30-${Number.MAX_SAFE_INTEGER}`]);
  assert.equal(span(0.5), "0@0-3", "the span of a time inside it is the same");
  // From a sample: exactly one step, never past either end.
  assert.deepEqual([0, 1, 2, 3].map((c) => stepFrom(samples, c, 99, -1)), [-1, 0, 1, 2]);
  assert.deepEqual([0, 1, 2, 3].map((c) => stepFrom(samples, c, 0, 1)), [1, 2, 3, -1]);
  // From no sample: the next one starting later, the last one starting earlier.
  assert.deepEqual([5.5, 30].map((t) => stepFrom(samples, -1, t, 1)), [2, -1]);
  assert.deepEqual([5.5, 30, 0].map((t) => stepFrom(samples, -1, t, -1)), [1, 3, -1]);
  assert.equal(stepFrom([{ start: 0, end: 3 }, { start: 5, end: 8 }], -1, 4, -1), 0, "back to the first slide");
});

// Runs `events` from the initial state; returns the last state and every
// action, as "show foil2.html", "seek 3", "mark 1" (the slide list),
// "caption 1" (the transcript), "watch 3-5" or "prevent".
function run(...events) {
  let state = initialState();
  const actions = [];
  for (const event of events) {
    const answer = decide(state, event);
    state = answer.state;
    for (const action of answer.actions) {
      const { type, ...rest } = action;
      if (type === "mark") actions.push(`${{ slides: "mark", captions: "caption" }[rest.list]} ${rest.index}`);
      else if (type === "watch") actions.push(`watch ${rest.from}-${rest.to}`);
      else if (type === "show") actions.push(`show ${rest.href}`);
      else actions.push([type, ...Object.values(rest)].join(" "));
    }
  }
  return { state, actions };
}

const track = (startAt = null, duration = NaN) => ({ type: "track", samples, startAt, duration });
// The recording of the samples is 30 s long.
const ready = { type: "ready", duration: 30 };
const left = (time) => ({ type: "left", time });
const seeked = (time) => ({ type: "seeked", time });
const choose = (index) => ({ type: "choose", index });
const key = (name, more = {}) => ({ type: "key", key: name, inTextField: false,
                                    time: 0, ...more });

test("the frame follows the recording: the sample that started last, its page kept between samples", () => {
  const { state, actions } = run(track(), ready, left(4), left(4.5), left(5.5), left(12));
  assert.deepEqual(actions, ["mark 0", "show foil0.html", "watch 0-3",
                             "mark 1", "show foil1.html", "watch 3-5",
                             "mark -1", "watch 5-6",
                             "mark 3", "show foil3.html", "watch 10-30"]);
  assert.equal(state.current, 3);
});

test("the transcript follows the recording through the rules: the span watched ends where either changes", () => {
  const captions = { type: "captions", captions: [{ start: 1, end: 2.5 }, { start: 4, end: 8 }], time: 0 };
  const { actions } = run(track(), ready, captions, left(1), left(2.5), left(4), { type: "go", time: 7 }, choose(0));
  assert.deepEqual(actions.slice(3), ["watch 0-1", "caption 0", "watch 1-2.5", "caption -1", "watch 2.5-3",
                                      "mark 1", "show foil1.html", "caption 1", "watch 4-5",
                                      "mark 2", "show foil2.html", "seek 7",
                                      "mark 0", "show foil0.html", "caption -1", "seek 0"]);
});

test("t= seeks once the recording is ready, and time 0 does not move the frame meanwhile", () => {
  const { state, actions } = run(track(12), left(0), ready, left(0), seeked(12), left(12));
  assert.deepEqual(actions, ["mark 3", "show foil3.html", "watch 10-30", "seek 12"]);
  assert.deepEqual([state.current, state.seeking, state.pendingSeek], [3, false, null]);
  // Ready before the track: the seek goes out at once.
  assert.deepEqual(run(ready, track(7)).actions, ["mark 2", "show foil2.html", "watch 6-10", "seek 7"]);
});

test("a moment chosen, as a caption's start: its page at once, and the recording there", () => {
  assert.deepEqual(run(track(), ready, { type: "go", time: 8 }, seeked(8)).actions.slice(3),
                   ["mark 2", "show foil2.html", "seek 8", "watch 6-10"]);
  // The transcript's caption that plays is found as a slide's sample is.
  const captions = [{ start: 0.5, end: 2.8 }, { start: 3, end: 6.5 }, { start: 6, end: 11.5 }];
  assert.deepEqual([0, 0.5, 2.9, 3, 6.2, 11.5].map((t) => sampleAt(captions, t)), [-1, 0, -1, 1, 2, -1]);
});

test("a t= past the end of the recording is refused once its length is known: slide 0, and no seek", () => {
  // Known as the track arrives, or only once the recording is ready.
  assert.deepEqual(run(ready, track(999, 30)).actions, ["refuse 999 30", "mark 0", "show foil0.html", "watch 0-3"]);
  const { state, actions } = run(track(999), { type: "ready", duration: 30 });
  assert.deepEqual(actions, [`watch 30-${Number.MAX_SAFE_INTEGER}`, "refuse 999 30", "mark 0", "show foil0.html",
                             "watch 0-3"]);
  assert.deepEqual([state.pendingSeek, state.seeking], [null, false]);
  // Within the recording it seeks; a slide chosen meanwhile is no start refused.
  assert.deepEqual(run(track(29), ready).actions.slice(-1), ["seek 29"]);
  assert.deepEqual(run(track(999), choose(1), ready).actions.slice(-1), ["seek 3"]);
});

test("the user has moved once a choice, a moment or a key was answered, so their moment wins; a new track has not",
     () => {
  assert.deepEqual([run(track(), ready), run(track(), ready, key("a")),
                    run(track(), ready, key("PageDown", { inTextField: true })), run(track(), ready, key("PageDown")),
                    run(track(), ready, choose(1)), run(track(), choose(1), track())]
    .map((ran) => ran.state.moved), [false, false, false, true, true, false]);
});

test("a track's slides are read once its list stands and the recording has settled, once for each track", () => {
  // Read before the list stands, the titles would label no entry; read twice, every request would go out twice.
  const reads = (...events) => run(...events).actions.filter((action) => action === "read").length;
  const listed = { type: "listed" };
  const settled = { type: "settled" };
  assert.deepEqual([reads(track()), reads(track(), listed), reads(track(), listed, settled, listed),
                    reads({ type: "recording" }, track(), listed), reads({ type: "recording" }, track(), listed, settled),
                    reads(track(), listed, track(), listed), reads(settled)], [0, 1, 1, 0, 1, 2, 0]);
});

test("a slide chosen before the recording is ready wins over t=", () => {
  const { actions } = run(track(12), choose(1), ready, seeked(3));
  assert.deepEqual(actions, ["mark 3", "show foil3.html", "watch 10-30", "mark 1", "show foil1.html",
                             "seek 3", "watch 3-5"]);
});

test("a seek that cannot take: the slide chosen stays, and the recording is followed from where it is", () => {
  const missed = (time) => ({ type: "missed", time });
  const { state, actions } = run(track(), ready, left(1), choose(2), missed(1), left(3));
  assert.deepEqual(actions.slice(3), ["mark 2", "show foil2.html", "seek 6", "mark 1", "show foil1.html", "watch 3-5"]);
  assert.equal(state.seeking, false);
  // Where the recording lands elsewhere, the span there is watched.
  assert.deepEqual(run(track(), ready, choose(3), missed(7)).actions.slice(-2), ["seek 10", "watch 6-10"]);
});

test("a click shows its page at once and seeks; the time it leaves does not move the frame back", () => {
  const { state, actions } = run(track(), ready, choose(2), left(0), seeked(6));
  assert.deepEqual(actions.slice(3), ["mark 2", "show foil2.html", "seek 6", "watch 6-10"]);
  assert.equal(state.current, 2);
  // A new recording ends every seek of the old one: the recording is followed again.
  assert.deepEqual(run(track(), ready, choose(2), { type: "recording" }, left(4)).actions.slice(-3),
                   ["mark 1", "show foil1.html", "watch 3-5"]);
});

test("PageUp and PageDown: one sample a press, never past an end, never in a field or with a modifier", () => {
  let { actions } = run(track(), ready, left(12), key("PageUp"), seeked(6), key("PageUp"));
  assert.deepEqual(actions.slice(6), ["prevent", "mark 2", "show foil2.html", "seek 6", "watch 6-10",
                                      "prevent", "mark 1", "show foil1.html", "seek 3"]);
  ({ actions } = run(track(), ready, key("PageUp"), key("PageDown")));
  assert.deepEqual(actions.slice(3), ["prevent", "prevent", "mark 1", "show foil1.html", "seek 3"]);
  for (const ignored of [key("Control+PageDown"), key("Shift+PageUp"), key("PageDown", { inTextField: true }),
                         key("ArrowDown")]) {
    assert.deepEqual(run(track(), ready, ignored).actions.slice(3), []);
  }
  assert.deepEqual(run(key("PageDown")).actions, []);
  // Between samples a step goes by the time.
  ({ actions } = run(track(), ready, left(5.5), key("PageDown", { time: 5.5 })));
  assert.deepEqual(actions.slice(-3), ["mark 2", "show foil2.html", "seek 6"]);

  const field = (tagName, type, isContentEditable = false) => ({ tagName, type, isContentEditable });
  assert.deepEqual([field("INPUT", "text"), field("INPUT", ""), field("input", "search"),
                    field("TEXTAREA"), field("DIV", undefined, true)].map(isTextField),
                   [true, true, true, true, true]);
  assert.deepEqual([field("INPUT", "file"), field("BUTTON"), field("VIDEO"), null].map(isTextField),
                   [false, false, false, false]);
  // PageDown in a choice of the browser's own is its own; on a button or a box to tick it is the page's.
  assert.equal(isTextField(field("SELECT")), true);
  assert.deepEqual(["button", "checkbox", "color", "hidden", "image", "radio", "range", "reset", "submit"]
    .map((type) => isTextField(field("INPUT", type))), Array(9).fill(false));
});

test("the recording moved by its own controls, or the timeline's steps: the slide follows at once", () => {
  // A seek the student makes on the recording: its slide, not the one before.
  assert.deepEqual(run(track(), ready, seeked(12)).actions.slice(-3), ["mark 3", "show foil3.html", "watch 10-30"]);
  // A moment within the slide that shows: no slide again, only the seek.
  assert.deepEqual(run(track(), ready, { type: "go", time: 1 }).actions.slice(3), ["seek 1"]);
  // The timeline's step goes one slide on and back, to the first too, and is the student's move.
  const stepped = run(track(), ready, left(4), { type: "step", direction: -1, time: 4 });
  assert.deepEqual([stepped.actions.slice(-3), stepped.state.moved], [["mark 0", "show foil0.html", "seek 0"], true]);
  assert.equal(run(track(), ready, { type: "go", time: 7 }).state.moved, true, "a moment chosen is a move");
  // A t= at the very end of the recording is within it.
  assert.deepEqual(run(track(30), ready).actions.slice(-1), ["seek 30"]);
});

test("captions that come during a seek leave the slide chosen, and a new recording waits to seek", () => {
  const captions = { type: "captions", captions: [{ start: 0, end: 1 }, { start: 6, end: 8 }], time: 0 };
  // Followed from the old time, the frame would go back to the slide the seek left: the caption where the
  // recording stands while it seeks, where it is to go while that waits.
  assert.deepEqual(run(track(), ready, choose(2), captions).actions.slice(-1), ["caption 0"]);
  assert.deepEqual(run(track(), choose(2), captions).actions.slice(-1), ["caption 1"]);
  // Until the new recording is ready, a moment chosen waits; then it is sought.
  assert.deepEqual(run(track(), ready, { type: "recording" }, { type: "go", time: 7 }).actions.slice(-1),
                   ["show foil2.html"]);
  assert.deepEqual(run(track(), ready, { type: "recording" }, { type: "go", time: 7 }, ready).actions.slice(-1),
                   ["seek 7"]);
  // A seek of the old recording that ends meanwhile is not followed: the new one is to go to 7.
  assert.deepEqual(run(track(), ready, { type: "recording" }, { type: "go", time: 7 }, seeked(1)).actions.slice(-1),
                   ["show foil2.html"]);
});
