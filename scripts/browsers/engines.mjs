// A thin layer over the three browser engines, each from Debian's packages, so that every scenario
// is written once: Chromium through Playwright, Firefox ESR through Puppeteer over WebDriver BiDi,
// WebKitGTK through Selenium and WebKitWebDriver (in an X server: run the tests under xvfb-run).
// Also a static server on 127.0.0.1 for the hosted site. Nothing here downloads a browser.
import { spawn } from "node:child_process";
import { readFileSync } from "node:fs";
import { mkdtemp, readFile, rm, stat, writeFile } from "node:fs/promises";
import { createServer, get } from "node:http";
import { createRequire } from "node:module";
import { createServer as createNetServer } from "node:net";
import { tmpdir } from "node:os";
import { extname, join, normalize } from "node:path";
import { chromium } from "playwright-core";
import puppeteer from "puppeteer-core";
import { Builder, By, error as driverErrors, Key, Origin } from "selenium-webdriver";

export const ENGINE = process.env.MOKOPERA_ENGINE ?? "chromium";

const CHROMIUM_FLAGS = ["--no-sandbox", "--disable-gpu", "--no-first-run", "--disable-background-networking",
                        "--disable-component-update", "--disable-sync", "--disable-quic"];
const KEYS = { Enter: "Enter", Escape: "Escape", Tab: "Tab" };
// WebKitWebDriver's limits: a page's load, and a script's promise. A command still unanswered a
// while past the longer one is a driver that has stopped answering.
const WEBKIT_PAGE_LOAD_MS = 60000, WEBKIT_SCRIPT_MS = 120000, WEBKIT_ANSWER_MS = WEBKIT_SCRIPT_MS + 30000;
const AXE = readFileSync(createRequire(import.meta.url).resolve("axe-core/axe.min.js"), "utf8");

// A function and its arguments as one expression that every engine evaluates in the page.
const call = (fn, args) => `(${fn})(...${JSON.stringify(args)})`;

// WebKitWebDriver, now and then, stops answering a command, or never sees the load of a page
// that has loaded (once in CI a scenario waited ten minutes for it); WebKit's own WebDriver runner
// restarts the browser when that happens. Such a command fails with this error, and the scenario
// runs once more in a fresh browser (withDriverRetry). A page that fails its test fails it again.
export class DriverStopped extends Error {}

// The calls a scenario makes, the same for every engine. `evaluate` runs a function in the page
// (its arguments as JSON) and waits for its promise; `waitFor` repeats it until it is truthy.
class Tab {
  constructor(engine) {
    this.engine = engine;
  }

  waitFor(fn, ...args) {
    return this.waitWithin(20000, fn, ...args);
  }

  async waitWithin(milliseconds, fn, ...args) {
    const until = Date.now() + milliseconds;
    for (;;) {
      const value = await this.evaluate(fn, ...args).catch((error) => ({ error }));
      if (value?.error instanceof DriverStopped) throw value.error;
      if (value && !value.error) return value;
      if (Date.now() > until) throw new Error(`timed out waiting for ${fn}: ${value?.error ?? value}`);
      await new Promise((done) => setTimeout(done, 25));
    }
  }

  // Once what the page drew is on the screen: two frames later. Some engines take a picture of the
  // last frame shown, not of what has just been drawn.
  painted() {
    return this.evaluate(() => new Promise((done) => requestAnimationFrame(() => requestAnimationFrame(done))));
  }

  // The browser's back, as its button does it; the scenario waits for the page it expects (the
  // drivers wait differently for a page that comes back from the back-forward cache).
  back() {
    return this.evaluate(() => { setTimeout(() => history.back()); });
  }

  // Focuses the field, selects its text and types over it, as a student would.
  async fill(selector, text) {
    await this.evaluate((s) => { const field = document.querySelector(s); field.focus(); field.select(); }, selector);
    await this.type(text);
  }

  // What axe-core, the accessibility engine auditors use, finds on the page of moderate impact or
  // worse: "rule: element …" for each. Injected as an expression the driver evaluates, which the
  // page's policy does not govern.
  async accessibilityProblems() {
    const found = await this.evaluate(`() => { ${AXE}\n return axe.run(document, { resultTypes: ["violations"] }); }`);
    return found.violations.filter(({ impact }) => ["moderate", "serious", "critical"].includes(impact))
      .map(({ id, nodes }) => `${id}: ${nodes.map(({ target }) => target.join(" ")).join(", ")}`);
  }

  // The element's centre as the engine reports it, in the viewport's CSS pixels.
  async centre(selector) {
    return this.evaluate((s) => {
      const box = document.querySelector(s).getBoundingClientRect();
      return { x: box.left + box.width / 2, y: box.top + box.height / 2 };
    }, selector);
  }
}

// A page of Playwright or Puppeteer, whose calls are alike; each lists the requests it makes.
class PageTab extends Tab {
  constructor(engine, page) {
    super(engine);
    this.use(page);
  }
  use(page) {
    this.page = page;
    this.strayed = false;
    this.requests = [];
    this.errors = [];  // script errors and policy violations the engine reported
    page.on("request", (request) => this.requests.push(request.url()));
    page.on("console", (message) => message.type() === "error" && this.errors.push(message.text()));
    page.on("pageerror", (error) => this.errors.push(String(error)));
  }
  // The next start of the app: a new tab of the same browser profile, the old one closed.
  async restart(url) {
    const old = this.page;
    this.use(await this.newPage());
    await old.close();
    await this.goto(url);
  }
  goto(url) { return this.page.goto(url); }
  reload() { return this.page.reload(); }
  // A new tab of the same browser.
  async another() { return new this.constructor(await this.newPage()); }
  async problems() { return this.errors; }
  evaluate(fn, ...args) { return this.page.evaluate(call(fn, args)); }
  click(selector) { return this.page.click(selector); }
  doubleClick(selector) { return this.page.click(selector, { clickCount: 2, count: 2 }); }
  clickAt(x, y) { return this.page.mouse.click(x, y); }
  type(text) { return this.page.keyboard.type(text); }
  press(key) { return this.page.keyboard.press(KEYS[key]); }
  screenshot(path) { return this.page.screenshot({ path }); }
}

class PlaywrightTab extends PageTab {
  constructor(page) { super("chromium", page); }
  setViewport(width, height) { return this.page.setViewportSize({ width, height }); }
  setOffline(offline) { return this.page.context().setOffline(offline); }
  newPage() { return this.page.context().newPage(); }
  // The page printed on A4, as a PDF file's bytes.
  pdf() { return this.page.pdf({ format: "A4" }); }
  // Stops the site's active worker, the old build's, as Chromium stops one that has been idle.
  async stopOldWorker() {
    const session = await this.page.context().newCDPSession(this.page);
    const versions = new Map();
    session.on("ServiceWorker.workerVersionUpdated", ({ versions: updated }) => {
      for (const version of updated) versions.set(version.versionId, version);
    });
    await session.send("ServiceWorker.enable");
    await new Promise((done) => setTimeout(done, 500));  // the versions come as events
    for (const { versionId, status } of versions.values()) {
      if (status === "activated") await session.send("ServiceWorker.stopWorker", { versionId });
    }
    await session.detach();
  }
  // What Chromium's own check finds missing for the page to be installed as an app.
  async installabilityErrors() {
    const session = await this.page.context().newCDPSession(this.page);
    return (await session.send("Page.getInstallabilityErrors")).installabilityErrors;
  }
}

class PuppeteerTab extends PageTab {
  constructor(page) { super("firefox", page); }
  // After a history step that Puppeteer did not make itself, it no longer sees its own
  // navigations end (Firefox over WebDriver BiDi): from then on the page is sent on from inside,
  // and the new document is waited for.
  back() {
    this.strayed = true;
    return super.back();
  }
  async goto(url) {
    if (!this.strayed) return this.page.goto(url);
    await this.evaluate((address) => {
      window.leaving = true;
      setTimeout(() => location.assign(address));
    }, url);
    await this.waitFor(() => !window.leaving && document.readyState === "complete");
  }
  setViewport(width, height) { return this.page.setViewport({ width, height }); }
  setOffline(offline) { return this.page.setOfflineMode(offline); }
  newPage() { return this.page.browser().newPage(); }
}

class SeleniumTab extends Tab {
  constructor(driver, handle) {
    super("webkit");
    this.driver = driver;
    this.handle = handle;
  }
  // The driver, turned to this tab's window: the tabs of one browser share one driver.
  async on() {
    if (this.driver.shown !== this.handle) {
      await this.driver.switchTo().window(this.handle);
      this.driver.shown = this.handle;
    }
    return this.driver;
  }
  // WebKitWebDriver reports no console: the page itself notes its script errors and policy
  // violations from the moment it is loaded.
  async goto(url) {
    await (await this.on()).get(url);
    await this.evaluate(() => {
      window.problems = [];
      addEventListener("error", (event) => window.problems.push(String(event.message)));
      addEventListener("securitypolicyviolation", (event) => window.problems.push(`${event.violatedDirective} ${event.blockedURI}`));
    });
  }
  async reload() { await (await this.on()).navigate().refresh(); }
  problems() { return this.evaluate(() => window.problems ?? []); }
  // A new tab of the same browser.
  async another() {
    const driver = await this.on();
    await driver.switchTo().newWindow("tab");
    driver.shown = await driver.getWindowHandle();
    return new SeleniumTab(driver, driver.shown);
  }
  async restart(url) {
    const old = await this.on();
    const { handle } = await this.another();
    await old.switchTo().window(this.handle);
    await old.close();
    this.handle = handle;
    this.driver.shown = null;
    await this.goto(url);
  }
  async evaluate(fn, ...args) { return (await this.on()).executeScript(`return ${call(fn, args)}`); }
  async click(selector) { await (await this.on()).findElement(By.css(selector)).click(); }
  async doubleClick(selector) {
    const driver = await this.on();
    await driver.actions().doubleClick(await driver.findElement(By.css(selector))).perform();
  }
  async clickAt(x, y) {
    await (await this.on()).actions().move({ x: Math.round(x), y: Math.round(y), origin: Origin.VIEWPORT }).click().perform();
  }
  async type(text) { await (await this.on()).actions().sendKeys(text).perform(); }
  async press(key) { await (await this.on()).actions().sendKeys(Key[key.toUpperCase()]).perform(); }
  // The window is the viewport and the browser's own bars: set it, then make up the difference.
  async setViewport(width, height) {
    const window = (await this.on()).manage().window();
    await window.setRect({ width, height });
    const [innerWidth, innerHeight] = await this.evaluate(() => [innerWidth, innerHeight]);
    await window.setRect({ width: 2 * width - innerWidth, height: 2 * height - innerHeight });
  }
  // WebKitWebDriver cannot take the browser offline: only the stopped server stands for it.
  setOffline() {}
  async screenshot(path) { await writeFile(path, Buffer.from(await (await this.on()).takeScreenshot(), "base64")); }
}

// A WebKitWebDriver command's answer, or DriverStopped when it has not come within the bound or
// the driver gave up waiting for a page's load.
function answered(promise, what) {
  let timer;
  const bound = new Promise((_, fail) => {
    timer = setTimeout(() => fail(new DriverStopped(`WebKitWebDriver did not answer ${what} within ${WEBKIT_ANSWER_MS / 1000} s`)),
                       WEBKIT_ANSWER_MS);
  });
  return Promise.race([promise, bound]).catch((error) => {
    if (error instanceof driverErrors.TimeoutError && !(error instanceof driverErrors.ScriptTimeoutError)) {
      throw new DriverStopped(`WebKitWebDriver did not see a page load within ${WEBKIT_PAGE_LOAD_MS / 1000} s (${what})`);
    }
    throw error;
  }).finally(() => clearTimeout(timer));
}

const freePort = () => new Promise((done, fail) => {
  const server = createNetServer().listen(0, "127.0.0.1", () => {
    const { port } = server.address();
    server.close(() => done(port));
  }).on("error", fail);
});

// Whether the WebDriver server at `url` is ready for a session.
const driverReady = (url) => new Promise((done) => {
  get(`${url}/status`, { agent: false }, (response) => {
    let body = "";
    response.setEncoding("utf8").on("data", (chunk) => { body += chunk; }).on("end", () => {
      try {
        done(JSON.parse(body).value?.ready === true);
      } catch {
        done(false);
      }
    });
  }).on("error", () => done(false));
});

// Starts WebKitWebDriver on a free port of 127.0.0.1, in a process group of its own, and waits
// until it is ready for a session (a port taken meanwhile by another program: another port).
// `stop` ends the group, whatever browser the driver left behind too.
async function startWebKitDriver() {
  for (let attempt = 1; ; ++attempt) {
    const port = await freePort();
    const url = `http://127.0.0.1:${port}`;
    const child = spawn(process.env.WEBKIT_WEBDRIVER ?? "WebKitWebDriver", [`--port=${port}`, "--host=127.0.0.1"],
      { stdio: "ignore", detached: true });
    let exited = false;
    const exit = new Promise((done) => child.once("exit", () => { exited = true; done(); }));
    const signal = (name) => { try { process.kill(-child.pid, name); } catch { /* already gone */ } };
    const stop = async () => {
      signal("SIGTERM");
      const late = setTimeout(() => signal("SIGKILL"), 5000);
      await exit;
      clearTimeout(late);
    };
    for (const until = Date.now() + 20000; !exited && Date.now() < until;) {
      if (await driverReady(url)) return { url, stop };
      await new Promise((done) => setTimeout(done, 50));
    }
    await stop();
    if (attempt === 3) throw new Error(`WebKitWebDriver did not start on 127.0.0.1 (${attempt} ports tried)`);
  }
}

// Starts the engine with one tab of the given viewport (in Chromium, `mobile`: a touch screen of
// `scale` device pixels to the CSS pixel, twice unless given, as a tablet or a phone). A `profile` folder given (Chromium and Firefox) is
// the browser's profile and outlives it, so that a second launch is a restart of the same browser.
// `chromiumArgs` and `firefoxPrefs` are further switches and preferences of those engines (a fake
// camera, a refused one). Returns the tab and a function that closes everything the launch started.
export async function launch(engine = ENGINE,
                             { width = 800, height = 700, mobile = false, scale = 2, profile, chromiumArgs = [], firefoxPrefs } = {}) {
  if (engine === "chromium") {
    // A profile of its own, not an incognito one: only there can a site be installed.
    const folder = profile ?? await mkdtemp(join(tmpdir(), "mokopera-chromium-"));
    const context = await chromium.launchPersistentContext(folder, {
      executablePath: process.env.CHROMIUM ?? "/usr/bin/chromium", args: [...CHROMIUM_FLAGS, ...chromiumArgs],
      viewport: { width, height },
      ...(mobile && { isMobile: true, hasTouch: true, deviceScaleFactor: scale }) });
    const tab = new PlaywrightTab(context.pages()[0] ?? await context.newPage());
    return { tab, close: async () => {
      await context.close();
      if (!profile) await rm(folder, { recursive: true, force: true });
    } };
  }
  if (engine === "firefox") {
    const browser = await puppeteer.launch({ browser: "firefox", protocol: "webDriverBiDi", headless: true,
      executablePath: process.env.FIREFOX ?? "/usr/bin/firefox-esr", ...(profile && { userDataDir: profile }),
      ...(firefoxPrefs && { extraPrefsFirefox: firefoxPrefs }) });
    const page = await browser.newPage();
    await page.setViewport({ width, height });
    return { tab: new PuppeteerTab(page), close: () => browser.close() };
  }
  if (engine === "webkit") {
    const server = await startWebKitDriver();
    try {
      const driver = await answered(new Builder().usingServer(server.url).withCapabilities({
        browserName: "MiniBrowser",
        "webkitgtk:browserOptions": {
          binary: process.env.MINIBROWSER ?? "/usr/lib/x86_64-linux-gnu/webkit2gtk-4.1/MiniBrowser", args: ["--automation"],
        },
      }).build(), "the new session");
      const executor = driver.getExecutor();
      const execute = executor.execute.bind(executor);
      let stopped = false;
      executor.execute = (command) => answered(execute(command), command.getName()).catch((error) => {
        stopped ||= error instanceof DriverStopped;
        throw error;
      });
      await driver.manage().setTimeouts({ pageLoad: WEBKIT_PAGE_LOAD_MS, script: WEBKIT_SCRIPT_MS });
      const tab = new SeleniumTab(driver, await driver.getWindowHandle());
      await tab.setViewport(width, height);
      return { tab, close: async () => {
        // A driver that has stopped answering is not asked to quit.
        if (!stopped) await driver.quit().catch(() => {});
        await server.stop();
      } };
    } catch (error) {
      await server.stop();
      throw error;
    }
  }
  throw new Error(`no such engine: ${engine}`);
}

// Runs `run` (a scenario that launches its own browsers), and once more if a driver stopped
// answering in it, saying so.
export async function withDriverRetry(run) {
  try {
    return await run();
  } catch (error) {
    if (!(error instanceof DriverStopped)) throw error;
    console.error(`${error.message}; the scenario runs once more in a fresh browser`);
    return run();
  }
}

// A scenario to run with a fresh browser of `engine` and a tab of `viewport`, closed whatever
// happens: `test(name, inBrowser({ width, height }, async (tab) => ...))`.
export const inBrowser = (viewport, scenario, engine = ENGINE) => () => withDriverRetry(async () => {
  const { tab, close } = await launch(engine, viewport);
  try {
    await scenario(tab);
  } finally {
    await close();
  }
});

const TYPES = { ".html": "text/html; charset=utf-8", ".js": "text/javascript", ".webmanifest": "application/manifest+json",
                ".png": "image/png", ".svg": "image/svg+xml" };

// Serves `folder` read-only on 127.0.0.1 under the path `prefix` ("/school/mokopera/"), as a
// school's static web server does by default: each file with its Last-Modified and no
// Cache-Control, and 304 to a request whose copy is as new. Returns the site's address, the paths
// asked for, those whose body it sent (a 200), and a function that stops the server, closing the
// connections it holds.
export async function serve(folder, prefix = "/") {
  const served = [], sent = [];
  const server = createServer(async (request, response) => {
    const path = decodeURIComponent(new URL(request.url, "http://127.0.0.1").pathname);
    served.push(path);
    const missing = () => response.writeHead(404, { "content-type": "text/plain" }).end("not found\n");
    const relative = path.startsWith(prefix) ? normalize(path.slice(prefix.length) || "index.html") : null;
    if (relative === null || relative.startsWith("..")) return missing();
    try {
      const file = join(folder, relative.endsWith("/") ? join(relative, "index.html") : relative);
      const modified = new Date(Math.floor((await stat(file)).mtimeMs / 1000) * 1000);
      const headers = { "content-type": TYPES[extname(file)] ?? "application/octet-stream",
                        "last-modified": modified.toUTCString() };
      const since = Date.parse(request.headers["if-modified-since"] ?? "");
      if (since >= modified.getTime()) return response.writeHead(304, headers).end();
      const body = await readFile(file);
      sent.push(path);
      response.writeHead(200, headers).end(body);
    } catch {
      missing();
    }
  });
  await new Promise((done) => server.listen(0, "127.0.0.1", done));
  return {
    url: `http://127.0.0.1:${server.address().port}${prefix}`,
    served,
    sent,
    stop: () => new Promise((done) => { server.close(done); server.closeAllConnections(); }),
  };
}
