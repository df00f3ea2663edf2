// カメラで読み取る: the device's camera (the rear one on a tablet) read for QR codes about ten times
// a second by jsQR in a worker (decoder.mjs), which needs nothing of the browser but a canvas
// (iPad Safari has no BarcodeDetector). Each QR code's text goes to `read`, which says whether it was new: a new one
// gets a short sound. 停止, hiding the page or leaving it ends the camera's tracks, and the camera's
// light goes off. A camera that cannot be had (none, refused, a page from a file) is said in words;
// pasting works on.
const byId = (id) => document.getElementById(id);
const longestSide = 640;  // frames are read at most this large: quick, and plenty for a held-up code

export class Scanner {
  // `read` takes each QR code's text; `makeDecoder` makes the decoder's worker.
  constructor(read, makeDecoder) {
    this.read = read;
    this.makeDecoder = makeDecoder;
    this.video = byId("scan-video");
    this.canvas = document.createElement("canvas");
    this.stream = null;
    byId("scan").addEventListener("click", () => this.start());
    byId("scan-stop").addEventListener("click", () => this.stop("停止しました。 Stopped."));
    document.addEventListener("visibilitychange", () => {
      if (document.visibilityState === "hidden") this.stop("ページが隠れたので停止しました。 Stopped: the page was hidden.");
    });
    addEventListener("pagehide", () => this.stop(""));
  }

  say(words) {
    byId("scan-status").textContent = words;
  }

  async start() {
    if (this.stream || this.starting) return;
    const devices = navigator.mediaDevices;
    const fromFile = location.protocol === "file:";
    if (!devices?.getUserMedia) return this.refuse(fromFile ? "SecurityError" : "NotFoundError", fromFile);
    // The sound's output, made on the click: a browser lets a page play sound only after one.
    this.audio ??= typeof AudioContext === "function" ? new AudioContext() : null;
    this.starting = true;
    this.say("カメラを準備しています… Starting the camera…");
    try {
      this.stream = await devices.getUserMedia({ audio: false,
        video: { facingMode: { ideal: "environment" }, width: { ideal: 1280 }, height: { ideal: 720 } } });
    } catch (failure) {
      return this.refuse(failure?.name, fromFile);
    } finally {
      this.starting = false;
    }
    if (document.visibilityState === "hidden") return this.stop("");
    this.video.srcObject = this.stream;
    await this.video.play().catch(() => {});
    byId("scanner").hidden = false;
    byId("scan").hidden = true;
    byId("scan-stop").hidden = false;
    byId("scan-stop").focus();
    this.say("読み取り中です。QR コードをカメラに向けてください。 Scanning: hold a QR code up to the camera.");
    if (!this.decoder) {
      this.decoder = this.makeDecoder();
      this.decoder.onmessage = ({ data: text }) => {
        this.pending = false;
        if (!this.stream) return;
        if (text && this.read(text)) this.beep();
        this.timer = setTimeout(() => this.frame(), 100);
      };
    }
    this.frame();
  }

  // One frame to the decoder; its answer asks for the next a tenth of a second later. One frame at
  // a time: a camera started again while a frame is out goes on from its answer.
  frame() {
    if (!this.stream || this.pending) return;
    const { videoWidth: width, videoHeight: height } = this.video;
    if (!width || !height) {
      this.timer = setTimeout(() => this.frame(), 100);
      return;
    }
    const scale = Math.min(1, longestSide / Math.max(width, height));
    this.canvas.width = Math.round(width * scale);
    this.canvas.height = Math.round(height * scale);
    const context = this.canvas.getContext("2d", { willReadFrequently: true });
    context.drawImage(this.video, 0, 0, this.canvas.width, this.canvas.height);
    const { data } = context.getImageData(0, 0, this.canvas.width, this.canvas.height);
    this.pending = true;
    this.decoder.postMessage({ width: this.canvas.width, height: this.canvas.height, pixels: data.buffer }, [data.buffer]);
  }

  // A short high tone, made here: no sound file.
  beep() {
    if (!this.audio) return;
    const now = this.audio.currentTime, tone = this.audio.createOscillator(), level = this.audio.createGain();
    tone.frequency.value = 1320;
    level.gain.setValueAtTime(0.25, now);
    level.gain.exponentialRampToValueAtTime(0.001, now + 0.12);
    tone.connect(level).connect(this.audio.destination);
    tone.start(now);
    tone.stop(now + 0.12);
  }

  stop(words) {
    clearTimeout(this.timer);
    if (!this.stream) return;
    for (const track of this.stream.getTracks()) track.stop();
    this.stream = null;
    this.video.srcObject = null;
    byId("scanner").hidden = true;
    byId("scan").hidden = false;
    byId("scan-stop").hidden = true;
    if (words) this.say(words);
  }

  refuse(reason, fromFile) {
    const words = fromFile && (reason === "NotAllowedError" || reason === "SecurityError")
      ? "カメラを使えませんでした。ファイルから開いたページにはカメラを使わせないブラウザーがあります。ホストしたサイトの teacher.html から読み取るか、コードを貼り付けてください。 " +
        "The camera could not be used: some browsers allow none to a page opened from a file. Scan on the hosted site, or paste the codes."
      : reason === "NotAllowedError" || reason === "SecurityError"
        ? "カメラの使用が許可されませんでした。ブラウザーの設定でカメラを許可するか、コードを貼り付けてください。 " +
          "The camera was not allowed: allow it in the browser's settings, or paste the codes."
        : reason === "NotFoundError" || reason === "OverconstrainedError"
          ? "カメラが見つかりません。コードを貼り付けてください。 No camera found: paste the codes."
          : reason === "NotReadableError"
            ? "カメラを使えません。ほかのアプリが使っているかもしれません。 The camera cannot be used: another app may be using it."
            : `カメラを使えませんでした（${reason ?? "不明"}）。コードを貼り付けてください。 The camera could not be used.`;
    this.say(words);
  }
}
