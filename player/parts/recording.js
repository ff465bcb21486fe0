// SPDX-License-Identifier: MIT
// The recording: the video, its captions, its playback rate, what went
// wrong with it, and where it stands.  It tells the wiring when it is ready
// to seek, when a seek has ended or could not take, when it leaves the span
// the rules watch (through one cue of a hidden metadata track, whose change
// the browser reports the moment it happens), where it plays and how long
// it is, when it has settled (it can play, has failed, or there is none),
// when its captions arrive or cannot be read, when a description of its
// begins and ends, when the student seeks or pauses it, and when the user
// changes its rate or turns its captions on or off.  It waits, paused, for a
// description that is still being said.  It says, once, that it cannot
// seek, and that its length is not the one its track was made for.
"use strict";

/**
 * @typedef {object} Recording
 * @property {(url: string, name: string, chosen: boolean) => void} load
 * @property {(time: number) => void} seek  there, or tells that it cannot
 * @property {(closing: number | null) => void} expect  the length of the track it plays with
 * @property {(from: number, to: number) => void} watch  reports leaving the span from `from` to `to`
 * @property {() => number} time
 * @property {() => number} duration  NaN while unknown
 * @property {(rate: number) => void} rate
 * @property {(url: string, name: string, language: string, shown: boolean) => void} caption
 *   gives it captions, shown or hidden
 * @property {(url: string, name: string, language: string) => void} describe  gives it descriptions
 * @property {() => void} hold  pauses it, for a description still being said
 * @property {() => void} release  plays it on, if it still waits
 */

/**
 * @param {HTMLVideoElement} video
 * @param {{ event: (event: RecordingEvent) => void, failed: (message: string) => void,
 *           captions: (captions: { start: number, end: number, text: string }[]) => void,
 *           captionsFailed: (name: string) => void,
 *           played: (time: number, seeking: boolean, now: boolean) => void,
 *           length: (duration: number) => void, rated: (rate: number) => void,
 *           captionsShown: (shown: boolean) => void,
 *           described: (cues: { start: number, end: number, text: string }[]) => void,
 *           descriptionsFailed: (name: string) => void,
 *           cue: (text: string) => void, cueEnd: () => void, stopped: (how: "seek" | "pause") => void }} wiring
 *   `played` hears the moment as it plays, `now` where it pauses, a seek ends or the page is left;
 *   `event` hears what the rules hear of it: that it is ready, has settled, a seek has ended
 *   ("seeked") or could not take ("missed", where it stays), it left the span it watches
 * @returns {Recording}
 */
function makeRecording(video, wiring) {
  const watcher = video.addTextTrack("metadata", "HREF");
  watcher.mode = "hidden";
  // What plays, and whether the page has said that it cannot seek.
  let source = { url: "", name: "", chosen: false, unseekable: false };
  let settled = true;
  // The length of the track, and whether the page has said that the
  // recording's is another.
  let expected = { closing: /** @type {number | null} */ (null), said: false };
  /** @type {HTMLTrackElement | null} */
  let captions = null;
  /** @type {HTMLTrackElement | null} */
  let descriptions = null;
  // Whether it waits, paused by the page, for a description.
  let held = false;

  function settle() {
    if (settled) return;
    settled = true;
    wiring.event({ type: "settled" });
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

  // Whether the recording's server answers a request for a byte range, where
  // the page may ask; null where it cannot tell.
  /** @param {string} url */
  async function answersRanges(url) {
    if (!sameOrigin(url, location.href)) return null;
    try {
      const response = await fetch(url, { headers: { Range: "bytes=0-0" }, mode: "same-origin", cache: "no-store" });
      // Of a server that sends the whole file, nothing more is read.
      response.body?.cancel().catch(() => {});
      if (response.status === 206) return true;
      return response.ok ? false : null;
    } catch {
      return null;
    }
  }

  /** @param {TimeRanges} ranges @returns {Ranges} */
  const spans = (ranges) => Array.from({ length: ranges.length }, (_, i) => [ranges.start(i), ranges.end(i)]);

  // Says, once for the recording, that it cannot seek, and why.
  async function unseekable() {
    if (source.unseekable) return;
    const stuck = source;
    stuck.unseekable = true;
    const ranges = stuck.chosen ? true : await answersRanges(stuck.url);
    if (stuck === source) wiring.failed(seekProblem(stuck.name, ranges));
  }

  // What is known of the recording's length: whether it can seek at all,
  // and whether it is the track's.
  function measure() {
    if (seeksNowhere(spans(video.seekable), video.duration)) unseekable();
    const problem = expected.said ? null : lengthProblem(expected.closing, video.duration);
    if (problem !== null) {
      expected.said = true;
      wiring.failed(problem);
    }
  }

  video.addEventListener("loadedmetadata", () => {
    measure();
    wiring.event({ type: "ready", duration: video.duration });
  });
  video.addEventListener("seeked", () => {
    wiring.event({ type: "seeked", time: video.currentTime });
    wiring.played(video.currentTime, video.seeking, true);
  });
  video.addEventListener("timeupdate", () => wiring.played(video.currentTime, video.seeking, false));
  video.addEventListener("pause", () => {
    wiring.played(video.currentTime, video.seeking, true);
    if (!held) wiring.stopped("pause");
  });
  video.addEventListener("play", () => { held = false; });
  video.addEventListener("seeking", () => wiring.stopped("seek"));
  window.addEventListener("pagehide", () => wiring.played(video.currentTime, video.seeking, true));
  video.addEventListener("durationchange", () => {
    measure();
    wiring.length(video.duration);
  });
  video.addEventListener("ratechange", () => wiring.rated(video.playbackRate));
  video.textTracks.addEventListener("change", () => {
    if (captions !== null) wiring.captionsShown(captions.track.mode === "showing");
  });
  video.addEventListener("canplay", settle);
  video.addEventListener("error", async () => {
    const failed = source;
    const code = video.error?.code ?? 0;
    const status = code === 4 && !failed.chosen ? await statusOf(failed.url) : null;
    // A recording that is there may still be refused by a browser that
    // cannot read it in parts.
    const ranges = status !== null && status < 400 ? await answersRanges(failed.url) : null;
    // A recording chosen meanwhile has a say of its own.
    if (failed !== source) return;
    const problem = recordingProblem(failed.name, code, status, failed.chosen, ranges);
    if (problem !== null) wiring.failed(problem);
    settle();
  });
  watcher.addEventListener("cuechange", () => wiring.event({ type: "left", time: video.currentTime }));

  return {
    load(url, name, chosen) {
      source = { url, name, chosen, unseekable: false };
      expected = { closing: expected.closing, said: false };
      settled = false;
      video.src = url;
    },
    seek(time) {
      if (seeksTo(spans(video.seekable), video.duration, time)) {
        video.currentTime = time;
        return;
      }
      // Told after the one who asked has done, as the browser tells of a seek.
      queueMicrotask(() => wiring.event({ type: "missed", time: video.currentTime }));
      unseekable();
    },
    expect(closing) {
      expected = { closing, said: false };
      if (video.readyState >= HTMLMediaElement.HAVE_METADATA) measure();
    },
    watch(from, to) {
      for (const cue of [...(watcher.cues ?? [])]) watcher.removeCue(cue);
      watcher.addCue(new VTTCue(from, to, ""));
    },
    time: () => video.currentTime,
    duration: () => video.duration,
    rate(rate) {
      // A new source starts at the default rate.
      video.defaultPlaybackRate = rate;
      video.playbackRate = rate;
    },
    // Shown or hidden at once: WebKit leaves an added track disabled despite
    // `default`, after its own preference.  Hidden captions still load, for
    // the transcript.
    caption(url, name, language, shown) {
      captions?.remove();
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
    describe(url, name, language) {
      descriptions?.remove();
      const track = document.createElement("track");
      descriptions = track;
      track.kind = "descriptions";
      track.srclang = language;
      track.label = words.listening.descriptions;
      track.addEventListener("error", () => {
        if (descriptions === track) wiring.descriptionsFailed(name);
      });
      // Each cue's own entry and exit: a cue shorter than the moments between two of the recording's
      // reports (a description in a pause, of a fifth of a second) never is among the active cues,
      // but enters and exits all the same.
      track.addEventListener("load", () => {
        const cues = [...(track.track.cues ?? [])].map((cue) => {
          const text = cue instanceof VTTCue ? cue.getCueAsHTML().textContent ?? "" : "";
          cue.addEventListener("enter", () => wiring.cue(text));
          cue.addEventListener("exit", () => wiring.cueEnd());
          return { start: cue.startTime, end: cue.endTime, text };
        });
        wiring.described(cues);
      });
      track.src = url;
      video.append(track);
      // Hidden: the page says them; a browser would not show descriptions anyway.
      track.track.mode = "hidden";
    },
    hold() {
      if (video.paused) return;
      held = true;
      video.pause();
    },
    release() {
      if (!held) return;
      held = false;
      video.play().catch(() => {});
    },
  };
}
