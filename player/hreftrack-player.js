// SPDX-License-Identifier: MIT
// Plays a recording beside a frame and keeps the frame on the page that the
// HREF track names for the moment the recording has reached.  The track is
// HREFTrack.txt as hreftrack writes it: a "{QTtext}" header line, then
// samples of a stamp line "[HH:MM:SS.FF]" and an HREF line
// "A<url> T<frame>", and a last stamp that ends the last sample.
//
// The timing is the browser's own: every sample becomes a cue of a hidden
// metadata text track, and entering a cue loads its page.  Seeking, pausing
// and the playback rate need no code here.

const stampPattern = /^\[(\d{2,}):(\d{2}):(\d{2})\.(\d{2})\]$/;
const hrefPattern = /^A<([^<>]*)> T<([^<>]*)>$/;

/// Reads a track.  Returns its samples, each { start, end, url, frame, line }
/// in seconds and in file order, the samples that are never shown (their
/// next stamp is not later than their own), and the problems found, each
/// { line, text } in Norwegian, line 0 for the file as a whole.
export function parseTrack(text) {
  const lines = text.split("\n").map((line) => (line.endsWith("\r") ? line.slice(0, -1) : line));
  if (lines.length > 0 && lines[lines.length - 1] === "") lines.pop();
  const problems = [];
  if (lines.length === 0 || !lines[0].startsWith("{QTtext}")) {
    problems.push({ line: 1, text: "Sporet begynner ikke med {QTtext}-linjen, og kan ikke spilles." });
    return { samples: [], hidden: [], problems };
  }
  // Every stamp ends the sample before it; a stamp followed by an HREF line
  // also begins a sample.
  const samples = [];
  const hidden = [];
  let open = null;
  let lastStamp = null;
  const close = (time) => {
    if (open === null) return;
    open.end = time;
    (open.end > open.start ? samples : hidden).push(open);
    open = null;
  };
  for (let index = 1; index < lines.length; index += 1) {
    const line = lines[index];
    const number = index + 1;
    const stamp = stampPattern.exec(line);
    if (stamp) {
      const time = Number(stamp[1]) * 3600 + Number(stamp[2]) * 60 + Number(stamp[3]) +
                   Number(stamp[4]) / 100;
      close(time);
      lastStamp = { time, line: number };
      continue;
    }
    const href = hrefPattern.exec(line);
    if (href && lastStamp !== null) {
      close(lastStamp.time);
      open = { start: lastStamp.time, end: null, url: href[1], frame: href[2], line: number };
      lastStamp = null;
      continue;
    }
    if (href) {
      problems.push({ line: number, text: `Linje ${number}: HREF-linje uten tidsstempel foran, hoppet over.` });
    } else if (line.trim() !== "") {
      problems.push({ line: number, text: `Linje ${number}: verken tidsstempel eller HREF-linje, hoppet over.` });
    }
  }
  if (open !== null) {
    problems.push({ line: open.line, text: `Linje ${open.line}: siste side mangler sluttstempel, og vises ikke.` });
  }
  return { samples, hidden, problems };
}

/// The address a sample may load into the frame, resolved against `base`,
/// or null: only a relative address, or one for http or https, is allowed.
export function allowedUrl(url, base) {
  let absolute = true;
  try {
    new URL(url);
  } catch {
    absolute = false;
  }
  let resolved;
  try {
    resolved = new URL(url, base);
  } catch {
    return null;
  }
  if (absolute && resolved.protocol !== "http:" && resolved.protocol !== "https:") return null;
  return resolved.href;
}

/// The samples that the page plays, with their addresses resolved, and a
/// problem for every sample whose address or frame is refused.
export function playableSamples(parsed, base, frameName) {
  const playable = [];
  const problems = [...parsed.problems];
  for (const sample of parsed.samples) {
    const href = allowedUrl(sample.url, base);
    if (href === null) {
      problems.push({ line: sample.line, text: `Linje ${sample.line}: adressen "${sample.url}" er ikke tillatt og brukes ikke.` });
    } else if (sample.frame !== frameName) {
      problems.push({ line: sample.line, text: `Linje ${sample.line}: rammen "${sample.frame}" finnes ikke paa siden.` });
    } else {
      playable.push({ ...sample, href });
    }
  }
  return { samples: playable, problems };
}

function say(list, text) {
  const item = document.createElement("li");
  item.textContent = text;
  list.append(item);
}

async function start() {
  const query = new URLSearchParams(location.search);
  const video = document.getElementById("recording");
  const frame = document.getElementById("foil");
  const messages = document.getElementById("messages");
  const videoName = query.get("video");
  const trackUrl = new URL(query.get("track") ?? "HREFTrack.txt", location.href);
  if (!videoName) {
    say(messages, "Oppgi opptaket i adressen: index.html?video=forelesning.webm&track=HREFTrack.txt");
  } else {
    video.src = new URL(videoName, location.href).href;
  }

  let text;
  try {
    const response = await fetch(trackUrl);
    if (!response.ok) throw new Error(String(response.status));
    text = await response.text();
  } catch {
    say(messages, `Kan ikke hente sporet ${trackUrl.pathname.split("/").pop()}.`);
    return;
  }
  const parsed = parseTrack(text);
  // The frame is named after the track's target, as in the original layout.
  const target = parsed.samples.length > 0 ? parsed.samples[0].frame : frame.name;
  frame.name = target;
  const { samples, problems } = playableSamples(parsed, trackUrl.href, target);
  for (const problem of problems) say(messages, problem.text);

  const show = (href) => {
    if (frame.dataset.page !== href) {
      frame.dataset.page = href;
      frame.contentWindow.location.replace(href);
    }
  };
  const cues = video.addTextTrack("metadata", "HREF");
  cues.mode = "hidden";
  for (const sample of samples) {
    const cue = new VTTCue(sample.start, sample.end, sample.href);
    cue.addEventListener("enter", () => show(sample.href));
    cues.addCue(cue);
  }
  // At time 0 the frame shows the first page, before the recording plays.
  const first = samples.find((sample) => sample.start === 0);
  if (first) show(first.href);
  document.body.dataset.ready = "true";
}

if (typeof document !== "undefined") start();
