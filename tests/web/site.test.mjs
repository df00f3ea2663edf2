// The hosted site (MOKOPERA_SITE, served on 127.0.0.1 from a sub-folder, as a school's server
// would), with its teacher's page, and the single file (MOKOPERA_PAGE, from file://), in the engine
// MOKOPERA_ENGINE names.
import assert from "node:assert/strict";
import { createHash } from "node:crypto";
import { cp, mkdtemp, readdir, readFile, rm, utimes, writeFile } from "node:fs/promises";
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
      // A student's first visit leaves the teacher's page on the server until it is opened, and
      // downloads the student's page once: the worker has the server confirm the copy just loaded.
      // (WebKitGTK under its driver asks again without a validator: its session holds no copy.)
      assert.ok(!site.served.includes("/school/mokopera/teacher.html"), site.served.join(" "));
      if (ENGINE !== "webkit") assert.deepEqual(site.sent.filter((path) => /\/(index\.html)?$/.test(path)), ["/school/mokopera/"], site.served.join(" "));
      assert.deepEqual(await cacheNames(tab), [`mokopera ${site.url} ${/const BUILD = "(\w+)"/.exec(await readFile(join(SITE, "sw.js"), "utf8"))[1]}`]);
      // Every request of the visit went to the site itself (where the engine's driver lists them).
      if (tab.requests) assert.deepEqual(tab.requests.filter((url) => !url.startsWith(site.url) && !/^(data|blob):/.test(url)), []);
      await tab.goto(`${site.url}teacher.html`);
      await tab.waitFor(() => document.getElementById("form").dataset.state === "ready");
      await tab.click("#run");
      await tab.waitFor(() => document.querySelectorAll("#results tbody tr").length === 1);
      assert.deepEqual(await tab.problems(), [], "script errors or policy violations");
      await tab.goto(site.url);
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
    // The teacher's page, kept by the same worker, runs offline too; the lesson link it makes
    // opens the app with its N offered.
    await tab.goto(`${site.url}teacher.html`);
    await tab.waitFor(() => document.getElementById("form").dataset.state === "ready");
    await tab.click("#run");
    await tab.waitFor(() => document.querySelectorAll("#results tbody tr").length === 1);
    // The lesson's N as the entry box offers it without a link, from 5 to 50 to choose from.
    assert.deepEqual(await tab.evaluate(() => {
      const choice = document.getElementById("lesson-shots");
      return [choice.value, choice.options[0].value, choice.options.length, document.getElementById("lesson-link").href];
    }), ["20", "5", 46, `${site.url}index.html#n=20`]);
    await tab.evaluate(() => {
      const choice = document.getElementById("lesson-shots");
      choice.value = "22";
      choice.dispatchEvent(new Event("change"));
    });
    const link = await tab.evaluate(() => document.getElementById("lesson-link").href);
    assert.equal(link, `${site.url}index.html#n=22`);
    await tab.goto(link);
    await entryBox(tab);
    assert.equal(await tab.evaluate(() => document.getElementById("box-field").value), "22");
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

// A copy of the site whose files are a month old, as on a server that has served them that long.
async function oldSite() {
  const folder = await mkdtemp(join(tmpdir(), "mokopera-site-"));
  await cp(SITE, folder, { recursive: true });
  const monthAgo = new Date(Date.now() - 30 * 86400e3);
  for (const name of await readdir(folder, { recursive: true })) await utimes(join(folder, name), monthAgo, monthAgo);
  return folder;
}

// Puts the files `names` of a new build, `mark`, in place in `folder`, as an upload would: both
// pages end with the build's mark, and the worker knows their new hashes.
async function upload(folder, names, mark = "second") {
  const worker = await readFile(join(SITE, "sw.js"), "utf8");
  const hashes = JSON.parse(/const FILES = (\{.*?\});/.exec(worker)[1]);
  const contents = { "sw.js": "" };
  for (const page of ["index.html", "teacher.html"]) {
    contents[page] = `${await readFile(join(SITE, page), "utf8")}<!--${mark}-->`;
    hashes[page] = createHash("sha256").update(contents[page]).digest("hex");
  }
  contents["sw.js"] = worker.replace(/const BUILD = "\w+";/, `const BUILD = "${mark}";`)
    .replace(/const FILES = \{.*?\};/, () => `const FILES = ${JSON.stringify(hashes)};`);
  for (const name of names) await writeFile(join(folder, name), contents[name]);
}

// The build of the page shown: the mark upload() gave it, "first" for the site as built.
const build = (tab) => tab.evaluate(() =>
  [...document.childNodes].find((node) => node.nodeType === Node.COMMENT_NODE)?.data ?? "first");
// Where the page's update stands, by its own word: "current" or "offered" once it has settled.
// A start that never settles says where the page and the site's workers stood. It may take the
// worker's own patience with a file that never comes (a minute: WebKitGTK's fetches sometimes
// hang), and then a little more.
//
// Chromium lets a new build take over once the old build's worker has gone idle; under the
// driver's debugging protocol it keeps that worker running, and has now and then (one start in ten
// or so) left the new build waiting for good. Without the protocol, Chromium stops a worker after
// half a minute without events. So where a page has been taking over for that long, the old
// worker is stopped, as Chromium would stop it.
const settledOnce = (tab, within) => tab.waitWithin(within, () => ["current", "offered"].includes(document.documentElement.dataset.siteUpdate));
const settled = (tab) => settledOnce(tab, 30000)
  .catch(async () => {
    if (tab.stopOldWorker && await tab.evaluate(() => document.documentElement.dataset.siteUpdate) === "taking over") {
      console.log(`${ENGINE}: still taking over after 30 s; the old build's worker stopped`);
      await tab.stopOldWorker();
    }
    return settledOnce(tab, 60000);
  })
  .catch(async (failure) => {
    const stood = await tab.evaluate(() => navigator.serviceWorker.getRegistration().then((r) =>
      JSON.stringify({ page: document.documentElement.dataset.siteUpdate, controller: navigator.serviceWorker.controller?.state,
                       installing: r?.installing?.state, waiting: r?.waiting?.state, active: r?.active?.state })));
    throw new Error(`${failure.message} (${stood})`);
  });
// Starts the app from `site` and waits until the start has settled: the server asked for a new
// worker, and the page runs the newest build that installed, or offers it; a new build that
// takes over starts the page again, which then settles. Returns the paths the start asked for.
async function start(tab, site) {
  const asked = site.served.length;
  await tab.restart(site.url);
  await settled(tab);
  await entryBox(tab);
  return site.served.slice(asked);
}
// The builds of the student's page and of the teacher's page at the next start of the app.
async function startBoth(tab, site) {
  await start(tab, site);
  const student = await build(tab);
  await tab.goto(`${site.url}teacher.html`);
  return [student, await build(tab)];
}

test("a new build reaches the next start on a plain server, whole, and one during a lesson is offered",
  inBrowser({}, async (tab) => {
    const folder = await oldSite();
    const site = await serve(folder, "/sansu/mokopera/");
    try {
      await tab.goto(site.url);
      await entryBox(tab);
      await activeWorker(tab);
      await tab.goto(`${site.url}teacher.html`);
      // Half an upload: a start meanwhile tries the new worker, which keeps nothing.
      await upload(folder, ["index.html", "sw.js"]);
      assert.ok((await start(tab, site)).includes("/sansu/mokopera/teacher.html"), "the new worker fetched the site");
      assert.deepEqual([await build(tab), (await cacheNames(tab)).length], ["first", 1]);
      assert.deepEqual(await startBoth(tab, site), ["first", "first"]);
      // The upload complete: the next start, or the one after, runs the new build, both pages alike.
      await upload(folder, ["teacher.html"]);
      let starts = 1, builds;
      while ((builds = await startBoth(tab, site)).join() !== "second,second") {
        assert.deepEqual(builds, ["first", "first"], `start ${starts}`);
        assert.ok(++starts <= 2, "the new build did not arrive at the second start");
      }
      console.log(`${ENGINE}: the new build ran at start ${starts}`);
      assert.deepEqual(await cacheNames(tab), [`mokopera ${site.url} second`]);

      // A build that arrives during a lesson is offered below the window, never over it, and never
      // while a dialog is open or automatic firing runs; pressing the notice starts it.
      const notice = () => {
        const shown = document.getElementById("update");
        return shown !== null && getComputedStyle(shown).visibility === "visible" &&
          shown.getBoundingClientRect().top >= document.getElementById("Form1").getBoundingClientRect().bottom;
      };
      await start(tab, site);
      await tab.fill("#box-field", "20");  // the lesson has begun
      await upload(folder, ["index.html", "teacher.html", "sw.js"], "third");
      await tab.evaluate(() => navigator.serviceWorker.getRegistration().then((r) => r.update()));
      await tab.waitFor(() => navigator.serviceWorker.getRegistration().then((r) => r.waiting !== null));
      assert.equal(await tab.evaluate(notice), false, "offered while the entry box is open");
      await tab.press("Enter");
      await tab.waitFor(notice);
      await tab.click("#Command2");
      assert.equal(await tab.evaluate(notice), false, "offered while automatic firing runs");
      await tab.click("#Command3");
      await tab.waitFor(notice);
      await tab.click("#update");
      await tab.waitFor(() => [...document.childNodes].some((node) => node.data === "third"));

      // Two pages of the site open, both in use, and a fourth build: 更新 in each page reaches it,
      // in the page whose press starts the new build and in the other, whose build another
      // page has already replaced.
      const other = await tab.another();
      await other.goto(`${site.url}teacher.html`);
      await other.waitFor(() => document.getElementById("form").dataset.state === "ready");
      await other.click("#shots");
      await entryBox(tab);
      await tab.fill("#box-field", "20");
      await tab.press("Enter");
      await upload(folder, ["index.html", "teacher.html", "sw.js"], "fourth");
      for (const page of [tab, other]) {
        await page.evaluate(() => navigator.serviceWorker.getRegistration().then((r) => r.update()));
        await page.waitFor(() => document.documentElement.dataset.siteUpdate === "offered");
      }
      for (const page of [tab, other]) {
        await page.waitFor(() => getComputedStyle(document.getElementById("update")).visibility === "visible");
        await page.click("#update");
        await page.waitFor(() => [...document.childNodes].some((node) => node.data === "fourth"));
      }
    } finally {
      await site.stop();
      await rm(folder, { recursive: true, force: true });
    }
  }));

test("two sites on one origin both work offline", inBrowser({}, async (tab) => {
  const root = await mkdtemp(join(tmpdir(), "mokopera-origin-"));
  const folders = ["sansu", "rika"].map((subject) => join(root, subject, "mokopera"));
  for (const folder of folders) await cp(SITE, folder, { recursive: true });
  await upload(folders[1], ["index.html", "teacher.html", "sw.js"]);
  const server = await serve(root, "/");
  const sites = ["sansu", "rika", "sansu"].map((subject) => `${server.url}${subject}/mokopera/`);
  try {
    for (const url of sites) {
      await tab.goto(url);
      await entryBox(tab);
      assert.equal(await activeWorker(tab), `${url}sw.js`);
    }
    assert.deepEqual((await cacheNames(tab)).map((name) => name.split(" ")[1]).sort(), sites.slice(0, 2).sort());
  } finally {
    await server.stop();
    await rm(root, { recursive: true, force: true });
  }
  await tab.setOffline(true);
  for (const url of sites.slice(0, 2)) {
    await tab.goto(url);
    await entryBox(tab);
    assert.equal(await build(tab), url.includes("rika") ? "second" : "first");
  }
}));
