// SPDX-License-Identifier: MIT
// Wires the page: plays a recording beside a frame and keeps the frame on the
// page that the HREF track names for the moment the recording has reached,
// with a list of the slides that follows the recording and seeks on a click,
// and the recording's captions where the link or the user names them.
//
// The timing is the browser's own: every sample becomes a cue of a hidden
// metadata text track, and a change of the active cues moves the frame and
// the list.  Seeking, pausing and the playback rate need no code here.
(function () {
  "use strict";

  const {
    parseTrack, playableSamples, sameOrigin, entryLabel, sampleAt, stepFrom, startTime,
    isTextField, chooseFiles, captionsLanguage, captionsLabel,
  } = globalThis.HrefTrack;

  const video = document.getElementById("recording");
  const frame = document.getElementById("foil");
  const messages = document.getElementById("messages");
  const list = document.getElementById("slides");
  const chooser = document.getElementById("chooser");
  const files = document.getElementById("files");

  // What plays: the samples in the order of their start, the one that plays
  // now (-1 for none), the list's buttons, and the files chosen from disk.
  const state = { samples: [], current: -1, buttons: [], cues: null, startAt: null,
                  starting: false, chosen: {}, recordingUrl: null, captionsUrl: null,
                  language: "no" };

  function say(text) {
    const item = document.createElement("li");
    item.textContent = text;
    messages.append(item);
  }

  function show(href) {
    if (frame.dataset.page === href) return;
    frame.dataset.page = href;
    try {
      frame.contentWindow.location.replace(href);
    } catch {
      frame.src = href;
    }
  }

  // Scrolls the list, and only the list, so that `item` is in view.
  function keepInView(item) {
    if (item.offsetTop < list.scrollTop) {
      list.scrollTop = item.offsetTop;
    } else if (item.offsetTop + item.offsetHeight > list.scrollTop + list.clientHeight) {
      list.scrollTop = item.offsetTop + item.offsetHeight - list.clientHeight;
    }
  }

  // Makes sample `index` the one that plays now: its page in the frame, its
  // entry marked.  With -1 (between samples) the frame keeps its page.
  function setCurrent(index) {
    if (state.current >= 0) state.buttons[state.current].removeAttribute("aria-current");
    state.current = index;
    if (index < 0) return;
    const button = state.buttons[index];
    button.setAttribute("aria-current", "true");
    keepInView(button.parentElement);
    show(state.samples[index].href);
  }

  function goTo(index) {
    // A slide chosen before the recording could go to a link's t= wins.
    state.starting = false;
    setCurrent(index);
    video.currentTime = state.samples[index].start;
  }

  // Seeks to where a link asks the recording to start.  Until the recording
  // is there, the cues of time 0 must not move the frame back to slide 0.
  function seekAtStart(time) {
    state.starting = true;
    const seek = () => {
      if (!state.starting) return;
      video.addEventListener("seeked", () => {
        state.starting = false;
        onCueChange();
      }, { once: true });
      video.currentTime = time;
    };
    if (video.readyState >= HTMLMediaElement.HAVE_METADATA) {
      seek();
    } else {
      video.addEventListener("loadedmetadata", seek, { once: true });
    }
  }

  function buildList() {
    list.replaceChildren();
    state.buttons = state.samples.map((sample, index) => {
      const label = entryLabel(sample);
      const name = document.createElement("span");
      name.className = "slide-name";
      name.textContent = label.name;
      const start = document.createElement("span");
      start.className = "slide-start";
      start.textContent = label.start;
      const button = document.createElement("button");
      button.type = "button";
      button.append(name, " ", start);
      button.addEventListener("click", () => goTo(index));
      const item = document.createElement("li");
      item.append(button);
      list.append(item);
      return button;
    });
  }

  function onCueChange() {
    if (state.starting) return;
    let index = -1;
    for (const cue of state.cues.activeCues) index = Math.max(index, Number(cue.id));
    if (index !== state.current) setCurrent(index);
  }

  // Plays a track's text; the pages it names are resolved against `base`.
  function play(text, base) {
    const parsed = parseTrack(text);
    // The frame is named after the track's target, as in the original layout.
    if (parsed.samples.length > 0) frame.name = parsed.samples[0].frame;
    const { samples, problems } = playableSamples(parsed, base, frame.name);
    for (const problem of problems) say(problem.text);

    state.samples = samples;
    state.current = -1;
    buildList();
    if (state.cues === null) {
      state.cues = video.addTextTrack("metadata", "HREF");
      state.cues.mode = "hidden";
      state.cues.addEventListener("cuechange", onCueChange);
    }
    for (const cue of [...state.cues.cues]) state.cues.removeCue(cue);
    samples.forEach((sample, index) => {
      const cue = new VTTCue(sample.start, sample.end, sample.href);
      cue.id = String(index);
      state.cues.addCue(cue);
    });

    // The frame shows the page of the start at once, before the recording
    // plays: slide 0's at time 0, or the one a link's t= asks for.
    const at = state.startAt ?? 0;
    if (at > 0) seekAtStart(at);
    setCurrent(sampleAt(samples, at));
    document.body.dataset.ready = "true";
  }

  // Gives the recording the captions at `url`, shown at once: WebKit leaves
  // an added track disabled despite `default`, after its own preference.
  function addCaptions(url, name) {
    for (const old of video.querySelectorAll("track")) old.remove();
    const captions = document.createElement("track");
    captions.kind = "captions";
    captions.srclang = state.language;
    captions.label = captionsLabel(state.language);
    captions.default = true;
    captions.addEventListener("error", () => {
      say(`Kan ikke lese tekstingen ${name}: den mangler eller er ikke WebVTT. ` +
          "Opptaket og lysarkene spilles likevel.");
    });
    captions.src = url;
    video.append(captions);
    captions.track.mode = "showing";
  }

  async function playServed(trackUrl) {
    let text;
    try {
      // mode same-origin also refuses a redirect to another origin.
      const response = await fetch(trackUrl, { mode: "same-origin" });
      if (!response.ok) throw new Error(String(response.status));
      text = await response.text();
    } catch {
      say(`Kan ikke hente sporet ${trackUrl.pathname.split("/").pop()}.`);
      return;
    }
    play(text, trackUrl.href);
  }

  // A blob: address for a chosen file, kept in `state[key]` in place of the
  // one before it, which is let go.
  function objectUrl(key, file) {
    if (state[key]) URL.revokeObjectURL(state[key]);
    state[key] = URL.createObjectURL(file);
    return state[key];
  }

  // Files chosen or dropped: the recording plays from memory, and the track's
  // pages are resolved against the page's own folder.
  async function playChosen(fileList) {
    messages.replaceChildren();
    const previous = state.chosen;
    state.chosen = chooseFiles([...fileList], previous);
    for (const name of state.chosen.ignored) {
      say(`Filen ${name} er verken opptak, spor eller teksting, og brukes ikke.`);
    }
    const { recording, track, captions } = state.chosen;
    if (captions && captions !== previous.captions) {
      addCaptions(objectUrl("captionsUrl", captions), captions.name);
    }
    if (recording && recording !== previous.recording) {
      video.src = objectUrl("recordingUrl", recording);
    }
    if (!recording) say("Velg ogsaa opptaket, for eksempel en .webm-fil.");
    if (!track) {
      say("Velg ogsaa sporet, HREFTrack.txt.");
    } else if (track !== previous.track) {
      let text;
      try {
        text = await track.text();
      } catch {
        say(`Kan ikke lese sporet ${track.name}.`);
        return;
      }
      play(text, location.href);
    }
  }

  function offerChooser() {
    chooser.hidden = false;
    files.addEventListener("change", () => playChosen(files.files));
    document.addEventListener("dragover", (event) => {
      event.preventDefault();
      event.dataTransfer.dropEffect = "copy";
    });
    document.addEventListener("drop", (event) => {
      event.preventDefault();
      if (event.dataTransfer.files.length > 0) playChosen(event.dataTransfer.files);
    });
  }

  function onKey(event) {
    if (event.key !== "PageDown" && event.key !== "PageUp") return;
    if (event.altKey || event.ctrlKey || event.metaKey || event.shiftKey) return;
    if (isTextField(event.target) || state.samples.length === 0) return;
    event.preventDefault();
    const direction = event.key === "PageDown" ? 1 : -1;
    const target = stepFrom(state.samples, state.current, video.currentTime, direction);
    if (target >= 0) goTo(target);
  }

  function start() {
    document.addEventListener("keydown", onKey);
    const query = new URLSearchParams(location.search);
    state.startAt = startTime(query.get("t"));
    if (Number.isNaN(state.startAt)) {
      say(`t=${query.get("t")} er ikke et antall sekunder; opptaket starter ved begynnelsen.`);
      state.startAt = null;
    }
    state.language = captionsLanguage(query.get("captionslang"));
    if (state.language === null) {
      say(`captionslang=${query.get("captionslang")} er ingen spraakkode; tekstingen regnes som norsk.`);
      state.language = "no";
    }
    const trackName = query.get("track");
    const videoName = query.get("video");
    const captionsName = query.get("captions");
    // A page opened from disk cannot fetch files; its user chooses them.
    if (location.protocol === "file:") {
      offerChooser();
      if (trackName !== null || videoName !== null || captionsName !== null) {
        say("Siden er aapnet som fil og kan ikke hente filene selv: velg opptaket og sporet.");
      }
      return;
    }
    if (trackName === null) offerChooser();
    if (trackName === null && videoName === null) return;

    const trackUrl = new URL(trackName ?? "HREFTrack.txt", location.href);
    if (!sameOrigin(trackUrl.href, location.href)) {
      say(`Sporet ${trackUrl.href} ligger paa et annet nettsted enn spilleren, og spilles ikke.`);
      return;
    }
    if (videoName) {
      video.src = new URL(videoName, location.href).href;
    } else {
      say("Oppgi opptaket i adressen: index.html?video=forelesning.webm&track=HREFTrack.txt");
    }
    // Captions follow the track's rule: from the page's own origin only.
    if (captionsName !== null) {
      const captionsUrl = new URL(captionsName, location.href);
      if (sameOrigin(captionsUrl.href, location.href)) {
        addCaptions(captionsUrl.href, captionsName);
      } else {
        say(`Tekstingen ${captionsUrl.href} ligger paa et annet nettsted enn spilleren, og brukes ikke.`);
      }
    }
    playServed(trackUrl);
  }

  start();
})();
