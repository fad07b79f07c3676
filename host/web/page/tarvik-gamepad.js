// Gamepads: the Gamepad API's buttons press the machine's keys as physical
// keys do (web_machine_key).
"use strict";

// Virtual keys of the defaults.
const VK = { LEFT: 0x25, UP: 0x26, RIGHT: 0x27, DOWN: 0x28, SPACE: 0x20, RETURN: 0x0d };
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
