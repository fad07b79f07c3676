// The page's on-screen keyboard: the model's own, drawn from the emulator's
// key map (web_key_map): every key with its legend, in the rows of the
// machine's keyboard. Its keys press the machine's keys as physical keys do
// (web_machine_key). Shift latches: it stays down until the next key has
// been released.
"use strict";

// The rows of each keyboard by the keys' legends ("shifted/plain" as the map
// gives them); a key of the map that no row names goes to the last row.
const KEY_ROWS = {
  tarvik: [
    ["!/1", "\"/2", "#/3", "$/4", "%/5", "&/6", "'/7", "(/8", ")/9", "0", "*/:", "-/=", "^"],
    ["TAB", "Q", "W", "E", "R", "T", "Z", "U", "I", "O", "P", "Ö", "Ü", "Ó"],
    ["LOCK", "A", "S", "D", "F", "G", "H", "J", "K", "L", "É", "Á", "+/;"],
    ["SH", "Y", "X", "C", "V", "B", "N", "M", "</,", ">/.", "//?", "SH"],
    ["ALT", "SPACE", "CR", "BS/bal", "CLS/fel", "le", "DEL/jobb"],
  ],
  veltra: [
    ["!/1", "@/2", "#/3", "$/4", "%/5", "^/6", "&/7", "*/8", "(/9", ")/0", "_/-", "+/="],
    ["Q", "W", "E", "R", "T", "Y", "U", "I", "O", "P", "[", "]", "RUBOUT/@"],
    ["A", "S", "D", "F", "G", "H", "J", "K", "L", ":/;", "\"/'", "\\", "ENTER"],
    ["SHIFT", "Z", "X", "C", "V", "B", "N", "M", "</,", ">/.", "?//", "SHIFT"],
    ["BREAK", "SPACE", "le/fel", "bal/jobb", "DELETE"],
  ],
};
// Spoken names of the keys whose legend is no word.
const KEY_NAMES = {
  SH: "Shift", SHIFT: "Shift", CR: "Enter", ENTER: "Enter", SPACE: "szóköz", BS: "törlés",
  le: "le", fel: "fel", bal: "balra", jobb: "jobbra", LOCK: "Lock", TAB: "Tab", ALT: "Alt",
};
const SHIFT_LEGENDS = new Set(["SH", "SHIFT"]);

// "shifted/plain" split; a legend without "/" between two parts is one.
function legendParts(legend) {
  const m = /^(.+?)\/(.+)$/.exec(legend);
  return m ? { shifted: m[1], plain: m[2] } : { shifted: "", plain: legend };
}

const ScreenKeyboard = {
  model: -1,
  latched: null, // the Shift key latched down
  held: new Map(), // pointer id: key button

  start() {
    const panel = $("screen-keyboard");
    panel.addEventListener("pointerdown", (e) => this.pointer(e, true));
    for (const type of ["pointerup", "pointercancel"]) {
      panel.addEventListener(type, (e) => this.pointer(e, false));
    }
    // A key activated without a pointer (a screen reader, Enter on the
    // focused button) is pressed and released at once.
    panel.addEventListener("click", (e) => {
      const key = e.target.closest("button.key");
      if (key && e.detail === 0) {
        this.press(key, true);
        this.press(key, false);
      }
    });
    $("keyboard-button").addEventListener("click", (e) => {
      e.stopPropagation();
      this.show($("screen-keyboard").hidden);
      try { localStorage.setItem("tarvik.screenKeyboard", $("screen-keyboard").hidden ? "0" : "1"); }
      catch { /* not kept */ }
      $("screen").focus();
    });
    let wanted = null;
    try { wanted = localStorage.getItem("tarvik.screenKeyboard"); } catch { /* none */ }
    const touch = navigator.maxTouchPoints > 0 || matchMedia("(pointer: coarse)").matches;
    this.show(wanted ? wanted === "1" : touch);
    // A snapshot or a menu command may change the model.
    setInterval(() => this.follow(), 500);
  },
  show(on) {
    $("screen-keyboard").hidden = !on;
    document.body.classList.toggle("keyboard-open", on);
    $("keyboard-button").setAttribute("aria-pressed", on ? "true" : "false");
    if (on) this.follow();
  },
  follow() {
    if (!TarvikUI.ready || $("screen-keyboard").hidden) return;
    if (call("web_model") !== this.model) this.build();
  },
  build() {
    const map = JSON.parse(Module.UTF8ToString(call("web_key_map")));
    this.model = map.model;
    this.release();
    const rows = KEY_ROWS[map.model === 3 ? "veltra" : "tarvik"].map(() => []);
    const left = [...map.keys];
    KEY_ROWS[map.model === 3 ? "veltra" : "tarvik"].forEach((legends, r) => {
      for (const legend of legends) {
        const at = left.findIndex((k) => k[1] === legend);
        if (at >= 0) rows[r].push(left.splice(at, 1)[0]);
      }
    });
    rows[rows.length - 1].push(...left);
    const panel = $("screen-keyboard");
    panel.textContent = "";
    panel.dataset.model = map.model;
    for (const row of rows) {
      const line = document.createElement("div");
      line.className = "key-row";
      for (const [index, legend, vk] of row) line.append(this.keyButton(index, legend, vk));
      panel.append(line);
    }
  },
  keyButton(index, legend, vk) {
    const b = document.createElement("button");
    b.type = "button";
    b.className = "key";
    b.tabIndex = -1;
    b.dataset.index = index;
    b.dataset.vk = vk;
    b.dataset.legend = legend;
    b.disabled = !vk;
    const { shifted, plain } = legendParts(legend);
    // The legend is drawn; a screen reader reads the key's name.
    const name = (part) => KEY_NAMES[part] || part;
    const spoken = document.createElement("span");
    spoken.className = "key-name";
    spoken.textContent = shifted ? `${name(plain)}, Shifttel ${name(shifted)}` : name(plain);
    if (SHIFT_LEGENDS.has(legend)) {
      b.classList.add("shift");
      b.setAttribute("aria-pressed", "false");
    }
    if (legend === "SPACE") b.classList.add("wide");
    if (shifted) {
      const top = document.createElement("small");
      top.textContent = shifted;
      top.setAttribute("aria-hidden", "true");
      b.append(top);
    }
    const face = document.createElement("span");
    face.textContent = plain;
    face.setAttribute("aria-hidden", "true");
    b.append(face, spoken);
    return b;
  },
  pointer(e, down) {
    const key = down ? e.target.closest("button.key") : this.held.get(e.pointerId);
    if (!key) return;
    e.preventDefault(); // the picture keeps the focus; no native keyboard opens
    if (down) {
      this.held.set(e.pointerId, key);
      key.setPointerCapture?.(e.pointerId);
    } else {
      this.held.delete(e.pointerId);
    }
    this.press(key, down);
  },
  press(key, down) {
    if (!TarvikUI.ready || key.disabled) return;
    TarvikUI.audio.gesture();
    const vk = Number(key.dataset.vk);
    if (key.classList.contains("shift")) {
      if (!down) return;
      const other = this.latched;
      if (other) this.unlatch();
      if (other === key) return;
      this.latched = key;
      key.setAttribute("aria-pressed", "true");
      call("web_machine_key", vk, 1);
      return;
    }
    key.classList.toggle("down", down);
    call("web_machine_key", vk, down ? 1 : 0);
    if (!down && this.latched) this.unlatch();
  },
  unlatch() {
    const key = this.latched;
    this.latched = null;
    key.setAttribute("aria-pressed", "false");
    call("web_machine_key", Number(key.dataset.vk), 0);
  },
  // Every key of the panel up (a new model, the page in the background).
  release() {
    for (const key of this.held.values()) this.press(key, false);
    this.held.clear();
    if (this.latched) this.unlatch();
  },
};
