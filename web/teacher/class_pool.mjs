// クラスの結果: the codes the students send, pasted in any text, pooled by mokopera-sim --pool's own
// code; for each N a table of its series and their total beside the theory, a funnel plot of one
// N, and the files mokopera-sim --pool --csv --plot writes for the same codes. The pool is kept in
// the browser's storage as soon as a code is accepted, before it is shown: a reload, a closed tab
// or a crash loses nothing. Where the storage is refused or full, the page says so and the pool
// still works for this visit. Pasted text is data: it is only ever set as text.
import { Scanner } from "./scanner.mjs";

const element = (id) => document.getElementById(id);
const storageKey = "mokopera class pool";

export class ClassPoolView {
  // `parts`: the page's plotElement (the SVG through its policy), offer (a download link),
  // project (a figure on the whole screen) and makeDecoder (the camera's decoder worker).
  constructor(sim, parts) {
    this.pool = new sim.ClassPool();
    this.columns = sim.poolColumns();
    this.parts = parts;
    this.shots = 0;  // the plot's N; 0 for the N with the most series
    this.box = element("codes");
    // A paste is read as it comes, never laid out in the box (a class's codes may be thousands of
    // lines); where the engine gives no text with the event, from the box once it is in.
    this.box.addEventListener("paste", (event) => {
      const pasted = event.clipboardData?.getData("text/plain");
      if (!pasted) return setTimeout(() => this.add());
      event.preventDefault();
      this.add(pasted);
    });
    element("add-codes").addEventListener("click", () => this.add());
    this.box.addEventListener("keydown", (event) => {
      if (event.key === "Enter" && (event.ctrlKey || event.metaKey)) this.add();
    });
    const confirm = element("confirm-clear");
    element("clear-pool").addEventListener("click", () => {
      confirm.returnValue = "";
      confirm.showModal();
    });
    confirm.addEventListener("close", () => {
      if (confirm.returnValue !== "clear") return;
      this.pool.clear();
      this.store();
      this.shots = 0;
      this.show();
      element("refused-box").hidden = true;
      element("pool-status").textContent = "クラスの結果を全部消しました。 Cleared.";
    });
    element("pool-shots").addEventListener("change", (event) => {
      this.shots = Number(event.target.value);
      this.show();
    });
    element("pool-project").addEventListener("click", () => parts.project(element("pool-figure")));
    // The camera: each QR code's text read once while it is held up.
    this.seen = new Set();
    element("scan").addEventListener("click", () => {
      this.seen.clear();
      element("scan-log").replaceChildren();
    });
    this.scanner = new Scanner((texts) => this.scanned(texts), parts.makeDecoder, element("decoder-wasm").textContent);
    let kept = null;
    try {
      kept = localStorage.getItem(storageKey);
    } catch {
      this.warnStorage();
    }
    if (kept) this.pool.add(kept);
    this.show();
  }

  // Every code in `text` (else in the box) into the pool; the box is emptied and what could not be
  // read is listed.
  add(text = this.box.value) {
    if (!text.trim()) return;
    const { candidates, added } = this.pool.add(text);
    this.store();
    this.box.value = "";
    const refused = candidates.filter((candidate) => !candidate.accepted);
    const accepted = candidates.length - refused.length;
    element("refused").replaceChildren(...refused.map(({ text: code, reason, english }) => {
      const item = document.createElement("li");
      const words = item.appendChild(document.createElement("span"));
      words.lang = "en";
      words.className = "code";
      words.textContent = code;
      item.append(`：${reason}`);
      const why = item.appendChild(document.createElement("span"));
      why.lang = "en";
      why.textContent = ` ${english}`;
      return item;
    }));
    element("refused-box").hidden = refused.length === 0;
    element("pool-status").textContent = candidates.length === 0 ?
      "コードが見つかりませんでした。 No code found." :
      `コード ${accepted} 個を読み取り、新しい結果は ${added.length} 個です` +
      (refused.length ? `。読み取れなかったコードは ${refused.length} 個です。` : "。") +
      ` Read ${accepted}, ${added.length} new, ${refused.length} not read.`;
    this.show();
  }

  // The QR codes of one camera frame. Those not heard yet while they are held up (the camera sees
  // them many times a second) go into the pool under the paste's rules, stored before they are
  // shown, and the scan says what they brought: 「３件を追加しました（N=22 が２件、N=30 が１件）」,
  // that it brought nothing new, or why a code cannot be read. Returns "added", "nothing", or
  // null for a frame of codes already heard.
  scanned(texts) {
    const fresh = texts.filter((text) => !this.seen.has(text));
    if (fresh.length === 0) return null;
    for (const text of fresh) this.seen.add(text);
    const { candidates, added } = this.pool.add(fresh.join("\n"));
    this.store();
    const log = (words) => element("scan-log").prepend(Object.assign(document.createElement("li"), { textContent: words }));
    const wide = (number) => String(number).replace(/[0-9]/g, (digit) => String.fromCharCode(0xFF10 + Number(digit)));
    for (const { text: code, accepted, reason } of candidates) {
      if (!accepted) log(`読み取れませんでした: ${reason}（${code}）`);
    }
    if (candidates.length === 0) log("モコペラのコードではありません");
    if (added.length > 0) {
      const byShots = new Map();
      for (const shots of [...added].sort((a, b) => a - b)) byShots.set(shots, (byShots.get(shots) ?? 0) + 1);
      log(`${wide(added.length)}件を追加しました（` +
          [...byShots].map(([shots, count]) => `N=${shots} が${wide(count)}件`).join("、") + "）");
      this.show();
      return "added";
    }
    const read = candidates.filter(({ accepted }) => accepted).length;
    if (read > 0) log(`新しい結果はありませんでした（読み取った${wide(read)}件はもう入っています）`);
    return "nothing";
  }

  // The pool into the browser's storage; a clear word where it cannot be kept there.
  store() {
    try {
      localStorage.setItem(storageKey, this.pool.codes());
      element("pool-storage").hidden = true;
    } catch {
      this.warnStorage();
    }
  }

  warnStorage() {
    const warning = element("pool-storage");
    warning.hidden = false;
    warning.textContent = "このブラウザーには結果を保存できません（プライベートウィンドウか、保存領域がいっぱいです）。" +
      "このページを閉じると結果は消えるので、CSV で保存してください。 " +
      "This browser cannot keep the results (a private window, or its storage is full): save the CSV before closing the page.";
  }

  show() {
    const report = this.pool.report(this.shots);
    const output = element("pool-output");
    output.hidden = report.count === 0;
    if (report.count === 0) return;
    this.shots = report.plotShots;
    element("shots-needed").textContent = `何回撃てば？ ${report.shotsNeeded}`;
    element("pool-plot").replaceChildren(this.parts.plotElement(report.svg.replace(/^<\?xml[^>]*>\s*/, "")));
    element("pool-plot-text").textContent = report.description;
    element("pool-shots").replaceChildren(...report.groups.map(({ shots }) =>
      Object.assign(document.createElement("option"), { value: shots, textContent: `N = ${shots}`, selected: shots === this.shots })));
    element("pool-tables").replaceChildren(...report.groups.map((group) => this.table(group)));
    const name = `mokopera-class-${report.count}`;
    this.parts.offer(element("pool-csv"), report.csv, "text/csv;charset=utf-8", `${name}.csv`);
    this.parts.offer(element("pool-svg"), report.svg, "image/svg+xml;charset=utf-8", `${name}-n${this.shots}.svg`);
  }

  // One N's series and their total: the pooled rate beside the theory as the main window shows it.
  table({ shots, rows }) {
    const part = document.createElement("section");
    part.className = "pool-group";
    const heading = part.appendChild(document.createElement("h3"));
    heading.id = `pool-n${shots}`;
    heading.textContent = `N = ${shots}`;
    const [, , experiments, successes, rate, theory] = rows.at(-1);
    part.appendChild(document.createElement("p")).textContent =
      `${rows.length - 1} の系列、合計 ${experiments} 回の実験で成功 ${successes} 回。合計の成功率 ${rate}、理論上の確率 ${theory}`;
    const scroll = part.appendChild(document.createElement("div"));
    scroll.className = "scroll";
    scroll.tabIndex = 0;
    scroll.setAttribute("role", "region");
    scroll.setAttribute("aria-labelledby", heading.id);
    const table = scroll.appendChild(document.createElement("table"));
    const head = table.createTHead().insertRow();
    for (const { japanese, english } of this.columns.slice(1)) {
      const cell = head.appendChild(document.createElement("th"));
      cell.scope = "col";
      cell.append(japanese);
      if (english !== japanese) {
        const words = cell.appendChild(document.createElement("span"));
        words.lang = "en";
        words.textContent = english;
      }
    }
    const body = table.createTBody();
    for (const [, id, ...figures] of rows) {
      const row = body.insertRow();
      const name = row.appendChild(document.createElement("th"));
      name.scope = "row";
      name.textContent = id === "pooled" ? "合計" : id;
      if (id === "pooled") row.className = "pooled";
      for (const figure of figures) row.insertCell().textContent = figure;
    }
    return part;
  }
}
