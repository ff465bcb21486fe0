// SPDX-License-Identifier: MIT
// The page: makes its parts of its elements and wires them together.  What
// the recording and the user do goes to the player's rules
// (hreftrack-rules.js), and what they answer to the parts.
(function () {
  "use strict";

  /** The page's element `id`, which must be a `type`. @template {HTMLElement} T
   *  @param {string} id @param {{ new (): T, name: string }} type @returns {T} */
  function byId(id, type) {
    const found = document.getElementById(id);
    if (!(found instanceof type)) throw new Error(`#${id} is no ${type.name}`);
    return found;
  }

  const link = readLink(location.href);
  const messages = byId("messages", HTMLUListElement);
  const say = (/** @type {string} */ text) => messages.append(Object.assign(document.createElement("li"),
                                                                             { textContent: text }));

  let player = initialState();
  // Each track loaded is counted; its slides are read once, when its list
  // stands and the recording has settled, for their titles and the search.
  let track = 0;
  let listed = 0;
  let read = 0;
  /** @type {Map<string, string>} */
  let slideTexts = new Map();
  /** @type {{ start: number, end: number, text: string }[]} */
  let captions = [];

  const choose = (/** @type {number} */ index) => dispatch({ type: "choose", index });
  const go = (/** @type {number} */ time) => dispatch({ type: "go", time });
  const frame = makeFrame(byId("foil", HTMLIFrameElement));
  const slideList = makeSlideList(byId("slides", HTMLOListElement), choose);
  const transcript = makeTranscript({ part: byId("transcript-part", HTMLElement),
    toggle: byId("transcript-toggle", HTMLButtonElement), list: byId("transcript", HTMLOListElement) }, go);
  const search = makeSearchBox({ field: byId("search", HTMLInputElement), status: byId("search-status", HTMLElement),
    list: byId("search-results", HTMLOListElement) }, { name: slideList.name, choose, go, searched: transcript.search });
  const recording = makeRecording(byId("recording", HTMLVideoElement), {
    ready: () => dispatch({ type: "ready" }),
    seeked: (time) => dispatch({ type: "seeked", time }),
    left: (time) => dispatch({ type: "cue", time }),
    settled: readSlides,
    failed: say,
    captions(arrived) {
      captions = arrived;
      transcript.show(captions);
      dispatch({ type: "captions", captions, time: recording.time() });
      reindex();
    },
    captionsFailed(name) {
      transcript.drop();
      say(words.captions.unreadable(name));
    },
  });
  const chooser = makeChooser({ part: byId("chooser", HTMLElement), files: byId("files", HTMLInputElement),
    folder: byId("folder", HTMLInputElement) }, { say, clear: () => messages.replaceChildren(),
    recording: (url, name) => loadRecording(url, name, true), captions: loadCaptions,
    track: (text) => loadTrack(text, location.href) });
  makeKeys({ open: byId("keys-open", HTMLButtonElement), dialog: byId("keys", HTMLDialogElement),
             list: byId("keys-list", HTMLElement), close: byId("keys-close", HTMLButtonElement) });

  /** Hands `event` to the rules and does what they say. @param {PlayerEvent} event @param {Event} [domEvent] */
  function dispatch(event, domEvent) {
    const answer = decide(player, event);
    player = answer.state;
    for (const action of answer.actions) {
      if (action.type === "show") frame.show(action.href);
      else if (action.type === "seek") recording.seek(action.time);
      else if (action.type === "mark") (action.list === "slides" ? slideList : transcript).mark(action.index);
      else if (action.type === "watch") recording.watch(action.from, action.to);
      else domEvent?.preventDefault();
    }
  }

  const reindex = () => search.index(player.samples, slideTexts, captions);

  /** Loads a track; the slides it names are resolved against `base`. @param {string} text @param {string} base */
  function loadTrack(text, base) {
    const parsed = parseTrack(text);
    const target = parsed.samples.length > 0 ? parsed.samples[0].frame : "";
    if (target !== "") frame.name(target);
    const { samples, problems } = playableSamples(parsed, base, target);
    for (const message of problemMessages(problems)) say(message);
    const own = ++track;
    slideTexts = new Map();
    slideList.show(samples, () => {
      listed = own;
      readSlides();
    });
    dispatch({ type: "track", samples, startAt: link.startAt });
    reindex();
  }

  async function readSlides() {
    const own = track;
    if (listed !== own || read === own || !recording.settled()) return;
    read = own;
    /** @type {Map<string, string | Blob>} */
    const sources = new Map();
    for (const sample of player.samples) {
      const source = sources.has(sample.url) ? null : chooser.slideSource(sample);
      if (source !== null) sources.set(sample.url, source);
    }
    const slides = await readSlideTexts(sources);
    if (own !== track) return;
    slideTexts = new Map([...slides].map(([url, slide]) => [url, slide.text]));
    slideList.title(slideTitles(slides));
    reindex();
  }

  /** @param {string} url @param {string} name @param {boolean} chosen */
  function loadRecording(url, name, chosen) {
    dispatch({ type: "recording" });
    recording.load(url, name, chosen);
  }

  /** @param {string} url @param {string} name */
  function loadCaptions(url, name) {
    transcript.expect();
    recording.caption(url, name, link.language);
  }

  /** @param {string} url */
  async function fetchTrack(url) {
    // mode same-origin also refuses a redirect to another origin.
    const text = await fetch(url, { mode: "same-origin" })
      .then((response) => (response.ok ? response.text() : null)).catch(() => null);
    if (text === null) say(words.track.unfetched(fileName(url)));
    else loadTrack(text, url);
  }

  document.addEventListener("keydown", (event) => {
    const target = event.target instanceof HTMLElement ? event.target : null;
    if (event.defaultPrevented || target?.closest("dialog")) return;
    dispatch({ type: "key", key: event.key, time: recording.time(), inTextField: isTextField(target),
               modified: event.altKey || event.ctrlKey || event.metaKey || event.shiftKey }, event);
  });

  for (const message of link.messages) say(message);
  if (link.chooser) chooser.offer();
  if (link.video !== null) loadRecording(link.video, fileName(link.video), false);
  if (link.captions !== null) loadCaptions(link.captions, fileName(link.captions));
  if (link.track !== null) fetchTrack(link.track);
})();
