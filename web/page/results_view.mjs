// 結果を送る: every series of this visit (those ended by Reset, HELP or Quit, and the one under way, its
// finished experiments only), each with its code, the code as a QR code to hold up to the
// teacher's camera, a copy button and the system's share sheet where the browser has one. Where
// there are several series, one QR code of all their codes comes first: held up once, it gives
// the teacher every series. Any QR code can fill the whole screen, to be read from across the
// desk. The page sends nothing anywhere itself. A modal view: the keyboard stays in it, Esc or
// 閉じる closes it, and the focus goes back to where it was.
import { qrElement } from "./qr.mjs";
import { canShare, copyText, shareText } from "./share.mjs";

const $ = (id) => document.getElementById(id);

export class ResultsView {
  // `captions`: the window's own words for a series' figures (experiments, successes, rate).
  constructor(series, captions) {
    this.series = series;
    this.captions = captions;
    this.dialog = $("results");
    this.list = $("results-list");
    this.status = $("results-status");
    $("results-close").addEventListener("click", () => this.dialog.close());
    $("results-copy-all").addEventListener("click", () => this.copy(this.codes().join("\n"), "すべてのコード"));
    this.dialog.addEventListener("close", () => this.opener?.focus());
    // The whole-screen view: a tap anywhere, Esc or its button closes it.
    this.whole = $("qr-whole");
    this.whole.addEventListener("click", () => this.whole.close());
    this.whole.addEventListener("close", () => {
      if (document.fullscreenElement) document.exitFullscreen().catch(() => {});
      this.shownFrom?.focus();
    });
  }

  codes() {
    return this.series.all().map(({ code }) => code);
  }

  open() {
    this.opener = document.activeElement;
    const all = this.series.all();
    // A visit of a lesson with predictions sets each series beside its prediction.
    const compare = all.some(({ asked }) => asked);
    this.list.replaceChildren(...(all.length > 1 ? [this.together(all)] : []),
                              ...all.map((series, index) => this.item(series, index + 1, compare)));
    $("results-empty").hidden = all.length > 0;
    $("results-copy-all").hidden = all.length < 2;
    this.status.textContent = "";
    this.dialog.showModal();
    this.dialog.scrollTop = 0;
    $("results-title").focus();
  }

  // Every series in one QR code: their codes, a space between (a QR code's alphanumeric mode
  // holds them, in the smallest symbol).
  together(all) {
    const item = document.createElement("li");
    item.className = "series together";
    item.setAttribute("aria-labelledby", "series-all");
    const count = `${all.length}`.replace(/[0-9]/g, (digit) => String.fromCharCode(0xFF10 + Number(digit)));
    const heading = item.appendChild(document.createElement("h2"));
    heading.id = "series-all";
    heading.textContent = `すべての結果（${count}件）`;
    item.appendChild(document.createElement("p")).textContent =
      "この QR コードを先生のカメラに１回見せると、全部の結果が届きます。";
    const codes = all.map(({ code }) => code).join(" ");
    this.withQr(item, codes, `すべての結果 ${count}件の QR コード`);
    return item;
  }

  // `text`'s QR code, named `label`, in `item`, and the button that shows it on the whole screen.
  withQr(item, text, label, buttons = item.appendChild(document.createElement("div"))) {
    const qr = qrElement(text, label);
    buttons.before(qr);
    buttons.className = "code-buttons";
    const whole = buttons.appendChild(document.createElement("button"));
    whole.type = "button";
    whole.textContent = "画面いっぱいに表示";
    whole.setAttribute("aria-label", `${label}を画面いっぱいに表示`);
    whole.addEventListener("click", () => this.showWhole(qr, whole));
    return buttons;
  }

  // The QR code `qr` on the whole screen, as large as it fits (the device's whole screen where the
  // browser allows it).
  showWhole(qr, from) {
    this.shownFrom = from;
    const shown = qr.cloneNode(true);
    $("qr-whole-code").replaceChildren(shown);
    this.whole.setAttribute("aria-label", shown.getAttribute("aria-label"));
    this.whole.showModal();
    $("qr-whole-close").focus();
    document.documentElement.requestFullscreen?.().catch(() => {});
  }

  // One series: its figures, its code, its QR code and what can be done with the code.
  item({ shots, experiments, successes, rate, code, ...comparison }, number, compare) {
    const item = document.createElement("li");
    item.className = "series";
    item.setAttribute("aria-labelledby", `series-${number}`);
    const heading = item.appendChild(document.createElement("h2"));
    heading.id = `series-${number}`;
    heading.textContent = `${number}．N＝${shots}`;
    const figures = item.appendChild(document.createElement("dl"));
    const { captions } = this;
    for (const [term, value] of [[captions.experiments, experiments], [captions.successes, successes], [captions.rate, rate]]) {
      figures.append(Object.assign(document.createElement("dt"), { textContent: term }),
                     Object.assign(document.createElement("dd"), { textContent: value }));
    }
    if (compare) item.append(...this.comparison(comparison, rate));
    const text = item.appendChild(document.createElement("p"));
    text.className = "code";
    text.id = `code-${number}`;
    text.lang = "en";
    text.textContent = code;
    const buttons = this.withQr(item, code, `コード ${code} の QR コード`);
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

  // The prediction, the experiment and the theory as three bars, and the same in one sentence
  // (which is what a screen reader reads: the bars are a picture of it).
  comparison({ prediction, predicted, theory, sentence }, rate) {
    const bars = document.createElement("div");
    bars.className = "comparison";
    bars.setAttribute("aria-hidden", "true");
    for (const [name, value, text, kind] of [["予想", predicted === null ? null : predicted / 100, prediction, "predicted"],
                                             ["実験", Number(rate), rate, "experiment"],
                                             ["理論", Number(theory), theory, "theory"]]) {
      bars.appendChild(Object.assign(document.createElement("span"), { textContent: name }));
      const track = bars.appendChild(document.createElement("span"));
      track.className = "track";
      if (value !== null) {
        const bar = track.appendChild(document.createElement("span"));
        bar.className = `bar ${kind}`;
        bar.style.width = `${Math.round(value * 1000) / 10}%`;
      }
      bars.appendChild(Object.assign(document.createElement("span"), { textContent: text }));
    }
    const words = Object.assign(document.createElement("p"), { className: "sentence", textContent: sentence });
    return [bars, words];
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
