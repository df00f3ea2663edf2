// The main window Form1, built from the layout: it carries out the program's requests on its
// labels, buttons, canvas and timer, and passes the clicks on to the program.
import { TargetCanvas } from "./target_canvas.mjs";
import { buildWindow, placeWindow } from "./windows.mjs";

export class MainView {
  constructor(page) {
    const { layout, module } = page;
    this.page = page;
    this.layout = layout.main;
    this.interval = layout.timerIntervalMs;
    this.targetLabels = layout.targetLabels;
    this.nextTickDue = module.nextTickDue;
    this.colours = { ...layout.consoleColours, background: layout.paints.default, foreground: layout.paints.windowText };
    this.element = buildWindow(layout.main, layout);
    for (const { name, command } of layout.commands) {
      this.element.querySelector(`#${name}`).addEventListener("click", () => page.program.click(command));
    }
    const picture = layout.main.controls.find((control) => control.name === "Picture1");
    const border = layout.canvasBorder;
    this.canvas = new TargetCanvas(this.element.querySelector("#Picture1 canvas"),
      { width: picture.width - 2 * border, height: picture.height - 2 * border }, layout.canvasUnits, this.colours);
    this.nameTarget();
    this.timer = null;
  }

  fit(scale) {
    placeWindow(this.element, this.layout, scale);
    this.canvas.resize();
  }

  unload() {
    this.setTimerRunning(false);
    this.element.remove();
  }

  setCommandEnabled(name, enabled) {
    this.element.querySelector(`#${name}`).disabled = !enabled;
  }

  setLabelText(name, text) {
    this.element.querySelector(`#${name}`).textContent = text;
    if (name === this.targetLabels.hits || name === this.targetLabels.shots) this.nameTarget();
  }

  // The target's name for screen readers: the shots of this experiment and how many hit, as the
  // counters beside it show them.
  nameTarget() {
    const [hits, shots] = [this.targetLabels.hits, this.targetLabels.shots]
      .map((name) => this.element.querySelector(`#${name}`).textContent);
    this.element.querySelector("#Picture1").setAttribute("aria-label",
      shots ? `的：この実験の着弾 ${shots} 発、命中 ${hits || 0} 発` : "的：この実験はまだ撃っていません");
  }

  setVerdictColour(colour) {
    this.element.querySelector("#Label9").style.color = this.colours[colour];
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
    this.element.style.cursor = busy ? "wait" : "";
  }

  // Timer1: a tick every 100 ms on a steady grid; after a hold-up (a long task, a frozen tab) one
  // tick, and the grid goes on from then, by the program's rule.
  setTimerRunning(running) {
    clearTimeout(this.timer);
    this.timer = null;
    this.element.toggleAttribute("data-busy", running);  // nothing else happens to the page meanwhile
    if (!running) return;
    let due = performance.now() + this.interval;
    const next = () => {
      this.timer = setTimeout(() => {
        this.page.program.tick();
        if (this.timer === null) return;
        due = this.nextTickDue(due, performance.now(), this.interval);
        next();
      }, Math.max(0, due - performance.now()));
    };
    next();
  }

  // What a screen reader says: the page's live region.
  announce(text) {
    document.getElementById("announcer").textContent = text;
  }
}
