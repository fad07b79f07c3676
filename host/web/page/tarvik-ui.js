// The page around tarvik-web: the menu bar built from the host's menu table,
// keys, files (picker, drop, downloads, kept files, ROM dumps), sound
// through Web Audio, the status bar, the text copy of the screen and the
// console monitor's panel. The emulator calls TarvikUI; TarvikUI calls the
// emulator's exported functions.
"use strict";

const CMD = {
  AUTOLOAD: 40029, LOAD_BINARY: 40006, LOAD_CHARSET: 40008, SNAPSHOT_LOAD: 140,
  TAPE_ATTACH: 40011, WAV_ATTACH: 40003, PASTE: 40041, FULL_SCREEN: 40019,
  SYMBOLIC_KEYBOARD: 40026, WAV_TO_TKT: 40095, TKT_TO_WAV: 40096, STATE_LOAD: 40091,
  TAPE_BROWSER: 40098,
};
// Menu commands that open a file: the picker comes first, with these types.
const OPEN_COMMANDS = {
  [CMD.AUTOLOAD]: ".tkt", [CMD.TAPE_ATTACH]: ".tkt", [CMD.WAV_ATTACH]: ".wav",
  [CMD.SNAPSHOT_LOAD]: ".tks", [CMD.LOAD_BINARY]: ".rom,.bin",
  [CMD.LOAD_CHARSET]: ".rom,.bin,.chr", [CMD.WAV_TO_TKT]: ".wav", [CMD.TKT_TO_WAV]: ".tkt",
  [CMD.STATE_LOAD]: ".tkm",
};
// What a dropped or opened file becomes, by its extension (0: a dropped
// file, which the host autoloads as a tape).
const BY_EXTENSION = {
  tkt: 0, wav: CMD.WAV_ATTACH, tks: CMD.SNAPSHOT_LOAD, rom: CMD.LOAD_BINARY,
  bin: CMD.LOAD_BINARY, chr: CMD.LOAD_CHARSET, tkm: CMD.STATE_LOAD,
};
// The places of the keyboard, each named by the virtual key a US keyboard
// has there; the emulator turns a place into the key the active layout has
// there.
const KEY_CODES = {
  Backquote: 0xc0, Minus: 0xbd, Equal: 0xbb, BracketLeft: 0xdb,
  BracketRight: 0xdd, Semicolon: 0xba, Quote: 0xde, Backslash: 0xdc, IntlBackslash: 0xe2,
  Comma: 0xbc, Period: 0xbe, Slash: 0xbf, Space: 0x20, Enter: 0x0d,
  Backspace: 0x08, Tab: 0x09, Escape: 0x1b, ShiftLeft: 0xa0, ShiftRight: 0xa1,
  ControlLeft: 0xa2, ControlRight: 0xa3, AltLeft: 0xa4, AltRight: 0xa5, CapsLock: 0x14,
  Pause: 0x13, PageUp: 0x21, PageDown: 0x22, End: 0x23, Home: 0x24, ArrowLeft: 0x25,
  ArrowUp: 0x26, ArrowRight: 0x27, ArrowDown: 0x28, Insert: 0x2d, Delete: 0x2e,
  NumpadEnter: 0x0d, NumpadMultiply: 0x6a, NumpadAdd: 0x6b, NumpadSubtract: 0x6d,
  NumpadDecimal: 0x6e, NumpadDivide: 0x6f,
};
function virtualKey(code) {
  if (code in KEY_CODES) return KEY_CODES[code];
  let m = /^Key([A-Z])$/.exec(code);
  if (m) return m[1].charCodeAt(0);
  if ((m = /^Digit([0-9])$/.exec(code))) return 0x30 + Number(m[1]);
  if ((m = /^Numpad([0-9])$/.exec(code))) return 0x60 + Number(m[1]);
  if ((m = /^F([0-9]+)$/.exec(code)) && m[1] >= 1 && m[1] <= 12) return 0x6f + Number(m[1]);
  return 0;
}

const $ = (id) => document.getElementById(id);
const call = (name, ...args) => Module.ccall(name, "number",
  args.map((a) => (typeof a === "string" ? "string" : "number")), args);

var Module = {
  preRun: [() => { TarvikUI.putRoms(); TarvikUI.putFiles(); }],
  // Standard output and the diagnostic lines of standard error go to the
  // browser's console.
  print: (text) => console.log(text),
  printErr: (text) => console.info(text),
};

const TarvikUI = {
  ready: false,
  framesAtStart: 0,
  downloads: [],
  menuItems: new Map(),
  itemStates: new Map(),
  monitorShown: false,
  picture: null,
  image: null,

  // ---- start and stop ----------------------------------------------------------
  started() {
    this.ready = true;
    this.startedAt = performance.now();
    $("loading").hidden = true;
    this.buildMenu();
    this.readLayout();
    this.measure();
    new ResizeObserver(() => this.measure()).observe($("stage"));
    document.addEventListener("fullscreenchange", () => this.measure());
    $("screen").focus();
  },
  stopped() {
    this.ready = false;
    this.setTitle("Tarvik emulátor (leállítva)");
    $("loading").textContent = "Az emulátor leállt. Az oldal újratöltése újraindítja.";
    $("loading").hidden = false;
  },
  // The picture area is the largest 4:3 box the page has room for, as the
  // desktop window opens at 4:3; the host fits the picture inside it.
  measure() {
    if (!this.ready) return;
    const s = $("screen");
    if (!document.fullscreenElement) {
      const stage = $("stage");
      const width = Math.max(64, Math.min(stage.clientWidth, stage.clientHeight * 4 / 3));
      s.style.width = Math.floor(width) + "px";
      s.style.height = Math.floor(width * 3 / 4) + "px";
    }
    call("web_set_client_size", s.clientWidth, s.clientHeight);
    call("web_resize", s.clientWidth, s.clientHeight);
  },

  // ---- picture ------------------------------------------------------------------
  // Rows first to end changed since the last call; the rest of the canvas
  // still shows them, unless the canvas was made anew.
  present(heap, pointer, width, rows, sx, sy, sw, sh, dx, dy, dw, dh, first, end) {
    const canvas = $("picture");
    let whole = false;
    if (!this.image || this.image.pointer !== pointer || this.image.rows !== rows ||
        this.image.data.buffer !== heap.buffer) {
      const pixels = new Uint8ClampedArray(heap.buffer, pointer, width * rows * 4);
      this.image = new ImageData(pixels, width, rows);
      this.image.pointer = pointer;
      this.image.rows = rows;
      whole = true;
    }
    if (canvas.width !== sw || canvas.height !== sh) {
      canvas.width = sw;
      canvas.height = sh;
      whole = true;
    }
    if (this.image.sx !== sx || this.image.sy !== sy) {
      this.image.sx = sx;
      this.image.sy = sy;
      whole = true;
    }
    const top = whole ? sy : Math.max(sy, first);
    const bottom = whole ? sy + sh : Math.min(sy + sh, end);
    if (bottom > top) {
      canvas.getContext("2d").putImageData(this.image, -sx, -sy, sx, top, sw, bottom - top);
    }
    const place = `${dx},${dy},${dw},${dh}`;
    if (canvas.dataset.place !== place) {
      canvas.dataset.place = place;
      Object.assign(canvas.style, { left: dx + "px", top: dy + "px", width: dw + "px",
                                    height: dh + "px" });
    }
    if (this.monitorShown) {
      this.monitorShown = false;
      $("monitor").hidden = true;
    }
  },
  monitor(text, separatorRow) {
    const pre = $("monitor");
    const rows = text.split("\n");
    pre.textContent = "";
    if (separatorRow > 0) {
      const top = document.createElement("span");
      top.className = "separator";
      top.textContent = rows.slice(0, separatorRow).join("\n");
      pre.append(top, rows.slice(separatorRow).join("\n"));
    } else {
      pre.textContent = text;
    }
    pre.hidden = false;
    this.monitorShown = true;
  },

  // ---- window -------------------------------------------------------------------
  setTitle(text) {
    if (text === this.title) return; // once a second, mostly the same
    this.title = text;
    document.title = text;
    $("title").textContent = text;
  },
  messageBox(caption, text, icon) {
    const box = document.createElement("div");
    const words = document.createElement("span");
    words.textContent = caption ? `${caption} ${text}` : text;
    const close = document.createElement("button");
    close.textContent = "OK";
    close.onclick = () => { box.remove(); $("screen").focus(); };
    box.append(words, close);
    box.dataset.icon = icon;
    const list = $("messages");
    list.append(box);
    while (list.children.length > 4) list.firstChild.remove();
  },
  dialog(content) {
    const d = $("dialog");
    d.querySelector("h2").textContent = content.title;
    const body = d.querySelector(".body");
    body.textContent = "";
    for (const line of content.lines || []) {
      const p = document.createElement("p");
      p.textContent = line;
      body.append(p);
    }
    if (content.keys) {
      const table = document.createElement("table");
      for (const row of content.keys) {
        const tr = table.insertRow();
        for (const [upper, lower] of row) {
          tr.insertCell().textContent = lower ? `${upper} ${lower}` : upper;
        }
      }
      body.append(table);
    }
    if (content.map) {
      // The key map of the model in use: machine key, PC key.
      const heading = document.createElement("h3");
      heading.textContent = content.map.heading;
      const list = document.createElement("table");
      list.className = "keymap";
      for (const [legend, host] of content.map.rows) {
        const tr = list.insertRow();
        tr.insertCell().textContent = legend;
        tr.insertCell().textContent = host;
      }
      const box = document.createElement("div");
      box.className = "keymap-box";
      // A scrolled list is reached by the keyboard too.
      box.tabIndex = 0;
      box.setAttribute("role", "region");
      box.setAttribute("aria-label", content.map.heading);
      box.append(list);
      const note = document.createElement("p");
      note.textContent = content.map.note;
      body.append(heading, box, note);
    }
    d.showModal();
  },
  fullScreen(on) {
    if (on && !document.fullscreenElement) $("screen").requestFullscreen().catch(() => {});
    else if (!on && document.fullscreenElement) document.exitFullscreen().catch(() => {});
  },
  statusText(part, text) { const e = $("status" + part); if (e && part !== 1) e.textContent = text; },
  statusIndicators(active) {
    [...$("status1").children].forEach((box, i) => box.classList.toggle("active", i === active));
  },
  statusShown(on) { $("status").hidden = !on; },
  clipboardWrite(text) {
    if (navigator.clipboard) navigator.clipboard.writeText(text).catch(() => {});
  },

  // ---- menus ---------------------------------------------------------------------
  buildMenu() {
    const table = JSON.parse(Module.UTF8ToString(call("web_menu_table")));
    const bar = $("menubar").firstElementChild;
    bar.textContent = "";
    const lists = [bar];
    for (const [kind, depth, id, label, shortcut, checked] of table) {
      const parent = lists[depth];
      const li = document.createElement("li");
      if (kind === 2) {
        li.append(document.createElement("hr"));
        li.setAttribute("role", "separator");
      } else {
        const button = this.menuButton(label, shortcut);
        li.append(button);
        if (kind === 0) {
          const sub = document.createElement("ul");
          sub.setAttribute("role", "menu");
          li.append(sub);
          button.setAttribute("aria-haspopup", "true");
          button.onclick = (e) => { e.stopPropagation(); this.toggleMenu(li); };
          lists[depth + 1] = sub;
          if (depth === 0 && label === "&File") this.fileMenu = sub;
        } else {
          button.setAttribute("role", "menuitemcheckbox");
          button.dataset.command = id;
          button.onclick = () => { this.closeMenus(); this.command(id); };
          this.menuItems.set(id, button);
          this.menuCheck(id, checked);
          this.showItem(id);
        }
      }
      parent.append(li);
    }
    this.addPageItems();
    document.addEventListener("click", () => this.closeMenus());
  },
  menuButton(label, shortcut) {
    const button = document.createElement("button");
    button.setAttribute("role", "menuitem");
    const check = document.createElement("span");
    check.className = "check";
    const text = document.createElement("span");
    this.setLabel(button, text, label);
    button.append(check, text);
    if (shortcut) {
      const s = document.createElement("span");
      s.className = "shortcut";
      s.textContent = shortcut;
      button.append(s);
    }
    return button;
  },
  // "&x" marks the mnemonic (underlined), "&&" is a plain "&".
  setLabel(button, text, label) {
    text.textContent = "";
    let plain = "";
    for (let i = 0; i < label.length; i++) {
      if (label[i] !== "&" || i + 1 === label.length) {
        plain += label[i];
      } else if (label[i + 1] === "&") {
        plain += "&";
        i++;
      } else {
        const u = document.createElement("u");
        u.textContent = label[i + 1];
        text.append(plain, u);
        plain = "";
        button.setAttribute("aria-keyshortcuts", "Alt+" + label[i + 1].toUpperCase());
        i++;
      }
    }
    text.append(plain);
  },
  // Items whose label the host sets (the recent files): shown or hidden,
  // enabled or greyed; kept until the menu is built.
  menuItem(id, label, shown, enabled) {
    this.itemStates.set(id, { label, shown, enabled });
    this.showItem(id);
  },
  showItem(id) {
    const b = this.menuItems.get(id);
    const state = this.itemStates.get(id);
    if (!b || !state) return;
    b.parentElement.hidden = !state.shown;
    b.disabled = !state.enabled;
    if (state.shown) this.setLabel(b, b.children[1], state.label);
  },
  // The page's own items, beside the host's: any file, ROM dumps.
  addPageItems() {
    const menu = this.fileMenu;
    if (!menu) return;
    const item = (label, action) => {
      const li = document.createElement("li");
      const b = this.menuButton(label, "");
      b.onclick = (e) => { e.stopPropagation(); this.closeMenus(); action(); };
      li.append(b);
      return li;
    };
    const separator = document.createElement("li");
    separator.append(document.createElement("hr"));
    const exit = menu.lastElementChild;
    menu.insertBefore(separator, exit);
    menu.insertBefore(item("Fájl &megnyitása (TKT, WAV, TKS, ROM/BIN, karakterkészlet)...",
                           () => this.pick("", (f) => this.openFiles(f))), exit);
    menu.insertBefore(item("Saját R&OM-kép a típushoz...",
                           () => this.pick(".rom,.bin", (f) => this.replaceRom(f[0]))), exit);
    menu.insertBefore(item("Beépített ROM-képek &vissza", () => this.forgetRoms()), exit);
    menu.insertBefore(separator.cloneNode(true), exit);
  },
  toggleMenu(li) {
    const open = li.classList.contains("open");
    for (const other of li.parentElement.querySelectorAll(":scope > li.open")) {
      other.classList.remove("open");
    }
    li.classList.toggle("open", !open);
  },
  closeMenus() {
    for (const li of document.querySelectorAll("#menubar li.open")) li.classList.remove("open");
  },
  menuCheck(id, on) {
    const b = this.menuItems.get(id);
    if (!b) return;
    b.setAttribute("aria-checked", on ? "true" : "false");
    b.firstElementChild.textContent = on ? "✓" : "";
  },
  command(id) {
    if (id in OPEN_COMMANDS) {
      this.pick(OPEN_COMMANDS[id], (files) => this.openFile(files[0], id));
    } else if (id === CMD.PASTE) {
      this.paste();
    } else {
      call("web_command", id);
    }
    // The tape browser's panel takes the focus itself.
    if (id !== CMD.TAPE_BROWSER) $("screen").focus();
  },
  paste() {
    const fallback = () => call("web_command", CMD.PASTE);
    if (!navigator.clipboard || !navigator.clipboard.readText) return fallback();
    navigator.clipboard.readText().then((t) => call("web_paste", t), fallback);
  },

  // ---- files -----------------------------------------------------------------------
  pick(accept, then) {
    const picker = $("picker");
    picker.accept = accept;
    picker.value = "";
    picker.onchange = () => { if (picker.files.length) then([...picker.files]); };
    picker.click();
  },
  async openFiles(files) {
    for (const file of files) {
      const extension = file.name.split(".").pop().toLowerCase();
      await this.openFile(file, BY_EXTENSION[extension] ?? 0);
    }
  },
  async openFile(file, command) {
    const bytes = new Uint8Array(await file.arrayBuffer());
    this.hand(file.name, command, bytes);
  },
  // A file name as the emulator's file system takes it: no folders, no
  // leading dots.
  safeName(name) {
    return name.replace(/[\/\\\0]/g, "_").replace(/^\.+/, "_") || "_";
  },
  hand(name, command, bytes) {
    if (!this.ready) return;
    const path = "/input/" + this.safeName(name);
    Module.FS.writeFile(path, bytes);
    call("web_open_file", path, command);
    $("screen").focus();
  },
  download(name, bytes) {
    const url = URL.createObjectURL(new Blob([bytes]));
    const a = document.createElement("a");
    a.href = url;
    a.download = name;
    document.body.append(a);
    a.click();
    a.remove();
    setTimeout(() => URL.revokeObjectURL(url), 60000);
    this.downloads.push(name);
  },

  // Files the emulator keeps between visits (the quick snapshots in /data,
  // the files its recent list names in /input), each in local storage under
  // "tarvik.file:" and its path, and put back before the program starts.
  // Of the handed-in files only the last eight are kept, up to 256 KB each.
  keepFile(path) {
    let bytes;
    try { bytes = Module.FS.readFile(path); } catch { return; }
    let kept;
    try { kept = JSON.parse(localStorage.getItem("tarvik.files") || "[]"); } catch { kept = []; }
    if (!Array.isArray(kept)) kept = [];
    kept = kept.filter((p) => p !== path);
    if (bytes.length <= 256 * 1024) kept.unshift(path);
    const inputs = kept.filter((p) => !p.startsWith("/data/"));
    for (const old of inputs.slice(8)) {
      kept = kept.filter((p) => p !== old);
      localStorage.removeItem("tarvik.file:" + old);
    }
    if (bytes.length > 256 * 1024) return;
    let data = "";
    for (let i = 0; i < bytes.length; i += 0x8000) {
      data += String.fromCharCode(...bytes.subarray(i, i + 0x8000));
    }
    try {
      localStorage.setItem("tarvik.file:" + path, btoa(data));
      localStorage.setItem("tarvik.files", JSON.stringify(kept));
    } catch {
      this.messageBox("", "A file nem fér el a böngésző tárhelyén; csak most érvényes.", 2);
    }
  },
  putFiles() {
    for (const key of Object.keys(localStorage)) {
      if (!key.startsWith("tarvik.file:")) continue;
      const path = key.slice("tarvik.file:".length);
      if (!/^\/(input|data)\/[^\/]+$/.test(path)) continue;
      try {
        Module.FS.mkdirTree(path.slice(0, path.lastIndexOf("/")));
        Module.FS.writeFile(path, Uint8Array.from(atob(localStorage.getItem(key)),
                                                  (c) => c.charCodeAt(0)));
      } catch { /* damaged: left out */ }
    }
  },

  // ROM dumps: remembered in local storage, put into /roms before start.
  async replaceRom(file) {
    const bytes = new Uint8Array(await file.arrayBuffer());
    const path = "/input/" + this.safeName(file.name);
    Module.FS.writeFile(path, bytes);
    if (call("web_replace_rom", path, file.name) >= 0) call("web_command", 131); // cold restart
  },
  rememberRom(name, bytes) {
    let data = "";
    for (const b of bytes) data += String.fromCharCode(b);
    try {
      localStorage.setItem("tarvik.rom." + name, btoa(data));
    } catch {
      this.messageBox("", "A ROM-kép nem fér el a böngésző tárhelyén; csak most érvényes.", 2);
    }
  },
  forgetRoms() {
    for (const key of Object.keys(localStorage)) {
      if (key.startsWith("tarvik.rom.")) localStorage.removeItem(key);
    }
    call("web_forget_roms");
    call("web_command", 131);
  },
  putRoms() {
    Module.FS.mkdir("/roms");
    for (const key of Object.keys(localStorage)) {
      if (!key.startsWith("tarvik.rom.")) continue;
      const name = key.slice("tarvik.rom.".length);
      if (!/^[a-z0-9.-]+$/.test(name)) continue;
      const bytes = Uint8Array.from(atob(localStorage.getItem(key)), (c) => c.charCodeAt(0));
      Module.FS.writeFile("/roms/" + name, bytes);
    }
  },

  // ---- settings ----------------------------------------------------------------------
  // One JSON object of named numbers per key path in local storage; a damaged
  // one is started anew. A missing or unusable value reads as -1.
  settings(key) {
    try {
      const all = JSON.parse(localStorage.getItem(key) || "{}");
      if (typeof all === "object" && all !== null && !Array.isArray(all)) return all;
    } catch { /* damaged */ }
    return {};
  },
  settingsReadText(key, name) {
    const v = this.settings(key)[name];
    return typeof v === "string" ? v : null;
  },
  settingsRead(key, name) {
    const v = this.settings(key)[name];
    return Number.isInteger(v) && v >= 0 && v <= 0xffffffff ? v : -1;
  },
  settingsWrite(key, name, value) {
    const all = this.settings(key);
    all[name] = value;
    try {
      localStorage.setItem(key, JSON.stringify(all));
      return 1;
    } catch {
      return 0;
    }
  },
  // The ROM/BIN dialogs' address fields, asked for one after the other.
  addressPanel(start, end) {
    const first = prompt("Kezdőcím (hexadecimális):", start);
    if (first === null) return null;
    const last = prompt("Végcím (hexadecimális):", end);
    if (last === null) return null;
    return [first.trim().slice(0, 5), last.trim().slice(0, 5)];
  },

  // ---- the tape browser ------------------------------------------------------------
  // The blocks of the tape in the deck, a wind button on each row; the
  // machine runs on while the panel is open.
  tapePanel(content) {
    const plain = (label) => label.replace(/&(.)/g, "$1");
    const wind = plain(content.wind);
    $("tape-title").textContent = content.title;
    $("tape-heading").textContent = content.heading;
    $("tape-place").textContent = content.place;
    const table = $("tape-rows");
    table.hidden = content.rows.length === 0;
    const head = table.tHead.rows[0];
    head.textContent = "";
    for (const name of [...content.columns, wind]) {
      const th = document.createElement("th");
      th.scope = "col";
      th.textContent = name;
      head.append(th);
    }
    const body = table.tBodies[0];
    body.textContent = "";
    content.rows.forEach((row, i) => {
      const tr = body.insertRow();
      if (i === content.current) tr.setAttribute("aria-current", "true");
      for (const text of row) tr.insertCell().textContent = text;
      const button = document.createElement("button");
      button.type = "button";
      button.textContent = wind;
      button.setAttribute("aria-label", `${wind}: ${row[0]}. blokk, ${row[1]}`);
      button.onclick = () => {
        call("web_tape_wind", i);
        this.tapePanel(JSON.parse(Module.UTF8ToString(call("web_tape_browser"))));
        const again = $("tape-rows").tBodies[0].rows[i];
        if (again) again.querySelector("button").focus();
      };
      tr.insertCell().append(button);
    });
    const close = $("tape-close");
    close.textContent = content.close;
    close.onclick = () => { $("tape-panel").hidden = true; $("screen").focus(); };
    const panel = $("tape-panel");
    if (panel.hidden) {
      panel.hidden = false;
      $("tape-title").focus();
    }
  },

  // ---- console monitor -------------------------------------------------------------
  consoleOpen(title) {
    $("console-title").textContent = title;
    $("console-output").textContent = "";
    $("console").hidden = false;
    $("console-input").focus();
  },
  consoleClose() {
    $("console").hidden = true;
    $("screen").focus();
  },
  consoleWrite(text, bright) {
    const out = $("console-output");
    const span = document.createElement("span");
    if (bright) span.className = "bright";
    span.textContent = text;
    out.append(span);
    while (out.childNodes.length > 2000) out.firstChild.remove();
    out.scrollTop = out.scrollHeight;
  },
  consoleColumns() {
    const width = $("console").clientWidth || $("screen").clientWidth;
    return Math.max(40, Math.floor(width / 8));
  },

  // ---- sound ----------------------------------------------------------------------
  audio: {
    context: null,
    node: null,
    base: 0,
    end: -1, // where the last block written ends, and how many followed each other
    run: 0,
    skipped: 0, // silent blocks not sent
    wanted: false,
    gestured: false,
    open() {
      try {
        this.context = new AudioContext({ sampleRate: 48000, latencyHint: "interactive" });
      } catch {
        return 0;
      }
      const context = this.context;
      context.onstatechange = () => this.showNote();
      context.audioWorklet.addModule("audio-worklet.js").then(() => {
        if (this.context !== context) return;
        this.node = new AudioWorkletNode(context, "tarvik-ring", { outputChannelCount: [1] });
        this.node.connect(context.destination);
        this.reset();
      }).catch((e) => console.warn("Web Audio:", e));
      this.wanted = true;
      this.showNote();
      return 1;
    },
    close() {
      if (this.context) this.context.close().catch(() => {});
      this.context = this.node = null;
      this.showNote();
    },
    frame() { return Math.round(this.context.currentTime * 48000); },
    // Blocks go to the audio thread two at a time when they follow each other
    // in the ring (a message each frame costs the page more than the samples
    // do); the audio chain writes several blocks ahead of the play position,
    // so holding one back a frame leaves the sound unchanged.
    //
    // A silent block needs no message at all: the audio thread clears each
    // sample it plays, so its ring is silent wherever nothing new was written.
    // Only right after a jump of the writes (a reset, the drift check) may the
    // places ahead still hold sound not yet played: those blocks are sent.
    write(heap, index, offset, bytes) {
      if (!this.node) return;
      const count = bytes / 2, at = offset / 2;
      const follows = this.end === at || (this.end === 48000 && at === 0);
      this.end = at + count;
      this.run = follows ? this.run + 1 : 0;
      if (this.run >= 8) {
        let silent = true;
        for (let i = 0; i < count && silent; i++) silent = heap[index + i] === 0;
        if (silent) {
          this.flush();
          this.skipped++;
          return;
        }
      }
      const held = this.held;
      if (held && held.at + held.count === at && held.count + count <= held.data.length) {
        for (let i = 0; i < count; i++) held.data[held.count + i] = heap[index + i] / 32768;
        held.count += count;
        this.flush();
        return;
      }
      this.flush();
      const data = new Float32Array(2 * count);
      for (let i = 0; i < count; i++) data[i] = heap[index + i] / 32768;
      this.held = { at, count, data };
    },
    flush() {
      const held = this.held;
      this.held = null;
      if (!held || !this.node) return;
      const data = held.count === held.data.length ? held.data : held.data.slice(0, held.count);
      this.node.port.postMessage({ type: "write", offset: held.at, data }, [data.buffer]);
    },
    reset() {
      this.held = null;
      this.run = 0;
      if (!this.node) return;
      this.base = this.frame();
      this.node.port.postMessage({ type: "reset", base: this.base });
    },
    pause() {
      this.flush();
      this.wanted = false;
      if (this.context && this.context.state === "running") this.context.suspend().catch(() => {});
      this.showNote();
    },
    resume() {
      this.wanted = true;
      if (this.context && this.context.state === "suspended") this.context.resume().catch(() => {});
      this.showNote();
    },
    position() {
      if (!this.node || this.context.state !== "running") return -1;
      return (((this.frame() - this.base) % 48000) + 48000) % 48000 * 2;
    },
    gesture() {
      this.gestured = true;
      if (this.context && this.wanted && this.context.state !== "running") {
        this.context.resume().catch(() => {});
      }
    },
    showNote() {
      $("sound-note").hidden = !this.context || this.context.state === "running" ||
                               !this.wanted || this.gestured;
      document.body.dataset.audio = this.context ? this.context.state : "none";
    },
    // What the audio thread has had and played, and the silent blocks it was
    // spared (for the tests).
    stats() {
      return new Promise((resolve) => {
        if (!this.node) return resolve(null);
        this.node.port.onmessage = (e) => resolve({ ...e.data, skipped: this.skipped,
                                                    state: this.context.state });
        this.node.port.postMessage({ type: "stats" });
      });
    },
  },

  // ---- keys -------------------------------------------------------------------------
  // What the active layout types at each place without modifiers: learnt
  // from the keys as they come, else from the browser's layout map.
  plainKeys: new Map(),
  layoutMap: null,
  readLayout() {
    if (!navigator.keyboard || !navigator.keyboard.getLayoutMap) return;
    navigator.keyboard.getLayoutMap().then((map) => {
      this.layoutMap = map;
      for (const [code, key] of map) {
        const place = virtualKey(code);
        if (place && [...key].length === 1) call("web_layout_key", place, key.codePointAt(0));
      }
    }).catch(() => {});
  },
  plainAt(e) {
    const chars = [...e.key];
    const modified = e.shiftKey || e.ctrlKey || e.altKey || e.getModifierState("AltGraph");
    if (!modified && (chars.length === 1 || e.key === "Dead")) {
      this.plainKeys.set(e.code, e.key);
    } else if (!this.plainKeys.has(e.code) && chars.length === 1 &&
               e.key.toLowerCase() !== e.key.toUpperCase()) {
      this.plainKeys.set(e.code, e.key.toLowerCase()); // a letter's plain form
    }
    const plain = this.plainKeys.get(e.code) || (this.layoutMap && this.layoutMap.get(e.code));
    return plain && plain !== "Dead" && [...plain].length === 1 ? plain.codePointAt(0) : 0;
  },
  key(e, down) {
    if (!this.ready || e.code === "F12") return;
    e.preventDefault();
    e.stopPropagation();
    if (down && e.altKey && e.code === "KeyV") return this.paste();
    const place = virtualKey(e.code);
    if (!place) return;
    // A dead key types nothing itself: the next key brings the accented
    // letter (the browser composes it).
    const chars = [...e.key];
    const character = e.key === "Dead" ? -1 : chars.length === 1 ? e.key.codePointAt(0) : 0;
    // AltGr is Ctrl+Alt, as Windows reports it.
    if (e.key === "AltGraph") call("web_key", KEY_CODES.ControlLeft, 0, 0, down ? 1 : 0);
    call("web_key", place, this.plainAt(e), character, down ? 1 : 0);
  },
};

// ---- events ------------------------------------------------------------------------------
{
  const screen = $("screen");
  screen.addEventListener("keydown", (e) => TarvikUI.key(e, true));
  screen.addEventListener("keyup", (e) => TarvikUI.key(e, false));
  screen.addEventListener("mousedown", () => screen.focus());
  for (const type of ["pointerdown", "keydown"]) {
    document.addEventListener(type, () => TarvikUI.audio.gesture(), { capture: true });
  }
  window.addEventListener("blur", () => {
    if (TarvikUI.ready) call("web_release_keys");
  });
  document.addEventListener("visibilitychange", () => {
    if (TarvikUI.ready) call("web_activate", document.hidden ? 0 : 1);
  });
  window.addEventListener("pagehide", () => { if (TarvikUI.ready) call("web_page_hide"); });
  document.addEventListener("fullscreenchange", () => {
    if (TarvikUI.ready && !document.fullscreenElement && call("web_full_screen_on")) {
      call("web_command", CMD.FULL_SCREEN);
    }
  });
  // Files dropped anywhere on the page.
  const note = $("drop-note");
  document.addEventListener("dragover", (e) => {
    e.preventDefault();
    note.hidden = false;
  });
  document.addEventListener("dragleave", (e) => { if (!e.relatedTarget) note.hidden = true; });
  document.addEventListener("drop", (e) => {
    e.preventDefault();
    note.hidden = true;
    if (e.dataTransfer && e.dataTransfer.files.length) TarvikUI.openFiles([...e.dataTransfer.files]);
  });
  screen.addEventListener("paste", (e) => {
    e.preventDefault();
    if (TarvikUI.ready) call("web_paste", e.clipboardData.getData("text"));
  });
  $("console-form").addEventListener("submit", (e) => {
    e.preventDefault();
    const input = $("console-input");
    const line = input.value;
    input.value = "";
    call("web_console_line", line);
  });
  $("text-copy-shown").addEventListener("change", (e) => {
    $("screen-text").classList.toggle("offscreen", !e.target.checked);
  });
}
