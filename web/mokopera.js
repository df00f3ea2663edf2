// The web edition's front end. It builds the two windows from the program's layout and carries
// out what the program asks of them: labels, buttons, the target canvas, the help text, the
// dialogs, the cues and the automatic-firing timer. The program itself (its rules, its texts and
// its numbers) is the desktop program's own C++, compiled to WebAssembly.
"use strict";

const YES = 6;
const NO = 7;

// A window of the layout as page elements, each with the id of its control's name. Places and
// sizes are set by placeWindow, for the scale the page shows the window at.
function buildWindow(window, layout) {
  const element = document.createElement("div");
  element.id = window.name;
  element.className = "window";
  element.placed = [];
  for (const control of window.controls) {
    const tag = control.kind === "button" ? "button" : "div";
    const made = element.appendChild(document.createElement(tag));
    made.id = control.name;
    element.placed.push([made, control]);
    if (control.fontPixels > 0) made.style.fontWeight = control.bold ? "bold" : "normal";
    if (control.focusOrder >= 0) made.tabIndex = control.focusOrder + 1;
    if (control.kind === "button") {
      made.type = "button";
      made.textContent = control.caption;
    } else if (control.kind === "label") {
      made.className = `label ${control.look}`;
      made.textContent = control.caption;
      made.style.background = control.background === "default" ? "" : layout.paints[control.background];
      made.style.color = control.text === "default" ? "" : layout.paints[control.text];
    } else if (control.kind === "line") {
      made.className = "line";
    } else if (control.kind === "targetCanvas") {
      made.className = "canvas";
      made.appendChild(document.createElement("canvas"));
    } else {
      made.className = "text-canvas";
      made.style.setProperty("--pitch", layout.helpLinePixels);
    }
  }
  return element;
}

// Places a window built by buildWindow at `scale` (window pixels to CSS pixels). Every edge lands
// on a whole device pixel, so a thin border is never lost between two pixels, and boxes that
// share an edge on the desktop share it here; lines stay at least one device pixel wide.
function placeWindow(element, window, scale) {
  const ratio = devicePixelRatio || 1;
  const snap = (value) => Math.round(value * scale * ratio) / ratio;
  element.style.setProperty("--scale", scale);
  element.style.setProperty("--line", `${Math.max(1, Math.round(scale * ratio)) / ratio}px`);
  element.style.width = `${snap(window.width)}px`;
  element.style.height = `${snap(window.height)}px`;
  for (const [made, control] of element.placed) {
    const left = snap(control.left), top = snap(control.top);
    Object.assign(made.style, {
      left: `${left}px`, top: `${top}px`,
      width: `${snap(control.left + control.width) - left}px`, height: `${snap(control.top + control.height) - top}px`,
    });
    if (control.fontPixels > 0) made.style.fontSize = `${control.fontPixels * scale}px`;
  }
}

// The target canvas: 500 × 500 units on its drawing area of `area` window pixels, drawn at the
// screen's own pixels however large the page shows it. What has been drawn since the last clear
// is kept, so that a new size or pixel density draws it again, sharp.
class TargetCanvas {
  constructor(canvas, area, units, colours) {
    this.canvas = canvas;
    this.area = area;
    this.units = units;
    this.colours = colours;
    this.drawn = [];
  }

  resize() {
    const ratio = devicePixelRatio || 1;
    const box = this.canvas.getBoundingClientRect();
    this.canvas.width = Math.max(1, Math.round(box.width * ratio));
    this.canvas.height = Math.max(1, Math.round(box.height * ratio));
    this.context = this.canvas.getContext("2d");
    this.paint();
  }

  clear() {
    this.drawn = [];
    this.paint();
  }

  ring(points) {
    this.drawn.push({ points });
    this.draw(this.drawn[this.drawn.length - 1]);
  }

  mark(x, y, colour) {
    this.drawn.push({ x, y, colour });
    this.draw(this.drawn[this.drawn.length - 1]);
  }

  paint() {
    if (!this.context) return;
    this.context.setTransform(1, 0, 0, 1, 0, 0);
    this.context.fillStyle = this.colours.background;
    this.context.fillRect(0, 0, this.canvas.width, this.canvas.height);
    for (const item of this.drawn) this.draw(item);
  }

  // A ring's point sets the window pixel it falls in, as the desktop's canvas does, drawn as the
  // device pixels of that window pixel; a mark is a round antialiased circle of radius 2 units,
  // its line one window pixel wide.
  draw(item) {
    if (!this.context) return;
    const c = this.context;
    const kx = this.canvas.width / this.area.width, ky = this.canvas.height / this.area.height;
    c.setTransform(1, 0, 0, 1, 0, 0);
    if (item.points) {
      c.fillStyle = this.colours.foreground;
      const ux = this.area.width / this.units, uy = this.area.height / this.units;
      for (let i = 0; i < item.points.length; i += 2) {
        const px = Math.floor(item.points[i] * ux), py = Math.floor(item.points[i + 1] * uy);
        const left = Math.round(px * kx), top = Math.round(py * ky);
        c.fillRect(left, top, Math.max(1, Math.round((px + 1) * kx) - left), Math.max(1, Math.round((py + 1) * ky) - top));
      }
    } else {
      const sx = this.canvas.width / this.units, sy = this.canvas.height / this.units;
      c.strokeStyle = this.colours[item.colour];
      c.lineWidth = Math.max(1, kx);
      c.beginPath();
      c.arc(item.x * sx, item.y * sy, 2 * sx, 0, 2 * Math.PI);
      c.stroke();
    }
  }
}

// The four cues, decoded by the program's own wave reader and played with Web Audio. Browsers
// let a page sound only after a click or a key, so the audio comes up with the first of them.
class Cues {
  constructor(module) {
    this.module = module;
    this.buffers = {};
    this.source = null;
    this.opened = null;
    this.pending = false;
  }

  wake() {
    if (this.context) return this.context.resume();
    const Context = window.AudioContext || window.webkitAudioContext;
    if (!Context) return undefined;
    this.context = new Context();
    for (const [name, text] of Object.entries(this.data())) this.buffers[name] = this.decode(text);
    if (this.pending) this.play();
    return this.context.resume();
  }

  decode(base64) {
    const bytes = Uint8Array.from(atob(base64), (c) => c.charCodeAt(0));
    const wave = this.module.parseWave(bytes);
    if (!wave) return null;
    const frames = wave.dataBytes / (wave.channels * wave.bitsPerSample / 8);
    const buffer = this.context.createBuffer(wave.channels, frames, wave.sampleRate);
    const view = new DataView(bytes.buffer, wave.dataOffset, wave.dataBytes);
    for (let channel = 0; channel < wave.channels; channel++) {
      const samples = buffer.getChannelData(channel);
      for (let frame = 0; frame < frames; frame++) {
        const at = frame * wave.channels + channel;
        samples[frame] = wave.bitsPerSample === 16 ? view.getInt16(at * 2, true) / 32768 : (view.getUint8(at) - 128) / 128;
      }
    }
    return buffer;
  }

  // The cues' wave files, base64, by name: read from the page when first wanted.
  data() {
    this.files ??= JSON.parse(document.getElementById("cues").textContent);
    return this.files;
  }

  open(name) {
    if (!(name in this.data())) return false;
    this.opened = name;
    return true;
  }

  play() {
    this.stop();
    const buffer = this.context && this.buffers[this.opened];
    this.pending = !this.context;  // the first cue of a page plays once the audio is up
    if (!buffer) return;
    this.source = this.context.createBufferSource();
    this.source.buffer = buffer;
    this.source.connect(this.context.destination);
    this.source.start();
  }

  stop() {
    this.pending = false;
    if (this.source) this.source.stop();
    this.source = null;
  }

  close() {
    this.stop();
    this.opened = null;
  }
}

// One modal dialog for all the program's questions: its title is its accessible name; Enter
// answers with the first button (OK, はい), Escape with the last (キャンセル, いいえ).
class Box {
  constructor() {
    this.dialog = document.getElementById("box");
    this.field = document.getElementById("box-field");
    this.dialog.addEventListener("cancel", (event) => {
      event.preventDefault();
      this.answer(this.buttons.length - 1);
    });
    this.dialog.querySelector("form").addEventListener("submit", (event) => {
      event.preventDefault();
      this.answer(0);
    });
  }

  ask(title, prompt, buttons, offered, reply) {
    document.getElementById("box-title").textContent = title;
    document.getElementById("box-prompt").textContent = prompt;
    const row = document.getElementById("box-buttons");
    row.replaceChildren();
    row.classList.toggle("centred", offered === null);
    this.buttons = buttons.map((text, index) => {
      const button = row.appendChild(document.createElement("button"));
      button.type = index === 0 ? "submit" : "button";
      button.textContent = text;
      if (index > 0) button.addEventListener("click", () => this.answer(index));
      return button;
    });
    this.field.hidden = offered === null;
    this.field.value = offered ?? "";
    this.reply = reply;
    this.dialog.showModal();
    if (offered !== null) this.field.select();
    else this.buttons[0].focus();
  }

  // Closes the box, then answers the program, which may ask the next question at once.
  answer(index) {
    if (!this.dialog.open) return;
    const text = this.field.value;
    this.dialog.close();
    this.reply(index, text);
  }

  close() {
    if (this.dialog.open) this.dialog.close();
  }
}

class Page {
  constructor(module) {
    this.module = module;
    this.layout = module.layout();
    this.stage = document.getElementById("stage");
    this.announcer = document.getElementById("announcer");
    this.cues = new Cues(module);
    this.box = new Box();
    this.timer = null;
    this.shown = null;
    this.colours = { ...this.layout.consoleColours, background: this.layout.paints.default, foreground: this.layout.paints.windowText };
    for (const kind of ["pointerdown", "keydown"]) window.addEventListener(kind, () => this.cues.wake(), true);
    window.addEventListener("resize", () => this.fit());
    document.getElementById("restart").addEventListener("click", () => this.start());
  }

  start() {
    document.getElementById("ended").hidden = true;
    const seed = crypto.getRandomValues(new Uint32Array(2));
    this.program = new this.module.Program(this, seed[0] * 2 ** 21 + (seed[1] >>> 11));
    this.program.start();
  }

  show(element, window) {
    this.stage.replaceChildren(element);
    this.shown = window;
    this.shownElement = element;
    document.title = window.caption.trim();
    this.fit();
  }

  // The whole window scaled to the browser's, its shape kept, never scrolling, in the middle on
  // whole device pixels. The dialogs grow with it but never shrink below their own size.
  fit() {
    if (!this.shown) return;
    const scale = Math.min(innerWidth / this.shown.width, innerHeight / this.shown.height);
    const ratio = devicePixelRatio || 1;
    placeWindow(this.shownElement, this.shown, scale);
    const middle = (room, size) => `${Math.max(0, Math.round((room - size * scale) / 2 * ratio) / ratio)}px`;
    this.stage.style.left = middle(innerWidth, this.shown.width);
    this.stage.style.top = middle(innerHeight, this.shown.height);
    this.box.dialog.style.setProperty("--box", Math.max(1, scale));
    if (this.canvas) this.canvas.resize();
  }

  announce(text) {
    this.announcer.textContent = text;
  }

  // The program's requests: windows.
  loadMainView() {
    this.main = buildWindow(this.layout.main, this.layout);
    this.buttons = [...Array(6).keys()].map((i) => this.main.querySelector(`#Command${i + 1}`));
    this.buttons.forEach((button, i) => button.addEventListener("click", () => this.program.click(i)));
    const picture = this.layout.main.controls.find((control) => control.name === "Picture1");
    const border = this.layout.canvasBorder;
    this.canvas = new TargetCanvas(this.main.querySelector("#Picture1 canvas"),
      { width: picture.width - 2 * border, height: picture.height - 2 * border }, this.layout.canvasUnits, this.colours);
    this.show(this.main, this.layout.main);
    queueMicrotask(() => this.program.mainViewActivated());  // once the window is in the page
  }

  unloadMainView() {
    this.setTimerRunning(false);
    this.main.remove();
    this.main = this.canvas = null;
  }

  loadHelpView() {
    this.help = buildWindow(this.layout.help, this.layout);
    this.help.querySelector("#Command1").addEventListener("click", () => this.program.closeHelp());
    this.show(this.help, this.layout.help);
    this.help.querySelector("#Command1").focus();
    document.fonts.ready.then(() => this.program.helpViewActivated());
  }

  unloadHelpView() {
    this.help.remove();
    this.help = null;
  }

  endProgram() {
    this.setTimerRunning(false);
    this.box.close();
    this.stage.replaceChildren();
    this.shown = this.shownElement = this.main = this.help = this.canvas = null;
    document.getElementById("ended").hidden = false;
    document.getElementById("restart").focus();
    setTimeout(() => this.program.delete());
  }

  // The main window.
  setCommandEnabled(index, enabled) {
    this.buttons[index].disabled = !enabled;
  }

  setLabelText(name, text) {
    this.main.querySelector(`#${name}`).textContent = text;
    if (name === "Label5" && this.verdict) {
      const label = (n) => this.main.querySelector(`#${n}`).textContent;
      this.announce(`${this.verdict}。実験回数 ${label("Label11")}、成功率 ${text}`);
    }
    if (name === "Label9") this.verdict = text;
    if (name === "Label15" && text) this.announce(`少なくとも一回当たる数学的確率 ${text}`);
  }

  setVerdictColour(colour) {
    this.main.querySelector("#Label9").style.color = this.colours[colour];
  }

  clearCanvas() {
    this.canvas.clear();
  }

  targetDrawn(points) {
    this.canvas.ring(Float32Array.from(points)); // a copy: the program's buffer is reused
  }

  drawMark(x, y, colour) {
    this.canvas.mark(x, y, colour);
  }

  setBusyPointer(busy) {
    this.main.style.cursor = busy ? "wait" : "";
  }

  // Timer1: a tick every 100 ms on a steady grid; after a hold-up (a long task, a frozen tab) one
  // tick, and the grid goes on from then, by the program's rule.
  setTimerRunning(running) {
    clearTimeout(this.timer);
    this.timer = null;
    if (!running) return;
    const interval = this.layout.timerIntervalMs;
    let due = performance.now() + interval;
    const next = () => {
      this.timer = setTimeout(() => {
        this.program.tick();
        if (this.timer === null) return;
        due = this.module.nextTickDue(due, performance.now(), interval);
        next();
      }, Math.max(0, due - performance.now()));
    };
    next();
  }

  // The help window's text: each line as printed, its indent at full width, and the text after
  // it narrowed to the canvas's width if it is wider.
  clearText() {
    this.help.querySelector("#Picture1").replaceChildren();
  }

  printLine(line) {
    const canvas = this.help.querySelector("#Picture1");
    const row = canvas.appendChild(document.createElement("div"));
    const indent = line.match(/^\u3000*/)[0];
    row.append(indent);
    const text = row.appendChild(document.createElement("span"));
    text.textContent = line.slice(indent.length);
    const room = canvas.clientWidth - (text.offsetLeft - row.offsetLeft);
    if (text.offsetWidth > room) text.style.transform = `scaleX(${room / text.offsetWidth})`;
  }

  // The dialogs, answered when the user closes them.
  askEntry(prompt, title, offered) {
    this.box.ask(title, prompt, ["OK", "キャンセル"], offered, (index, text) => this.program.onEntry(index === 0 ? text : ""));
  }

  askYesNo(prompt, title) {
    this.box.ask(title, prompt, ["はい", "いいえ"], null, (index) => this.program.onYesNo(index === 0 ? YES : NO));
  }

  showNotice(text, title) {
    this.box.ask(title, text, ["OK"], null, () => this.program.onNoticeClosed());
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
