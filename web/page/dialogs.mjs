// The program's dialogs: one modal box for all its questions, with the program's words on its
// buttons, arranged as the program says ({words, yes, centred}). Its title is its accessible name;
// Enter answers with the program's yes (OK, はい), Escape with the last button (キャンセル, いいえ).
export class Dialogs {
  constructor() {
    this.dialog = document.getElementById("box");
    this.field = document.getElementById("box-field");
    this.dialog.addEventListener("cancel", (event) => {
      event.preventDefault();
      this.answer(this.buttons.length - 1);
    });
    this.dialog.querySelector("form").addEventListener("submit", (event) => {
      event.preventDefault();
      this.answer(this.yes);
    });
  }

  ask(title, prompt, { words, yes, centred }, offered, reply) {
    document.getElementById("box-title").textContent = title;
    document.getElementById("box-prompt").textContent = prompt;
    const row = document.getElementById("box-buttons");
    row.replaceChildren();
    row.classList.toggle("centred", centred);
    this.yes = yes;
    this.buttons = words.map((text, index) => {
      const button = row.appendChild(document.createElement("button"));
      button.type = index === yes ? "submit" : "button";
      button.textContent = text;
      if (index !== yes) button.addEventListener("click", () => this.answer(index));
      return button;
    });
    this.field.hidden = offered === null;
    this.field.value = offered ?? "";
    this.reply = reply;
    this.dialog.showModal();
    if (offered !== null) this.field.select();
    else this.buttons[yes].focus();
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

  // The box at `scale` times its own size: it grows with the window, never below its own size.
  fit(scale) {
    this.dialog.style.setProperty("--box", Math.max(1, scale));
  }

  // The program's requests, answered through `program` when the user closes the box.
  askEntry(program, prompt, title, offered, buttons) {
    this.ask(title, prompt, buttons, offered, (index, text) => program.onEntry(index === buttons.yes ? text : null));
  }

  askYesNo(program, prompt, title, buttons) {
    this.ask(title, prompt, buttons, null, (index) => program.onYesNo(index === buttons.yes));
  }

  showNotice(program, text, title, buttons) {
    this.ask(title, text, buttons, null, () => program.onNoticeClosed());
  }
}

// A lesson's question before the theory shows: a whole percentage on a slider, its value in a
// field beside it that also takes a number typed (full-width digits too, read by the program's
// own rule), or わからない (the last button, Escape and the close box). The slider starts in the
// middle and the field empty, so OK needs the student's own answer; until there is one, the hint
// under the field says what is wanted.
export class PredictionDialog {
  constructor(module) {
    this.module = module;
    this.dialog = document.getElementById("predict");
    this.slider = document.getElementById("predict-slider");
    this.field = document.getElementById("predict-field");
    this.hint = document.getElementById("predict-hint");
    this.slider.addEventListener("input", () => {
      this.field.value = this.slider.value;
      this.hint.classList.remove("wrong");
    });
    this.field.addEventListener("input", () => {
      const percent = module.readPercent(this.field.value);
      if (percent !== null) this.slider.value = percent;
      this.hint.classList.toggle("wrong", percent === null && this.field.value !== "");
    });
    this.dialog.addEventListener("cancel", (event) => {
      event.preventDefault();
      this.answer(null);
    });
    this.dialog.querySelector("form").addEventListener("submit", (event) => {
      event.preventDefault();
      const percent = module.readPercent(this.field.value);
      if (percent === null) {
        this.hint.classList.add("wrong");
        this.field.focus();
      } else {
        this.answer(percent);
      }
    });
  }

  ask(program, question, title, { words, yes }) {
    document.getElementById("predict-title").textContent = title;
    document.getElementById("predict-question").textContent = question;
    this.slider.value = 50;
    this.field.value = "";
    this.hint.classList.remove("wrong");
    const row = document.getElementById("predict-buttons");
    row.replaceChildren();
    words.forEach((text, index) => {
      const button = row.appendChild(document.createElement("button"));
      button.type = index === yes ? "submit" : "button";
      button.textContent = text;
      if (index !== yes) button.addEventListener("click", () => this.answer(null));
    });
    this.program = program;
    this.dialog.showModal();
    this.slider.focus();
  }

  // Closes the box, then answers: a percentage, or null for わからない.
  answer(percent) {
    if (!this.dialog.open) return;
    this.dialog.close();
    this.program.onPrediction(percent);
  }

  close() {
    if (this.dialog.open) this.dialog.close();
  }

  fit(scale) {
    this.dialog.style.setProperty("--box", Math.max(1, scale));
  }
}
