// SPDX-License-Identifier: MIT
// The page: makes its parts of its elements and wires them together.  What
// the recording and the user do goes to the player's rules
// (rules/decide.js), and what they answer to the parts.
(async function () {
  "use strict";

  const memory = makeMemory(() => localStorage);
  const settings = memory.settings();
  const keepSetting = (/** @type {Partial<Settings>} */ change) => {
    // The rate and the captions the page sets as it loads are those it read: only a change is written,
    // so that opening a lecture costs no write to storage, and leaves another tab's choice alone.
    const known = /** @type {Record<string, unknown>} */ (settings);
    if (Object.entries(change).every(([name, value]) => known[name] === value)) return;
    Object.assign(settings, change);
    memory.keepSettings(change);
  };
  // The page's language, before it says a word: the student's choice, a link's lang=, the browser's.
  const language = makeLanguageChoice({ chosen: relanguage });
  await language.show(chooseLanguage({ chosen: settings.language, linked: linkLanguage(location.href),
                                       preferred: navigator.languages ?? [] }));
  const link = readLink(location.href);
  const { say, clear } = makeMessages(byId("messages", HTMLUListElement));

  let player = initialState();
  // The lecture: its recording and its track, each by its address or, if
  // chosen from disk, its name and size.
  let lecture = { recording: "", name: "", track: "", key: "" };
  // The slides' text as the search reads it, by their address in the track, once they are read.
  /** @type {Map<string, string>} */
  let slideTexts = new Map();
  // The recording's captions and descriptions, each as its track gave them.
  /** @type {{ captions: (Timed & { text: string })[], descriptions: (Timed & { text: string })[] }} */
  const timed = { captions: [], descriptions: [] };

  const choose = (/** @type {number} */ index) => dispatch({ type: "choose", index });
  const go = (/** @type {number} */ time) => dispatch({ type: "go", time });
  // A hit of the search: its slide, or the moment of its caption.
  const goToHit = (/** @type {{ sample: number, start: number }} */ hit) =>
    (hit.sample >= 0 ? choose(hit.sample) : go(hit.start));
  const frame = makeFrame(byId("foil", HTMLIFrameElement));
  const served = makeServedSlides();
  // What a frame shows for the slide at `href`, which the track names by `url`.
  const made = (/** @type {string} */ href, /** @type {string} */ url) =>
    chooser.slideAddress(url) ?? served.slideAddress(href, url);
  // The frame is named after the slide it shows; before any, it keeps the name the page gives it.
  const nameFrame = () => {
    if (player.current >= 0) frame.title(slideList.name(player.current));
  };
  /** Shows the slide of sample `index` in `shown`, a frame. @param {Frame} shown @param {number} index */
  const showSlide = (shown, index) => {
    const { href, url } = player.samples[index];
    shown.showMade(href, made(href, url));
  };
  const tabs = makeTabs({ chosen: (panel) => keepSetting({ panel }) });
  makeLayoutChoice({ chosen: (layout) => keepSetting({ layout }) }).show(settings.layout);
  const slideList = makeSlideList(byId("slides", HTMLOListElement), choose);
  const preview = makeTimelinePreview({ name: slideList.name, show: showSlide });
  const timeline = makeTimeline({ choose, go, hit: goToHit, name: slideList.name, point: preview.point,
    step: (direction) => dispatch({ type: "step", direction, time: recording.time() }) });
  const transcript = makeTranscript({ go, offered: (applies) => tabs.offer("transcript", applies) });
  const search = makeSearchBox({ name: slideList.name, hit: goToHit, searched(found, hits) {
    transcript.search(found);
    timeline.hits(hits);
  } });
  const describer = makeDescriber(settings, { name: slideList.name, say, keep: keepSetting,
    text: (index) => slideTexts.get(player.samples[index]?.url ?? "") ?? "",
    hold: () => recording.hold(), release: () => recording.release() });
  const recording = makeRecording(byId("recording", HTMLVideoElement), {
    event: dispatch,
    failed: say,
    captions(captions) {
      timed.captions = captions;
      showTimed();
    },
    captionsFailed(name) {
      timed.captions = [];
      showTimed();
      say(words.captions.unreadable(name));
    },
    played(time, seeking, now) {
      timeline.at(time);
      resume.follow(time, recording.duration(), seeking, now);
    },
    length: (duration) => timeline.show(player.samples, duration),
    rated: (rate) => keepSetting({ rate }),
    captionsShown: (shown) => keepSetting({ captions: shown }),
    described(cues) {
      describer.described(cues.length > 0, link.language);
      timed.descriptions = cues;
      showTimed();
    },
    descriptionsFailed(name) {
      describer.described(false, link.language);
      timed.descriptions = [];
      showTimed();
      say(words.listening.unreadable(name));
    },
    cue: describer.cue,
    cueEnd: describer.cueEnd,
    stopped: describer.stopped,
  });
  const chooser = makeChooser({ say, clear,
    recording: (url, name, id) => loadRecording(url, name, id, true), captions: loadCaptions,
    descriptions: loadDescriptions,
    track: (text, id) => loadTrack(text, location.href, id) });
  const resume = makeResume({ keep: (key, moment) => memory.keep(key, { moment }), go });
  const notes = makeNotes({ time: () => recording.time(), go, samples: () => player.samples, name: slideList.name,
    link: (time) => momentLink(location.href, time), lecture: () => lectureName(lecture.name),
    keep: (kept) => memory.keep(lecture.key, { notes: kept }) });
  const chapters = makeChapters(byId("chapters-save", HTMLButtonElement), { lecture: () => lectureName(lecture.name),
    chapters: () => lectureChapters(player.samples, slideList.name) });
  const keys = makeKeys();

  /** Reads the page in the `chosen` language from now on, every part in it, nothing lost. @param {string} chosen */
  async function relanguage(chosen) {
    keepSetting({ language: chosen });
    await language.show(chosen);
    [slideList, timeline, notes, transcript, keys].forEach((part) => part.relabel());
    nameFrame();
    // The hits, named anew.
    search.index({});
  }

  /** Hands `event` to the rules and does what they say. @param {PlayerEvent} event @param {Event} [domEvent] */
  function dispatch(event, domEvent) {
    const answer = decide(player, event);
    player = answer.state;
    for (const action of answer.actions) {
      switch (action.type) {
        case "show": frame.showMade(action.href, made(action.href, action.url)); break;
        case "seek": recording.seek(action.time); break;
        case "mark":
          if (action.list === "captions") {
            transcript.mark(action.index);
            break;
          }
          [slideList, timeline].forEach((part) => part.mark(action.index));
          // Between slides the frame keeps its slide, and its name.
          nameFrame();
          describer.slide(action.index);
          break;
        case "watch": recording.watch(action.from, action.to); break;
        case "refuse": say(words.link.pastEnd(formatStart(action.time), formatStart(action.duration))); break;
        case "prevent": domEvent?.preventDefault(); break;
        case "read": readSlides(); break;
        default: {
          // An action not handled here is one the type check names.
          /** @type {never} */
          const unhandled = action;
          throw new Error(`no action ${JSON.stringify(unhandled)}`);
        }
      }
    }
  }


  // Opens what is kept of the lecture; resolves where it starts, nowhere
  // where the user has `moved` in it.
  function openLecture(/** @type {boolean} */ moved) {
    lecture.key = lectureKey(lecture.recording, lecture.track);
    const kept = memory.lecture(lecture.key);
    notes.open(kept.notes);
    const start = lectureStart(moved, link.startAt, kept.moment);
    resume.open(lecture.key, kept.moment, start.resumes);
    return start.at;
  }

  /** Loads a track; the slides it names are resolved against `base`. @param {string} text @param {string} base
   *  @param {string} id */
  function loadTrack(text, base, id) {
    const { samples, target, closing, messages } = readTrack(text, base);
    if (target !== "") frame.name(target);
    for (const message of [...messages, ...chooser.problems(samples)]) say(message);
    served.release();
    recording.expect(closing);
    lecture = { ...lecture, track: id };
    slideTexts = new Map();
    describer.track();
    // Its list stands only after the track's event, which marks its entry in it.
    slideList.show(samples, () => dispatch({ type: "listed" }));
    // A new track: nobody has moved in it yet.
    dispatch({ type: "track", samples, startAt: openLecture(false), duration: recording.duration() });
    timeline.show(samples, recording.duration());
    search.index({ samples, texts: new Map() });
  }

  async function readSlides() {
    const samples = player.samples;
    const sources = chooser.slideSources(samples);
    const { texts: slides, statuses, partial } = await readSlideTexts(sources);
    // A track that came meanwhile has slides of its own.
    if (samples !== player.samples) return;
    served.learn(statuses);
    for (const message of slideMessages([...sources.keys()], statuses, partial)) say(message);
    const titles = slideTitles(slides);
    slideTexts = new Map([...slides].map(([url, slide]) => [url, slide.text]));
    slideList.title(titles);
    nameFrame();
    [timeline, notes].forEach((part) => part.relabel());
    chapters.present(lectureTitle(samples, titles, lecture.name));
    search.index({ texts: slideTexts });
  }

  /** @param {string} url @param {string} name @param {string} id @param {boolean} chosen */
  function loadRecording(url, name, id, chosen) {
    dispatch({ type: "recording" });
    lecture = { ...lecture, recording: id, name };
    recording.load(url, name, chosen);
    recording.rate(settings.rate);
    if (lecture.track === "") return;
    // Chosen after its track: the lecture is known only now.
    const start = openLecture(player.moved);
    if (start !== null) go(start);
  }

  /** @param {string} url @param {string} name */
  function loadCaptions(url, name) {
    transcript.expect();
    recording.caption(url, name, link.language, settings.captions);
  }

  /** @param {string} url @param {string} name */
  function loadDescriptions(url, name) {
    transcript.expect();
    recording.describe(url, name, link.language);
  }

  // The captions with the descriptions among them, in the order of their start (a caption before a
  // description of the same start), for the transcript, the rules and the search alike.
  function showTimed() {
    const all = [...timed.captions, ...timed.descriptions.map((cue) => ({ ...cue, described: true }))]
      .sort((a, b) => a.start - b.start);
    if (all.length === 0) {
      transcript.drop();
    } else {
      transcript.expect();
      transcript.show(all);
    }
    dispatch({ type: "captions", captions: all, time: recording.time() });
    search.index({ captions: all });
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
    dispatch({ type: "key", key: keyName(event), time: recording.time(), inTextField: isTextField(target) }, event);
  });

  tabs.choose(settings.panel);
  for (const message of link.messages) say(message);
  if (link.chooser) chooser.offer();
  if (link.video !== null) loadRecording(link.video, fileName(link.video), link.video, false);
  if (link.captions !== null) loadCaptions(link.captions, fileName(link.captions));
  if (link.descriptions !== null) loadDescriptions(link.descriptions, fileName(link.descriptions));
  if (link.track !== null) fetchTrack(link.track);
})();
