// The workers of the teacher's page, one per core the browser reports (at most one per block of a
// batch, `blocks`), made from the program's own text (a blob's address, `script`), so that they
// work from a web site and from a file alike. A run is cut into groups of blocks; an idle worker
// takes the next group.
export class RunPool {
  constructor(script, blocks) {
    this.url = script;
    this.size = Math.min(blocks, Math.max(1, navigator.hardwareConcurrency || 2));
    this.workers = [];
    this.stop = null;
  }

  // Runs every batch of `read` ({first, last, experiments, seed}) cut as `plan` ({width, groups})
  // says, calling `onProgress` with the share of the shots fired. Resolves with the blocks of each batch in
  // order, or null when cancelled; rejects when a worker fails.
  run(read, plan, onProgress) {
    if (this.workers.length === 0) {
      this.workers = Array.from({ length: this.size }, () => new Worker(this.url));
    }
    const tasks = [];
    for (let shots = read.first; shots <= read.last; ++shots) {
      for (let group = 0; group < plan.groups; ++group) tasks.push({ shots, group });
    }
    // The share done counts shots, not experiments: an experiment at N = 50 is ten times the work
    // of one at N = 5.
    const total = (read.last + read.first) * (read.last - read.first + 1) / 2 * read.experiments, batches = [];
    let next = 0, finished = 0, fired = 0;
    const current = new Map();  // worker → shots fired of its group so far
    return new Promise((resolve, reject) => {
      this.stop = () => resolve(null);
      const give = (worker) => {
        if (next >= tasks.length) return;
        const task = tasks[next++];
        worker.task = task;
        current.set(worker, 0);
        worker.postMessage({ shots: task.shots, experiments: read.experiments, seed: read.seed, group: task.group,
                             width: plan.width, first: read.first, last: read.last });
      };
      const report = () => {
        let done = fired;
        for (const shots of current.values()) done += shots;
        onProgress(Math.min(1, done / total));
      };
      const fail = (message) => {
        this.stop = null;
        this.cancel();
        reject(new Error(message));
      };
      for (const worker of this.workers) {
        worker.onmessage = ({ data }) => {
          if (data.failed) {
            fail(data.failed);
            return;
          }
          const { shots, group } = worker.task;
          if (!data.blocks) {
            current.set(worker, data.done * shots);
            report();
            return;
          }
          (batches[shots - read.first] ??= [])[group] = data.blocks;
          current.delete(worker);
          fired += data.done * shots;
          report();
          if (++finished === tasks.length) {
            this.stop = null;
            resolve(batches.map((groups) => groups.flat()));
          } else {
            give(worker);
          }
        };
        worker.onerror = (event) => {
          event.preventDefault();
          fail(event.message || "worker failed");
        };
        give(worker);
      }
    });
  }

  // Stops the run at once: its workers are ended, and new ones are made for the next run.
  cancel() {
    for (const worker of this.workers) worker.terminate();
    this.workers = [];
    const stop = this.stop;
    this.stop = null;
    stop?.();
  }
}
