// SPDX-License-Identifier: MIT
// Wires the page to the player's pure functions: plays a recording beside a
// frame, and keeps the frame on the page that the HREF track names for the
// moment the recording has reached, with a list of the slides that follows
// the recording and seeks on a click, the recording's captions where the
// link or the user names them, a transcript of them that follows the
// recording, and a search in the slides' text and the captions.
//
// The timing is the browser's own: the page watches the recording leave the
// span of the sample that plays through one cue of a hidden metadata text
// track, whose change the browser reports the moment it happens.  Every
// event goes to the player's rules (hreftrack-rules.js), which decide what
// the page does.
(function () {
  "use strict";

  const video = /** @type {HTMLVideoElement} */ (document.getElementById("recording"));
  const frame = /** @type {HTMLIFrameElement} */ (document.getElementById("foil"));
  const messages = /** @type {HTMLElement} */ (document.getElementById("messages"));
  const list = /** @type {HTMLOListElement} */ (document.getElementById("slides"));
  const chooser = /** @type {HTMLElement} */ (document.getElementById("chooser"));
  const files = /** @type {HTMLInputElement} */ (document.getElementById("files"));
  const folder = /** @type {HTMLInputElement} */ (document.getElementById("folder"));
  const search = /** @type {HTMLInputElement} */ (document.getElementById("search"));
  const searchStatus = /** @type {HTMLElement} */ (document.getElementById("search-status"));
  const results = /** @type {HTMLOListElement} */ (document.getElementById("search-results"));
  const transcriptPart = /** @type {HTMLElement} */ (document.getElementById("transcript-part"));
  const transcriptToggle = /** @type {HTMLButtonElement} */ (document.getElementById("transcript-toggle"));
  const transcript = /** @type {HTMLOListElement} */ (document.getElementById("transcript"));

  // How many entries of the list are made in one go before the page lets
  // the browser answer the user: a long track never freezes it.
  const batch = 4000;
  // The list lays out its rows in view and this many on each side, and holds
  // the place of the rest: a list of 100,000 slides costs the page little
  // more than one of 100, which it lays out whole.
  const around = 50;
  // The most hits the search lists; it counts them all.
  const listedHits = 200;

  let player = initialState();
  /** @type {HTMLButtonElement[]} */
  let buttons = [];
  /** @type {HTMLButtonElement | null} */
  let marked = null;
  // The name of each page of the track, as the list names it, and the
  // titles of the pages that could be read.
  /** @type {Map<string, string>} */
  let names = new Map();
  /** @type {Map<string, string>} */
  let titles = new Map();
  // What the search looks through: the pages read and the captions.
  /** @type {Map<string, PageText>} */
  let pagesRead = new Map();
  /** @type {{ start: number, end: number, text: string }[]} */
  let captionCues = [];
  let lecture = indexLecture([], new Map(), []);
  // The caption that plays, and its entry in the transcript.
  let currentCue = -1;
  // The recording can play, and the build whose pages are read.
  let canPlay = false;
  let readFor = 0;
  // The rows laid out now, and the height of one, once a row is laid out.
  let rows = { first: 0, end: 0 };
  let rowHeight = 0;
  // The one cue that watches the span in which the same sample plays.
  const watcher = video.addTextTrack("metadata", "HREF");
  watcher.mode = "hidden";
  let language = "no";
  // The files chosen from disk so far, and the blob: addresses made of them.
  /** @type {Partial<Chosen>} */
  let chosen = {};
  /** @type {Record<string, string>} */
  const blobs = {};
  // Each new track starts a new build of the list; an older build stops.
  let build = 0;

  /** @param {string} text */
  function say(text) {
    const item = document.createElement("li");
    item.textContent = text;
    messages.append(item);
  }

  /** @param {string} href */
  function show(href) {
    if (frame.dataset.page === href) return;
    frame.dataset.page = href;
    try {
      /** @type {Window} */ (frame.contentWindow).location.replace(href);
    } catch {
      frame.src = href;
    }
  }

  // Scrolls `box`, never the page, so that the stretch from `top` that is
  // `height` high, in the box's own content, is in view.
  /** @param {HTMLElement} box @param {number} top @param {number} height */
  function keepInView(box, top, height) {
    if (top < box.scrollTop) {
      box.scrollTop = top;
    } else if (top + height > box.scrollTop + box.clientHeight) {
      box.scrollTop = top + height - box.clientHeight;
    }
  }

  /** @param {number} index */
  function row(index) {
    return /** @type {HTMLLIElement} */ (buttons[index].parentElement);
  }

  // Lays out the rows near the list's view, and holds the place of the
  // others above and below them.
  function layOut() {
    const count = player.samples.length;
    const wanted = rowsToLayOut({ count, rowHeight, scrollTop: list.scrollTop,
                                  viewHeight: list.clientHeight, around,
                                  centre: Math.max(player.current, 0) });
    for (let index = rows.first; index < Math.min(rows.end, buttons.length); index += 1) {
      if (index < wanted.first || index >= wanted.end) row(index).className = "";
    }
    for (let index = wanted.first; index < Math.min(wanted.end, buttons.length); index += 1) {
      if (index < rows.first || index >= rows.end) reveal(index);
    }
    rows = wanted;
    if (rowHeight === 0 && rows.end > rows.first && rows.first < buttons.length) {
      rowHeight = row(rows.first).offsetHeight;
    }
    list.style.setProperty("--above", `${rows.first * rowHeight}px`);
    list.style.setProperty("--below", `${(count - Math.min(rows.end, buttons.length)) * rowHeight}px`);
  }

  // Lays out row `index`, which tells assistive technology where it stands
  // in the whole list.
  /** @param {number} index */
  function reveal(index) {
    const item = row(index);
    item.className = "shown";
    item.setAttribute("aria-posinset", String(index + 1));
    item.setAttribute("aria-setsize", String(player.samples.length));
  }

  // Marks the entry of the sample that plays, and scrolls the list, never
  // the page, so that it is in view.
  function mark() {
    if (marked !== null) marked.removeAttribute("aria-current");
    marked = buttons[player.current] ?? null;
    if (marked === null) return;
    marked.setAttribute("aria-current", "true");
    if (rowHeight === 0) return;
    keepInView(list, player.current * rowHeight, rowHeight);
    layOut();
  }

  /**
   * Hands `event` to the rules and does what they say.
   * @param {PlayerEvent} event
   * @param {Event} [domEvent]
   */
  function dispatch(event, domEvent) {
    const answer = decide(player, event);
    player = answer.state;
    for (const action of answer.actions) {
      if (action.type === "show") show(action.href);
      else if (action.type === "seek") video.currentTime = action.time;
      else if (action.type === "mark") mark();
      else if (action.type === "watch") watch(action.from, action.to);
      else if (domEvent) domEvent.preventDefault();
    }
  }

  /** @param {number} from @param {number} to */
  function watch(from, to) {
    for (const cue of [...(watcher.cues ?? [])]) watcher.removeCue(cue);
    watcher.addCue(new VTTCue(from, to, ""));
  }

  // An entry of the list, to be copied: a button that names a slide and
  // gives its start.  The blank after the name keeps the two apart in the
  // entry's text.
  const entryTemplate = document.createElement("li");
  {
    const name = document.createElement("span");
    name.className = "slide-name";
    name.append("");
    const start = document.createElement("span");
    start.className = "slide-start";
    start.append("");
    const button = document.createElement("button");
    button.type = "button";
    button.append(name, start);
    entryTemplate.append(button);
  }

  // Writes into entry `index`'s button what it says, its start too where
  // `withStart`.
  /** @param {HTMLButtonElement} button @param {number} index @param {boolean} withStart */
  function label(button, index, withStart) {
    const { name, start } = entryLabel(player.samples[index], titles, names);
    /** @type {Text} */ (/** @type {Node} */ (button.firstChild).firstChild).data = `${name} `;
    if (withStart) /** @type {Text} */ (/** @type {Node} */ (button.lastChild).firstChild).data = start;
  }

  /** @param {number} index */
  function entry(index) {
    const item = /** @type {HTMLLIElement} */ (entryTemplate.cloneNode(true));
    label(/** @type {HTMLButtonElement} */ (item.firstChild), index, true);
    return item;
  }

  // Builds the list a batch at a time, each batch in a task of its own, so
  // that the page answers the user while a long track is read.
  /** @param {number} own  the build this is */
  function buildFrom(own, from = 0) {
    if (own !== build) return;
    const to = Math.min(from + batch, player.samples.length);
    const entries = document.createDocumentFragment();
    for (let index = from; index < to; index += 1) {
      const item = entry(index);
      buttons.push(/** @type {HTMLButtonElement} */ (item.firstChild));
      entries.append(item);
    }
    list.append(entries);
    for (let index = Math.max(from, rows.first); index < Math.min(to, rows.end); index += 1) {
      reveal(index);
    }
    layOut();
    if (player.current >= from && player.current < to) mark();
    if (to < player.samples.length) {
      setTimeout(() => buildFrom(own, to), 0);
    } else {
      list.setAttribute("aria-busy", "false");
      readSlides();
    }
  }

  /**
   * Plays a track's text; the pages it names are resolved against `base`.
   * @param {string} text
   * @param {string} base
   */
  function play(text, base) {
    const parsed = parseTrack(text);
    // The frame is named after the track's target, as in the original layout.
    if (parsed.samples.length > 0) frame.name = parsed.samples[0].frame;
    const { samples, problems } = playableSamples(parsed, base, frame.name);
    for (const message of problemMessages(problems)) say(message);

    build += 1;
    names = new Map();
    titles = new Map();
    pagesRead = new Map();
    buttons = [];
    marked = null;
    list.replaceChildren();
    list.scrollTop = 0;
    list.setAttribute("aria-busy", "true");
    dispatch({ type: "track", samples, startAt: link.startAt });
    const centre = Math.max(player.current, 0);
    rows = { first: Math.max(centre - around, 0), end: Math.min(centre + around, samples.length) };
    buildFrom(build);
    reindex();
  }

  // Reads the track's pages once the recording can play and the list is
  // built, a few at a time, for the entries' titles and the search: each
  // page of the page's own origin, or chosen from disk.  A page that cannot
  // be read is passed by, and none holds up the recording or the list.
  async function readSlides() {
    if (!canPlay || readFor === build || list.getAttribute("aria-busy") !== "false") return;
    const own = build;
    readFor = own;
    /** @type {Map<string, string | Blob>} */
    const sources = new Map();
    for (const sample of player.samples) {
      if (sources.has(sample.url)) continue;
      const file = chosen.track ? chosenPage(sample.url, /** @type {Chosen} */ (chosen)) : null;
      if (file !== null) {
        sources.set(sample.url, /** @type {ChosenFile} */ (file).blob);
      } else if (!chosen.track && sameOrigin(sample.href, location.href)) {
        sources.set(sample.url, sample.href);
      }
    }
    const read = await readPages(sources);
    if (own !== build) return;
    pagesRead = read;
    titles = slideTitles(read);
    names = new Map();
    buttons.forEach((button, index) => label(button, index, false));
    reindex();
  }

  // Makes the lecture ready for searching anew, and searches again.
  function reindex() {
    /** @type {Map<string, string>} */
    const texts = new Map();
    for (const [url, page] of pagesRead) texts.set(url, page.text);
    lecture = indexLecture(player.samples, texts, captionCues);
    if (search.value !== "") find();
  }

  // Lists the hits of what the search field holds, in time order, and says
  // how many there are; the list holds only hits.
  let statusTimer = 0;
  function find() {
    const query = search.value.trim();
    const hits = query === "" ? [] : searchLecture(lecture, query);
    results.scrollTop = 0;
    results.replaceChildren(...hits.slice(0, listedHits).map((hit) => {
      const button = document.createElement("button");
      button.type = "button";
      const name = document.createElement("span");
      name.className = "hit-name";
      name.textContent = hit.sample >= 0 ? entryLabel(player.samples[hit.sample], titles, names).name
                                         : "Teksting";
      const start = document.createElement("span");
      start.className = "hit-start";
      start.textContent = formatStart(hit.start);
      const excerpt = document.createElement("span");
      excerpt.className = "hit-excerpt";
      excerpt.textContent = hit.excerpt;
      button.append(name, " ", start, " ", excerpt);
      button.addEventListener("click", () => dispatch(hit.sample >= 0 ? { type: "choose", index: hit.sample }
                                                                      : { type: "go", time: hit.start }));
      const item = document.createElement("li");
      item.append(button);
      return item;
    }));
    // Said once the typing pauses, so that a screen reader is not flooded.
    clearTimeout(statusTimer);
    searchStatus.textContent = "";
    statusTimer = setTimeout(() => {
      searchStatus.textContent = query === "" ? ""
        : hits.length === 0 ? `Ingen treff for «${query}».`
        : hits.length > listedHits ? `${hits.length} treff; de første ${listedHits} vises.`
        : `${hits.length} treff.`;
    }, query === "" ? 0 : 400);
  }

  // The captions as a list that follows the recording; a click goes there.
  /** @param {TextTrack} track */
  function transcribe(track) {
    captionCues = [...(track.cues ?? [])].map((cue) => ({
      start: cue.startTime, end: cue.endTime,
      text: cue instanceof VTTCue ? cue.getCueAsHTML().textContent ?? "" : "" }));
    currentCue = -1;
    transcript.replaceChildren(...captionCues.map((cue) => {
      const start = document.createElement("span");
      start.className = "cue-start";
      start.textContent = formatStart(cue.start);
      const button = document.createElement("button");
      button.type = "button";
      button.append(start, " ", cue.text);
      button.addEventListener("click", () => dispatch({ type: "go", time: cue.start }));
      const item = document.createElement("li");
      item.append(button);
      return item;
    }));
    followCaptions();
    reindex();
  }

  // Marks the caption that plays in the transcript, and scrolls the
  // transcript, never the page, so that it is in view.
  function followCaptions() {
    const index = sampleAt(captionCues, video.currentTime);
    if (index === currentCue) return;
    transcript.children[currentCue]?.firstElementChild?.removeAttribute("aria-current");
    currentCue = index;
    const item = /** @type {HTMLElement | undefined} */ (transcript.children[index]);
    if (item === undefined) return;
    /** @type {Element} */ (item.firstElementChild).setAttribute("aria-current", "true");
    if (!transcript.hidden) keepInView(transcript, item.offsetTop - transcript.offsetTop, item.offsetHeight);
  }

  // Gives the recording the captions at `url`, shown at once: WebKit leaves
  // an added track disabled despite `default`, after its own preference.
  /** @param {string} url @param {string} name */
  function addCaptions(url, name) {
    for (const old of video.querySelectorAll("track")) old.remove();
    const captions = document.createElement("track");
    captions.kind = "captions";
    captions.srclang = language;
    captions.label = captionsLabel(language);
    captions.default = true;
    captions.addEventListener("error", () => {
      transcriptPart.hidden = true;
      say(`Kan ikke lese tekstingen ${name}: den mangler eller er ikke WebVTT. ` +
          "Opptaket og lysarkene spilles likevel.");
    });
    captions.addEventListener("load", () => transcribe(captions.track));
    captions.track.addEventListener("cuechange", followCaptions);
    captions.src = url;
    video.append(captions);
    captions.track.mode = "showing";
    // The transcript's place is held from now on: the page around it need
    // not be laid out again when the captions arrive.
    transcriptPart.hidden = false;
  }

  /** @param {string} url */
  function setRecording(url) {
    dispatch({ type: "recording" });
    canPlay = false;
    video.src = url;
  }

  /** @param {string} trackUrl */
  async function playServed(trackUrl) {
    let text;
    try {
      // mode same-origin also refuses a redirect to another origin.
      const response = await fetch(trackUrl, { mode: "same-origin" });
      if (!response.ok) throw new Error(String(response.status));
      text = await response.text();
    } catch {
      say(`Kan ikke hente sporet ${new URL(trackUrl).pathname.split("/").pop()}.`);
      return;
    }
    play(text, trackUrl);
  }

  // A blob: address for a chosen file, in place of the one made before it
  // under `key`, which is let go.
  /** @param {string} key @param {Blob} file */
  function blobUrl(key, file) {
    if (blobs[key]) URL.revokeObjectURL(blobs[key]);
    blobs[key] = URL.createObjectURL(file);
    return blobs[key];
  }

  /**
   * A chosen file as the sorting sees it, the file itself beside.
   * @typedef {FileLike & { blob: File }} ChosenFile
   */
  /** @param {File} file @param {string} [path] @returns {ChosenFile} */
  function chosenFile(file, path) {
    return { name: file.name, type: file.type, path: path || file.webkitRelativePath || file.name, blob: file };
  }

  // The files of a folder dropped on the page, and of the folders in it.
  /** @param {FileSystemDirectoryEntry} top @returns {Promise<ChosenFile[]>} */
  async function folderFiles(top) {
    /** @type {ChosenFile[]} */
    const found = [];
    /** @type {FileSystemEntry[]} */
    const waiting = [top];
    for (let entry = waiting.shift(); entry !== undefined && found.length < 10000; entry = waiting.shift()) {
      if (entry.isFile) {
        const file = await new Promise((resolve, reject) => {
          /** @type {FileSystemFileEntry} */ (entry).file(resolve, reject);
        });
        found.push(chosenFile(/** @type {File} */ (file), entry.fullPath.replace(/^\//, "")));
        continue;
      }
      const reader = /** @type {FileSystemDirectoryEntry} */ (entry).createReader();
      for (;;) {
        /** @type {FileSystemEntry[]} */
        const some = await new Promise((resolve, reject) => reader.readEntries(resolve, reject));
        if (some.length === 0) break;
        waiting.push(...some);
      }
    }
    return found;
  }

  // Files chosen or dropped, or the lecture's whole folder: the recording
  // plays from memory, the track's pages are resolved against the page's
  // own folder, and those chosen are read for their titles and the search.
  /** @param {ChosenFile[]} chosenFiles */
  async function playChosen(chosenFiles) {
    messages.replaceChildren();
    const previous = chosen;
    const now = chooseFiles(chosenFiles, previous);
    chosen = now;
    for (const name of now.ignored) {
      say(`Filen ${name} er verken opptak, spor eller teksting, og brukes ikke.`);
    }
    const recording = /** @type {ChosenFile | null} */ (now.recording);
    const track = /** @type {ChosenFile | null} */ (now.track);
    const captions = /** @type {ChosenFile | null} */ (now.captions);
    if (captions && captions !== previous.captions) {
      addCaptions(blobUrl("captions", captions.blob), captions.name);
    }
    if (recording && recording !== previous.recording) setRecording(blobUrl("recording", recording.blob));
    if (!recording) say("Velg også opptaket, for eksempel en .webm-fil.");
    if (!track) {
      say("Velg også sporet, HREFTrack.txt.");
    } else if (track !== previous.track) {
      let text;
      try {
        text = await track.blob.text();
      } catch {
        say(`Kan ikke lese sporet ${track.name}.`);
        return;
      }
      play(text, location.href);
    }
  }

  function offerChooser() {
    chooser.hidden = false;
    for (const input of [files, folder]) {
      input.addEventListener("change", () => playChosen([...(input.files ?? [])].map((file) => chosenFile(file))));
    }
    document.addEventListener("dragover", (event) => {
      event.preventDefault();
      if (event.dataTransfer) event.dataTransfer.dropEffect = "copy";
    });
    document.addEventListener("drop", async (event) => {
      event.preventDefault();
      if (!event.dataTransfer) return;
      const entries = [...event.dataTransfer.items].map((item) => item.webkitGetAsEntry());
      /** @type {ChosenFile[]} */
      let dropped = [...event.dataTransfer.files].map((file) => chosenFile(file));
      const folders = /** @type {FileSystemDirectoryEntry[]} */ (entries.filter((entry) => entry?.isDirectory));
      if (folders.length > 0) dropped = (await Promise.all(folders.map(folderFiles))).flat();
      if (dropped.length > 0) playChosen(dropped);
    });
  }

  list.addEventListener("scroll", layOut);
  list.addEventListener("click", (event) => {
    // Only a row that is laid out can be clicked, and each knows its place.
    const item = /** @type {Element} */ (event.target).closest("li");
    if (item !== null) dispatch({ type: "choose", index: Number(item.getAttribute("aria-posinset")) - 1 });
  });
  document.addEventListener("keydown", (event) => {
    dispatch({ type: "key", key: event.key, time: video.currentTime,
               modified: event.altKey || event.ctrlKey || event.metaKey || event.shiftKey,
               inTextField: isTextField(/** @type {HTMLElement} */ (event.target)) }, event);
  });
  video.addEventListener("loadedmetadata", () => dispatch({ type: "ready" }));
  video.addEventListener("canplay", () => {
    canPlay = true;
    readSlides();
  });
  video.addEventListener("timeupdate", followCaptions);
  video.addEventListener("seeked", followCaptions);
  search.addEventListener("input", find);
  search.addEventListener("keydown", (event) => {
    if (event.key !== "Escape") return;
    event.preventDefault();
    search.value = "";
    find();
  });
  transcriptToggle.addEventListener("click", () => {
    const open = transcriptToggle.getAttribute("aria-expanded") !== "true";
    transcriptToggle.setAttribute("aria-expanded", String(open));
    transcript.hidden = !open;
    currentCue = -1;
    followCaptions();
  });
  video.addEventListener("seeked", () => dispatch({ type: "seeked", time: video.currentTime }));
  watcher.addEventListener("cuechange", () => dispatch({ type: "cue", time: video.currentTime }));

  const link = readLink(location.href);
  language = link.language;
  for (const message of link.messages) say(message);
  if (link.chooser) offerChooser();
  if (link.video !== null) setRecording(link.video);
  if (link.captions !== null) {
    addCaptions(link.captions, new URL(link.captions).pathname.split("/").pop() ?? "");
  }
  if (link.track !== null) playServed(link.track);
})();
