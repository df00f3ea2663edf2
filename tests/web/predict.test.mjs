// Predict first, in the engine MOKOPERA_ENGINE names, on the hosted site (MOKOPERA_SITE, served on
// 127.0.0.1): the teacher's lesson link with 撃つ前に予想させる opens the student page, which asks
// for a prediction before the theory shows; 結果を送る sets each series beside its prediction; the
// codes carry the predictions (30, 0, 100 and わからない) to the teacher's 予想と結果, with a series
// of a lesson without predictions, which the window runs exactly as before; and mokopera-sim
// --pool says the same of the same codes.
import assert from "node:assert/strict";
import { execFileSync } from "node:child_process";
import { mkdtemp, rm, writeFile } from "node:fs/promises";
import { tmpdir } from "node:os";
import { join, resolve } from "node:path";
import { test } from "node:test";
import { inBrowser, serve } from "../../scripts/browsers/engines.mjs";

const SITE = resolve(process.env.MOKOPERA_SITE ?? "build-web/site");
const SIM = process.env.MOKOPERA_SIM ?? "build/bin/mokopera-sim";
const text = (tab, id) => tab.evaluate((i) => document.getElementById(i).textContent, id);
const open = (tab, id) => tab.waitFor((i) => document.getElementById(i).open, id);

test("a lesson that asks first: the guess before the theory, beside the results, and in the class's pool", inBrowser({ width: 800, height: 900 }, async (tab) => {
  const site = await serve(SITE, "/school/mokopera/");
  const codes = [];
  try {
    await tab.goto(`${site.url}teacher.html`);
    await tab.waitFor(() => document.getElementById("form").dataset.state === "ready");
    await tab.evaluate(() => {
      const choice = document.getElementById("lesson-shots");
      choice.value = "10";
      choice.dispatchEvent(new Event("change"));
      document.getElementById("lesson-predict").click();
    });
    const link = await tab.evaluate(() => document.getElementById("lesson-link").href);
    assert.equal(link, `${site.url}index.html#n=10&predict`);

    await tab.goto(link);
    for (const answer of ["３０", null, "0", "100"]) {
      await open(tab, "box");
      assert.equal(await tab.evaluate(() => document.getElementById("box-field").value), "10");
      await tab.press("Enter");
      await open(tab, "predict");
      assert.equal(await text(tab, "predict-question"), "10 回撃って、少なくとも１回当たる確率は何％くらいだと思いますか？");
      assert.equal(await text(tab, "Label15"), "", "no theory before the answer");
      if (answer === null) {
        await tab.press("Escape");  // わからない
      } else {
        await tab.fill("#predict-field", answer);
        await tab.press("Enter");
      }
      await tab.waitFor(() => document.getElementById("Label15").textContent === "0.6513215");
      for (let shot = 0; shot < 10; ++shot) await tab.click("#Command1");
      await tab.click("#Command5");  // Reset: the next series asks again
    }
    await open(tab, "box");
    await tab.press("Escape");
    await open(tab, "box");
    await tab.click("#box-buttons button");  // はい: the program ends
    await tab.click("#ended-send");
    await open(tab, "results");
    const sentences = await tab.evaluate(() => Array.from(document.querySelectorAll("#results .sentence"), (p) => p.textContent));
    assert.deepEqual(sentences.map((sentence) => sentence.replace(/実験 [0-9.]+/, "実験 …")),
      ["予想 30％", "予想 わからない", "予想 0％", "予想 100％"].map((said) => `${said}、実験 …、理論 0.6513215`));
    // On a phone's width every series, its bars and its QR code stay inside the view.
    await tab.setViewport(390, 844);
    await tab.waitFor(() => [...document.querySelectorAll("#results .series")].every((series) =>
      series.getBoundingClientRect().right <= document.getElementById("results").getBoundingClientRect().right));
    codes.push(...await tab.evaluate(() => window.mokopera.series.all().map(({ code }) => code)));
    assert.ok(codes.every((code) => code.startsWith("M3-10-")), codes.join(" "));

    // Without predict, the window is as it always was: the theory at once, no question.
    await tab.goto(`${site.url}index.html#n=10`);
    await tab.reload();  // a new hash alone loads nothing
    await open(tab, "box");
    await tab.press("Enter");
    await tab.waitFor(() => document.getElementById("Label15").textContent === "0.6513215");
    assert.equal(await tab.evaluate(() => document.getElementById("predict").open), false);
    for (let shot = 0; shot < 10; ++shot) await tab.click("#Command1");
    const plain = await tab.evaluate(() => window.mokopera.series.all().at(-1).code);
    assert.match(plain, /^M2-10-00001-/);
    codes.push(plain);

    await tab.goto(`${site.url}teacher.html`);
    await tab.waitFor(() => document.getElementById("form").dataset.state === "ready");
    await tab.evaluate((t) => {
      const box = document.getElementById("codes");
      box.value = t;
      box.dispatchEvent(new Event("paste"));
    }, codes.join("\n"));
    await tab.waitFor(() => !document.getElementById("predictions").hidden &&
      document.getElementById("predictions-text").textContent !== "");
    const words = await text(tab, "predictions-text");
    assert.match(words, /N = 10：予想 3 件（理論 65\.1％ の±10ポイント以内 0 件、１回 10％ずつ足した値 100％ 以上 1 件、予想の中央値 30％）、わからない 1 件、予想なし 1 件。/);
    // Three dots on the strip, against the theory, the class's rate and the linear guess.
    assert.equal(await tab.evaluate(() => document.querySelectorAll("#predictions-plot circle").length), 3);
    assert.match(await text(tab, "predictions-plot"), /１回 10％ずつ足した値 100％[\s\S]*理論 0\.6513215/);
    assert.deepEqual(await tab.problems(), [], "script errors or policy violations");
  } finally {
    await site.stop();
  }
  const folder = await mkdtemp(join(tmpdir(), "mokopera-predict-"));
  try {
    await writeFile(join(folder, "codes.txt"), codes.join("\n"));
    const report = execFileSync(SIM, ["--pool", join(folder, "codes.txt")], { encoding: "utf8" });
    assert.ok(report.includes("N = 10：予想 3 件（理論 65.1％ の±10ポイント以内 0 件"), report);
  } finally {
    await rm(folder, { recursive: true, force: true });
  }
}));
