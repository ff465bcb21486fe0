// SPDX-License-Identifier: MIT
// The player's words in Nynorsk: the keys of the Bokmål table in words.js,
// each written as Nynorsk says it.
"use strict";

wordTables.nn = (() => {
  // Numbers as Nynorsk writes them, where the engine knows it; else as Norwegian.
  const locale = formatLocale("nn", (locales) => Intl.NumberFormat.supportedLocalesOf(locales));
  const stillWorks = "lysarka, søket og tekstutskrifta verkar likevel.";
  const noRanges = "tenaren svarar ikkje på førespurnader om delar av ei fil (byteområde)";
  const rangesServer = "Legg førelesinga på ein tenar som gjer det, som Apache, nginx, lighttpd eller " +
                       "npx http-server (python3 -m http.server gjer det ikkje)";
  const chosenStillShows = "lysarket du vel, blir vist likevel.";
  return {
    /** @param {string} number */
    slide: (number) => `Lysark ${number}`,
    captionHit: "Teksting",

    hits: {
      /** @param {string} query */
      none: (query) => `Ingen treff for «${query}».`,
      /** @param {number} count */
      all: (count) => `${count} treff.`,
      /** @param {number} count @param {number} listed */
      first: (count, listed) => `${count} treff; dei første ${listed} blir viste.`,
    },

    track: {
      noHeader: "Sporet byrjar ikkje med {QTtext}-linja, og kan ikkje spelast.",
      /** @param {number} most */
      tooLong: (most) => `Sporet har fleire enn ${most.toLocaleString(locale)} sider, og spelaren spelar ` +
                         "ikkje så lange spor.",
      /** @param {number} line */
      noStamp: (line) => `Linje ${line}: HREF-linje utan tidsstempel framfor, hoppa over.`,
      /** @param {number} line */
      unknownLine: (line) => `Linje ${line}: verken tidsstempel eller HREF-linje, hoppa over.`,
      /** @param {number} line */
      noEnd: (line) => `Linje ${line}: den siste sida manglar sluttstempel, og blir ikkje vist.`,
      /** @param {number} line @param {string} url */
      refused: (line, url) => `Linje ${line}: adressa "${url}" er ikkje tillaten og blir ikkje brukt.`,
      /** @param {number} line @param {string} frame */
      noFrame: (line, frame) => `Linje ${line}: ramma "${frame}" finst ikkje på sida.`,
      /** @param {number} count */
      more: (count) => `… og ${count.toLocaleString(locale)} problem til i sporet, som ikkje blir viste her.`,
      /** @param {string} name */
      unfetched: (name) => `Kan ikkje hente sporet ${name}.`,
      /** @param {string} name */
      unread: (name) => `Kan ikkje lese sporet ${name}.`,
    },

    link: {
      /** @param {string} value */
      notSeconds: (value) => `t=${value} er ikkje eit tal på sekund; opptaket startar frå byrjinga.`,
      /** @param {string} start @param {string} length */
      pastEnd: (start, length) => `Lenkja ber om å starte ved ${start}, men opptaket er berre ${length} langt; det ` +
                                  "startar frå byrjinga.",
      /** @param {string} value */
      notLanguage: (value) => `captionslang=${value} er ingen språkkode; tekstinga blir rekna som norsk.`,
      fromDisk: "Sida er opna som fil og kan ikkje hente filene sjølv: vel mappa med førelesinga.",
      /** @param {string} name */
      trackInvalid: (name) => `Sporet ${name} er inga gyldig adresse, og blir ikkje spela.`,
      /** @param {string} url */
      trackForeign: (url) => `Sporet ${url} ligg på ein annan nettstad enn spelaren, og blir ikkje spela.`,
      /** @param {string} name */
      recordingInvalid: (name) => `Opptaket ${name} er inga gyldig adresse.`,
      noRecording: "Oppgje opptaket i adressa: index.html?video=forelesing.webm&track=HREFTrack.txt",
      /** @param {string} url */
      captionsForeign: (url) => `Tekstinga ${url} ligg på ein annan nettstad enn spelaren, og blir ikkje brukt.`,
      /** @param {string} url */
      descriptionsForeign: (url) => `Synstolkinga ${url} ligg på ein annan nettstad enn spelaren, og blir ikkje brukt.`,
    },

    recording: {
      /** @param {string} name */
      missing: (name) => `Opptaket ${name} finst ikkje; ${stillWorks}`,
      /** @param {string} name */
      unplayable: (name) => `Opptaket ${name} er av ein type denne nettlesaren ikkje kan spele; ${stillWorks}`,
      /** @param {string} name */
      missingOrUnplayable: (name) => `Opptaket ${name} finst ikkje, eller er av ein type denne nettlesaren ` +
                                     `ikkje kan spele; ${stillWorks}`,
      /** @param {string} name */
      network: (name) => `Opptaket ${name} kunne ikkje hentast, for nettverket svikta; ${stillWorks}`,
      /** @param {string} name */
      damaged: (name) => `Opptaket ${name} er skadd og kan ikkje spelast vidare; ${stillWorks}`,
      /** @param {string} name @param {number} status */
      refused: (name, status) => `Opptaket ${name} kunne ikkje hentast (tenaren svarte ${status}); ${stillWorks}`,
      /** @param {string} name */
      noRanges: (name) => `Opptaket ${name} kan ikkje spelast, for ${noRanges}, som nettlesaren treng. ` +
                          `${rangesServer}; ${stillWorks}`,
      /** @param {string} name */
      unseekable: (name) => `Opptaket ${name} kan ikkje spolast, for ${noRanges}. ${rangesServer}; ${chosenStillShows}`,
      /** @param {string} name */
      unseekableFile: (name) => `Opptaket ${name} kan ikkje spolast: fila manglar oversikta over kvar tidspunkta ` +
                                "ligg, slik eit opptak lagra rett frå nettlesaren kan gjere. Lagre det på nytt, til " +
                                `dømes med ffmpeg -i inn.webm -c copy ut.webm; ${chosenStillShows}`,
      /** @param {string} name */
      unseekableMaybe: (name) => `Opptaket ${name} kan ikkje spolast: truleg ${noRanges}, eller fila manglar ` +
                                 `oversikta over kvar tidspunkta ligg; ${chosenStillShows}`,
      /** @param {string} track @param {string} recording @param {string | null} answer */
      length: (track, recording, answer) => `Sporet sluttar ved ${track}, men opptaket er ${recording} langt. ` +
        (answer === null ? "hreftrack lagar ikkje spor som er lengre enn 99:59:59.99."
          : `Lag sporet på nytt med hreftrack, og svar «${answer}» på «Eksakt spilletid».`),
    },

    slides: {
      /** @param {string} url */
      missing: (url) => `Lysarket ${url} finst ikkje på tenaren.`,
      /** @param {string} url */
      missingOpening: (url) => `Lysarket ${url} finst ikkje på tenaren. Sporet byrjar alltid med ${url}, ` +
                               "sida som blir vist før det første lysarket i loggen: legg ei slik side i mappa med " +
                               "førelesinga.",
      /** @param {string} url @param {number} status */
      refused: (url, status) => `Lysarket ${url} kunne ikkje hentast (tenaren svarte ${status}).`,
      /** @param {string} url */
      readInPart: (url) => `Lysarket ${url} er over 8 millionar teikn langt; berre byrjinga er lesen for titlane og ` +
                           "søket.",
      /** @param {number} count */
      more: (count) => `… og ${count.toLocaleString(locale)} lysark til manglar, som ikkje blir nemnde her.`,
    },

    captions: {
      languages: /** @type {Record<string, string>} */ ({ no: "Norsk", nb: "Norsk bokmål", nn: "Norsk nynorsk" }),
      /** @param {string} language */
      otherLanguage: (language) => `Teksting (${language})`,
      /** @param {string} name */
      unreadable: (name) => `Kan ikkje lese tekstinga ${name}: ho manglar eller er ikkje WebVTT. ` +
                            "Opptaket og lysarka blir spela likevel.",
    },

    listening: {
      descriptions: "Synstolking",
      /** @param {string} name */
      unreadable: (name) => `Kan ikkje lese synstolkinga ${name}: ho manglar eller er ikkje WebVTT. ` +
                            "Opptaket og lysarka blir spela likevel.",
      noVoice: "Maskina har inga norsk stemme for opplesing, så synstolkinga blir lesen med ei anna stemme.",
      noSpeech: "Denne nettlesaren kan ikkje lese opp, så synstolkinga blir berre skriven til skjermlesaren.",
    },

    chooser: {
      /** @param {string} name */
      unused: (name) => `Fila ${name} er verken opptak, spor eller teksting, og blir ikkje brukt.`,
      needRecording: "Vel òg opptaket, til dømes ei .webm-fil.",
      needTrack: "Vel òg sporet, HREFTrack.txt.",
      /** @param {string} url */
      missingSlide: (url) => `${url} finst ikkje i den valde mappa.`,
      noSlides: "Ingen av lysarka i sporet er valde. Vel heile mappa med førelesinga, eller vel lysarka " +
                "(foil0.html, foil1.html, …) saman med opptaket og sporet.",
      /** @param {string} url */
      unreadSlide: (url) => `Kan ikkje lese lysarket ${url}.`,
      /** @param {string} url */
      tooLarge: (url) => `Lysarket ${url} er over 8 MB, eller viser over 32 MB med bilete og anna frå disken, meir ` +
                         "enn spelaren kan vise av eit valt lysark. Gjer bileta mindre, eller legg førelesinga " +
                         "på ein tenar.",
    },

    resume: {
      /** @param {string} moment */
      from: (moment) => `Held fram frå ${moment}.`,
    },

    notes: {
      /** @param {string} lecture */
      title: (lecture) => `Notat: ${lecture}`,
      lecture: "førelesing",
      /** @param {string} lecture */
      file: (lecture) => `${lecture}-notat.md`,
      noSlide: "Mellom lysarka",
      /** @param {string} moment @param {string} slide */
      new: (moment, slide) => `Nytt notat ved ${moment} · ${slide}`,
      /** @param {string} moment @param {string} slide */
      change: (moment, slide) => `Endre notatet ved ${moment} · ${slide}`,
      changeButton: "Endre",
      deleteButton: "Slett",
      /** @param {string} moment */
      changeLabel: (moment) => `Endre notatet ved ${moment}`,
      /** @param {string} moment */
      deleteLabel: (moment) => `Slett notatet ved ${moment}`,
      /** @param {string} moment */
      deleted: (moment) => `Notatet ved ${moment} er sletta.`,
      notKept: "Denne nettlesaren lagrar ikkje notata: last dei ned før du lukkar sida.",
      none: "Ingen notat.",
    },

    timeline: {
      preview: "Lysarket under peikaren",
      /** @param {string} slide @param {string} moment @param {string} length */
      value: (slide, moment, length) => (slide === "" ? `${moment} av ${length}` : `${slide}, ${moment} av ${length}`),
    },

    /** @param {string} lecture */
    chaptersFile: (lecture) => `${lecture}-kapittel.vtt`,

    /** The words of the page itself (index.html). */
    page: {
      title: "Førelesing med lysark",
      description: "Eit opptak av ei førelesing med lysarka i takt: lista over lysark, tidslinja og " +
                   "tekstutskrifta følgjer opptaket, søket finn ord i lysarka og tekstinga, og notata dine blir " +
                   "verande på maskina di.",
      chooserLabel: "Vel mappa med førelesinga",
      filesLabel: "eller vel filene til førelesinga: opptaket, HREFTrack.txt, lysarka (foil0.html, foil1.html, " +
                  "…) med bileta sine, og tekstinga (.vtt) om ho finst",
      drop: "eller slepp mappa eller filene på sida.",
      chooserAgain: "Vel ei anna førelesing",
      recording: "Opptaket",
      timeline: "Tidslinje over lysarka",
      layout: "Oppsett",
      layoutSlides: "Stort lysark",
      layoutEven: "Like store",
      layoutRecording: "Stort opptak",
      language: "Språk",
      describe: "Synstolking",
      chaptersSave: "Last ned kapittel",
      keysOpen: "Snøggtastar",
      listening: "Opplesing",
      announce: "Sei frå om kvart nytt lysark (til skjermlesaren)",
      speak: "Les synstolkinga høgt (elles berre til skjermlesaren)",
      wait: "Vent med opptaket til synstolkinga er ferdig lesen",
      slideText: "Utan synstolking: les òg teksten på lysarket",
      resumeRestart: "Start frå byrjinga",
      foil: "Lysarket som blir vist",
      sideTabs: "Lister ved opptaket",
      slidesTab: "Lysark",
      searchTab: "Søk",
      transcriptTab: "Tekstutskrift",
      notesTab: "Notat",
      slidesHeading: "Lysark",
      searchLabel: "Søk i førelesinga",
      searchResults: "Treff i førelesinga",
      notesHeading: "Notat",
      noteNew: "Nytt notat",
      notesSave: "Last ned notat",
      noteKeep: "Lagre",
      noteDrop: "Avbryt",
      noteUndo: "Angre",
      keysHeading: "Snøggtastar",
      keysClose: "Lukk",
    },

    keys: {
      names: { ArrowDown: "Pil ned", ArrowUp: "Pil opp", ArrowRight: "Pil høgre", ArrowLeft: "Pil venstre",
               " ": "Mellomrom" },
      places: {
        page: { where: "Kvar som helst, utanom tekstfelt", next: "neste lysark", previous: "førre lysark" },
        list: { where: "I lista over lysark, treffa og tekstutskrifta", move: "neste / førre i lista",
                ends: "første / siste i lista", activate: "gå dit i opptaket", leave: "vidare til neste del av sida" },
        timeline: { where: "På tidslinja", move: "neste / førre lysark", ends: "første / siste lysark" },
        notes: { where: "I notata", keep: "lagre notatet", drop: "forkast notatet", move: "neste / førre notat",
                 ends: "første / siste notat" },
        search: { where: "I søkjefeltet", hits: "til treffa", clear: "tøm feltet" },
        tabs: { where: "På fanene over listene", move: "neste / førre fane, og vis henne", ends: "første / siste fane" },
        recording: { where: "I opptaket", play: "spel av / pause (nettlesaren sine eigne tastar)" },
        dialog: { where: "I denne dialogen", close: "lukk" },
      },
    },
  };
})();
