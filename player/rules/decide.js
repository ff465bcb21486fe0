// SPDX-License-Identifier: MIT
// The player's decisions, as pure functions: given what the page holds and
// what happened (a track or captions arrived, the recording became ready,
// it left the span in which the same slide and caption play, a seek ended
// or could not take, a slide, a moment or a key was chosen, the slide list
// stands, the recording has settled), the new state and what the page must
// do (show a slide in the frame, seek the recording, mark the current entry
// of the slide list or the transcript, watch a span, keep a key from the
// browser, read the slides).
"use strict";

/**
 * What the player holds between two events.
 * @typedef {object} PlayerState
 * @property {Sample[]} samples  the samples that play, in the order of their start
 * @property {number} current  the sample that plays now, -1 for none
 * @property {Timed[]} captions  the captions, in the order of their start
 * @property {number} caption  the caption that plays now, -1 for none
 * @property {{ from: number, to: number } | null} watched  the span the page watches the recording leave
 * @property {boolean} ready   the recording can seek: its metadata is loaded
 * @property {number | null} pendingSeek  a time to seek to once the recording is ready
 * @property {number | null} start  where the lecture was asked to start (a link's t=, or where it was left),
 *   while that seek waits for the recording to be ready
 * @property {boolean} seeking  a seek of the player's is under way
 * @property {boolean} moved  the user has moved in the lecture since its track came: a moment they
 *   chose wins over the one it was left at
 * @property {boolean} listed  the slide list of the track stands
 * @property {boolean} settled  the recording has settled: it can play, has failed, or there is none
 * @property {boolean} read  the slides of the track have been read
 */
/**
 * Something that plays from `start` up to `end` seconds: a sample or a caption.
 * @typedef {{ start: number, end: number }} Timed
 */
/**
 * A stretch of the recording in which the same sample or caption plays
 * (`index`, -1 for none), from `from` up to `to` seconds.
 * @typedef {{ index: number, from: number, to: number }} Span
 */
/**
 * What the page must do.  "refuse" says that the lecture was asked to
 * start at `time`, past the end of a recording of `duration` seconds, and
 * starts at its beginning instead.  "show" gives the slide's address as resolved and
 * as the track writes it.  "mark" names the list whose current entry
 * changes: the slide list, or the transcript of the captions.  "watch" asks
 * the page to report the moment the recording leaves the span: a cue of a
 * hidden metadata track, whose change the browser reports the moment it
 * happens, does that.  "read" asks the page to read the track's slides, for
 * their titles and the search.
 * @typedef {{ type: "show", href: string, url: string } | { type: "seek", time: number } |
 *           { type: "mark", list: "slides" | "captions", index: number } |
 *           { type: "watch", from: number, to: number } | { type: "prevent" } | { type: "read" } |
 *           { type: "refuse", time: number, duration: number }} PlayerAction
 */
/**
 * What the recording tells: that it is ready, has settled, a seek ended or
 * could not take, or it left the span it was asked to watch.
 * @typedef {{ type: "ready", duration: number } | { type: "settled" } | { type: "left", time: number } |
 *           { type: "seeked", time: number } | { type: "missed", time: number }} RecordingEvent
 */
/**
 * What happened.  `time` is where the recording stands; `duration` is its
 * length, NaN while unknown; a key is named as keyName names it.
 * @typedef {RecordingEvent | { type: "track", samples: Sample[], startAt: number | null, duration: number } |
 *           { type: "captions", captions: Timed[], time: number } |
 *           { type: "recording" } | { type: "listed" } | { type: "choose", index: number } | { type: "go", time: number } |
 *           { type: "step", direction: 1 | -1, time: number } |
 *           { type: "key", key: string, inTextField: boolean, time: number }} PlayerEvent
 */

/** @returns {PlayerState} */
function initialState() {
  return { samples: [], current: -1, captions: [], caption: -1, watched: null, ready: false, pendingSeek: null,
           start: null, seeking: false, moved: false, listed: false, settled: true, read: false };
}

/**
 * How many samples start by `time`: they are the first that many.
 * @param {{ start: number }[]} samples  in the order of their start
 * @param {number} time
 * @returns {number}
 */
function startedBy(samples, time) {
  let low = 0;
  let high = samples.length;
  while (low < high) {
    const middle = (low + high) >>> 1;
    if (samples[middle].start <= time) low = middle + 1; else high = middle;
  }
  return low;
}

/**
 * The index of the sample that plays at `time`, or -1 for none.  Where
 * samples overlap (the log's times went back) the one that started last
 * plays, as it was the last page the frame was sent to.
 * @param {{ start: number, end: number }[]} samples  in the order of their start
 * @param {number} time
 * @returns {number}
 */
function sampleAt(samples, time) {
  for (let index = startedBy(samples, time) - 1; index >= 0; index -= 1) {
    if (time < samples[index].end) return index;
  }
  return -1;
}

/**
 * The span around `time` in which the sample that plays at `time` goes on
 * playing.  It ends where a later sample starts or the sample itself ends,
 * and begins where the sample started, or where a sample that started after
 * it ended, whichever is later.
 * @param {{ start: number, end: number }[]} samples  in the order of their start
 * @param {number} time
 * @returns {Span}
 */
function spanAt(samples, time) {
  const started = startedBy(samples, time);
  const index = sampleAt(samples, time);
  let from = index >= 0 ? samples[index].start : 0;
  for (let later = index + 1; later < started; later += 1) {
    from = Math.max(from, samples[later].end);
  }
  let to = started < samples.length ? samples[started].start : Number.MAX_SAFE_INTEGER;
  if (index >= 0) to = Math.min(to, samples[index].end);
  return { index, from, to };
}

/**
 * The sample a step goes to from the one that plays (`current`, -1 for
 * none, at `time`): the next one for `direction` 1, the one before for -1;
 * -1 past either end.  A step counts from the sample, never from the time,
 * so it moves exactly one sample however near a stamp it starts.
 * @param {{ start: number }[]} samples
 * @param {number} current
 * @param {number} time
 * @param {1 | -1} direction
 * @returns {number}
 */
function stepFrom(samples, current, time, direction) {
  if (current >= 0) {
    const target = current + direction;
    return target >= 0 && target < samples.length ? target : -1;
  }
  if (direction > 0) return samples.findIndex((sample) => sample.start > time);
  for (let index = samples.length - 1; index >= 0; index -= 1) {
    if (samples[index].start < time) return index;
  }
  return -1;
}

/**
 * Whether keys typed into `element` are text, not the page's to take.
 * @param {{ tagName: string, type?: string, isContentEditable?: boolean } | null} element
 * @returns {boolean}
 */
function isTextField(element) {
  if (!element) return false;
  if (element.isContentEditable) return true;
  const tag = String(element.tagName).toUpperCase();
  if (tag === "TEXTAREA" || tag === "SELECT") return true;
  if (tag !== "INPUT") return false;
  const type = String(element.type || "text").toLowerCase();
  return !["button", "checkbox", "color", "file", "hidden", "image", "radio", "range",
           "reset", "submit"].includes(type);
}

/**
 * Whether a start at `time` lies past the end of a recording of `duration`
 * seconds, where its length is known.
 * @param {number} time
 * @param {number} duration
 * @returns {boolean}
 */
function pastEnd(time, duration) {
  return Number.isFinite(duration) && time > duration;
}

/**
 * The player's answer to `event` in `state`: its new state and what the
 * page must do, in order.
 * @param {PlayerState} state
 * @param {PlayerEvent} event
 * @returns {{ state: PlayerState, actions: PlayerAction[] }}
 */
function decide(state, event) {
  /** @type {PlayerAction[]} */
  const actions = [];
  const next = { ...state };

  // Makes sample `index` the current one: its entry marked, its slide in
  // the frame.  Between samples (-1) the frame keeps its slide.
  const makeCurrent = (/** @type {number} */ index) => {
    next.current = index;
    actions.push({ type: "mark", list: "slides", index });
    if (index >= 0) actions.push({ type: "show", href: next.samples[index].href, url: next.samples[index].url });
  };
  // Marks the caption that plays at `time` in the transcript.
  const markCaption = (/** @type {number} */ time) => {
    const index = sampleAt(next.captions, time);
    if (index === next.caption) return;
    next.caption = index;
    actions.push({ type: "mark", list: "captions", index });
  };
  // Follows the recording at `time`: the sample and the caption that play
  // there, and the span to watch it leave, in which neither changes.  With
  // `slides` false the current sample stays as it is until the recording
  // leaves that span.
  const follow = (/** @type {number} */ time, slides = true) => {
    const slide = spanAt(next.samples, time);
    const caption = spanAt(next.captions, time);
    if (slides && slide.index !== next.current) makeCurrent(slide.index);
    markCaption(time);
    const from = Math.max(slide.from, caption.from);
    const to = Math.min(slide.to, caption.to);
    const watched = next.watched;
    if (watched === null || watched.from !== from || watched.to !== to) {
      next.watched = { from, to };
      actions.push({ type: "watch", from, to });
    }
  };
  // Seeks the recording to `time`, or once it is ready.  Until the seek has
  // ended, the recording is not followed: the time it leaves would send the
  // frame back to the page that the seek moves away from.
  const seek = (/** @type {number} */ time) => {
    next.start = null;
    if (next.ready) {
      next.seeking = true;
      next.pendingSeek = null;
      actions.push({ type: "seek", time });
    } else {
      next.pendingSeek = time;
    }
  };

  // Goes to the start of sample `index`: its slide at once.
  const goToSample = (/** @type {number} */ index) => {
    makeCurrent(index);
    markCaption(state.samples[index].start);
    seek(state.samples[index].start);
  };
  // Goes to the start of the next sample (1) or the one before (-1).
  const stepTo = (/** @type {1 | -1} */ direction, /** @type {number} */ time) => {
    const target = stepFrom(state.samples, state.current, time, direction);
    if (target >= 0) goToSample(target);
  };

  switch (event.type) {
    case "track": {
      // The page of the start shows at once, before the recording plays:
      // slide 0's at time 0, or the one at a link's t=.
      let at = event.startAt ?? 0;
      next.moved = false;
      next.listed = false;
      next.read = false;
      next.samples = event.samples;
      next.current = -1;
      next.watched = null;
      next.pendingSeek = null;
      if (pastEnd(at, event.duration)) {
        actions.push({ type: "refuse", time: at, duration: event.duration });
        at = 0;
      }
      follow(at);
      if (at > 0) seek(at);
      if (at > 0 && !next.ready) next.start = at;
      break;
    }
    case "captions":
      // The recording goes on where it is: only the span to watch changes.
      next.captions = event.captions;
      next.caption = -1;
      next.watched = null;
      if (state.seeking || state.pendingSeek !== null) markCaption(state.pendingSeek ?? event.time);
      else follow(event.time);
      break;
    case "recording":
      // A new recording: no seek of the old one will end now.
      next.ready = false;
      next.seeking = false;
      next.settled = false;
      break;
    case "listed":
      next.listed = true;
      break;
    case "settled":
      next.settled = true;
      break;
    case "ready":
      next.ready = true;
      next.start = null;
      // Only now may the start asked for turn out to lie past the end.
      if (state.start !== null && state.pendingSeek === state.start && pastEnd(state.start, event.duration)) {
        actions.push({ type: "refuse", time: state.start, duration: event.duration });
        next.pendingSeek = null;
        follow(0);
      } else if (state.pendingSeek !== null) {
        seek(state.pendingSeek);
      }
      break;
    case "seeked":
      next.seeking = false;
      if (next.pendingSeek === null) follow(event.time);
      break;
    case "missed":
      // A seek that could not take: the slide chosen stays, and the
      // recording, which goes on where it is, is followed from there.
      next.seeking = false;
      follow(event.time, false);
      break;
    case "left":
      if (!state.seeking && state.pendingSeek === null) follow(event.time);
      break;
    case "choose":
      // A slide chosen wins over any seek still to come, a link's t= too.
      goToSample(event.index);
      break;
    case "go": {
      // A moment chosen, as a caption's start: its slide at once, and the
      // recording there.
      const index = sampleAt(state.samples, event.time);
      if (index !== state.current) makeCurrent(index);
      markCaption(event.time);
      seek(event.time);
      break;
    }
    case "step":
      stepTo(event.direction, event.time);
      break;
    case "key": {
      // The keys of the whole page (rules/keys.js): the next slide and the
      // one before, anywhere but in a text field.
      const action = event.inTextField || state.samples.length === 0 ? null : keyAction("page", event.key);
      if (action !== "next" && action !== "previous") break;
      actions.push({ type: "prevent" });
      stepTo(action === "next" ? 1 : -1, event.time);
      break;
    }
  }
  // A choice, a moment, a step or a key the page answered is the user's move.
  if (["choose", "go", "step", "key"].includes(event.type) && actions.length > 0) next.moved = true;
  // A track's slides are read once, when its list stands (so that their
  // titles can label it) and the recording has settled (so that reading
  // them does not hold up its start).
  if (next.listed && next.settled && !next.read) {
    next.read = true;
    actions.push({ type: "read" });
  }
  return { state: next, actions };
}

// Under Node, for the tests.
if (typeof module === "object" && module !== null) {
  Object.assign(module.exports, { initialState, sampleAt, spanAt, stepFrom, isTextField, decide });
}
