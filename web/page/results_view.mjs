// 結果を送る: every series of this visit (those ended by Reset or HELP, and the one under way, its
// finished experiments only), each with its code, the code as a QR code to hold up to the
// teacher's camera, a copy button and the system's share sheet where the browser has one. The page
// sends nothing anywhere itself. A modal view: the keyboard stays in it, Esc or 閉じる closes it,
// and the focus goes back to where it was.
import { qrElement } from "./qr.mjs";
import { canShare, copyText, shareText } from "./share.mjs";

const $ = (id) => document.getElementById(id);

export class ResultsView {
  constructor(series) {
    this.series = series;
    this.dialog = $("results");
    this.list = $("results-list");
    this.status = $("results-status");
    $("results-close").addEventListener("click", () => this.dialog.close());
    $("results-copy-all").addEventListener("click", () => this.copy(this.codes().join("\n"), "すべてのコード"));
    this.dialog.addEventListener("close", () => this.opener?.focus());
  }

  codes() {
    return this.series.all().map(({ code }) => code);
  }

  open() {
    this.opener = document.activeElement;
    const all = this.series.all();
    this.list.replaceChildren(...all.map((series, index) => this.item(series, index + 1)));
    $("results-empty").hidden = all.length > 0;
    $("results-copy-all").hidden = all.length < 2;
    this.status.textContent = "";
    this.dialog.showModal();
    this.dialog.scrollTop = 0;
    $("results-title").focus();
  }

  // One series: its figures, its code, its QR code and what can be done with the code.
  item({ shots, experiments, successes, rate, code }, number) {
    const item = document.createElement("li");
    item.className = "series";
    item.setAttribute("aria-labelledby", `series-${number}`);
    const heading = item.appendChild(document.createElement("h2"));
    heading.id = `series-${number}`;
    heading.textContent = `${number}．N＝${shots}`;
    const figures = item.appendChild(document.createElement("dl"));
    for (const [term, value] of [["実験回数", experiments], ["成功回数", successes], ["成功率", rate]]) {
      figures.append(Object.assign(document.createElement("dt"), { textContent: term }),
                     Object.assign(document.createElement("dd"), { textContent: value }));
    }
    const text = item.appendChild(document.createElement("p"));
    text.className = "code";
    text.id = `code-${number}`;
    text.lang = "en";
    text.textContent = code;
    item.append(qrElement(code, `コード ${code} の QR コード`));
    const buttons = item.appendChild(document.createElement("div"));
    buttons.className = "code-buttons";
    const button = (words, action) => {
      const made = buttons.appendChild(document.createElement("button"));
      made.type = "button";
      made.textContent = words;
      made.setAttribute("aria-describedby", text.id);
      made.addEventListener("click", action);
    };
    button("コピー", () => this.copy(code, "コード"));
    if (canShare()) button("共有…", () => this.share(code, shots));
    return item;
  }

  async copy(text, what) {
    this.status.textContent = await copyText(text) ? `${what}をコピーしました。` :
      "コピーできませんでした。コードを選んでコピーしてください。";
  }

  async share(code, shots) {
    const shared = await shareText({ title: "モコペラの結果", text: `モコペラの結果（N＝${shots}）：${code}` });
    if (shared === false) this.status.textContent = "共有できませんでした。コピーしてください。";
  }
}
