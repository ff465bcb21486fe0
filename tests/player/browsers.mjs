// SPDX-License-Identifier: MIT
// A page in one of Debian's three browser engines, behind one small
// interface for the browser scenario.  puppeteer-core drives Chromium (over
// the DevTools protocol) and Firefox ESR (over WebDriver BiDi); WebKitGTK
// has only a W3C WebDriver server, WebKitWebDriver, which takes a handful of
// HTTP requests.
//
//   page.goto(url)             loads a page and waits for its load event
//   page.run(fn, ...args)      runs fn(...args) in the page; waits for the promise it returns
//   page.click(selector)       a real click
//   page.press(key)            a real key press, or a chord such as "Control+Enter"
//   page.upload(selector, paths)  chooses files, or a folder where
//                              page.choosesFolders, in an <input type=file>
//   page.frameAddress()        the address the page's slide frame shows, read by the driver
//   page.frameRun(fn)          runs fn() in the document of the slide frame, sandboxed too
//   page.resize(width, height) the viewport, in CSS pixels
//   page.screenshot(path), page.close()
//   page.print(path)           where page.prints: the page as printed, to a PDF, or to the
//                              screen (no path) until page.print(null)
//   page.look(scheme)          where page.looks: the colour scheme the page sees, "light" or "dark"
import { spawn } from "node:child_process";
import { existsSync, readdirSync, writeFileSync } from "node:fs";
import { createRequire } from "node:module";
import { createServer } from "node:net";

const require = createRequire(import.meta.url);

/// What an engine needs that this machine lacks, as an apt or npm package, or null.
export function missing(engine) {
  const needs = {
    chromium: ["/usr/bin/chromium"],
    firefox: ["/usr/bin/firefox-esr"],
    webkitgtk: ["/usr/bin/WebKitWebDriver", "/usr/bin/xvfb-run", "/usr/bin/xauth"],
  }[engine];
  const packages = { "/usr/bin/chromium": "chromium", "/usr/bin/firefox-esr": "firefox-esr",
                     "/usr/bin/WebKitWebDriver": "webkit2gtk-driver", "/usr/bin/xvfb-run": "xvfb",
                     "/usr/bin/xauth": "xauth" };
  for (const path of needs) if (!existsSync(path)) return `apt-get install ${packages[path]}`;
  if (engine === "webkitgtk" && miniBrowser() === null) return "apt-get install webkit2gtk-driver";
  for (const name of ["axe-core", engine === "webkitgtk" ? null : "puppeteer-core"]) {
    try {
      if (name) require.resolve(name);
    } catch {
      return `npm ci, for ${name}`;
    }
  }
  return null;
}

function miniBrowser() {
  for (const dir of readdirSync("/usr/lib")) {
    const path = `/usr/lib/${dir}/webkit2gtk-4.1/MiniBrowser`;
    if (existsSync(path)) return path;
  }
  return null;
}

/// Chromium's flags for the tests: nothing of Chromium's own may call out,
/// as this machine reaches no network.
export const chromiumFlags = ["--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
  "--disable-background-networking", "--disable-component-update", "--disable-sync",
  "--mute-audio", "--autoplay-policy=no-user-gesture-required",
  // A Norwegian's browser, which the page reads in Bokmål; a test of another language says so in its link.
  // (WebKitGTK under WebDriver names no language of its own, "C", and the page reads Bokmål too.)
  "--accept-lang=nb-NO,nb"];

class PuppeteerPage {
  static async open(engine, profile) {
    const puppeteer = require("puppeteer-core");
    const browser = await puppeteer.launch(engine === "firefox"
      ? { browser: "firefox", executablePath: "/usr/bin/firefox-esr", headless: true, userDataDir: profile,
          extraPrefsFirefox: { "media.autoplay.default": 0, "media.autoplay.blocking_policy": 0,
                               "focusmanager.testmode": true, "intl.accept_languages": "nb-NO, nb" } }
      : { executablePath: "/usr/bin/chromium", headless: true, userDataDir: profile, args: chromiumFlags });
    const page = (await browser.pages())[0] ?? await browser.newPage();
    return new PuppeteerPage(browser, page, engine);
  }

  constructor(browser, page, engine) {
    this.browser = browser;
    this.page = page;
    // Measured with Firefox ESR 153: Enter and Space sent through BiDi reach
    // a focused button, but Firefox does not activate it; and BiDi chooses
    // no folder for an input that takes one.
    this.keysActivateButtons = engine !== "firefox";
    this.choosesFolders = engine !== "firefox";
    this.prints = engine === "chromium";
    // Only Chromium's protocol sets the colour scheme a page sees.
    this.looks = engine === "chromium";
  }

  look(scheme) { return this.page.emulateMediaFeatures([{ name: "prefers-color-scheme", value: scheme }]); }

  async goto(url) {
    try {
      return await this.page.goto(url, { waitUntil: "load" });
    } catch (error) {
      // Firefox's WebDriver BiDi now and then reports a navigation that a page still
      // loading its frames was leaving as aborted (NS_BINDING_ABORTED), and the new page
      // loads all the same; it is asked for once more, and any other failure stands.
      if (!/NS_BINDING_ABORTED/.test(String(error))) throw error;
      return this.page.goto(url, { waitUntil: "load" });
    }
  }

  run(fn, ...args) { return this.page.evaluate(fn, ...args); }
  click(selector) { return this.page.click(selector); }
  async press(key) {
    const keys = key.split("+").map((name) => (name === "Space" ? " " : name));
    for (const name of keys.slice(0, -1)) await this.page.keyboard.down(name);
    await this.page.keyboard.press(keys[keys.length - 1]);
    for (const name of keys.slice(0, -1).reverse()) await this.page.keyboard.up(name);
  }

  async print(path) {
    if (path === undefined || path === null) return this.page.emulateMediaType(path === null ? null : "print");
    return this.page.pdf({ path, format: "A4", printBackground: true });
  }
  resize(width, height) { return this.page.setViewport({ width, height }); }
  screenshot(path) { return this.page.screenshot({ path }); }
  close() { return this.browser.close(); }

  async upload(selector, paths) {
    await (await this.page.$(selector)).uploadFile(...paths);
  }

  // The slide frame, not the timeline's preview.
  async slideFrame() { return (await this.page.$("#foil"))?.contentFrame() ?? null; }

  async frameAddress() {
    const frame = await this.slideFrame();
    return frame ? frame.url() : null;
  }

  async frameRun(fn) { return (await this.slideFrame()).evaluate(fn); }
}

const element = "element-6066-11e4-a52e-4f735466cecf";
const keyCodes = { PageUp: "\uE00E", PageDown: "\uE00F", Enter: "\uE007", Space: "\uE00D", Tab: "\uE004",
                   Escape: "\uE00C", End: "\uE010", Home: "\uE011", ArrowLeft: "\uE012", ArrowUp: "\uE013",
                   ArrowRight: "\uE014", ArrowDown: "\uE015", Control: "\uE009", Shift: "\uE008" };

class WebDriverPage {
  static async open() {
    const port = await new Promise((resolve) => {
      const server = createServer().listen(0, "127.0.0.1", () => {
        const { port: free } = server.address();
        server.close(() => resolve(free));
      });
    });
    // A process group of its own, so that closing ends the driver, the
    // browser and Xvfb together.
    const driver = spawn("/usr/bin/xvfb-run", ["-a", "-s", "-screen 0 1280x1024x24",
                         "/usr/bin/WebKitWebDriver", `--port=${port}`], { detached: true, stdio: "ignore" });
    const page = new WebDriverPage(`http://127.0.0.1:${port}`, driver);
    const capabilities = { browserName: "MiniBrowser",
      "webkitgtk:browserOptions": { binary: miniBrowser(), args: ["--automation"] } };
    for (let tries = 0; page.session === null; tries += 1) {
      try {
        const { sessionId } = await page.request("POST", "/session",
                                                 { capabilities: { alwaysMatch: capabilities } });
        page.session = `/session/${sessionId}`;
      } catch (error) {
        if (tries === 100) {
          await page.close();
          throw error;
        }
        await new Promise((resolve) => { setTimeout(resolve, 200); });
      }
    }
    return page;
  }

  constructor(base, driver) {
    this.base = base;
    this.driver = driver;
    this.session = null;
    this.keysActivateButtons = true;
    this.choosesFolders = false;
    this.prints = false;
    this.looks = false;
  }

  async request(method, path, body) {
    const response = await fetch(this.base + path, { method, body: body && JSON.stringify(body),
                                                     headers: { "Content-Type": "application/json" } });
    const { value } = await response.json();
    if (value && value.error) throw new Error(`WebDriver ${path}: ${value.error}: ${value.message}`);
    return value;
  }

  command(method, path, body) {
    return this.request(method, this.session + path, body ?? (method === "POST" ? {} : undefined));
  }

  async find(selector) {
    return (await this.command("POST", "/element", { using: "css selector", value: selector }))[element];
  }

  goto(url) { return this.command("POST", "/url", { url }); }

  run(fn, ...args) {
    const script = `const done = arguments[arguments.length - 1];
      Promise.resolve((${fn}).apply(null, [...arguments].slice(0, -1))).then(done);`;
    return this.command("POST", "/execute/async", { script, args });
  }

  async click(selector) { await this.command("POST", `/element/${await this.find(selector)}/click`); }

  press(key) {
    const values = key.split("+").map((name) => keyCodes[name]);
    return this.command("POST", "/actions", { actions: [{ type: "key", id: "keyboard",
      actions: [...values.map((value) => ({ type: "keyDown", value })),
                ...values.reverse().map((value) => ({ type: "keyUp", value }))] }] });
  }

  async upload(selector, paths) {
    await this.command("POST", `/element/${await this.find(selector)}/value`, { text: paths.join("\n") });
  }

  async frameAddress() {
    return this.frameRun(() => (document.readyState === "complete" ? location.href : null));
  }

  async frameRun(fn) {
    await this.command("POST", "/frame", { id: { [element]: await this.find("#foil") } });
    try {
      return await this.command("POST", "/execute/sync", { script: `return (${fn})();`, args: [] });
    } finally {
      await this.command("POST", "/frame/parent");
    }
  }

  async resize(width, height) {
    // The window's size holds what it draws around the page: set it,
    // measure the difference, set it again.
    await this.command("POST", "/window/rect", { width, height });
    const [innerWidth, innerHeight] = await this.run(() => [window.innerWidth, window.innerHeight]);
    if (innerWidth !== width || innerHeight !== height) {
      await this.command("POST", "/window/rect", { width: 2 * width - innerWidth,
                                                   height: 2 * height - innerHeight });
    }
  }

  async screenshot(path) {
    writeFileSync(path, Buffer.from(await this.command("GET", "/screenshot"), "base64"));
  }

  async close() {
    if (this.session !== null) await this.command("DELETE", "").catch(() => {});
    try {
      process.kill(-this.driver.pid, "SIGTERM");
    } catch {
      // Already gone.
    }
  }
}

/// Opens a page in `engine` (chromium, firefox or webkitgtk) at 1000 x 560.
export async function openPage(engine, profile) {
  const page = engine === "webkitgtk" ? await WebDriverPage.open() : await PuppeteerPage.open(engine, profile);
  try {
    await page.resize(1000, 560);
  } catch (error) {
    await page.close();
    throw error;
  }
  return page;
}
