// SPDX-License-Identifier: MIT
// The page: makes its parts of its elements and wires them together.  What
// the recording and the user do goes to the player's rules
// (rules/decide.js), and what they answer to the parts.
(function () {
  "use strict";

  const button = (/** @type {string} */ id) => byId(id, HTMLButtonElement);
  const link = readLink(location.href);
  const messages = makeMessages(byId("messages", HTMLUListElement));
  const say = messages.say;
  const memory = makeMemory(() => localStorage);
  const settings = memory.settings();
  const keepSetting = (/** @type {Partial<Settings>} */ change) => {
    Object.assign(settings, change);
    memory.keepSettings(change);
  };

  let player = initialState();
  // The lecture: its recording and its track, each by its address or, if
  // chosen from disk, its name and size.
  let lecture = { recording: "", name: "", track: "", key: "" };
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
  // A hit of the search: its slide, or the moment of its caption.
  const goToHit = (/** @type {{ sample: number, start: number }} */ hit) =>
    (hit.sample >= 0 ? choose(hit.sample) : go(hit.start));
  const frame = makeFrame(byId("foil", HTMLIFrameElement));
  const served = makeServedSlides();
  const slideList = makeSlideList(byId("slides", HTMLOListElement), choose);
  const timeline = makeTimeline({ bar: byId("timeline", HTMLElement), slides: byId("timeline-slides", HTMLElement),
    hits: byId("timeline-hits", HTMLElement), now: byId("timeline-now", HTMLElement) }, { choose, go, hit: goToHit,
    step: (direction) => dispatch({ type: "step", direction, time: recording.time() }), name: slideList.name });
  const transcript = makeTranscript({ part: byId("transcript-part", HTMLElement), toggle: button("transcript-toggle"),
    list: byId("transcript", HTMLOListElement) }, { go, toggled: (open) => keepSetting({ transcript: open }) });
  const search = makeSearchBox({ field: byId("search", HTMLInputElement), status: byId("search-status", HTMLElement),
    list: byId("search-results", HTMLOListElement) }, { name: slideList.name, hit: goToHit,
    searched(found, hits) {
      transcript.search(found);
      timeline.hits(hits);
    } });
  const recording = makeRecording(byId("recording", HTMLVideoElement), {
    ready: () => dispatch({ type: "ready", duration: recording.duration() }),
    seeked: (time) => dispatch({ type: "seeked", time }),
    missed: (time) => dispatch({ type: "missed", time }),
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
    played(time, seeking, now) {
      timeline.at(time);
      resume.follow(time, recording.duration(), seeking, now);
    },
    length: () => timeline.show(player.samples, length()),
    rated: (rate) => keepSetting({ rate }),
    captionsShown: (shown) => keepSetting({ captions: shown }),
  });
  const chooser = makeChooser({ part: byId("chooser", HTMLElement), files: byId("files", HTMLInputElement),
    folder: byId("folder", HTMLInputElement) }, { say, clear: messages.clear,
    recording: (url, name, id) => loadRecording(url, name, id, true), captions: loadCaptions,
    track: (text, id) => loadTrack(text, location.href, id) });
  const resume = makeResume({ notice: byId("resume", HTMLElement), text: byId("resume-text", HTMLElement),
    restart: button("resume-restart") }, { keep: (key, moment) => memory.keep(key, { moment }), go });
  const notes = makeNotes({ add: button("note-new"), save: button("notes-save"), editor: byId("note-editor", HTMLElement),
    label: byId("note-moment", HTMLLabelElement), field: byId("note-text", HTMLTextAreaElement),
    keep: button("note-keep"), drop: button("note-drop"), status: byId("notes-status", HTMLElement),
    undo: button("note-undo"), list: byId("notes", HTMLOListElement), handout: byId("handout", HTMLElement) },
  { time: () => recording.time(), go, samples: () => player.samples, name: slideList.name,
    link: (time) => momentLink(location.href, time), lecture: () => lectureName(lecture.name),
    keep: (kept) => memory.keep(lecture.key, { notes: kept }) });
  const chapters = makeChapters(button("chapters-save"), { lecture: () => lectureName(lecture.name),
    chapters: () => lectureChapters(player.samples, slideList.name) });
  makeKeys({ open: button("keys-open"), dialog: byId("keys", HTMLDialogElement), list: byId("keys-list", HTMLElement),
             close: button("keys-close") });

  /** Hands `event` to the rules and does what they say. @param {PlayerEvent} event @param {Event} [domEvent] */
  function dispatch(event, domEvent) {
    const answer = decide(player, event);
    player = answer.state;
    for (const action of answer.actions) {
      switch (action.type) {
        case "show":
          frame.showMade(action.href, chooser.slideAddress(action.url) ?? served.slideAddress(action.href, action.url));
          break;
        case "seek": recording.seek(action.time); break;
        case "mark":
          if (action.list === "captions") transcript.mark(action.index);
          else [slideList, timeline].forEach((part) => part.mark(action.index));
          break;
        case "watch": recording.watch(action.from, action.to); break;
        case "refuse": say(words.link.pastEnd(formatStart(action.time), formatStart(action.duration))); break;
        case "prevent": domEvent?.preventDefault(); break;
        default: {
          // An action not handled here is one the type check names.
          /** @type {never} */
          const unhandled = action;
          throw new Error(`no action ${JSON.stringify(unhandled)}`);
        }
      }
    }
  }

  const reindex = () => search.index(player.samples, slideTexts, captions);

  // The recording's length, or the track's while the recording's is unknown.
  const length = () => recording.duration() || (player.samples[player.samples.length - 1]?.end ?? 0);

  // Opens what is kept of the lecture; resolves where it starts, where the
  // user is where they have `moved` in it.
  function openLecture(/** @type {boolean} */ moved) {
    lecture.key = lectureKey(lecture.recording, lecture.track);
    const kept = memory.lecture(lecture.key);
    notes.open(kept.notes);
    return resume.open(lecture.key, kept.moment, moved ? recording.time() : link.startAt);
  }

  /** Loads a track; the slides it names are resolved against `base`. @param {string} text @param {string} base
   *  @param {string} id */
  function loadTrack(text, base, id) {
    const parsed = parseTrack(text);
    const target = parsed.samples.length > 0 ? parsed.samples[0].frame : "";
    if (target !== "") frame.name(target);
    const { samples, problems } = playableSamples(parsed, base, target);
    for (const message of [...problemMessages(problems), ...chooser.problems(samples)]) say(message);
    served.release();
    recording.expect(parsed.closing);
    const own = ++track;
    slideTexts = new Map();
    lecture = { ...lecture, track: id };
    slideList.show(samples, () => {
      listed = own;
      readSlides();
    });
    // A new track: nobody has moved in it yet.
    dispatch({ type: "track", samples, startAt: openLecture(false), duration: recording.duration() });
    timeline.show(samples, length());
    reindex();
  }

  async function readSlides() {
    const own = track;
    if (listed !== own || read === own || !recording.settled()) return;
    read = own;
    const sources = chooser.slideSources(player.samples);
    const { texts: slides, statuses, partial } = await readSlideTexts(sources);
    if (own !== track) return;
    served.learn(statuses);
    for (const message of slideMessages([...sources.keys()], statuses, partial)) say(message);
    slideTexts = new Map([...slides].map(([url, slide]) => [url, slide.text]));
    const titles = slideTitles(slides);
    slideList.title(titles);
    [timeline, notes].forEach((part) => part.relabel());
    const first = player.samples[0];
    chapters.present((first && titles.get(first.url)) || lectureName(lecture.name));
    reindex();
  }

  /** @param {string} url @param {string} name @param {string} id @param {boolean} chosen */
  function loadRecording(url, name, id, chosen) {
    dispatch({ type: "recording" });
    lecture = { ...lecture, recording: id, name };
    recording.load(url, name, chosen);
    recording.rate(settings.rate);
    if (track === 0) return;
    // Chosen after its track: the lecture is known only now.
    const start = openLecture(player.moved);
    if (start !== null && !player.moved) dispatch({ type: "go", time: start });
  }

  /** @param {string} url @param {string} name */
  function loadCaptions(url, name) {
    transcript.expect();
    recording.caption(url, name, link.language, settings.captions);
  }

  /** @param {string} url */
  async function fetchTrack(url) {
    const text = await fetchOwn(url);
    if (text === null) say(words.track.unfetched(fileName(url)));
    else loadTrack(text, url, url);
  }

  document.addEventListener("keydown", (event) => {
    const target = event.target instanceof HTMLElement ? event.target : null;
    if (event.defaultPrevented || target?.closest("dialog")) return;
    dispatch({ type: "key", key: event.key, time: recording.time(), inTextField: isTextField(target),
               modified: event.altKey || event.ctrlKey || event.metaKey || event.shiftKey }, event);
  });

  transcript.open(settings.transcript);
  for (const message of link.messages) say(message);
  if (link.chooser) chooser.offer();
  if (link.video !== null) loadRecording(link.video, fileName(link.video), link.video, false);
  if (link.captions !== null) loadCaptions(link.captions, fileName(link.captions));
  if (link.track !== null) fetchTrack(link.track);
})();
