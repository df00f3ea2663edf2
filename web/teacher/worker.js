// A worker of the teacher's page: fires the groups of blocks the page sends, in slices, telling
// the page how far it has got after each slice, and sends back the blocks when the group is done,
// or what went wrong.
// Its script is the program's loader followed by this text.
"use strict";

const program = createMokoperaSim();
// About four million shots a slice: a few hundredths of a second between two progress reports.
const SHOTS_A_SLICE = 1 << 22;

onmessage = async ({ data: { shots, experiments, seed, group, width, first, last } }) => {
  let task = null;
  try {
    const sim = await program;
    task = new sim.GroupTask(shots, experiments, seed, group, width, first, last);
    const steps = Math.max(1, Math.floor(SHOTS_A_SLICE / (shots * width)));
    while (!task.advance(steps)) postMessage({ done: task.done() });
    postMessage({ done: task.done(), blocks: task.blocks() });
  } catch (failure) {
    postMessage({ failed: String(failure?.message ?? failure) });  // the page ends the run and says so
  } finally {
    task?.delete();
  }
};
