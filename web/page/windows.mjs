// The windows of the layout as page elements, placed for the scale the page shows them at.

// A window of the layout as page elements, each with the id of its control's name. Places and
// sizes are set by placeWindow, for the scale the page shows the window at. The controls that take
// the focus come last, in their focus order, so that the document's order is the focus order.
export function buildWindow(window, layout) {
  const element = document.createElement("div");
  element.id = window.name;
  element.className = "window";
  element.placed = [];
  const rank = (control) => Math.max(-1, control.focusOrder);
  for (const control of [...window.controls].sort((a, b) => rank(a) - rank(b))) {
    const tag = control.kind === "button" ? "button" : "div";
    const made = element.appendChild(document.createElement(tag));
    made.id = control.name;
    element.placed.push([made, control]);
    if (control.fontPixels > 0) made.style.fontWeight = control.bold ? "bold" : "normal";
    if (control.focusOrder >= 0 && control.kind !== "button") made.tabIndex = 0;
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
      made.setAttribute("role", "img");  // named by the main view after what it shows
      made.appendChild(document.createElement("canvas"));
    } else {
      made.className = "text-canvas";
      made.setAttribute("role", "region");
      made.setAttribute("aria-label", window.caption.trim());
      made.style.setProperty("--pitch", layout.helpLinePixels);
    }
  }
  return element;
}

// Places a window built by buildWindow at `scale` (window pixels to CSS pixels). Every edge lands
// on a whole device pixel, so a thin border is never lost between two pixels, and boxes that
// share an edge on the desktop share it here; lines stay at least one device pixel wide.
export function placeWindow(element, window, scale) {
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
