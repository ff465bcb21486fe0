// SPDX-License-Identifier: MIT
// The slide list and the moves between slides, as pure functions of the
// samples that the page plays (each { start, end, url, ... } in seconds, in
// the order of their start): what an entry says, which sample plays at a
// time, which one a key goes to, and how the page reads its query and the
// files a user chooses.  A classic script like hreftrack-track.js.
(function (exports) {
  "use strict";

  /// The name of a slide in the list: "Lysark N" for a page foilN.html (its
  /// number as the track writes it), else the address itself.
  function slideName(url) {
    const foil = /(?:^|\/)foil(\d+)\.html(?:[?#].*)?$/.exec(url);
    return foil ? `Lysark ${foil[1]}` : url;
  }

  /// A start in whole seconds as m:ss, or h:mm:ss from one hour on.
  function formatStart(seconds) {
    const whole = Math.floor(seconds);
    const hours = Math.floor(whole / 3600);
    const minutes = Math.floor(whole / 60) % 60;
    const rest = String(whole % 60).padStart(2, "0");
    return hours > 0 ? `${hours}:${String(minutes).padStart(2, "0")}:${rest}` : `${minutes}:${rest}`;
  }

  /// What the list's entry for a sample says: { name, start }.
  function entryLabel(sample) {
    return { name: slideName(sample.url), start: formatStart(sample.start) };
  }

  /// The index of the sample that plays at `time`, or -1 for none.  Where
  /// samples overlap (the log's times went back) the one that started last
  /// plays, as it was the last page the frame was sent to.
  function sampleAt(samples, time) {
    for (let index = samples.length - 1; index >= 0; index -= 1) {
      if (samples[index].start <= time && time < samples[index].end) return index;
    }
    return -1;
  }

  /// The sample a step goes to from the one that plays now (`current`, -1 for
  /// none, at `time`): the next one for `direction` 1, the one before for -1;
  /// -1 past either end.  A step counts from the sample, never from the
  /// time, so it moves exactly one sample however near a stamp it starts.
  function stepFrom(samples, current, time, direction) {
    if (current >= 0) {
      const target = current + direction;
      return target >= 0 && target < samples.length ? target : -1;
    }
    if (direction > 0) return samples.findIndex((sample) => sample.start > time);
    for (let index = samples.length - 1; index >= 0; index -= 1) {
      if (samples[index].start < time) return index;
    }
    return -1;
  }

  /// The time a link asks to start at, from its `t=SECONDS`: null where it
  /// gives none, NaN where it is no number of seconds.
  function startTime(value) {
    if (value === null) return null;
    return /^(\d+(\.\d*)?|\.\d+)$/.test(value) ? Number(value) : NaN;
  }

  /// Whether keys typed into `element` are text, not the page's to take.
  function isTextField(element) {
    if (!element) return false;
    if (element.isContentEditable) return true;
    const tag = String(element.tagName).toUpperCase();
    if (tag === "TEXTAREA" || tag === "SELECT") return true;
    if (tag !== "INPUT") return false;
    const type = String(element.type || "text").toLowerCase();
    return !["button", "checkbox", "color", "file", "hidden", "image", "radio", "range",
             "reset", "submit"].includes(type);
  }

  /// The language of the captions from a link's `captionslang=`: Norwegian
  /// ("no") where it gives none, null where it is no language tag.
  function captionsLanguage(value) {
    if (value === null) return "no";
    return /^[A-Za-z]{2,8}(-[A-Za-z0-9]{1,8})*$/.test(value) ? value : null;
  }

  /// The name of the captions in the browser's captions menu.
  function captionsLabel(language) {
    const names = { no: "Norsk", nb: "Norsk bokmaal", nn: "Norsk nynorsk" };
    return names[language.toLowerCase()] ?? `Teksting (${language})`;
  }

  const recordingName = /\.(webm|mp4|m4v|mov|mkv|ogv|ogg|oga|mp3|m4a|wav|flac)$/i;

  /// Sorts the files a user chose or dropped ({ name, type } each) into the
  /// recording, the track and the captions, on top of an `earlier` choice, so
  /// that they may come one at a time.  A .txt file is the track,
  /// HREFTrack.txt first, a .vtt file the captions; the rest are returned as
  /// `ignored`.
  function chooseFiles(files, earlier) {
    const chosen = { recording: null, track: null, captions: null, ...earlier, ignored: [] };
    let named = false;
    for (const file of files) {
      if (/\.txt$/i.test(file.name)) {
        const isTrack = file.name.toLowerCase() === "hreftrack.txt";
        if (isTrack || !named) chosen.track = file;
        named = named || isTrack;
      } else if (/\.vtt$/i.test(file.name)) {
        chosen.captions = file;
      } else if (/^(video|audio)\//.test(file.type || "") || recordingName.test(file.name)) {
        chosen.recording = file;
      } else {
        chosen.ignored.push(file.name);
      }
    }
    return chosen;
  }

  exports.slideName = slideName;
  exports.formatStart = formatStart;
  exports.entryLabel = entryLabel;
  exports.sampleAt = sampleAt;
  exports.stepFrom = stepFrom;
  exports.startTime = startTime;
  exports.isTextField = isTextField;
  exports.chooseFiles = chooseFiles;
  exports.captionsLanguage = captionsLanguage;
  exports.captionsLabel = captionsLabel;
})(typeof module === "object" && module.exports ? module.exports : (globalThis.HrefTrack = globalThis.HrefTrack || {}));
