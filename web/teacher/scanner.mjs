// カメラで読み取る: the device's camera (the rear one on a tablet) read for QR codes frame after frame
// by ZXing-C++ in a worker (decoder.mjs), which needs nothing of the browser but a canvas (iPad
// Safari has no BarcodeDetector). Every frame is read whole, at the camera's full resolution: a
// code held up across the desk is a few pixels a module, and a smaller copy would lose them. The
// texts of the QR codes of a frame go to `read` together, which tells what they brought: each
// scan is heard (a high tone for results added, a low one for nothing new or a code that cannot
// be read). 停止, hiding the page or leaving it ends the camera's tracks, and the camera's light
// goes off. A camera that cannot be had (none, refused, a page from a file) is said in words;
// pasting works on.
const byId = (id) => document.getElementById(id);

export class Scanner {
  // `read` takes the texts of a frame's QR codes and says what they brought: "added", "nothing"
  // or nothing to hear (a frame of codes already heard); `makeDecoder` makes the decoder's
  // worker, whose WebAssembly `decoderBinary()` gives (gzip in base64; the hosted site fetches it).
  constructor(read, makeDecoder, decoderBinary) {
    this.decoderBinary = decoderBinary;
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
      const binary = await this.decoderBinary().catch(() => null);
      if (!this.stream) return;  // stopped meanwhile
      if (binary === null) {
        this.stop("読み取りの準備ができませんでした。ネットワークを確かめるか、コードを貼り付けてください。 " +
                  "The decoder could not be loaded: check the network, or paste the codes.");
        return;
      }
      if (this.decoder) return this.frame();  // a start meanwhile made it
      this.decoder = this.makeDecoder();
      this.decoder.postMessage(binary);
      this.decoder.onmessage = ({ data: { texts, failure } }) => {
        this.pending = false;
        if (failure) {
          this.stop("カメラの映像を読み取れませんでした。コードを貼り付けてください。 " +
                    `The camera's picture cannot be read here (${failure}): paste the codes.`);
          return;
        }
        if (!this.stream) return;
        const heard = texts.length ? this.read(texts) : null;
        if (heard) this.beep(heard === "added" ? 1320 : 440);
        this.timer = setTimeout(() => this.frame(), 40);
      };
    }
    this.frame();
  }

  // One frame to the decoder, whole; its answer asks for the next. One frame at a time: a camera
  // started again while a frame is out goes on from its answer.
  frame() {
    if (!this.stream || this.pending) return;
    const { videoWidth: width, videoHeight: height } = this.video;
    if (!width || !height) {
      this.timer = setTimeout(() => this.frame(), 100);
      return;
    }
    if (this.canvas.width !== width || this.canvas.height !== height) Object.assign(this.canvas, { width, height });
    const context = this.canvas.getContext("2d", { willReadFrequently: true });
    context.drawImage(this.video, 0, 0);
    const { data } = context.getImageData(0, 0, width, height);
    this.pending = true;
    this.decoder.postMessage({ width, height, pixels: data.buffer }, [data.buffer]);
  }

  // A short tone of `frequency`, made here: no sound file.
  beep(frequency) {
    if (!this.audio) return;
    const now = this.audio.currentTime, tone = this.audio.createOscillator(), level = this.audio.createGain();
    tone.frequency.value = frequency;
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
