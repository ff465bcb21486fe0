// SPDX-License-Identifier: MIT
// The web player's browser scenario in one engine, on a real recording and a
// real track.
//
//   node tests/player_browser.mjs chromium|firefox|webkitgtk TOOL
//
// The example lecture is laid out and served by examples/lecture/serve.py
// (the track by TOOL, the recording by GStreamer) in a fresh folder.  Exits
// 77, naming what to install, where the engine, GStreamer or the npm packages
// (npm ci) are missing.  With HREFTRACK_PLAYER_SCREENSHOT=FILE it saves the
// page paused on slide 2 as a PNG, and with HREFTRACK_PLAYER_PHONE=FILE the
// page at a phone's width.
import { spawn } from "node:child_process";
import { existsSync, mkdtempSync, rmSync } from "node:fs";
import { createRequire } from "node:module";
import { tmpdir } from "node:os";
import { join } from "node:path";

import { missingPackage, openPage } from "./player_drivers.mjs";
import { runScenario } from "./player_scenario.mjs";

const require = createRequire(import.meta.url);
const root = new URL("../..", import.meta.url).pathname;

function skip(what) {
  console.log(`skipped: ${what}`);
  process.exit(77);
}

// Starts serve.py; resolves to the server's process and its address.
function serve(tool, dir) {
  return new Promise((resolve, reject) => {
    const server = spawn("/usr/bin/python3",
                         [join(root, "examples/lecture/serve.py"), tool, "0", "--dir", dir,
                          "--no-browser"], { stdio: ["ignore", "pipe", "pipe"] });
    let output = "";
    const collect = (chunk) => {
      output += chunk;
      const address = /plays at (http:\/\/127\.0\.0\.1:(\d+))\//.exec(output);
      if (address) resolve({ server, base: address[1], port: Number(address[2]) });
    };
    server.stdout.on("data", collect);
    server.stderr.on("data", collect);
    server.on("exit", (code) => {
      const needs = /the recording needs: (.*)/.exec(output);
      if (needs) skip(needs[1]);
      reject(new Error(`serve.py ended (${code}): ${output}`));
    });
  });
}

async function main() {
  const [engine, tool] = process.argv.slice(2);
  if (!["chromium", "firefox", "webkitgtk"].includes(engine) || !tool) {
    console.error("usage: node tests/player_browser.mjs chromium|firefox|webkitgtk TOOL");
    process.exit(2);
  }
  const missing = missingPackage(engine);
  if (missing) skip(`apt-get install ${missing}`);
  if (!existsSync("/usr/bin/python3")) skip("apt-get install python3");
  for (const name of engine === "firefox" ? ["axe-core", "puppeteer-core"] : ["axe-core"]) {
    try {
      require.resolve(name);
    } catch {
      skip(`npm ci (in ${root}) for ${name}`);
    }
  }

  const started = Date.now();
  const dir = mkdtempSync(join(tmpdir(), "hreftrack-player-"));
  const profile = mkdtempSync(join(tmpdir(), `hreftrack-${engine}-`));
  let server = null;
  let page = null;
  try {
    const served = await serve(tool, dir);
    server = served.server;
    page = await openPage(engine, profile);
    const passed = await runScenario(page, {
      ...served, dir, screenshot: process.env.HREFTRACK_PLAYER_SCREENSHOT ?? null,
      phoneScreenshot: process.env.HREFTRACK_PLAYER_PHONE ?? null });
    console.log(`${engine}: ${passed} passed, 0 failed in ${((Date.now() - started) / 1000).toFixed(1)} s`);
  } catch (error) {
    console.log(`${engine}: ${error.stack ?? error}`);
    console.log(`${engine}: ${error.passed ?? 0} passed, 1 failed in ${((Date.now() - started) / 1000).toFixed(1)} s`);
    process.exitCode = 1;
  } finally {
    if (page !== null) await page.close().catch(() => {});
    if (server !== null) server.kill();
    rmSync(dir, { recursive: true, force: true });
    rmSync(profile, { recursive: true, force: true });
  }
}

main();
