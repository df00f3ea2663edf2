// The target canvas: 500 × 500 units on its drawing area of `area` window pixels, drawn at the
// screen's own pixels however large the page shows it. What has been drawn since the last clear
// is kept, so that a new size or pixel density draws it again, sharp.
export class TargetCanvas {
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

  // The ring's points on a transparent picture of the canvas's size, made again only when the size
  // or the points change: every experiment redraws the same ring, and a picture is drawn at once.
  ringPicture(points, kx, ky) {
    const cached = this.ringCache;
    if (cached && cached.width === this.canvas.width && cached.height === this.canvas.height &&
        cached.points.length === points.length && cached.points.every((value, i) => value === points[i])) {
      return cached.picture;
    }
    const picture = Object.assign(document.createElement("canvas"), { width: this.canvas.width, height: this.canvas.height });
    const c = picture.getContext("2d");
    c.fillStyle = this.colours.foreground;
    const ux = this.area.width / this.units, uy = this.area.height / this.units;
    for (let i = 0; i < points.length; i += 2) {
      const px = Math.floor(points[i] * ux), py = Math.floor(points[i + 1] * uy);
      const left = Math.round(px * kx), top = Math.round(py * ky);
      c.fillRect(left, top, Math.max(1, Math.round((px + 1) * kx) - left), Math.max(1, Math.round((py + 1) * ky) - top));
    }
    this.ringCache = { width: picture.width, height: picture.height, points, picture };
    return picture;
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
      c.drawImage(this.ringPicture(item.points, kx, ky), 0, 0);
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
