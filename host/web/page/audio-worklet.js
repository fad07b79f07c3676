// The sound output's ring in the audio thread: one second of samples, written
// block by block at their places by the emulator and played at the audio
// clock's frame, so that the emulator can read the play position from the
// same clock. A sample is cleared once played: when the emulator stands
// still the output falls silent instead of repeating the ring.
const RING = 48000;

class TarvikRing extends AudioWorkletProcessor {
  constructor() {
    super();
    this.ring = new Float32Array(RING);
    this.base = 0;
    this.blocks = 0;
    this.audible = 0;
    this.played = 0;
    this.port.onmessage = (event) => {
      const m = event.data;
      if (m.type === "write") {
        this.ring.set(m.data, m.offset);
        this.blocks++;
        if (m.data.some((s) => s !== 0)) this.audible++;
      } else if (m.type === "reset") {
        this.ring.fill(0);
        this.base = m.base;
      } else if (m.type === "stats") {
        this.port.postMessage({ type: "stats", blocks: this.blocks, audible: this.audible,
                                played: this.played });
      }
    };
  }

  process(inputs, outputs) {
    const output = outputs[0];
    const first = output[0];
    let index = (((currentFrame - this.base) % RING) + RING) % RING;
    for (let i = 0; i < first.length; i++) {
      first[i] = this.ring[index];
      this.ring[index] = 0;
      if (++index === RING) index = 0;
    }
    for (let c = 1; c < output.length; c++) output[c].set(first);
    this.played += first.length;
    return true;
  }
}

registerProcessor("tarvik-ring", TarvikRing);
