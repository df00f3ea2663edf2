// The teacher's pools as a school uses them, in the engine MOKOPERA_ENGINE names, on the hosted
// site (MOKOPERA_SITE) served twice on one origin: two tabs of one class pasting by turns lose
// nothing, and 全部消す in one is never undone by the other; two classes of one site and two
// sites of one origin stay apart; a paste of 150 000 candidates shows every good series.
import assert from "node:assert/strict";
import { cp, mkdtemp, rm } from "node:fs/promises";
import { tmpdir } from "node:os";
import { join, resolve } from "node:path";
import { test } from "node:test";
import { idNumber as id, resultCode as code } from "../../scripts/browsers/codes.mjs";
import { inBrowser, serve } from "../../scripts/browsers/engines.mjs";

const SITE = resolve(process.env.MOKOPERA_SITE ?? "build-web/site");

// Two copies of the site on one server, as two folders of a school's server.
async function twoSites(scenario) {
  const root = await mkdtemp(join(tmpdir(), "mokopera-classes-"));
  for (const subject of ["sansu", "rika"]) await cp(SITE, join(root, subject, "mokopera"), { recursive: true });
  const server = await serve(root, "/");
  try {
    await scenario(`${server.url}sansu/mokopera/teacher.html`, `${server.url}rika/mokopera/teacher.html`);
  } finally {
    await server.stop();
    await rm(root, { recursive: true, force: true });
  }
}

const ready = (tab) => tab.waitFor(() => document.getElementById("form").dataset.state === "ready");
const paste = (tab, codes) => tab.evaluate((t) => {
  const box = document.getElementById("codes");
  box.value = t;
  box.dispatchEvent(new Event("paste"));
}, codes);
// The ids of the series the page shows, in order.
const shown = (tab) => tab.evaluate(() => Array.from(document.querySelectorAll(".pool-group tbody tr:not(.pooled) th"),
  (cell) => cell.textContent).join(" "));
const showing = (tab, ids) => tab.waitFor((wanted) => Array.from(document.querySelectorAll(".pool-group tbody tr:not(.pooled) th"),
  (cell) => cell.textContent).join(" ") === wanted, ids);
const answer = async (tab, dialog, value) => {
  await tab.waitFor((d) => document.getElementById(d).open, dialog);
  await tab.click(`#${dialog} button[value=${value}]`);
};

test("two tabs of one class, pasting by turns: nothing lost after a reload, 全部消す never undone", inBrowser({ width: 900, height: 900 },
  async (tab) => twoSites(async (sansu) => {
    await tab.goto(sansu);
    await ready(tab);
    const other = await tab.another();
    await other.goto(sansu);
    await ready(other);
    const codes = [1, 2, 3, 4].map((n) => code(20, 10 + n, n, id(n)));
    for (const [turn, at] of [[0, tab], [1, other], [2, tab], [3, other]]) await paste(at, codes[turn]);
    for (const page of [tab, other]) await showing(page, "00000001 00000002 00000003 00000004");
    for (const page of [tab, other]) {
      await page.reload();
      await ready(page);
      assert.equal(await shown(page), "00000001 00000002 00000003 00000004");
    }
    await tab.click("#clear-pool");
    await answer(tab, "confirm", "yes");
    for (const page of [tab, other]) await showing(page, "");
    await paste(other, code(20, 15, 5, id(5)));
    for (const page of [tab, other]) {
      await showing(page, "00000005");
      await page.reload();
      await ready(page);
      assert.equal(await shown(page), "00000005", "after a reload");
    }
  })));

test("two classes of one site and two sites of one origin stay apart", inBrowser({ width: 900, height: 900 },
  async (tab) => twoSites(async (sansu, rika) => {
    await tab.goto(sansu);
    await ready(tab);
    await paste(tab, code(20, 11, 1, id(1)));
    await tab.click("#class-new");
    await tab.waitFor(() => document.getElementById("class-name").open);
    assert.equal(await tab.evaluate(() => document.getElementById("class-name-field").value), "２組");
    await answer(tab, "class-name", "ok");
    await showing(tab, "");
    await paste(tab, code(22, 12, 2, id(2)));
    await showing(tab, "00000002");
    // The class chosen is kept over a reload; the other class holds its own.
    await tab.reload();
    await ready(tab);
    assert.deepEqual(await tab.evaluate(() => Array.from(document.getElementById("class-choice").options,
      (option) => `${option.textContent}${option.selected ? "*" : ""}`)), ["１組", "２組*"]);
    assert.equal(await shown(tab), "00000002");
    await tab.evaluate(() => {
      const choice = document.getElementById("class-choice");
      choice.selectedIndex = 0;
      choice.dispatchEvent(new Event("change"));
    });
    await showing(tab, "00000001");
    // Another site on the same server: a class of its own, empty.
    await tab.goto(rika);
    await ready(tab);
    assert.deepEqual(await tab.evaluate(() => Array.from(document.getElementById("class-choice").options, (option) => option.textContent)),
                     ["１組"]);
    assert.equal(await shown(tab), "");
  })));

test("a paste of 150 000 candidates shows every good series", inBrowser({ width: 900, height: 900 },
  async (tab) => twoSites(async (sansu) => {
    await tab.goto(sansu);
    await ready(tab);
    const good = Array.from({ length: 25000 }, (_, n) => code(5 + (n % 46), 20, 15, id(n)));
    const wrong = Array.from({ length: 125000 }, (_, n) => good[n % good.length].slice(0, -1) +
      (good[n % good.length].endsWith("0") ? "1" : "0"));
    await paste(tab, `${good.join("\n")}\n${wrong.join(" ")}`);
    await tab.waitWithin(120000, () => /読み取れなかったコードは/.test(document.getElementById("pool-status").textContent));
    assert.match(await tab.evaluate(() => document.getElementById("pool-status").textContent),
                 /コード 25000 個を読み取り、新しい結果は 25000 個です。読み取れなかったコードは 125000 個です/);
    assert.equal(await tab.evaluate(() => document.querySelectorAll(".pool-group tbody tr:not(.pooled)").length), 25000);
    assert.match(await tab.evaluate(() => document.getElementById("refused-more").textContent), /ほかに 124500 個/);
    assert.deepEqual(await tab.problems(), [], "script errors or policy violations");
  })));
