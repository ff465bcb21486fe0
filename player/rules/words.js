// SPDX-License-Identifier: MIT
// Every word the player's scripts show or say, in Norwegian (bokmål): the
// names in its lists, its messages, the problems of a track and its keys.
// The page's other languages are tables of the same keys, each in a file of
// its own (words-nn.js, words-en.js); `words` is the table the page reads
// now.  It comes first.
"use strict";

/** The page's words in each of its languages, by the tag of its `lang`. */
const wordTables = /** @type {Record<string, typeof bokmal>} */ ({});

const bokmal = (() => {
  // The tail of a message about a recording the lecture can do without.
  const stillWorks = "lysarkene, søket og tekstutskriften virker likevel.";
  // What a browser needs of a server to seek in a recording, and where to find it.
  const noRanges = "serveren svarer ikke på forespørsler om deler av en fil (byteområder)";
  const rangesServer = "Legg forelesningen på en server som gjør det, som Apache, nginx, lighttpd eller " +
                       "npx http-server (python3 -m http.server gjør det ikke)";
  const chosenStillShows = "lysarket du velger, vises likevel.";
  return {
    /** @param {string} number */
    slide: (number) => `Lysark ${number}`,
    /** What a hit in the captions is called in place of a slide's name. */
    captionHit: "Teksting",

    hits: {
      /** @param {string} query */
      none: (query) => `Ingen treff for «${query}».`,
      /** @param {number} count */
      all: (count) => `${count} treff.`,
      /** @param {number} count @param {number} listed */
      first: (count, listed) => `${count} treff; de første ${listed} vises.`,
    },

    track: {
      noHeader: "Sporet begynner ikke med {QTtext}-linjen, og kan ikke spilles.",
      /** @param {number} most */
      tooLong: (most) => `Sporet har flere enn ${most.toLocaleString("no")} sider, og spilleren spiller ` +
                         "ikke så lange spor.",
      /** @param {number} line */
      noStamp: (line) => `Linje ${line}: HREF-linje uten tidsstempel foran, hoppet over.`,
      /** @param {number} line */
      unknownLine: (line) => `Linje ${line}: verken tidsstempel eller HREF-linje, hoppet over.`,
      /** @param {number} line */
      noEnd: (line) => `Linje ${line}: siste side mangler sluttstempel, og vises ikke.`,
      /** @param {number} line @param {string} url */
      refused: (line, url) => `Linje ${line}: adressen "${url}" er ikke tillatt og brukes ikke.`,
      /** @param {number} line @param {string} frame */
      noFrame: (line, frame) => `Linje ${line}: rammen "${frame}" finnes ikke på siden.`,
      /** @param {number} count */
      more: (count) => `… og ${count.toLocaleString("no")} problemer til i sporet, som ikke vises her.`,
      /** @param {string} name */
      unfetched: (name) => `Kan ikke hente sporet ${name}.`,
      /** @param {string} name */
      unread: (name) => `Kan ikke lese sporet ${name}.`,
    },

    link: {
      /** @param {string} value */
      notSeconds: (value) => `t=${value} er ikke et antall sekunder; opptaket starter ved begynnelsen.`,
      /** @param {string} start @param {string} length */
      pastEnd: (start, length) => `Lenken ber om å starte ved ${start}, men opptaket er bare ${length} langt; det ` +
                                  "starter ved begynnelsen.",
      /** @param {string} value */
      notLanguage: (value) => `captionslang=${value} er ingen språkkode; tekstingen regnes som norsk.`,
      fromDisk: "Siden er åpnet som fil og kan ikke hente filene selv: velg mappen med forelesningen.",
      /** @param {string} name */
      trackInvalid: (name) => `Sporet ${name} er ingen gyldig adresse, og spilles ikke.`,
      /** @param {string} url */
      trackForeign: (url) => `Sporet ${url} ligger på et annet nettsted enn spilleren, og spilles ikke.`,
      /** @param {string} name */
      recordingInvalid: (name) => `Opptaket ${name} er ingen gyldig adresse.`,
      noRecording: "Oppgi opptaket i adressen: index.html?video=forelesning.webm&track=HREFTrack.txt",
      /** @param {string} url */
      captionsForeign: (url) => `Tekstingen ${url} ligger på et annet nettsted enn spilleren, og brukes ikke.`,
      /** @param {string} url */
      descriptionsForeign: (url) => `Synstolkingen ${url} ligger på et annet nettsted enn spilleren, og brukes ikke.`,
    },

    /** What went wrong with the recording `name`, by what the browser and the server said. */
    recording: {
      /** @param {string} name */
      missing: (name) => `Opptaket ${name} finnes ikke; ${stillWorks}`,
      /** @param {string} name */
      unplayable: (name) => `Opptaket ${name} er av en type denne nettleseren ikke kan spille; ${stillWorks}`,
      /** @param {string} name */
      missingOrUnplayable: (name) => `Opptaket ${name} finnes ikke, eller er av en type denne nettleseren ` +
                                     `ikke kan spille; ${stillWorks}`,
      /** @param {string} name */
      network: (name) => `Opptaket ${name} kunne ikke hentes, for nettverket sviktet; ${stillWorks}`,
      /** @param {string} name */
      damaged: (name) => `Opptaket ${name} er skadet og kan ikke spilles videre; ${stillWorks}`,
      /** @param {string} name @param {number} status */
      refused: (name, status) => `Opptaket ${name} kunne ikke hentes (serveren svarte ${status}); ${stillWorks}`,
      /** @param {string} name */
      noRanges: (name) => `Opptaket ${name} kan ikke spilles, for ${noRanges}, som nettleseren trenger. ` +
                          `${rangesServer}; ${stillWorks}`,
      /** @param {string} name */
      unseekable: (name) => `Opptaket ${name} kan ikke spoles, for ${noRanges}. ${rangesServer}; ${chosenStillShows}`,
      /** @param {string} name */
      unseekableFile: (name) => `Opptaket ${name} kan ikke spoles: filen mangler oversikten over hvor tidspunktene ` +
                                "ligger, som et opptak lagret rett fra nettleseren kan gjøre. Lagre det på nytt, for " +
                                `eksempel med ffmpeg -i inn.webm -c copy ut.webm; ${chosenStillShows}`,
      /** @param {string} name */
      unseekableMaybe: (name) => `Opptaket ${name} kan ikke spoles: trolig ${noRanges}, eller filen mangler ` +
                                 `oversikten over hvor tidspunktene ligger; ${chosenStillShows}`,
      /** @param {string} track @param {string} recording @param {string | null} answer */
      length: (track, recording, answer) => `Sporet slutter ved ${track}, men opptaket er ${recording} langt. ` +
        (answer === null ? "hreftrack lager ikke spor som er lengre enn 99:59:59.99."
          : `Lag sporet på nytt med hreftrack, og svar «${answer}» på «Eksakt spilletid».`),
    },

    /** A slide page the track names that the lecture lacks. */
    slides: {
      /** @param {string} url */
      missing: (url) => `Lysarket ${url} finnes ikke på serveren.`,
      /** @param {string} url */
      missingOpening: (url) => `Lysarket ${url} finnes ikke på serveren. Sporet begynner alltid med ${url}, ` +
                               "siden som vises før det første lysarket i loggen: legg en slik side i mappen med " +
                               "forelesningen.",
      /** @param {string} url @param {number} status */
      refused: (url, status) => `Lysarket ${url} kunne ikke hentes (serveren svarte ${status}).`,
      /** @param {string} url */
      readInPart: (url) => `Lysarket ${url} er over 8 millioner tegn langt; bare begynnelsen er lest for titlene og ` +
                           "søket.",
      /** @param {number} count */
      more: (count) => `… og ${count.toLocaleString("no")} lysark til mangler, som ikke nevnes her.`,
    },

    captions: {
      /** The captions' name in the browser's captions menu, by their language. */
      languages: /** @type {Record<string, string>} */ ({ no: "Norsk", nb: "Norsk bokmål", nn: "Norsk nynorsk" }),
      /** @param {string} language */
      otherLanguage: (language) => `Teksting (${language})`,
      /** @param {string} name */
      unreadable: (name) => `Kan ikke lese tekstingen ${name}: den mangler eller er ikke WebVTT. ` +
                            "Opptaket og lysarkene spilles likevel.",
    },

    /** What the page tells a listener of itself. */
    listening: {
      /** The descriptions' name in the browser's menu of tracks. */
      descriptions: "Synstolking",
      /** @param {string} name */
      unreadable: (name) => `Kan ikke lese synstolkingen ${name}: den mangler eller er ikke WebVTT. ` +
                            "Opptaket og lysarkene spilles likevel.",
      noVoice: "Maskinen har ingen norsk stemme for opplesing, så synstolkingen leses med en annen stemme.",
      noSpeech: "Denne nettleseren kan ikke lese opp, så synstolkingen skrives bare til skjermleseren.",
    },

    chooser: {
      /** @param {string} name */
      unused: (name) => `Filen ${name} er verken opptak, spor eller teksting, og brukes ikke.`,
      needRecording: "Velg også opptaket, for eksempel en .webm-fil.",
      needTrack: "Velg også sporet, HREFTrack.txt.",
      /** @param {string} url */
      missingSlide: (url) => `${url} finnes ikke i den valgte mappen.`,
      noSlides: "Ingen av lysarkene i sporet er valgt. Velg hele mappen med forelesningen, eller velg lysarkene " +
                "(foil0.html, foil1.html, …) sammen med opptaket og sporet.",
      /** @param {string} url */
      unreadSlide: (url) => `Kan ikke lese lysarket ${url}.`,
      /** @param {string} url */
      tooLarge: (url) => `Lysarket ${url} er over 8 MB, eller viser over 32 MB med bilder og annet fra disken, mer ` +
                         "enn spilleren kan vise av et valgt lysark. Gjør bildene mindre, eller legg forelesningen " +
                         "på en server.",
    },

    resume: {
      /** @param {string} moment */
      from: (moment) => `Fortsetter fra ${moment}.`,
    },

    notes: {
      /** @param {string} lecture */
      title: (lecture) => `Notater: ${lecture}`,
      /** The name of a lecture whose recording has none. */
      lecture: "forelesning",
      /** @param {string} lecture */
      file: (lecture) => `${lecture}-notater.md`,
      noSlide: "Mellom lysarkene",
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
      deleted: (moment) => `Notatet ved ${moment} er slettet.`,
      notKept: "Denne nettleseren lagrer ikke notatene: last dem ned før du lukker siden.",
      none: "Ingen notater.",
    },

    timeline: {
      preview: "Lysarket under pekeren",
      /** @param {string} slide @param {string} moment @param {string} length */
      value: (slide, moment, length) => (slide === "" ? `${moment} av ${length}` : `${slide}, ${moment} av ${length}`),
    },

    /** @param {string} lecture */
    chaptersFile: (lecture) => `${lecture}-kapitler.vtt`,

    /** The words of the page itself (index.html), each by the element that holds it: its text, or its name. */
    page: {
      title: "Forelesning med lysark",
      description: "Et opptak av en forelesning med lysarkene i takt: lista over lysark, tidslinjen og " +
                   "tekstutskriften følger opptaket, søket finner ord i lysarkene og tekstingen, og notatene " +
                   "dine blir på maskinen din.",
      chooserLabel: "Velg mappen med forelesningen",
      filesLabel: "eller velg forelesningens filer: opptaket, HREFTrack.txt, lysarkene (foil0.html, foil1.html, " +
                  "…) med bildene sine, og tekstingen (.vtt) om den finnes",
      drop: "eller slipp mappen eller filene på siden.",
      chooserAgain: "Velg en annen forelesning",
      recording: "Opptaket",
      timeline: "Tidslinje over lysarkene",
      layout: "Oppsett",
      layoutSlides: "Stort lysark",
      layoutEven: "Like store",
      layoutRecording: "Stort opptak",
      language: "Språk",
      describe: "Synstolking",
      chaptersSave: "Last ned kapitler",
      keysOpen: "Hurtigtaster",
      listening: "Opplesing",
      announce: "Si fra om hvert nytt lysark (til skjermleseren)",
      speak: "Les synstolkingen høyt (ellers bare til skjermleseren)",
      wait: "Vent med opptaket til synstolkingen er lest ferdig",
      slideText: "Uten synstolking: les også teksten på lysarket",
      resumeRestart: "Start fra begynnelsen",
      foil: "Lysarket som vises",
      sideTabs: "Lister ved opptaket",
      slidesTab: "Lysark",
      searchTab: "Søk",
      transcriptTab: "Tekstutskrift",
      notesTab: "Notater",
      slidesHeading: "Lysark",
      searchLabel: "Søk i forelesningen",
      searchResults: "Treff i forelesningen",
      notesHeading: "Notater",
      noteNew: "Nytt notat",
      notesSave: "Last ned notater",
      noteKeep: "Lagre",
      noteDrop: "Avbryt",
      noteUndo: "Angre",
      keysHeading: "Hurtigtaster",
      keysClose: "Lukk",
    },

    /** The keys the page answers to, as the dialog "Hurtigtaster" lists them: the keys' names where the
     *  student reads them other than as the browser names them, and for each place of rules/keys.js its
     *  name and what its keys do. */
    keys: {
      names: { ArrowDown: "Pil ned", ArrowUp: "Pil opp", ArrowRight: "Pil høyre", ArrowLeft: "Pil venstre",
               " ": "Mellomrom" },
      places: {
        page: { where: "Hvor som helst, utenom tekstfelt", next: "neste lysark", previous: "forrige lysark" },
        list: { where: "I lista over lysark, treffene og tekstutskriften", move: "neste / forrige i lista",
                ends: "første / siste i lista", activate: "gå dit i opptaket", leave: "videre til neste del av siden" },
        timeline: { where: "På tidslinjen", move: "neste / forrige lysark", ends: "første / siste lysark" },
        notes: { where: "I notatene", keep: "lagre notatet", drop: "forkast notatet", move: "neste / forrige notat",
                 ends: "første / siste notat" },
        search: { where: "I søkefeltet", hits: "til treffene", clear: "tøm feltet" },
        tabs: { where: "På fanene over listene", move: "neste / forrige fane, og vis den", ends: "første / siste fane" },
        recording: { where: "I opptaket", play: "spill av / pause (nettleserens egne taster)" },
        dialog: { where: "I denne dialogen", close: "lukk" },
      },
    },
  };
})();

wordTables.nb = bokmal;
/** The words the page reads now: Bokmål, until the page knows its reader's language. */
let words = bokmal;

/**
 * Makes the table of `language` the page's words, Bokmål where there is none.
 * @param {string} language
 */
function useWords(language) {
  words = wordTables[language] ?? bokmal;
}

// Under Node, for the tests.
if (typeof module === "object" && module !== null) Object.assign(module.exports, { words, wordTables, useWords });
