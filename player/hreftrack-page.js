// SPDX-License-Identifier: MIT
// Wires the page to the player's pure functions: plays a recording beside a
// frame, and keeps the frame on the page that the HREF track names for the
// moment the recording has reached, with a list of the slides that follows
// the recording and seeks on a click, and the recording's captions where the
// link or the user names them.
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

  // How many entries of the list are made in one go before the page lets
  // the browser answer the user: a long track never freezes it.
  const batch = 4000;
  // The list lays out its rows in view and this many on each side, and holds
  // the place of the rest: a list of 100,000 slides costs the page little
  // more than one of 500, which it lays out whole.
  const around = 50;

  let player = initialState();
  /** @type {HTMLButtonElement[]} */
  let buttons = [];
  /** @type {HTMLButtonElement | null} */
  let marked = null;
  // The name of each page of the track, as the list names it.
  /** @type {Map<string, string>} */
  let names = new Map();
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
    const top = player.current * rowHeight;
    if (top < list.scrollTop) {
      list.scrollTop = top;
    } else if (top + rowHeight > list.scrollTop + list.clientHeight) {
      list.scrollTop = top + rowHeight - list.clientHeight;
    }
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

  /** @param {number} index */
  function entry(index) {
    const label = entryLabel(player.samples[index], names);
    const item = /** @type {HTMLLIElement} */ (entryTemplate.cloneNode(true));
    const button = /** @type {HTMLButtonElement} */ (item.firstChild);
    /** @type {Text} */ (/** @type {Node} */ (button.firstChild).firstChild).data = `${label.name} `;
    /** @type {Text} */ (/** @type {Node} */ (button.lastChild).firstChild).data = label.start;
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
    buttons = [];
    marked = null;
    list.replaceChildren();
    list.scrollTop = 0;
    list.setAttribute("aria-busy", "true");
    dispatch({ type: "track", samples, startAt: link.startAt });
    const centre = Math.max(player.current, 0);
    rows = { first: Math.max(centre - around, 0), end: Math.min(centre + around, samples.length) };
    buildFrom(build);
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
      say(`Kan ikke lese tekstingen ${name}: den mangler eller er ikke WebVTT. ` +
          "Opptaket og lysarkene spilles likevel.");
    });
    captions.src = url;
    video.append(captions);
    captions.track.mode = "showing";
  }

  /** @param {string} url */
  function setRecording(url) {
    dispatch({ type: "recording" });
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

  // Files chosen or dropped: the recording plays from memory, and the track's
  // pages are resolved against the page's own folder.
  /** @param {FileList} fileList */
  async function playChosen(fileList) {
    messages.replaceChildren();
    const previous = chosen;
    const now = chooseFiles([...fileList], previous);
    chosen = now;
    for (const name of now.ignored) {
      say(`Filen ${name} er verken opptak, spor eller teksting, og brukes ikke.`);
    }
    const recording = /** @type {File | null} */ (now.recording);
    const track = /** @type {File | null} */ (now.track);
    const captions = /** @type {File | null} */ (now.captions);
    if (captions && captions !== previous.captions) {
      addCaptions(blobUrl("captions", captions), captions.name);
    }
    if (recording && recording !== previous.recording) setRecording(blobUrl("recording", recording));
    if (!recording) say("Velg også opptaket, for eksempel en .webm-fil.");
    if (!track) {
      say("Velg også sporet, HREFTrack.txt.");
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
    files.addEventListener("change", () => {
      if (files.files) playChosen(files.files);
    });
    document.addEventListener("dragover", (event) => {
      event.preventDefault();
      if (event.dataTransfer) event.dataTransfer.dropEffect = "copy";
    });
    document.addEventListener("drop", (event) => {
      event.preventDefault();
      if (event.dataTransfer && event.dataTransfer.files.length > 0) {
        playChosen(event.dataTransfer.files);
      }
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
