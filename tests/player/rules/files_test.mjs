// SPDX-License-Identifier: MIT
// The files a user chooses from disk, and what a chosen slide names among them.
import { test } from "node:test";
import assert from "node:assert/strict";
import "./rules.mjs";

const { chooseFiles, chosenSlide, chosenPath, fileAt, missingSlides, cssAddresses, rewriteCss } = globalThis;

test("the files a user chooses: the track, captions and recording, one at a time too", () => {
  const file = (name, type = "") => ({ name, type });
  let chosen = chooseFiles([file("notes.txt"), file("HREFTrack.txt"), file("a.txt"),
                            file("slides.pdf", "application/pdf"), file("tekst.VTT", "text/vtt"),
                            file("bilde.PNG"), file("stil.css"), file("skrift.woff2")], {});
  // What a slide shows (a picture, a style sheet, a font) is of use.
  assert.deepEqual([chosen.track.name, chosen.captions.name, chosen.recording, chosen.ignored],
                   ["HREFTrack.txt", "tekst.VTT", null, ["slides.pdf"]]);
  // A .vtt that names itself descriptions is not the captions, and the captions chosen before stay.
  const described = chooseFiles([file("forelesning.Synstolking.vtt"), file("lecture-descriptions.vtt")], chosen);
  assert.deepEqual([described.captions.name, described.descriptions.name], ["tekst.VTT", "lecture-descriptions.vtt"]);
  chosen = chooseFiles([file("FORELESNING.WEBM")], chosen);
  assert.deepEqual([chosen.recording.name, chosen.track.name, chosen.files.size], ["FORELESNING.WEBM", "HREFTrack.txt", 9]);
  // Without HREFTrack.txt the last .txt is the track; a name that only holds an extension is not of its kind.
  assert.deepEqual([chooseFiles([file("spor.txt")], {}).track.name, chooseFiles([file("a.txt"), file("b.txt")], {}).track.name],
                   ["spor.txt", "b.txt"]);
  chosen = chooseFiles([file("a.txt.html"), file("b.vtt.html"), file("c.mp4.html"), file("d.png.exe")], {});
  assert.deepEqual([chosen.track, chosen.captions, chosen.recording, chosen.ignored], [null, null, null, ["d.png.exe"]]);
  // What a slide may show, chosen alone, by its name or its type.
  assert.deepEqual(chooseFiles(["a.htm", "a.jpg", "a.woff", "bilde"].map((name) => file(name, name === "bilde" ? "image/png" : "")),
                               {}).ignored, []);
  assert.equal(chooseFiles([file("opptak", "video/mp4")], {}).recording.name, "opptak");
  // The lecture's whole folder: every file is kept by its place, and the
  // files of no use are passed by without a word.
  const inFolder = (path, type = "") => ({ name: path.split("/").pop(), type, path });
  chosen = chooseFiles(["lecture/answers.txt", "lecture/HREFTrack.txt", "lecture/log.xml",
                        "lecture/foil1.html", "lecture/sider/foil2.htm", "lecture/lecture.webm"]
    .map((path) => inFolder(path)), {});
  assert.deepEqual([chosen.track.path, chosen.recording.path, chosen.files.size, chosen.ignored],
                   ["lecture/HREFTrack.txt", "lecture/lecture.webm", 6, []]);
  // A slide is found as the track names it, relative to the track, and only inside the folder.
  assert.deepEqual(["foil1.html", "sider/foil2.htm", "./foil1.html", "../foil1.html", "foil9.html",
                    "http://x/foil1.html"].map((url) => chosenSlide(url, chosen)?.path ?? null),
                   ["lecture/foil1.html", "lecture/sider/foil2.htm", "lecture/foil1.html", null, null, null]);
  // Files chosen one by one come without their place: found by their name.
  const alone = new Map([["lecture/foil1.html", inFolder("lecture/foil1.html")], ["rød.png", file("rød.png")]]);
  assert.deepEqual(["lecture/bilder/rød.png", "lecture/foil1.html", "lecture/foil2.html", null]
    .map((path) => fileAt(alone, path)?.name ?? null), ["rød.png", "foil1.html", null, null]);
  // Slides chosen before their track are found from the top.
  assert.equal(chosenSlide("rød.png", { track: null, files: alone })?.name, "rød.png");
  // Missing: each once, in the order they play; an address of another scheme is no chosen file.
  assert.deepEqual(missingSlides(["foil3.html", "foil1.html", "foil3.html", "../foil1.html", "https://x/a.html"]
    .map((url) => ({ url })), chosen), ["foil3.html", "../foil1.html"]);
  // As the URL parser reads it: blanks before the scheme leave it a scheme, not a file named so.
  assert.deepEqual(missingSlides([{ url: " https://x/a.html" }], chosen), []);
});

test("what a chosen slide names is found among the chosen files as a browser resolves it", () => {
  const page = "forelesning/sider/foil1.html";
  assert.deepEqual(["bilder/r%C3%B8d.png", "bilder/rød.png", "../stil.css?v=2#x", "./a%20b.png", "../../alene.png",
                    "../../../utenfor.png", "/rot.png", "http://x/a.png", "data:image/png;base64,AA==", "//x/a.png"]
    .map((address) => chosenPath(address, page)),
                   ["forelesning/sider/bilder/rød.png", "forelesning/sider/bilder/rød.png", "forelesning/stil.css",
                    "forelesning/sider/a b.png", "alene.png", null, null, null, null, null]);
  assert.equal(chosenPath("bilder/%E0%A4%A.png", page), null, "an address that does not decode is no file");
  // A style sheet's addresses, in every form url() and imports take, are found and replaced.
  const css = "a { background: url( 'x.png' ) } b { src: url(f.woff2) format(\"woff2\") } @import \"c.css\";\n" +
              "@import url(d.css); i { x: url(data:image/png;base64,AA==) }";
  assert.deepEqual(cssAddresses(css), ["x.png", "f.woff2", "d.css", "data:image/png;base64,AA==", "c.css"]);
  // Double quotes, imports after two blanks or in single quotes, and a line end written as CSS escapes it.
  assert.equal(rewriteCss("a { b: url(\"ab.png\") } @import  'cd.css';", (address) => `${address}\n`),
               "a { b: url(\"ab.png\\a \") } @import \"cd.css\\a \";");
  assert.equal(rewriteCss(css, (address) => (address.startsWith("data:") ? address : `data:${address}"`)),
               "a { background: url(\"data:x.png\\\"\") } b { src: url(\"data:f.woff2\\\"\") format(\"woff2\") } " +
               "@import \"data:c.css\\\"\";\n@import url(\"data:d.css\\\"\"); i { x: url(\"data:image/png;base64,AA==\") }");
});
