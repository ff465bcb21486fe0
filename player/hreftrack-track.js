// SPDX-License-Identifier: MIT
// Reads an HREF track as hreftrack writes it: a "{QTtext}" header line, then
// samples of a stamp line "[HH:MM:SS.FF]" and an HREF line
// "A<url> T<frame>", and a last stamp that ends the last sample.
//
// A classic script, not a module: a page opened from disk may run classic
// scripts in every browser, modules only in some.  In the page it adds its
// functions to the global HrefTrack; under Node they are the module's exports.
(function (exports) {
  "use strict";

  const stampPattern = /^\[(\d{2,}):(\d{2}):(\d{2})\.(\d{2})\]$/;
  const hrefPattern = /^A<([^<>]*)> T<([^<>]*)>$/;

  /// Reads a track.  Returns its samples, each { start, end, url, frame, line }
  /// in seconds and in file order, the samples that are never shown (their
  /// next stamp is not later than their own), and the problems found, each
  /// { line, text } in Norwegian, line 0 for the file as a whole.
  function parseTrack(text) {
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
  function allowedUrl(url, base) {
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

  /// The samples that the page plays, with their addresses resolved, in the
  /// order of their start (file order where two start together), and a
  /// problem for every sample whose address or frame is refused.
  function playableSamples(parsed, base, frameName) {
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
    // Array.prototype.sort is stable, so samples that start together keep
    // the order of the file.
    playable.sort((a, b) => a.start - b.start);
    return { samples: playable, problems };
  }

  /// Whether a track at `trackUrl` may be played by the page at `pageUrl`:
  /// only a track from the page's own origin is, and never one of an opaque
  /// origin such as a page opened from disk.
  function sameOrigin(trackUrl, pageUrl) {
    let track;
    let page;
    try {
      track = new URL(trackUrl, pageUrl);
      page = new URL(pageUrl);
    } catch {
      return false;
    }
    return page.origin !== "null" && track.origin === page.origin;
  }

  exports.parseTrack = parseTrack;
  exports.allowedUrl = allowedUrl;
  exports.playableSamples = playableSamples;
  exports.sameOrigin = sameOrigin;
})(typeof module === "object" && module.exports ? module.exports : (globalThis.HrefTrack = globalThis.HrefTrack || {}));
