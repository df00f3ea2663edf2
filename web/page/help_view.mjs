// The help window Form2, built from the layout: the program prints its text line by line, and
// its 閉じる goes back to the program.
import { buildWindow, placeWindow } from "./windows.mjs";

export class HelpView {
  constructor(page) {
    this.layout = page.layout.help;
    this.element = buildWindow(this.layout, page.layout);
    this.close = this.element.querySelector("#Command1");
    this.close.addEventListener("click", () => page.program.closeHelp());
    this.canvas = this.element.querySelector("#Picture1");
  }

  fit(scale) {
    placeWindow(this.element, this.layout, scale);
  }

  unload() {
    this.element.remove();
  }

  // Erases the text and goes back to the top.
  clearText() {
    this.canvas.replaceChildren();
  }

  // One line: its indent at full width, and the text after it narrowed to the canvas's width if
  // it is wider, never cut off.
  printLine(indent, text) {
    const row = this.canvas.appendChild(document.createElement("div"));
    row.append("\u3000".repeat(indent));
    const words = row.appendChild(document.createElement("span"));
    words.textContent = text;
    const room = this.canvas.clientWidth - (words.offsetLeft - row.offsetLeft);
    if (words.offsetWidth > room) words.style.transform = `scaleX(${room / words.offsetWidth})`;
  }
}
