// The four cues, decoded by the program's own wave reader and played with Web Audio. Browsers
// let a page sound only after a click or a key, so the audio comes up with the first of them.
export class Cues {
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
