// The hosted site (MOKOPERA_SITE, served on 127.0.0.1 from a sub-folder, as a school's server
// would), with its teacher's page, and the single file (MOKOPERA_PAGE, from file://), in the engine
// MOKOPERA_ENGINE names.
import assert from "node:assert/strict";
import { cp, mkdtemp, readFile, rm, writeFile } from "node:fs/promises";
import { tmpdir } from "node:os";
import { join, resolve } from "node:path";
import { test } from "node:test";
import { pathToFileURL } from "node:url";
import { ENGINE, inBrowser, serve } from "../../scripts/browsers/engines.mjs";

const SITE = resolve(process.env.MOKOPERA_SITE ?? "build-web/site");
const PAGE = pathToFileURL(process.env.MOKOPERA_PAGE ?? "build-web/mokopera.html").href;
const entryBox = (tab) => tab.waitFor(() => document.getElementById("box").open &&
  document.getElementById("box-title").textContent === "鉄砲の発射回数の設定");
const activeWorker = (tab) => tab.waitFor(() => navigator.serviceWorker.ready.then((registration) =>
  registration.active?.state === "activated" && registration.active.scriptURL));
const cacheNames = (tab) => tab.evaluate(() => caches.keys());

test("the single file makes no request and registers no service worker", { skip: ENGINE === "webkit" && "no request log" },
  inBrowser({}, async (tab) => {
    await tab.goto(PAGE);
    await entryBox(tab);
    // From file:// some engines refuse to list registrations at all: none either way.
    assert.equal(await tab.evaluate(() => navigator.serviceWorker?.getRegistrations().then((all) => all.length, () => 0) ?? 0), 0);
    const page = await readFile(new URL(PAGE), "utf8");
    assert.ok(!/serviceWorker|rel="manifest"|(href|src)="(?!data:)/.test(page), "the single file refers to nothing beside itself");
    assert.match(await tab.evaluate(() => document.querySelector("link[rel=icon]").href), /^data:image\/svg\+xml;base64,/);
    assert.deepEqual(tab.requests.filter((url) => url !== PAGE && !/^(data|blob):/.test(url)), []);
  }));

test("the hosted site works offline after the first visit, the teacher's page too",
  inBrowser({}, async (tab) => {
    const site = await serve(SITE, "/school/mokopera/");
    try {
      await tab.goto(site.url);
      await entryBox(tab);
      assert.equal(await activeWorker(tab), `${site.url}sw.js`);
      assert.match((await cacheNames(tab)).join(), /^mokopera-[0-9a-f]{16}$/);
      // Every request of the visit went to the site itself (where the engine's driver lists them).
      if (tab.requests) assert.deepEqual(tab.requests.filter((url) => !url.startsWith(site.url) && !/^(data|blob):/.test(url)), []);
    } finally {
      await site.stop();
    }
    await tab.setOffline(true);
    await tab.reload();
    await entryBox(tab);
    if (ENGINE !== "webkit") assert.equal(await tab.evaluate(() => navigator.onLine), false);
    await tab.fill("#box-field", "20");
    await tab.press("Enter");
    await tab.click("#Command1");
    assert.equal(await tab.evaluate(() => document.getElementById("Label4").textContent), "1");
    // The teacher's page, kept by the same worker, runs offline too.
    await tab.goto(`${site.url}teacher.html`);
    await tab.waitFor(() => document.getElementById("form").dataset.state === "ready");
    await tab.click("#run");
    await tab.waitFor(() => document.querySelectorAll("#results tbody tr").length === 1);
  }));

test("Chromium finds the hosted site installable", { skip: ENGINE !== "chromium" && "Chromium's own check" },
  inBrowser({}, async (tab) => {
    const site = await serve(SITE, "/a/b/");
    try {
      await tab.goto(site.url);
      await entryBox(tab);
      await activeWorker(tab);
      assert.deepEqual(await tab.installabilityErrors(), []);
      const manifest = JSON.parse(await readFile(join(SITE, "manifest.webmanifest"), "utf8"));
      assert.deepEqual([manifest.name, manifest.start_url, manifest.scope, manifest.display],
        ["モコペラも数撃ちゃ当たる", "./", "./", "standalone"]);
    } finally {
      await site.stop();
    }
  }));

// A new build's worker waits while the old version is open, takes over at the next start, and
// deletes the old cache.
test("a new version takes over at the next start", { skip: ENGINE !== "chromium" && "needs a second tab of one profile" },
  inBrowser({}, async (tab) => {
    const folder = await mkdtemp(join(tmpdir(), "mokopera-site-"));
    await cp(SITE, folder, { recursive: true });
    const site = await serve(folder, "/app/");
    try {
      await tab.goto(site.url);
      await entryBox(tab);
      await activeWorker(tab);
      const [old] = await cacheNames(tab);
      const worker = await readFile(join(folder, "sw.js"), "utf8");
      await writeFile(join(folder, "sw.js"), worker.replace(old, "mokopera-0123456789abcdef"));
      await tab.reload();
      await entryBox(tab);
      await tab.waitFor(() => navigator.serviceWorker.getRegistration().then((r) => r?.waiting?.state === "installed"));
      assert.deepEqual((await cacheNames(tab)).sort(), [old, "mokopera-0123456789abcdef"].sort());
      // Every page of the app closed; a page of the same origin outside it watches the caches.
      await tab.restart(new URL("/elsewhere", site.url).href);
      await tab.waitFor(() => caches.keys().then((names) => names.join() === "mokopera-0123456789abcdef"));
      await tab.goto(site.url);
      await entryBox(tab);
    } finally {
      await site.stop();
      await rm(folder, { recursive: true, force: true });
    }
  }));
