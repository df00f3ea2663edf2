// The web edition's front end: the page that shows one of the program's two windows at a time,
// scaled to the browser's window, with the program's dialogs and cues. The program itself (its
// rules, its texts and its numbers) is the desktop program's own C++, compiled to WebAssembly;
// this script and its modules only carry out what it asks.
import { Cues } from "./cues.mjs";
import { Dialogs, PredictionDialog } from "./dialogs.mjs";
import { HelpView } from "./help_view.mjs";
import { MainView } from "./main_view.mjs";
import { ResultsView } from "./results_view.mjs";

class Page {
  constructor(module) {
    this.module = module;
    this.layout = module.layout();
    this.stage = document.getElementById("stage");
    this.bar = document.getElementById("page-bar");
    this.cues = new Cues(module);
    this.dialogs = new Dialogs();
    this.prediction = new PredictionDialog(module);
    this.view = null;  // the window shown: the main view or the help view
    // Every series of this visit, across restarts of the program and loads of the page: kept in
    // the tab's session storage, which a reload, back and forward, a tab the browser discards and
    // brings back, and a browser restored after a crash keep, and closing the tab empties (the next
    // student on a shared device starts afresh). Where the storage is refused, for this load only.
    const key = `mokopera series ${new URL(".", location.href).pathname}`;
    this.series = new module.SeriesLog({
      load: () => {
        try {
          return sessionStorage.getItem(key);
        } catch {
          return null;
        }
      },
      save: (codes) => {
        try {
          sessionStorage.setItem(key, codes);
        } catch {
          // kept for this load only
        }
      },
    });
    for (const kind of ["pointerdown", "keydown"]) window.addEventListener(kind, () => this.cues.wake(), true);
    // The visible viewport changes with a turn of the device, the on-screen keyboard, a resize and
    // the address bar; the bar below the window changes with what it offers.
    // Fitted again a frame later too: an engine may settle the viewport's size only after the event.
    const fit = () => {
      this.fit();
      requestAnimationFrame(() => this.fit());
    };
    for (const target of [window, window.visualViewport]) target?.addEventListener("resize", fit);
    new ResizeObserver(fit).observe(this.bar);
    document.getElementById("restart").addEventListener("click", () => this.start());
    // Another lesson link opened on the page already open: its N from the next question on, and
    // whether to ask for predictions from the next main window on (after HELP, or a new start).
    window.addEventListener("hashchange", () => {
      if (!this.program.isDeleted()) this.program.followLesson(location.hash);
    });
    // 結果を送る, from the end view and from the page's bar; the bar's button shows only while
    // nothing is under way (page_bar.css), and a press that comes when it is hidden does nothing.
    this.results = new ResultsView(this.series, this.layout.captions);
    for (const id of ["send", "ended-send"]) {
      const button = document.getElementById(id);
      button.addEventListener("click", () => {
        if (getComputedStyle(button).visibility !== "hidden") this.results.open();
      });
    }
  }

  // A new program: at the page's start, and from the end view's もう一度始める. A second press in
  // the same moment (a key held down) finds a program running and starts nothing.
  start() {
    if (this.program && !this.program.isDeleted() && !this.program.ended()) return;
    document.getElementById("ended").hidden = true;
    const seed = crypto.getRandomValues(new Uint32Array(2));
    this.program = new this.module.Program(this, seed[0] * 2 ** 21 + (seed[1] >>> 11), this.series);
    this.program.followLesson(location.hash);  // a lesson link, index.html#n=22&predict
    this.program.start();
  }

  show(view) {
    this.view = view;
    this.stage.replaceChildren(view.element);
    document.title = document.getElementById("window-title").textContent = view.layout.caption.trim();
    this.fit();
  }

  // The whole window scaled to the visible viewport above the page's bar, its shape kept, never
  // scrolling, in the middle on whole device pixels. A pinch zoom is the user's and is left alone:
  // the room is the visible viewport at the page's own scale.
  fit() {
    if (!this.view) return;
    const { width, height } = this.view.layout;
    const visible = window.visualViewport;
    const roomWidth = visible ? visible.width * visible.scale : innerWidth;
    const wholeHeight = visible ? visible.height * visible.scale : innerHeight;
    // The page's bar goes in the corner beside the window where the window, as tall as the page,
    // leaves room for it at the side (a tablet or a phone held sideways); else below the window.
    const barWidth = Math.max(0, ...Array.from(this.bar.children, (child) => child.offsetWidth)) + 12;
    const tall = Math.min(roomWidth / width, wholeHeight / height);
    this.bar.classList.toggle("beside", (roomWidth - width * tall) / 2 >= barWidth);
    const roomHeight = wholeHeight - (this.bar.classList.contains("beside") ? 0 : this.bar.offsetHeight);
    const scale = Math.min(roomWidth / width, roomHeight / height);
    const ratio = devicePixelRatio || 1;
    const middle = (room, size) => Math.max(0, Math.round((room - size * scale) / 2 * ratio) / ratio);
    const zoomed = visible && visible.scale !== 1;
    this.stage.style.left = `${middle(roomWidth, width) + (zoomed ? 0 : visible?.offsetLeft ?? 0)}px`;
    this.stage.style.top = `${middle(roomHeight, height) + (zoomed ? 0 : visible?.offsetTop ?? 0)}px`;
    this.view.fit(scale);
    this.dialogs.fit(scale);
    this.prediction.fit(scale);
  }

  // The program's requests: the windows.
  loadMainView() {
    this.main = new MainView(this);
    this.show(this.main);
    queueMicrotask(() => this.program.mainViewActivated());  // once the window is in the page
    return this.main;
  }

  unloadMainView() {
    this.main.unload();
    this.main = this.view = null;
  }

  loadHelpView() {
    this.help = new HelpView(this);
    this.show(this.help);
    this.help.close.focus();
    document.fonts.ready.then(() => this.program.helpViewActivated());
    return this.help;
  }

  unloadHelpView() {
    this.help.unload();
    this.help = this.view = null;
  }

  endProgram() {
    this.main?.unload();
    this.dialogs.close();
    this.prediction.close();
    this.stage.replaceChildren();
    this.view = this.main = this.help = null;
    document.getElementById("ended").hidden = false;
    document.getElementById("restart").focus();
    // The program that ended is deleted once its request has returned: that one, whatever
    // program the page may have started by then.
    const ended = this.program;
    setTimeout(() => ended.delete());
  }

  // The dialogs.
  askEntry(prompt, title, offered, buttons) {
    this.dialogs.askEntry(this.program, prompt, title, offered, buttons);
  }

  askYesNo(prompt, title, buttons) {
    this.dialogs.askYesNo(this.program, prompt, title, buttons);
  }

  showNotice(text, title, buttons) {
    this.dialogs.showNotice(this.program, text, title, buttons);
  }

  askPrediction(question, title, buttons) {
    this.prediction.ask(this.program, question, title, buttons);
  }

  // The sound output.
  openCue(name) {
    return this.cues.open(name);
  }

  playCue() {
    this.cues.play();
  }

  stopCue() {
    this.cues.stop();
  }

  closeCue() {
    this.cues.close();
  }
}

// The font is decoded while the program compiles, not when the window first needs it.
document.fonts.load('16px "Mokopera Gothic"', "鉄砲");
createMokopera().then((module) => {
  window.mokopera = new Page(module);
  window.mokopera.start();
});
