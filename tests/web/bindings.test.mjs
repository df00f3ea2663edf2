// The program's bindings as the page's script meets them, under Node.js: values that are not what
// a call takes get a defined outcome, never a read outside the program's tables. MOKOPERA_PROGRAM
// names the built mokopera_wasm.js.
import assert from "node:assert/strict";
import { createRequire } from "node:module";
import { resolve } from "node:path";
import { test } from "node:test";

const createMokopera = createRequire(import.meta.url)(resolve(process.env.MOKOPERA_PROGRAM ?? "build-web/bin/mokopera_wasm.js"));

test("calls with values that mean nothing do nothing", async () => {
  const module = await createMokopera();
  const calls = [];
  // The page and its views in one: every request logged; the cues open, the views are itself.
  const page = new Proxy({}, { get: (_, name) => (...args) => {
    calls.push(`${name} ${args.map((arg) => arg?.words ?? arg).join(" ")}`);
    return name === "openCue" || (name.startsWith("load") ? page : undefined);
  } });
  const series = new module.SeriesLog({ load: () => null, save: () => {} });
  const program = new module.Program(page, 7, series);
  program.start();
  program.mainViewActivated();
  program.onEntry("5");
  calls.length = 0;
  for (const value of [6, -1, 1.5, "Fire", "Command1", null, undefined, {}, { value: 0 }]) program.click(value);
  assert.deepEqual(calls, []);
  program.click(module.Command.Command1);
  assert.equal(calls[0], "setCommandEnabled Command5 true");

  // Quit's question: anything but true is No; an entry that is no text is Cancel.
  program.click(module.Command.Command4);
  for (const value of [6, "yes", 1, null]) program.onYesNo(value);
  assert.equal(program.ended(), false);
  program.click(module.Command.Command5);
  calls.length = 0;
  program.onEntry(20);
  assert.deepEqual(calls.filter((call) => call.startsWith("askYesNo")), ["askYesNo 終了していいですか？ 確認 はい,いいえ"]);
  program.onYesNo(true);
  assert.equal(program.ended(), true);
  assert.deepEqual(series.all(), []);  // one shot: no experiment finished, nothing to send
  program.delete();

  // A lesson that asks first: an answer that is no whole percentage leaves the question open.
  const asking = new module.Program(page, 7, series);
  asking.followLesson("#predict");
  asking.start();
  asking.mainViewActivated();
  asking.onEntry("10");
  assert.match(calls.at(-1), /^askPrediction 10 回撃って/);
  calls.length = 0;
  for (const value of [101, -1, 30.5, "30", undefined, {}, true]) asking.onPrediction(value);
  assert.deepEqual(calls, []);
  asking.onPrediction(null);  // わからない
  assert.equal(calls[0], "setLabelText Label15 0.6513215");
  assert.deepEqual([module.readPercent("７５％"), module.readPercent("101")], [75, null]);
  asking.delete();
});
