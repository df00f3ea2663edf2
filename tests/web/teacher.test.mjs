// The teacher's page (MOKOPERA_TEACHER, from file://; offline from the hosted site: site.test.mjs)
// in the engine MOKOPERA_ENGINE names, against mokopera-sim itself (MOKOPERA_SIM): the same files
// for the same values, the same words for wrong ones.
import assert from "node:assert/strict";
import { execFileSync, spawnSync } from "node:child_process";
import { mkdtemp, readFile, rm } from "node:fs/promises";
import { tmpdir } from "node:os";
import { join } from "node:path";
import { test } from "node:test";
import { pathToFileURL } from "node:url";
import { inBrowser } from "../../scripts/browsers/engines.mjs";

const PAGE = pathToFileURL(process.env.MOKOPERA_TEACHER ?? "build-web/mokopera-teacher.html").href;
const SIM = process.env.MOKOPERA_SIM ?? "build/bin/mokopera-sim";
const VIEW = { width: 900, height: 900 };

const settled = (tab, state) => tab.waitFor((wanted) => document.getElementById("form").dataset.state === wanted, state);
// The name a download link saves under, a line break, and the text behind it (a byte-order mark
// and all).
const download = (tab, id) => tab.evaluate(async (link) => {
  const anchor = document.getElementById(link);
  return `${anchor.download}\n${new TextDecoder("utf-8", { ignoreBOM: true }).decode(await (await fetch(anchor.href)).arrayBuffer())}`;
}, id);

// Types the values into the form and runs it from the keyboard, as a teacher would.
async function runForm(tab, shots, experiments, seed) {
  for (const [field, value] of [["#shots", shots], ["#experiments", experiments], ["#seed", seed]]) {
    await tab.evaluate((selector) => { document.querySelector(selector).value = ""; }, field);
    await tab.fill(field, value);
  }
  await tab.press("Enter");
}

test("the downloads are what mokopera-sim writes for the same N, experiments and seed", inBrowser(VIEW, async (tab) => {
  const scratch = await mkdtemp(join(tmpdir(), "mokopera-teacher-"));
  try {
    await tab.goto(PAGE);
    await settled(tab, "ready");
    assert.deepEqual(await tab.accessibilityProblems(), [], "axe-core, before a run");
    // One N, and a range as the page writes it with the experiments in digit groups.
    for (const [shots, experiments, name] of [["20", "20000", "n20-e20000"], ["5〜50", "10 000", "n5-50-e10000"]]) {
      const plot = join(scratch, "plot.svg");
      const csv = execFileSync(SIM, ["-n", shots, "-e", experiments, "--seed", "7", "--csv", "--plot", plot], { encoding: "utf8" });
      await runForm(tab, shots, experiments, "7");
      await settled(tab, "done");
      assert.equal(await download(tab, "csv"), `mokopera-sim-${name}-seed7.csv\n${csv}`);
      assert.equal(await download(tab, "svg"), `mokopera-sim-${name}-seed7.svg\n${await readFile(plot, "utf8")}`);
      // The table holds the CSV's figures, under its headers; the plot says the last rate in words.
      const shown = await tab.evaluate(() => ({
        headers: document.querySelectorAll("#results thead th[scope=col]").length,
        rows: Array.from(document.querySelectorAll("#results tbody tr"), (row) =>
          Array.from(row.cells, (cell) => cell.textContent).join(",")),
        description: document.getElementById("plot-text").textContent,
      }));
      const lines = csv.trim().split("\r\n").slice(1);
      assert.equal(shown.headers, 6);
      assert.deepEqual(shown.rows.map((row) => row.split(",").slice(0, 5)), lines.map((line) => line.split(",").slice(0, 5)));
      assert.ok(shown.description.includes(lines.at(-1).split(",")[3]), "the plot's words give the final rate");
    }
    assert.deepEqual(await tab.accessibilityProblems(), [], "axe-core, after a run");
    // The handout: the plot and the 46 rows on one A4 page, where the engine prints to PDF.
    if (tab.pdf) assert.equal((await tab.pdf()).toString("latin1").match(/\/Type\s*\/Page\b(?!s)/g).length, 1);
    // For a projector, the plot alone on the whole screen (or window); Esc brings the page back.
    await tab.click("#project");
    await tab.waitFor(() => (document.fullscreenElement ?? document.querySelector(".projected"))?.id === "figure");
    await tab.press("Escape");
    await tab.waitFor(() => !(document.fullscreenElement ?? document.querySelector(".projected")));
    assert.deepEqual(await tab.problems(), [], "script errors or policy violations");
  } finally {
    await rm(scratch, { recursive: true, force: true });
  }
}));

test("a wrong value is named beside its field in mokopera-sim's words, and nothing runs; a failed run says so", inBrowser(VIEW, async (tab) => {
  await tab.goto(PAGE);
  await settled(tab, "ready");
  const cases = [["shots", "4", "-n"], ["shots", "51", "-n"], ["shots", "5..51", "-n"], ["shots", "abc", "-n"],
                 ["experiments", "0", "-e"], ["experiments", "10000001", "-e"], ["seed", "x7", "--seed"]];
  for (const [field, value, option] of cases) {
    const said = spawnSync(SIM, [option, value], { encoding: "utf8" });
    assert.equal(said.status, 2);
    const values = { shots: "20", experiments: "1000", seed: "7", [field]: value };
    await runForm(tab, values.shots, values.experiments, values.seed);
    await settled(tab, "invalid");
    // The message, the field's aria-invalid, the focus, whether results show, every message shown.
    const shown = await tab.evaluate((id) => [document.getElementById(`${id}-error`).textContent,
      document.getElementById(id).getAttribute("aria-invalid"), document.activeElement.id, !document.getElementById("output").hidden,
      Array.from(document.querySelectorAll(".error:not([hidden])"), (error) => error.id)], field);
    assert.deepEqual(shown, [said.stderr.replace(/^mokopera-sim: /, "").trimEnd(), "true", field, false, [`${field}-error`]],
                     `${field} = ${value}`);
  }
  // A worker that fails ends the run with its message, and the page is ready for another.
  await tab.evaluate(() => {
    window.Worker = class {
      postMessage() { setTimeout(() => this.onmessage({ data: { failed: "no memory" } })); }
      terminate() {}
    };
  });
  await runForm(tab, "20", "1000", "7");
  await settled(tab, "failed");
  assert.deepEqual(await tab.evaluate(() => [document.getElementById("status").textContent,
                                             document.getElementById("run").disabled]),
                   ["実行できませんでした cannot run: no memory", false]);
}));

test("cancel stops a long run at once, and the next run works", inBrowser(VIEW, async (tab) => {
  await tab.goto(PAGE);
  await settled(tab, "ready");
  await runForm(tab, "5..50", "10000000", "1");
  await tab.waitFor(() => document.getElementById("progress").value > 0.01);
  await tab.click("#cancel");
  assert.equal(await tab.evaluate(() => document.getElementById("form").dataset.state), "cancelled");
  // Nothing more arrives from the run: the bar stays empty, and Run can be pressed again.
  await new Promise((done) => setTimeout(done, 500));
  assert.deepEqual(await tab.evaluate(() => [document.getElementById("progress").value,
                                             document.getElementById("run").disabled,
                                             document.getElementById("output").hidden]), [0, false, true]);
  await runForm(tab, "20", "20000", "7");
  await settled(tab, "done");
  const csv = execFileSync(SIM, ["-n", "20", "-e", "20000", "--seed", "7", "--csv"], { encoding: "utf8" });
  assert.equal(await download(tab, "csv"), `mokopera-sim-n20-e20000-seed7.csv\n${csv}`);
}));
