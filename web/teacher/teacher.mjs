// The teacher's page: mokopera-sim's batches in Web Workers, one per core the browser reports, and
// its table, CSV and plot made by the same code as mokopera-sim's. The form reads its values as
// mokopera-sim reads its options; a wrong one is named beside its field and nothing runs.
import { ClassPoolView } from "./class_pool.mjs";
import { columnHeadings } from "./column_headings.mjs";
import { LessonLink } from "./lesson_link.mjs";
import { RunPool } from "./run_pool.mjs";

const $ = (id) => document.getElementById(id);
const form = $("form"), runButton = $("run"), cancelButton = $("cancel"), progress = $("progress"), status = $("status");
const fields = { "-n": $("shots"), "-e": $("experiments"), "--seed": $("seed") };
const output = $("output");
const downloads = { csv: $("csv"), svg: $("svg") };

// The page's one Trusted Types policy (plain checks where the engine has none): a script address
// only for the workers' own blobs (the batch's and the camera's decoder), markup only for mokopera-sim's own SVG plot. Nothing else may
// become code or markup.
const workerScript = URL.createObjectURL(new Blob([$("program").textContent, "\n", $("worker").textContent],
                                                  { type: "text/javascript" }));
let decoderScript = null;  // the camera's decoder, made when the camera first starts
const checks = {
  createScriptURL: (url) => {
    if (url !== workerScript && url !== decoderScript) throw new TypeError("not the page's own worker");
    return url;
  },
  createHTML: (svg) => {
    if (!svg.startsWith('<svg xmlns="http://www.w3.org/2000/svg" ') || /<(script|foreignObject)|\son[a-z]+=/i.test(svg)) {
      throw new TypeError("not the page's own plot");
    }
    return svg;
  },
};
const trusted = globalThis.trustedTypes?.createPolicy("mokopera", checks) ?? checks;

// The SVG plot `svg` as an element of this page, parsed as XML: nothing in it runs.
const plotElement = (svg) => document.importNode(
  new DOMParser().parseFromString(trusted.createHTML(svg), "image/svg+xml").documentElement, true);

function setState(state, words) {
  form.dataset.state = state;
  const running = state === "running";
  form.toggleAttribute("data-busy", running);
  runButton.disabled = running || state === "loading";
  cancelButton.disabled = !running;
  output.classList.toggle("stale", running);
  output.setAttribute("aria-busy", String(running));
  if (words) status.textContent = words;
}

function showError(option, message) {
  for (const [name, field] of Object.entries(fields)) {
    const error = $(`${field.id}-error`);
    const wrong = name === option;
    field.setAttribute("aria-invalid", String(wrong));
    error.hidden = !wrong;
    error.textContent = wrong ? message : "";
  }
}

// A seed of 64 random bits, as mokopera-sim takes it, for a run whose seed field is empty.
function pickSeed() {
  return crypto.getRandomValues(new BigUint64Array(1))[0].toString();
}

// The download link `link` to `text`, saved as `name`.
function offer(link, text, type, name) {
  if (link.href.startsWith("blob:")) URL.revokeObjectURL(link.href);
  link.href = URL.createObjectURL(new Blob([text], { type }));
  link.download = name;
}

function show(read, report, seconds) {
  const range = read.first === read.last ? `${read.first}` : `${read.first}..${read.last}`;
  const each = read.first === read.last ? "" : "N ごとに ";
  $("run-summary").textContent =
    `N = ${range.replace("..", " 〜 ")}、${each}${read.experiments} 回の実験　乱数の種 seed: ${read.seed}`;
  $("plot").replaceChildren(plotElement(report.svg.replace(/^<\?xml[^>]*>\s*/, "")));
  $("plot-text").textContent = report.description;
  $("results").tBodies[0].replaceChildren(...report.cells.map((cells) => {
    const row = document.createElement("tr");
    cells.forEach((text, column) => {
      const cell = row.appendChild(document.createElement(column === 0 ? "th" : "td"));
      if (column === 0) cell.scope = "row";
      cell.textContent = text;
    });
    return row;
  }));
  const name = `mokopera-sim-n${range.replace("..", "-")}-e${read.experiments}-seed${read.seed}`;
  offer(downloads.csv, report.csv, "text/csv;charset=utf-8", `${name}.csv`);
  offer(downloads.svg, report.svg, "image/svg+xml;charset=utf-8", `${name}.svg`);
  output.hidden = false;
  setState("done", `完了：${seconds.toFixed(2)} 秒 Done in ${seconds.toFixed(2)} s`);
}

async function start() {
  const sim = await createMokoperaSim();
  const pool = new RunPool(trusted.createScriptURL(workerScript), sim.blocks);
  $("results").tHead.rows[0].replaceChildren(...columnHeadings(sim.columns()));

  form.addEventListener("submit", async (event) => {
    event.preventDefault();
    if (form.dataset.state === "running") return;
    const read = sim.readForm(fields["-n"].value, fields["-e"].value, fields["--seed"].value, pickSeed());
    if (!read.ok) {
      showError(read.option, read.message);
      setState("invalid", "値を直してください Please correct the value");
      fields[read.option]?.focus();
      return;
    }
    showError(null, "");
    setState("running", "実行中… Running…");
    progress.value = 0;
    cancelButton.focus();
    const began = performance.now();
    try {
      const batches = await pool.run(read, sim.plan(pool.size), (share) => { progress.value = share; });
      if (!batches) return;  // cancelled
      progress.value = 1;
      show(read, sim.report(read.first, read.last, read.experiments, batches),
           (performance.now() - began) / 1000);
    } catch (failure) {
      progress.value = 0;
      setState("failed", `実行できませんでした cannot run: ${failure.message ?? failure}`);
    }
    runButton.focus();
  });
  const cancel = () => {
    if (form.dataset.state !== "running") return;
    pool.cancel();
    progress.value = 0;
    setState("cancelled", "中止しました Cancelled");
    runButton.focus();
  };
  cancelButton.addEventListener("click", cancel);
  // A plot on the whole screen, for a projector; where the browser allows no element on the
  // whole screen (iPhone), on the whole window. Esc, or a click on it, brings the page back.
  const project = (figure) => {
    const whole = figure.requestFullscreen ?? figure.webkitRequestFullscreen;
    Promise.resolve(whole?.call(figure)).then(() => {
      if (!(document.fullscreenElement ?? document.webkitFullscreenElement)) figure.classList.add("projected");
    }, () => figure.classList.add("projected"));
  };
  const unproject = () => {
    if (document.fullscreenElement ?? document.webkitFullscreenElement) {
      (document.exitFullscreen ?? document.webkitExitFullscreen).call(document);
    }
    for (const figure of document.querySelectorAll("figure.projected")) figure.classList.remove("projected");
  };
  $("project").addEventListener("click", () => project($("figure")));
  for (const figure of document.querySelectorAll("figure")) figure.addEventListener("click", unproject);
  const makeDecoder = () => {
    decoderScript ??= URL.createObjectURL(new Blob([$("decoder").textContent], { type: "text/javascript" }));
    return new Worker(trusted.createScriptURL(decoderScript));
  };
  new ClassPoolView(sim, { plotElement, offer, project, makeDecoder });
  new LessonLink(sim, project);
  document.addEventListener("keydown", (event) => {
    if (event.key !== "Escape") return;
    cancel();
    unproject();
  });
  setState("ready", "準備ができました Ready");
}

start();
