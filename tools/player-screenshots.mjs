// SPDX-License-Identifier: MIT
// Screenshots of the player on the example lecture at 8 s, as a student
// sees it: at 1280 x 800, 1920 x 1080, 390 x 844 (a phone) and at 400 %
// zoom (1280 x 800 at four device pixels a CSS pixel, the whole page), in the
// dark and the light look, before and after a search for "lysark"; and at
// 1280 x 800 the timeline's preview, by pointer and by key; and, in the
// dark look at 1280 x 800, the page in each of its languages with its keys
// dialog open, and with description on and its choices open.  They are
// those in docs/look/.  The browser is a Norwegian's, as a lecture's
// students' mostly are.
//
//   node tools/player-screenshots.mjs OUTDIR [TOOL [SIZE]]
import { createRequire } from "node:module";
import { mkdtempSync } from "node:fs";
import { tmpdir } from "node:os";
import { join } from "node:path";
import { serveLecture } from "../tests/player/lecture.mjs";

const puppeteer = createRequire(import.meta.url)("puppeteer-core");
const [out, tool = "build/hreftrack", only] = process.argv.slice(2);
const dir = mkdtempSync(join(tmpdir(), "shots-"));
const { server, base } = await serveLecture(tool, dir);
const browser = await puppeteer.launch({ executablePath: "/usr/bin/chromium",
                                         args: ["--no-sandbox", "--autoplay-policy=no-user-gesture-required",
                                                "--accept-lang=nb-NO,nb"] });
// Each size's name, its CSS pixels, and device pixels to a CSS pixel.
const sizes = [["1280x800", 1280, 800, 1], ["1920x1080", 1920, 1080, 1], ["390x844", 390, 844, 2],
               ["zoom400", 320, 200, 4]];
try {
  for (const scheme of ["dark", "light"]) for (const [name, width, height, scale] of sizes) {
    if (only && !name.startsWith(only)) continue;
    const page = await browser.newPage();
    await page.emulateMediaFeatures([{ name: "prefers-color-scheme", value: scheme }]);
    await page.setViewport({ width, height, deviceScaleFactor: scale });
    await page.goto(`${base}/index.html?video=lecture.webm&track=HREFTrack.txt&captions=lecture.vtt`);
    await page.waitForFunction(() => document.querySelector("video").readyState >= 1);
    await page.evaluate(() => { document.querySelector("video").currentTime = 8; });
    await new Promise((r) => setTimeout(r, 1200));
    await page.screenshot({ path: `${out}/${scheme}-${name}.png`, fullPage: name === "zoom400" });
    await page.click("#search-tab");
    await page.evaluate(() => {
      const field = document.getElementById("search");
      field.value = "lysark";
      field.dispatchEvent(new Event("input"));
    });
    await new Promise((r) => setTimeout(r, 600));
    await page.screenshot({ path: `${out}/${scheme}-${name}-search.png`, fullPage: name === "zoom400" });
    if (name === "1280x800" && await page.$("#timeline-preview")) {
      const box = await (await page.$("#timeline .timeline-slide:nth-child(2)")).boundingBox();
      await page.mouse.move(box.x + box.width / 2, box.y + box.height / 2);
      await new Promise((r) => setTimeout(r, 900));
      await page.screenshot({ path: `${out}/${scheme}-preview-pointer.png` });
      await page.mouse.move(5, 5);
      await page.focus("#timeline");
      await page.keyboard.press("End");
      await new Promise((r) => setTimeout(r, 900));
      await page.screenshot({ path: `${out}/${scheme}-preview-key.png` });
    }
    await page.close();
  }
  if (!only || only === "languages") {
    for (const language of ["nb", "nn", "en"]) {
      const page = await browser.newPage();
      await page.emulateMediaFeatures([{ name: "prefers-color-scheme", value: "dark" }]);
      await page.setViewport({ width: 1280, height: 800 });
      await page.goto(`${base}/index.html?video=lecture.webm&track=HREFTrack.txt&captions=lecture.vtt` +
                      `&descriptions=lecture.synstolking.vtt&lang=${language}`);
      await page.waitForFunction(() => document.querySelector("video").readyState >= 1);
      await page.evaluate(() => { document.querySelector("video").currentTime = 8; });
      await new Promise((r) => setTimeout(r, 1200));
      await page.screenshot({ path: `${out}/language-${language}.png` });
      await page.click("#keys-open");
      await new Promise((r) => setTimeout(r, 300));
      await page.screenshot({ path: `${out}/language-${language}-keys.png` });
      await page.keyboard.press("Escape");
      if (language === "nb") {
        await page.click("#describe");
        await page.click("#listening-open");
        await page.click("#transcript-toggle");
        await new Promise((r) => setTimeout(r, 300));
        await page.screenshot({ path: `${out}/describe-on.png` });
      }
      await page.close();
    }
  }
} finally { await browser.close(); server.kill(); }
