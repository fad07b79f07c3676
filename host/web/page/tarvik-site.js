// The page as a site: the folded menu of narrow screens, the links that
// choose a model or open a file of the same site (?model=, ?tape=, ?wav=,
// ?snapshot=), the embed mode (?embed=1: the picture, the keyboard and the
// status line only) and the service worker that keeps the page for offline
// visits. It starts with the emulator, after the page's own start.
"use strict";

// The links' files and what opens them: a tape as a dropped file is opened
// (it autoloads), a WAV and a snapshot as their menu commands open them.
const LINK_FILES = [["tape", 0, "szalag.tkt"], ["wav", CMD.WAV_ATTACH, "szalag.wav"],
                    ["snapshot", CMD.SNAPSHOT_LOAD, "allapot.tks"]];
const MODEL_NAMES = ["tarvik31", "tarvik41", "dorvane", "veltra16"];
const CMD_MODEL_FIRST = 40014;

const Site = {
  params: new URLSearchParams(location.search),

  // Before the emulator runs: the embed mode and the service worker.
  prepare() {
    if (this.params.get("embed") === "1") document.body.classList.add("embed");
    if ("serviceWorker" in navigator && location.protocol.startsWith("http")) {
      navigator.serviceWorker.register("sw.js").catch((e) => console.info("service worker:", e));
    }
    const button = $("menu-button");
    button.addEventListener("click", (e) => {
      e.stopPropagation();
      this.foldedMenu(button.getAttribute("aria-expanded") !== "true");
    });
    // A command chosen, or a click elsewhere, closes the folded menu.
    document.addEventListener("click", (e) => {
      const item = e.target.closest && e.target.closest("#menubar button");
      if (!item || !item.hasAttribute("aria-haspopup")) this.foldedMenu(false);
    });
    document.addEventListener("keydown", (e) => {
      if (e.key === "Escape" && document.body.classList.contains("menu-open")) {
        this.foldedMenu(false);
        button.focus();
      }
    });
  },
  foldedMenu(open) {
    document.body.classList.toggle("menu-open", open);
    $("menu-button").setAttribute("aria-expanded", open ? "true" : "false");
    if (!open) TarvikUI.closeMenus();
  },

  // Once the emulator runs: the model, then the file the link names.
  async start() {
    const model = this.model(this.params.get("model"));
    if (model === null) {
      TarvikUI.messageBox("", `Ismeretlen típus: ${this.params.get("model")} ` +
                              `(választható: ${MODEL_NAMES.join(", ")} vagy 0-3).`, 2);
    } else if (model >= 0 && call("web_model") !== model) {
      call("web_command", CMD_MODEL_FIRST + model);
    }
    for (const [param, command, fallback] of LINK_FILES) {
      const value = this.params.get(param);
      if (value) await this.openLink(value, command, fallback);
    }
  },
  // The model a link names: -1 none, null one not known.
  model(value) {
    if (value === null || value === "") return -1;
    const name = value.toLowerCase().replace(/[^a-z0-9]/g, "");
    if (/^[0-3]$/.test(name)) return Number(name);
    const at = MODEL_NAMES.indexOf(name);
    return at >= 0 ? at : null;
  },
  async openLink(value, command, fallback) {
    let url;
    try {
      url = new URL(value, location.href);
    } catch {
      TarvikUI.messageBox("", `Hibás cím: ${value}`, 2);
      return;
    }
    if (url.origin !== location.origin) {
      TarvikUI.messageBox("", `Csak erről a webhelyről (${location.origin}) tölthetek be fájlt, ` +
                              `innen nem: ${url.origin}`, 2);
      return;
    }
    let bytes;
    try {
      const response = await fetch(url);
      if (!response.ok) throw new Error(`${response.status} ${response.statusText}`.trim());
      bytes = new Uint8Array(await response.arrayBuffer());
    } catch (e) {
      TarvikUI.messageBox("", `A fájl nem tölthető le: ${url.pathname} (${e.message})`, 2);
      return;
    }
    const name = decodeURIComponent(url.pathname.split("/").pop()) || fallback;
    TarvikUI.hand(name, command, bytes);
  },
};

Site.prepare();
{
  const pageStarted = TarvikUI.started;
  TarvikUI.started = function () {
    pageStarted.call(this);
    ScreenKeyboard.start();
    Gamepads.start();
    if (document.body.classList.contains("embed")) ScreenKeyboard.show(true);
    Site.start();
  };
  window.addEventListener("blur", () => { if (TarvikUI.ready) ScreenKeyboard.release(); });
}
