// クラスの結果: the codes the students send, pasted in any text or read by the camera, pooled by
// mokopera-sim --pool's own code, for each of the teacher's classes; for each N a table of its
// series and their total beside the theory, the series that conflict, a funnel plot of one N, the
// class's predictions against the experiment and the theory (予想と結果) where students were asked,
// and the files mokopera-sim --pool --csv --plot writes for the same codes.
//
// Each class's pool is kept in the browser's storage (class_store.mjs) as soon as a code is
// accepted, before it is shown: a reload, a closed tab or a crash loses nothing. Every write
// merges with what the storage holds at that moment, so codes added in two tabs by turns are all
// kept; a tab hears of the others' writes and shows them; 全部消す in one tab clears every tab for
// good. Where the storage is refused or full, the page says so and the pool works for this visit.
//
// A change shows as what it changed: the rows of the series it added or grew, and their N's total,
// never every table again; the plot, the conflicts and the downloads follow a moment later.
// Pasted text is data: it is only ever set as text.
import { Scanner } from "./scanner.mjs";
import { ClassStore, token } from "./class_store.mjs";
import { columnHeadings } from "./column_headings.mjs";

const element = (id) => document.getElementById(id);
const wide = (number) => String(number).replace(/[0-9]/g, (digit) => String.fromCharCode(0xFF10 + Number(digit)));
const manyChanges = 500;  // more series changed at once than this, and every table is made afresh

export class ClassPoolView {
  // `parts`: the page's plotElement (the SVG through its policy), offer (a download link),
  // project (a figure on the whole screen) and makeDecoder (the camera's decoder worker).
  constructor(sim, parts) {
    this.sim = sim;
    this.pool = new sim.ClassPool();
    this.columns = sim.poolColumns();
    this.parts = parts;
    this.store = new ClassStore();
    this.shots = 0;  // the plot's N; 0 for the N with the most series
    this.box = element("codes");
    // A paste is read as it comes, never laid out in the box (a class's codes may be thousands of
    // lines); where the engine gives no text with the event, from the box once it is in.
    this.box.addEventListener("paste", (event) => {
      const pasted = event.clipboardData?.getData("text/plain");
      if (!pasted) return setTimeout(() => this.paste());
      event.preventDefault();
      this.paste(pasted);
    });
    element("add-codes").addEventListener("click", () => this.paste());
    this.box.addEventListener("keydown", (event) => {
      if (event.key === "Enter" && (event.ctrlKey || event.metaKey)) this.paste();
    });
    this.confirming(element("clear-pool"), "クラスの結果を全部消しますか？ 消した結果は元に戻せません。", () => this.clear());
    element("pool-shots").addEventListener("change", (event) => {
      this.shots = Number(event.target.value);
      this.refresh();
    });
    element("pool-project").addEventListener("click", () => parts.project(element("pool-figure")));
    element("predictions-project").addEventListener("click", () => parts.project(element("predictions-figure")));
    // The downloads, made when they are asked for.
    element("pool-csv").addEventListener("click", () =>
      parts.offer(element("pool-csv"), this.pool.csv(), "text/csv;charset=utf-8", `${this.fileName()}.csv`));
    element("pool-svg").addEventListener("click", () =>
      parts.offer(element("pool-svg"), this.pool.plotFile(this.plot().shots), "image/svg+xml;charset=utf-8",
                  `${this.fileName()}-n${this.plot().shots}.svg`));
    // The camera: each QR code's text heard once while it is held up.
    this.seen = new Set();
    element("scan").addEventListener("click", () => {
      this.seen.clear();
      element("scan-log").replaceChildren();
    });
    // The decoder's WebAssembly: in the page (the single file), or the hosted site's file of it.
    const decoder = element("decoder-wasm");
    this.scanner = new Scanner((texts) => this.scanned(texts), parts.makeDecoder, async () => {
      if (!decoder.dataset.src) return decoder.textContent;
      const response = await fetch(decoder.dataset.src);
      if (!response.ok) throw new Error(`HTTP ${response.status}`);
      return response.text();
    });
    this.classBar();
    this.store.listen((what, id) => {
      if (what === "classes") this.showClasses();
      else if (id === this.classId) this.sync();
    });
    this.open(this.store.chosen(this.store.classes()));
  }

  // The classes: chosen, made, renamed and deleted on the page; kept in the storage.
  classBar() {
    element("class-choice").addEventListener("change", (event) => this.open(event.target.value));
    const ask = element("class-name");
    const field = element("class-name-field");
    let named = null;  // what the name is for: a new class, or the one shown
    const name = (title, offered, done) => {
      element("class-name-title").textContent = title;
      field.value = offered;
      named = done;
      ask.returnValue = "";
      ask.showModal();
      field.select();
    };
    ask.addEventListener("close", () => {
      const given = field.value.trim();
      if (ask.returnValue === "ok" && given) named(given);
    });
    element("class-new").addEventListener("click", () => {
      const list = this.store.classes();
      name("新しいクラスの名前", `${wide(list.length + 1)}組`, (given) => {
        const made = { id: token(), name: given };
        this.store.saveClasses([...this.store.classes(), made]);
        this.open(made.id);
      });
    });
    element("class-rename").addEventListener("click", () => {
      const list = this.store.classes();
      name("クラスの名前を変える", list.find(({ id }) => id === this.classId)?.name ?? "", (given) => {
        this.store.saveClasses(this.store.classes().map((one) => (one.id === this.classId ? { ...one, name: given } : one)));
        this.showClasses();
      });
    });
    this.confirming(element("class-delete"), "このクラスとその結果を消しますか？ 消した結果は元に戻せません。", () => {
      const left = this.store.classes().filter(({ id }) => id !== this.classId);
      this.store.removePool(this.classId);
      this.store.saveClasses(left.length > 0 ? left : [{ id: token(), name: "１組" }]);
      this.open(this.store.classes()[0].id);
    });
  }

  // `button` asks `question` first, and does `action` on 消す.
  confirming(button, question, action) {
    const confirm = element("confirm");
    button.addEventListener("click", () => {
      element("confirm-text").firstChild.textContent = question;
      confirm.returnValue = "";
      confirm.onclose = () => {
        if (confirm.returnValue === "yes") action();
      };
      confirm.showModal();
    });
  }

  showClasses() {
    const list = this.store.classes();
    if (!list.some(({ id }) => id === this.classId)) return this.open(list[0].id);  // deleted in another tab
    element("class-choice").replaceChildren(...list.map(({ id, name }) =>
      Object.assign(document.createElement("option"), { value: id, textContent: name, selected: id === this.classId })));
    document.documentElement.dataset.classChosen = this.classId;
  }

  // The class `id`, as the storage holds it, on the page.
  open(id) {
    this.classId = id;
    this.store.choose(id);
    this.pool.clear();
    const kept = this.store.readPool(id);
    this.generation = kept?.generation ?? 0;
    if (kept) this.pool.add(kept.codes);
    this.written = kept?.codes ?? "";
    this.shots = 0;
    element("refused-box").hidden = true;
    element("pool-status").textContent = "";
    this.showClasses();
    this.showAll();
    this.warnStorage();
  }

  // Takes in what the storage holds now of this class (another tab's codes, or its 全部消す), then
  // `text` where given, and keeps the whole pool; shows what changed. Returns what `text` brought.
  sync(text) {
    const kept = this.store.readPool(this.classId);
    const changed = [];
    let afresh = false;
    if (kept && kept.generation > this.generation) {  // cleared in another tab: what this tab held is gone
      this.pool.clear();
      this.generation = kept.generation;
      afresh = true;
      this.pool.add(kept.codes);
    } else if (kept && kept.generation === this.generation && kept.codes !== this.written) {
      changed.push(...this.pool.add(kept.codes).changed);
    }  // a kept pool of an earlier generation is from before this tab cleared it: not taken in
    const added = text ? this.pool.add(text) : null;
    if (added) changed.push(...added.changed);
    const codes = this.pool.codes();
    const same = codes === kept?.codes && this.generation === kept?.generation;
    if (same || this.store.writePool(this.classId, { generation: this.generation, codes })) this.written = codes;
    this.warnStorage();
    if (afresh || changed.length > manyChanges) this.showAll();
    else this.show(changed);
    return added;
  }

  clear() {
    this.generation = Math.max(this.generation, this.store.readPool(this.classId)?.generation ?? 0) + 1;
    this.pool.clear();
    this.written = "";
    this.store.writePool(this.classId, { generation: this.generation, codes: "" });
    this.showAll();
    element("refused-box").hidden = true;
    element("pool-status").textContent = "クラスの結果を全部消しました。 Cleared.";
  }

  // Every code in `text` (else in the box) into the pool; the box is emptied and what could not be
  // read is listed.
  paste(text = this.box.value) {
    if (!text.trim()) return;
    const { read, accepted, refused, shownRefusals, changed } = this.sync(text);
    this.box.value = "";
    const lines = shownRefusals.split("\n").filter(Boolean);
    element("refused").replaceChildren(...lines.map((line) => {
      const [code, reason, english] = line.split("\t");
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
    element("refused-more").textContent = refused > lines.length ?
      `ほかに ${refused - lines.length} 個あります（最初の ${lines.length} 個だけを並べています）。 And ${refused - lines.length} more.` : "";
    element("refused-box").hidden = refused === 0;
    element("pool-status").textContent = read === 0 ?
      "コードが見つかりませんでした。 No code found." :
      `コード ${accepted} 個を読み取り、新しい結果は ${changed.length} 個です` +
      (refused ? `。読み取れなかったコードは ${refused} 個です。` : "。") +
      ` Read ${accepted}, ${changed.length} new, ${refused} not read.`;
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
    const { accepted, shownRefusals, read, changed } = this.sync(fresh.join("\n"));
    const log = (words) => element("scan-log").prepend(Object.assign(document.createElement("li"), { textContent: words }));
    for (const line of shownRefusals.split("\n").filter(Boolean)) {
      const [code, reason] = line.split("\t");
      log(`読み取れませんでした: ${reason}（${code}）`);
    }
    if (read === 0) log("モコペラのコードではありません");
    if (changed.length > 0) {
      const byShots = new Map();
      for (const { shots } of [...changed].sort((a, b) => a.shots - b.shots)) byShots.set(shots, (byShots.get(shots) ?? 0) + 1);
      log(`${wide(changed.length)}件を追加しました（` +
          [...byShots].map(([shots, count]) => `N=${shots} が${wide(count)}件`).join("、") + "）");
      return "added";
    }
    if (accepted > 0) log(`新しい結果はありませんでした（読み取った${wide(accepted)}件はもう入っています）`);
    return "nothing";
  }

  // A clear word where the storage cannot keep the pool.
  warnStorage() {
    const warning = element("pool-storage");
    warning.hidden = !this.store.refused;
    warning.textContent = this.store.refused ?
      "このブラウザーには結果を保存できません（プライベートウィンドウか、保存領域がいっぱいです）。" +
      "このページを閉じると結果は消えるので、CSV で保存してください。 " +
      "This browser cannot keep the results (a private window, or its storage is full): save the CSV before closing the page." : "";
  }

  fileName() {
    const name = element("class-choice").selectedOptions[0]?.textContent ?? "";
    return `mokopera-class-${name ? `${name}-` : ""}${this.pool.count()}`;
  }

  // The plot of the chosen N, made once for each state of the pool.
  plot() {
    this.drawn ??= this.pool.plot(this.shots);
    return this.drawn;
  }

  // Every N's table made afresh.
  showAll() {
    this.groups = new Map();
    element("pool-tables").replaceChildren();
    for (const [shots] of this.pool.groups()) this.group(shots, this.pool.table(shots));
    this.refresh();
  }

  // The series `changed` brought: their rows, and their N's total, in place.
  show(changed) {
    for (const { shots, id, rows, pooled } of changed) {
      const group = this.groups.get(shots) ?? this.group(shots, [pooled]);
      const at = sortedPlace(group.ids, id);
      if (group.ids[at] === id) {
        for (const row of group.rows.get(id)) row.remove();
      } else {
        group.ids.splice(at, 0, id);
      }
      const next = group.rows.get(group.ids[at + 1])?.[0] ?? group.total;
      group.rows.set(id, rows.map((cells) => {
        const row = tableRow(cells);
        next.before(row);
        return row;
      }));
      fillRow(group.total, pooled, true);
      summarise(group, pooled);
    }
    if (changed.length > 0) this.refresh();
  }

  // One N's section: its heading, the total in words, and the table of its series, put in the
  // order of N. `rows`: the cells of each series, then of the total.
  group(shots, rows) {
    const section = document.createElement("section");
    section.className = "pool-group";
    const heading = section.appendChild(document.createElement("h3"));
    heading.id = `pool-n${shots}`;
    heading.textContent = `N = ${shots}`;
    const summary = section.appendChild(document.createElement("p"));
    const scroll = section.appendChild(document.createElement("div"));
    scroll.className = "scroll";
    scroll.tabIndex = 0;
    scroll.setAttribute("role", "region");
    scroll.setAttribute("aria-labelledby", heading.id);
    const table = scroll.appendChild(document.createElement("table"));
    table.createTHead().insertRow().replaceChildren(...columnHeadings(this.columns.slice(1)));
    const body = table.createTBody();
    const group = { shots, section, summary, ids: [], rows: new Map(), total: tableRow(rows.at(-1), true) };
    for (const cells of rows.slice(0, -1)) {
      const id = cells[1];
      if (group.ids.at(-1) !== id) group.ids.push(id);
      const row = body.appendChild(tableRow(cells));
      group.rows.set(id, [...(group.rows.get(id) ?? []), row]);
    }
    body.append(group.total);
    summarise(group, rows.at(-1));
    const later = [...this.groups.values()].filter((other) => other.shots > shots).sort((a, b) => a.shots - b.shots)[0];
    element("pool-tables").insertBefore(section, later?.section ?? null);
    this.groups.set(shots, group);
    return group;
  }

  // What follows the tables a moment after a change: the plot, the N to choose, the conflicts.
  refresh() {
    this.drawn = null;
    const count = this.pool.count();
    element("pool-output").hidden = count === 0;
    clearTimeout(this.later);
    if (count === 0) return;
    this.later = setTimeout(() => {
      const plot = this.plot();
      this.shots = plot.shots;
      element("shots-needed").textContent = `何回撃てば？ ${this.sim.shotsNeeded()}`;
      element("pool-plot").replaceChildren(this.parts.plotElement(plot.svg.replace(/^<\?xml[^>]*>\s*/, "")));
      element("pool-plot-text").textContent = plot.description;
      element("pool-plot").dataset.series = String(count);
      const predictions = this.pool.predictions();
      element("predictions").hidden = predictions.svg === "";
      element("predictions-plot").replaceChildren(...(predictions.svg === "" ? [] :
        [this.parts.plotElement(predictions.svg.replace(/^<\?xml[^>]*>\s*/, ""))]));
      element("predictions-text").textContent = predictions.description;
      element("pool-shots").replaceChildren(...this.pool.groups().map(([shots]) =>
        Object.assign(document.createElement("option"), { value: shots, textContent: `N = ${shots}`, selected: shots === this.shots })));
      const conflicts = this.pool.conflicts();
      element("conflicts-box").hidden = conflicts.length === 0;
      element("conflicts").replaceChildren(...conflicts.map(({ shots, id, states }) => Object.assign(document.createElement("li"), {
        textContent: `N = ${shots}、番号 ${id}：${states.map((state) => state.replace("/", " 回中 ") + " 回").join(" と ")}`,
      })));
    }, 50);
  }
}

// Where `id` stands, or would stand, among the ids of a table, in the order of the table.
function sortedPlace(ids, id) {
  let low = 0, high = ids.length;
  while (low < high) {
    const middle = (low + high) >> 1;
    if (ids[middle] < id) low = middle + 1;
    else high = middle;
  }
  return low;
}

// A row of the table: the series' id (or 合計 for the total) as its heading, then its figures.
function tableRow(cells, total = false) {
  const row = document.createElement("tr");
  fillRow(row, cells, total);
  return row;
}

function fillRow(row, [, id, ...figures], total) {
  const name = document.createElement("th");
  name.scope = "row";
  name.textContent = total ? "合計" : id;
  row.className = total ? "pooled" : "";
  row.replaceChildren(name, ...figures.map((figure) => Object.assign(document.createElement("td"), { textContent: figure })));
}

// The N's total in words: the pooled rate beside the theory as the main window shows it.
function summarise(group, [, , experiments, successes, rate, theory]) {
  const series = group.total.parentElement ? group.total.parentElement.rows.length - 1 : 0;
  group.summary.textContent = `${series} の系列、合計 ${experiments} 回の実験で成功 ${successes} 回。合計の成功率 ${rate}、理論上の確率 ${theory}`;
}
