// SPDX-License-Identifier: MIT
// One small interface to a browser page, for the player's browser scenario,
// over the two ways Debian's browsers are driven: W3C WebDriver (Chromium's
// chromedriver, WebKitGTK's WebKitWebDriver with MiniBrowser under Xvfb) and
// WebDriver BiDi through puppeteer-core (Firefox ESR, which has no driver of
// its own in Debian).
//
//   page.goto(url)             loads a page and waits for its load event
//   page.run(body, ...args)    runs a function body (arguments[i]) in the page,
//                              and waits for the promise it may return
//   page.click(selector)       a real click; page.press(key) a real key press
//                              (keysActivateButtons: whether Enter and Space
//                              from the driver activate a focused button)
//   page.upload(selector, paths)  chooses files in an <input type=file>
//   page.frameAddress()        the address the first frame shows, read by
//                              the driver itself, so a file page works too
//   page.resize(width, height) the viewport's size in CSS pixels
//   page.screenshot(path), page.close()
import { spawn } from "node:child_process";
import { existsSync, readdirSync, writeFileSync } from "node:fs";
import { createServer } from "node:net";
import { createRequire } from "node:module";

const require = createRequire(import.meta.url);

/// The Debian package an engine needs and this machine lacks, or null.
export function missingPackage(engine) {
  const needs = {
    chromium: [["/usr/bin/chromium", "chromium"], ["/usr/bin/chromedriver", "chromium-driver"]],
    firefox: [["/usr/bin/firefox-esr", "firefox-esr"]],
    webkitgtk: [["/usr/bin/WebKitWebDriver", "webkit2gtk-driver"], ["/usr/bin/xvfb-run", "xvfb"],
                ["/usr/bin/xauth", "xauth"]],
  }[engine];
  for (const [path, name] of needs) if (!existsSync(path)) return name;
  if (engine === "webkitgtk" && miniBrowser() === null) return "webkit2gtk-driver";
  return null;
}

function miniBrowser() {
  for (const dir of readdirSync("/usr/lib")) {
    const path = `/usr/lib/${dir}/webkit2gtk-4.1/MiniBrowser`;
    if (existsSync(path)) return path;
  }
  return null;
}

function freePort() {
  return new Promise((resolve, reject) => {
    const server = createServer();
    server.on("error", reject);
    server.listen(0, "127.0.0.1", () => {
      const { port } = server.address();
      server.close(() => resolve(port));
    });
  });
}

const sleep = (ms) => new Promise((resolve) => { setTimeout(resolve, ms); });

// Nothing of Chromium's own may call out: this machine reaches no network.
const chromiumFlags = ["--headless=new", "--no-sandbox", "--disable-gpu", "--disable-quic",
  "--no-first-run", "--disable-background-networking", "--disable-component-update",
  "--disable-sync", "--mute-audio", "--autoplay-policy=no-user-gesture-required"];

const element = "element-6066-11e4-a52e-4f735466cecf";
const keys = { PageUp: "\uE00E", PageDown: "\uE00F", Enter: "\uE007", Space: "\uE00D", Tab: "\uE004" };

class WebDriverPage {
  static async open(engine, profile) {
    const port = await freePort();
    let command;
    let args;
    let capabilities;
    if (engine === "chromium") {
      command = "/usr/bin/chromedriver";
      args = [`--port=${port}`];
      capabilities = { browserName: "chrome", "goog:chromeOptions": {
        binary: "/usr/bin/chromium", args: [...chromiumFlags, `--user-data-dir=${profile}`] } };
    } else {
      command = "/usr/bin/xvfb-run";
      args = ["-a", "-s", "-screen 0 1280x1024x24", "/usr/bin/WebKitWebDriver", `--port=${port}`];
      capabilities = { browserName: "MiniBrowser", "webkitgtk:browserOptions": {
        binary: miniBrowser(), args: ["--automation"] } };
    }
    // A process group of its own, so that closing ends the driver, the
    // browser and Xvfb together.
    const driver = spawn(command, args, { detached: true, stdio: ["ignore", "pipe", "pipe"] });
    const log = [];
    driver.stdout.on("data", (chunk) => log.push(String(chunk)));
    driver.stderr.on("data", (chunk) => log.push(String(chunk)));
    const page = new WebDriverPage(`http://127.0.0.1:${port}`, driver, log);
    try {
      await page.waitForDriver();
      const session = await page.request("POST", "/session",
                                         { capabilities: { alwaysMatch: capabilities } });
      page.session = `/session/${session.sessionId}`;
    } catch (error) {
      page.close();
      throw new Error(`${error.message}\n${log.join("").slice(-2000)}`);
    }
    return page;
  }

  constructor(base, driver, log) {
    this.base = base;
    this.driver = driver;
    this.log = log;
    this.session = null;
    this.keysActivateButtons = true;
  }

  async waitForDriver() {
    const deadline = Date.now() + 20000;
    while (Date.now() < deadline) {
      try {
        const status = await this.request("GET", "/status");
        if (status.ready) return;
      } catch {
        // Not listening yet.
      }
      if (this.driver.exitCode !== null) throw new Error(`the driver ended (${this.driver.exitCode})`);
      await sleep(100);
    }
    throw new Error("the driver did not start within 20 s");
  }

  async request(method, path, body) {
    const response = await fetch(this.base + path, {
      method, headers: { "Content-Type": "application/json" },
      body: body === undefined ? undefined : JSON.stringify(body) });
    const answer = await response.json();
    if (answer.value && answer.value.error) {
      throw new Error(`WebDriver ${path}: ${answer.value.error}: ${answer.value.message}`);
    }
    return answer.value;
  }

  command(method, path, body) {
    return this.request(method, this.session + path, body ?? (method === "POST" ? {} : undefined));
  }

  goto(url) {
    return this.command("POST", "/url", { url });
  }

  run(body, ...args) {
    return this.command("POST", "/execute/sync", { script: body, args });
  }

  async find(selector) {
    const found = await this.command("POST", "/element", { using: "css selector", value: selector });
    return found[element];
  }

  async click(selector) {
    await this.command("POST", `/element/${await this.find(selector)}/click`);
  }

  press(key) {
    const value = keys[key];
    return this.command("POST", "/actions", { actions: [{ type: "key", id: "keyboard",
      actions: [{ type: "keyDown", value }, { type: "keyUp", value }] }] });
  }

  async upload(selector, paths) {
    await this.command("POST", `/element/${await this.find(selector)}/value`,
                       { text: paths.join("\n") });
  }

  async frameAddress() {
    const frame = await this.find("iframe");
    await this.command("POST", "/frame", { id: { [element]: frame } });
    try {
      return await this.run("return document.readyState === 'complete' ? location.href : null;");
    } finally {
      await this.command("POST", "/frame/parent");
    }
  }

  async resize(width, height) {
    // The window's size includes whatever it draws around the page: set it,
    // measure the difference, set it again.
    await this.command("POST", "/window/rect", { width, height });
    const inner = await this.run("return [innerWidth, innerHeight];");
    if (inner[0] !== width || inner[1] !== height) {
      await this.command("POST", "/window/rect",
                         { width: 2 * width - inner[0], height: 2 * height - inner[1] });
    }
  }

  async screenshot(path) {
    writeFileSync(path, Buffer.from(await this.command("GET", "/screenshot"), "base64"));
  }

  close() {
    const ended = this.session === null ? Promise.resolve()
      : this.command("DELETE", "").catch(() => {});
    return ended.then(() => {
      try {
        process.kill(-this.driver.pid, "SIGTERM");
      } catch {
        // Already gone.
      }
    });
  }
}

class PuppeteerPage {
  static async open(profile) {
    const puppeteer = require("puppeteer-core");
    const browser = await puppeteer.launch({
      browser: "firefox", executablePath: "/usr/bin/firefox-esr", headless: true,
      userDataDir: profile,
      extraPrefsFirefox: { "media.autoplay.default": 0, "media.autoplay.blocking_policy": 0,
                         "focusmanager.testmode": true },
    });
    const page = (await browser.pages())[0] ?? await browser.newPage();
    return new PuppeteerPage(browser, page);
  }

  constructor(browser, page) {
    this.browser = browser;
    this.page = page;
    // Measured with Firefox ESR 153: Enter and Space sent through BiDi reach
    // a focused button as trusted key events, but Firefox does not activate
    // it, not even a bare <button onclick> on a page of its own.
    this.keysActivateButtons = false;
  }

  goto(url) {
    return this.page.goto(url, { waitUntil: "load" });
  }

  run(body, ...args) {
    return this.page.evaluate(`(function () { ${body} }).apply(null, ${JSON.stringify(args)})`);
  }

  click(selector) {
    return this.page.click(selector);
  }

  press(key) {
    return this.page.keyboard.press(key === "Space" ? " " : key);
  }

  async upload(selector, paths) {
    const input = await this.page.$(selector);
    await input.uploadFile(...paths);
  }

  async frameAddress() {
    const frame = this.page.mainFrame().childFrames()[0];
    return frame ? frame.url() : null;
  }

  resize(width, height) {
    return this.page.setViewport({ width, height });
  }

  screenshot(path) {
    return this.page.screenshot({ path });
  }

  close() {
    return this.browser.close();
  }
}

/// Opens a page in `engine` (chromium, firefox or webkitgtk) at 1000 x 560.
export async function openPage(engine, profile) {
  const page = engine === "firefox" ? await PuppeteerPage.open(profile)
    : await WebDriverPage.open(engine, profile);
  try {
    await page.resize(1000, 560);
  } catch (error) {
    await page.close();
    throw error;
  }
  return page;
}
