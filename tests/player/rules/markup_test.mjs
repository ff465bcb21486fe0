// SPDX-License-Identifier: MIT
// A slide's mark-up as the player reads it for its text and title.
import { test } from "node:test";
import assert from "node:assert/strict";
import { timed } from "./rules.mjs";

const { words, makeMarkupReader, makeSlideTextSink, decodeAttribute, attributeText } = globalThis;

// Feeds `html` to `sink`'s reader in blocks of `size`, and ends it.
function feedInBlocks(sink, html, size) {
  const reader = makeMarkupReader(sink);
  for (let at = 0; at < html.length; at += size) reader.feed(html.slice(at, at + size));
  reader.end();
}

// What a slide's mark-up reads as, fed to the reader in blocks of `size`
// (the whole at once where none), its white space collapsed.
function readMarkup(html, size = html.length || 1) {
  const { sink, slide } = makeSlideTextSink();
  feedInBlocks(sink, html, size);
  const read = slide();
  const collapse = (text) => text.replace(/\s+/g, " ").trim();
  return [collapse(read.title), collapse(read.heading), collapse(read.text)];
}

test("a slide's text, title and heading as a browser reads them, however its mark-up is cut into blocks", () => {
  const cases = [
    // Text between elements a blank apart; a heading's own text as one.
    ["<title>Måling &amp; tid</title><h1>Måling <em>av</em> tid</h1><p>Tekst", ["Måling &amp; tid", "Måling av tid",
                                                                            "Måling av tid Tekst"]],
    // A ">" in a quoted value ends no tag; handlers and styles say nothing.
    ['<p title="a>b" style=\'x>y\' onclick="go()">x</p>', ["", "", "x"]],
    // What is no text: scripts, styles, comments (which part no words, as on the screen), doctypes,
    // templates, noscript.
    ['<!doctype html><?xml x?><script>if (a<b) "</p>"</script ><style>p{}</STYLE>a<!-- <p>b</p> -- -->c',
     ["", "", "ac"]],
    ["<template><template>a</template>b</template><noscript>n</noscript>c", ["", "", "c"]],
    // A raw element's text is text, a "<" in it too; xmp's "&" is no reference.
    ["<textarea><b>x</b></textarea><xmp>&amp;</xmp>", ["", "", "&lt;b>x&lt;/b> &amp;amp;"]],
    ["<title>a<b>c</title><title>second</title>", ["a&lt;b>c", "", ""]],
    // In SVG a title is no page title, and CDATA is text; outside it a comment.
    ["<svg><title>s</title><![CDATA[a<b]]></svg><![CDATA[x]]>t<title>T</title>", ["T", "", "s a&lt;b t"]],
    // The first heading only; a heading begun ends the one open.
    ["<h2>a<h1>b</h1><h1>c</h1>", ["", "a", "a b c"]],
    // A heading's end before any heading ends none; an element that is only named like one is none.
    ["</h2><sh1>x</sh1><h1-note>y</h1-note><h1>Tittel</h1>", ["", "Tittel", "x y Tittel"]],
    // Inside a template, elements of their own end and begin nothing of the page's.
    ["<template><p>skjult</p>skjult</template>synlig", ["", "", "synlig"]],
    // Foreign elements closed at once, as <style/> in SVG, hide nothing after them.
    ["<svg><style/><h1/></svg><p>synlig</p><h2>Rett</h2>", ["", "Rett", "synlig Rett"]],
    // What only looks like a tag is text; what the text ends in is dropped.
    ["a < b <3 </ p> </> x<p class=\"y", ["", "", "a &lt; b &lt;3 x"]],
    ["<script>x</scrip</script>y</SCRIPT", ["", "", "y"]],
  ];
  for (const [html, expected] of cases) {
    for (const size of [undefined, 1, 2, 3, 7]) {
      assert.deepEqual(readMarkup(html, size), expected, `${html} in blocks of ${size ?? "all"}`);
    }
  }
});

test("a tag's attributes as a browser reads them: names in lower case, values as written, the first of a name",
     () => {
  // Of two of one name, the first: a second kept would be the one a reader of the list finds last.
  const html = `<IMG SRC=a.png alt='x "y"' data-z = "1" checked Src=b.png><p =x><a b="1"c=2/><br/>` +
               `<svg><path d="M0"/></svg><i ${[..."abcdefghij"].map((name) => `${name}=1 `).join("")}a=2 j = 3>`;
  // Fed a character at a time too: a block that ended after a name's first character lost it.
  for (const size of [html.length, 1]) {
    const tags = [];
    feedInBlocks({ text() {}, close() {},
                   open: (name, attributes, closed, foreign) => tags.push([name, attributes, closed, foreign]) }, html, size);
    assert.deepEqual(tags, [
    ["img", [["src", "a.png"], ["alt", 'x "y"'], ["data-z", "1"], ["checked", null]], false, false],
    ["p", [["=x", null]], false, false], ["a", [["b", "1"], ["c", "2/"]], false, false], ["br", [], false, false],
      ["svg", [], false, true], ["path", [["d", "M0"]], true, true],
      // A name repeated after many others, with a blank before its "=" too: still the first.
      ["i", [..."abcdefghij"].map((name) => [name, "1"]), false, false]], `in blocks of ${size}`);
  }
});

// What the reader hands on for `html`, fed in blocks of `size`: tags as
// written anew (^ for SVG and MathML, / for one closed at once), text as
// it comes, «raw text» where it has no references.
function readEvents(html, size = html.length || 1) {
  const out = [];
  const text = (kind, raw) => {
    if (out.at(-1)?.kind === kind) out.at(-1).text += raw; else if (raw !== "") out.push({ kind, text: raw });
  };
  const attribute = ([name, value]) => ` ${name}${value === null ? "" : `=${JSON.stringify(value)}`}`;
  feedInBlocks({
    text: (raw, literal) => text(literal ? "raw" : "text", raw),
    open: (name, attributes, closed, foreign) =>
      out.push(`<${name}${foreign ? "^" : ""}${attributes.map(attribute).join("")}${closed ? "/" : ""}>`),
    close: (name) => out.push(`</${name}>`),
  }, html, size);
  // A "<" of the text is written so, to tell it from a tag's.
  const shown = (event) => event.text.replace(/</g, "&lt;");
  return out.map((event) => (typeof event === "string" ? event : event.kind === "raw" ? `«${shown(event)}»` : shown(event)))
    .join("");
}

test("every state of the reader as a browser's tokenizer has it, whole and a character at a time", () => {
  const cases = [
    // Raw text: without references where it ends at its own end tag, with them in title and textarea; none
    // in SVG and MathML; plaintext never ends.
    ["<style>a<b>&amp;</style>x", "<style>«a&lt;b>&amp;»</style>x"], ["<iframe><p>x</iframe>", "<iframe>«&lt;p>x»</iframe>"],
    ["<noembed><b></noembed><noframes><i></noframes>", "<noembed>«&lt;b>»</noembed><noframes>«&lt;i>»</noframes>"],
    ["<script>a&amp;<b</script>", "<script>«a&amp;&lt;b»</script>"],
    ["<plaintext>a</plaintext><b>&amp;", "<plaintext>«a&lt;/plaintext>&lt;b>&amp;»"],
    ["<textarea>&lt;<b></textarea>a&amp;b", "<textarea>&lt;&lt;b></textarea>a&amp;b"],
    ["<math><title>t</title><style>s</style></math>", "<math^><title^>t</title><style^>s</style></math>"],
    ["</svg><svg><style><b>x</b></style></svg>", "</svg><svg^><style^><b^>x</b></style></svg>"],
    // The raw element's end tag in any case, with a blank or "/"; anything else in it is text, to the end.
    ["<style>a</STYLE >b<style>c</style/>d", "<style>«a»</style>b<style>«c»</style>d"],
    ["<style>a</stylex></stx</s><b</style>", "<style>«a&lt;/stylex>&lt;/stx&lt;/s>&lt;b»</style>"],
    ["<style>x</sty", "<style>«x&lt;/sty»"], ["<style>x<", "<style>«x&lt;»"], ["a<", "a&lt;"], ["a</", "a&lt;/"],
    // Names: of letters only, in lower case, ended by a blank of any kind; "/" closes only foreign elements.
    ["<A><Z></Z><a></a><z><[x><{x><@x>", "<a><z></z><a></a><z>&lt;[x>&lt;{x>&lt;@x>"],
    ["<p\ta\nb\fc\rd>", "<p a b c d>"], ["<svg/><br/><p/>", "<svg^/><br><p>"],
    ['<p a = "b" =x c/ d>', '<p a="b" =x c d>'], ["<p a=\"x\"b='y'c=z/>", '<p a="x" b="y" c="z/">'],
    ['<p a="x" ><p a=><p a= b>', '<p a="x"><p a=""><p a="b">'],
    // Out of MathML again after its end; SVG closed at once only by "/>", after a value or a blank too.
    ["<math></math><style><b></style>", "<math^></math><style>«&lt;b>»</style>"],
    ['<svg ><g/></svg><svg a="b"><g/></svg><svg a="b" /><svg c /><svg d/>',
     '<svg^><g^/></svg><svg^ a="b"><g^/></svg><svg^ a="b"/><svg^ c/><svg^ d/>'],
    // What is no element: an end tag of no name, comments of every ending, doctypes, processing instructions.
    ["</>a</ x>b</1>c<!doctype html>d<?php x ?>e<!x>f", "abcdef"],
    ["<!---->a<!-->b<!--->c<!-- x -- y -->d<!-- x --!>e<!--x---->f<!-- x --! y -->g<!--x-y-->h<!---x-->i",
     "abcdefghi"],
    // A comment ends at "-->", "--!>", or at once as "<!-->" and "<!--->"; nothing else ends it.
    ["<!--x>y-->z<!----!>a-->b<!---!>c-->d<!--e-x>f-->g<!--h--x>i-->j<!--k--->l<!--m--!->n-->o<!--p--!!>q-->r",
     "za-->bdgjlor"],
    // CDATA in SVG: its brackets are text unless they end it, even at the end of the text.
    ["<svg><![CDATA[a]b]]c]]]>d<![CDAT>e</svg>", "<svg^>a]b]]c]de</svg>"], ["<svg><![CDATA[x]", "<svg^>x]"],
    ["<svg><![CDATA[x]]", "<svg^>x]]"], ["<svg><![CDATA[a&b<c]]></svg>", "<svg^>a&amp;b&lt;c</svg>"],
  ];
  for (const [html, read] of cases) {
    assert.deepEqual([readEvents(html), readEvents(html, 1)], [read, read], html);
  }
});

test("an address written with references names its file; one past Unicode is no error that drops the slide", () => {
  assert.deepEqual(["bilder/r&#248;d.png", "r&#xF8;d.png", "a&amp;b.png", "&#0;&#55296;&#1114112;&#9999999;", "&eacute;"]
    .map(decodeAttribute), ["bilder/rød.png", "rød.png", "a&b.png", "\ufffd\ufffd\ufffd\ufffd", "&eacute;"]);
  // The names an address is written with, and only with their ";"; the ends of what a character may be.
  assert.deepEqual(["&lt;&gt;&quot;&apos;&nbsp;", "&amp", "&#65", "&#x10FFFF;&#xE000;&#xDFFF;"].map(decodeAttribute),
                   ["<>\"'\u00a0", "&amp", "A", "\u{10FFFF}\uE000\ufffd"]);
  assert.equal(attributeText('a"b&amp;'), "a&quot;b&amp;", "a value written anew in double quotes");
});

test("hostile mark-up costs the reader its length, not its square: four times as much takes four times as long",
     timed, () => {
  const hostile = {
    "unclosed tags": (n) => "<a ".repeat(n),
    "one tag's attributes": (n) => `<p ${'onclick="x" '.repeat(n)}>`,
    "unclosed values": (n) => '<p a="'.repeat(n),
    "end tags that never end a script": (n) => `<script>${"</scrip".repeat(n)}`,
    "nested elements": (n) => "<div><b><i>".repeat(n),
  };
  // The least of three runs, in milliseconds, once the reader is warm.
  const took = (html) => Math.min(...[0, 1, 2, 3].map(() => {
    const started = performance.now();
    readMarkup(html, 64 * 1024);
    return performance.now() - started;
  }));
  for (const [name, make] of Object.entries(hostile)) {
    const small = took(make(40000));
    const large = took(make(160000));
    // Linear: about 4; the square: 16.
    assert.ok(large < 8 * Math.max(small, 1), `${name}: ${small.toFixed(1)} ms, four times as much ${large.toFixed(1)} ms`);
  }
});
