// The page's on-screen keyboard and gamepads. The keyboard is the model's
// own, drawn from the emulator's key map (web_key_map): every key with its
// legend, in the rows of the machine's keyboard; its keys and the gamepad's
// buttons press the machine's keys as physical keys do (web_machine_key).
// Shift latches: it stays down until the next key has been released.
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
// Virtual keys of the gamepad's defaults.
const VK = { LEFT: 0x25, UP: 0x26, RIGHT: 0x27, DOWN: 0x28, SPACE: 0x20, RETURN: 0x0d };

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

// ---- gamepads ----------------------------------------------------------------------------
// The standard mapping's buttons: 12-15 the d-pad, 0-3 the face buttons,
// 9 start. Each presses a virtual key; the choice is kept in local storage.
const GAMEPAD_BUTTONS = [
  [12, "D-pad fel", VK.UP], [13, "D-pad le", VK.DOWN], [14, "D-pad balra", VK.LEFT],
  [15, "D-pad jobbra", VK.RIGHT], [0, "A gomb", VK.SPACE], [1, "B gomb", VK.RETURN],
  [2, "X gomb", VK.SPACE], [3, "Y gomb", VK.RETURN], [9, "Start", VK.RETURN],
];
const GAMEPAD_CHOICES = [
  [VK.UP, "fel nyíl"], [VK.DOWN, "le nyíl"], [VK.LEFT, "bal nyíl"], [VK.RIGHT, "jobb nyíl"],
  [VK.SPACE, "szóköz"], [VK.RETURN, "Enter"],
  ...[..."ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789"].map((c) => [c.charCodeAt(0), c]),
  [0, "semmi"],
];

const Gamepads = {
  keys: null, // by button: the virtual key
  down: new Map(), // "pad:button": the virtual key held
  polling: false,

  start() {
    this.keys = this.load();
    window.addEventListener("gamepadconnected", () => this.poll());
    $("gamepad-button").addEventListener("click", (e) => {
      e.stopPropagation();
      this.openDialog();
    });
    $("gamepad-form").addEventListener("submit", (e) => {
      if (e.submitter && e.submitter.value === "ok") this.save();
      $("screen").focus();
    });
  },
  load() {
    const keys = new Map(GAMEPAD_BUTTONS.map(([button, , vk]) => [button, vk]));
    try {
      const kept = JSON.parse(localStorage.getItem("tarvik.gamepad") || "{}");
      for (const [button, vk] of Object.entries(kept)) {
        if (keys.has(Number(button)) && Number.isInteger(vk) && vk >= 0 && vk < 256) {
          keys.set(Number(button), vk);
        }
      }
    } catch { /* damaged: the defaults */ }
    return keys;
  },
  openDialog() {
    const list = $("gamepad-list");
    list.textContent = "";
    for (const [button, name] of GAMEPAD_BUTTONS) {
      const label = document.createElement("label");
      const select = document.createElement("select");
      select.name = String(button);
      for (const [vk, text] of GAMEPAD_CHOICES) select.add(new Option(text, String(vk)));
      select.value = String(this.keys.get(button));
      label.append(name + " ", select);
      list.append(label);
    }
    $("gamepad-dialog").showModal();
  },
  save() {
    for (const select of $("gamepad-list").querySelectorAll("select")) {
      this.keys.set(Number(select.name), Number(select.value));
    }
    try {
      localStorage.setItem("tarvik.gamepad", JSON.stringify(Object.fromEntries(this.keys)));
    } catch { /* only for now */ }
  },
  // While a gamepad is connected, its buttons are read at every animation frame.
  poll() {
    if (this.polling) return;
    this.polling = true;
    const turn = () => {
      const pads = [...(navigator.getGamepads ? navigator.getGamepads() : [])].filter(Boolean);
      if (!pads.length && !this.down.size) {
        this.polling = false;
        return;
      }
      for (const pad of pads) this.read(pad);
      requestAnimationFrame(turn);
    };
    requestAnimationFrame(turn);
  },
  read(pad) {
    if (!TarvikUI.ready) return;
    for (const [button, vk] of this.keys) {
      const id = `${pad.index}:${button}`;
      const pressed = !!(pad.buttons[button] && pad.buttons[button].pressed);
      if (pressed && !this.down.has(id) && vk) {
        this.down.set(id, vk);
        call("web_machine_key", vk, 1);
      } else if (!pressed && this.down.has(id)) {
        call("web_machine_key", this.down.get(id), 0);
        this.down.delete(id);
      }
    }
  },
};
