// SPDX-License-Identifier: MIT
// The recording: the video, its captions, its playback rate, what went
// wrong with it, and where it stands.  It tells the wiring when it is ready
// to seek, when a seek has ended, when it leaves the span the rules watch
// (through one cue of a hidden metadata track, whose change the browser
// reports the moment it happens), where it plays and how long it is, when
// it has settled (it can play, has failed, or there is none), when its
// captions arrive or cannot be read, and when the user changes its rate or
// turns its captions on or off.
"use strict";

/**
 * What the page says of a recording `name` that failed, from its
 * MediaError's code (1 aborted, 2 network, 3 decode, 4 source not
 * supported, which is also what a missing file over HTTP gives) and, where
 * the page could ask, the HTTP status of its address (null where it could
 * not: another site, or a file from disk, `chosen`).  Null where nothing
 * went wrong that the user must hear of.
 * @param {string} name
 * @param {number} code
 * @param {number | null} status
 * @param {boolean} chosen
 * @returns {string | null}
 */
function recordingProblem(name, code, status, chosen) {
  if (code === 2) return words.recording.network(name);
  if (code === 3) return words.recording.damaged(name);
  if (code !== 4) return null;
  if (chosen || (status !== null && status < 400)) return words.recording.unplayable(name);
  if (status === 404 || status === 410) return words.recording.missing(name);
  return status === null ? words.recording.missingOrUnplayable(name) : words.recording.refused(name, status);
}

/**
 * @typedef {object} Recording
 * @property {(url: string, name: string, chosen: boolean) => void} load
 * @property {(time: number) => void} seek
 * @property {(from: number, to: number) => void} watch  reports leaving the span from `from` to `to`
 * @property {() => number} time
 * @property {() => number} duration  NaN while unknown
 * @property {() => boolean} settled
 * @property {(rate: number) => void} rate
 * @property {(url: string, name: string, language: string, shown: boolean) => void} caption
 *   gives it captions, shown or hidden
 */

/**
 * @param {HTMLVideoElement} video
 * @param {{ ready: () => void, seeked: (time: number) => void, left: (time: number) => void,
 *           settled: () => void, failed: (message: string) => void,
 *           captions: (captions: { start: number, end: number, text: string }[]) => void,
 *           captionsFailed: (name: string) => void,
 *           played: (time: number, seeking: boolean, now: boolean) => void,
 *           length: (duration: number) => void, rated: (rate: number) => void,
 *           captionsShown: (shown: boolean) => void }} wiring
 *   `played` hears the moment as it plays, `now` where it pauses, a seek ends or the page is left
 * @returns {Recording}
 */
function makeRecording(video, wiring) {
  const watcher = video.addTextTrack("metadata", "HREF");
  watcher.mode = "hidden";
  let source = { url: "", name: "", chosen: false };
  let settled = true;
  /** @type {HTMLTrackElement | null} */
  let captions = null;

  function settle() {
    if (settled) return;
    settled = true;
    wiring.settled();
  }

  // The status of the recording's address, where the page may ask: a
  // missing file and one of a type the browser cannot play fail alike.
  /** @param {string} url */
  async function statusOf(url) {
    if (!sameOrigin(url, location.href)) return null;
    try {
      return (await fetch(url, { method: "HEAD", mode: "same-origin", cache: "no-store" })).status;
    } catch {
      return null;
    }
  }

  video.addEventListener("loadedmetadata", () => wiring.ready());
  video.addEventListener("seeked", () => {
    wiring.seeked(video.currentTime);
    wiring.played(video.currentTime, video.seeking, true);
  });
  video.addEventListener("timeupdate", () => wiring.played(video.currentTime, video.seeking, false));
  video.addEventListener("pause", () => wiring.played(video.currentTime, video.seeking, true));
  window.addEventListener("pagehide", () => wiring.played(video.currentTime, video.seeking, true));
  video.addEventListener("durationchange", () => wiring.length(video.duration));
  video.addEventListener("ratechange", () => wiring.rated(video.playbackRate));
  video.textTracks.addEventListener("change", () => {
    if (captions !== null) wiring.captionsShown(captions.track.mode === "showing");
  });
  video.addEventListener("canplay", settle);
  video.addEventListener("error", async () => {
    const failed = source;
    const code = video.error?.code ?? 0;
    const status = code === 4 && !failed.chosen ? await statusOf(failed.url) : null;
    // A recording chosen meanwhile has a say of its own.
    if (failed !== source) return;
    const problem = recordingProblem(failed.name, code, status, failed.chosen);
    if (problem !== null) wiring.failed(problem);
    settle();
  });
  watcher.addEventListener("cuechange", () => wiring.left(video.currentTime));

  return {
    load(url, name, chosen) {
      source = { url, name, chosen };
      settled = false;
      video.src = url;
    },
    seek(time) { video.currentTime = time; },
    watch(from, to) {
      for (const cue of [...(watcher.cues ?? [])]) watcher.removeCue(cue);
      watcher.addCue(new VTTCue(from, to, ""));
    },
    time: () => video.currentTime,
    duration: () => video.duration,
    settled: () => settled,
    rate(rate) {
      // A new source starts at the default rate.
      video.defaultPlaybackRate = rate;
      video.playbackRate = rate;
    },
    // Shown or hidden at once: WebKit leaves an added track disabled despite
    // `default`, after its own preference.  Hidden captions still load, for
    // the transcript.
    caption(url, name, language, shown) {
      for (const old of video.querySelectorAll("track")) old.remove();
      const track = document.createElement("track");
      captions = track;
      track.kind = "captions";
      track.srclang = language;
      track.label = captionsLabel(language);
      // A default track is one the browser may show of itself.
      track.default = shown;
      track.addEventListener("error", () => wiring.captionsFailed(name));
      track.addEventListener("load", () => wiring.captions([...(track.track.cues ?? [])].map((cue) => ({
        start: cue.startTime, end: cue.endTime,
        text: cue instanceof VTTCue ? cue.getCueAsHTML().textContent ?? "" : "" }))));
      track.src = url;
      video.append(track);
      track.track.mode = shown ? "showing" : "hidden";
    },
  };
}

// Under Node, for the tests.
if (typeof module === "object" && module !== null) Object.assign(module.exports, { recordingProblem });
