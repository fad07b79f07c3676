// tarvik-web in headless Chromium: the page starts and shows the firmware's
// banner in its text copy, keys reach the machine, F4 held runs it unpaced,
// a dropped tape autoloads and runs, the recent files list it and the snapshot,
// a quick save is kept, the model changes, a snapshot leaves as a download and restores
// the machine when opened again, the sound runs, a damaged file gets its
// message in the page, and nothing raises an error in the page's console.
// The tape browser's panel lists an attached tape and winds it, at 320 px wide.
// A recording made by tarvik-cli plays to the same frames in the page.
// Usage: node web_test.mjs BUILD-WEB-FOLDER [TARVIK-CLI]
import assert from "node:assert/strict";
import fs from "node:fs";
import os from "node:os";
import path from "node:path";
import { spawnSync } from "node:child_process";
import { launch, pageErrors, poll, serve, tape, steps } from "./harness.mjs";

const root = path.resolve(process.argv[2] || "../../build-web");
// tarvik-cli, for the recording both builds play (optional).
const cli = process.argv[3];
assert.ok(fs.existsSync(path.join(root, "tarvik.wasm")), `no tarvik.wasm in ${root}`);

const { server, url } = await serve(root);
const { browser, close } = await launch();
const downloads = fs.mkdtempSync(path.join(os.tmpdir(), "tarvik-web-downloads-"));
let errors = [];
const { step, failed } = steps();

try {
  const page = await browser.newPage();
  errors = pageErrors(page);
  const cdp = await browser.target().createCDPSession();
  await cdp.send("Browser.setDownloadBehavior", { behavior: "allow", downloadPath: downloads });
  const text = () => page.$eval("#screen-text", (e) => e.textContent);
  const waitText = (wanted, seconds) =>
    poll(async () => (await text()).includes(wanted), `"${wanted}" on the screen`, seconds);
  const menu = (id) => page.$eval(`[data-command="${id}"]`, (b) => b.click());
  const frames = () => page.evaluate(() => Module.ccall("web_frames_run", "number", [], []));

  await step("the banner appears in the text copy", async () => {
    await page.goto(url);
    await waitText("Tarvik 4.1 - Szabad ROM");
  });

  // A key as the browser reports it for a layout: its place, what it types, with Shift.
  const keys = await page.target().createCDPSession();
  const stroke = async (code, key, shift = false) => {
    const modifiers = shift ? 8 : 0;
    const shiftKey = { code: "ShiftLeft", key: "Shift", windowsVirtualKeyCode: 16 };
    if (shift) await keys.send("Input.dispatchKeyEvent", { type: "rawKeyDown", ...shiftKey, modifiers });
    const typed = [...key].length === 1 ? { text: key } : {};
    await keys.send("Input.dispatchKeyEvent", { type: "keyDown", code, key, modifiers, ...typed });
    await keys.send("Input.dispatchKeyEvent", { type: "keyUp", code, key, modifiers });
    if (shift) await keys.send("Input.dispatchKeyEvent", { type: "keyUp", ...shiftKey });
  };
  const promptLine = async () => (await text()).split("\n").filter((l) => l.startsWith(">"))
    .pop().replace(/[Ź ]+$/, "");
  const typedLine = (wanted) => poll(async () => (await promptLine()) === wanted,
    `the prompt line "${wanted}"`);

  await step("keys typed quickly by place press the keys a US keyboard names", async () => {
    await page.focus("#screen");
    // No wait between the keys: each still reaches the machine, in order.
    for (const [code, key] of [["KeyL", "l"], ["Space", " "], ["Digit4", "4"], ["Digit1", "1"],
      ["Digit0", "0"], ["Digit0", "0"], ["Space", " "], ["KeyY", "y"], ["KeyZ", "z"],
      ["Minus", "-"]]) await stroke(code, key);
    await typedLine("> l 4100 yz=");
    // The next keys go to the prompt, once the line has run.
    await stroke("Enter", "Enter");
    await typedLine(">");
  });

  await step("keys typed into the picture reach the machine", async () => {
    await page.focus("#screen");
    // By character ("Szimbolikus billentyűzet"): the keys' characters are
    // typed whatever the layout. A typist's keys come one after the other:
    // each waits for a few frames.
    await menu(40026);
    for (const key of ["L", " ", "0", "Enter"]) {
      const before = await frames();
      await page.keyboard.press(key);
      await poll(async () => (await frames()) >= before + 4, "frames after a key");
    }
    await waitText("0038 C9 00 00 00");
  });

  await step("the canvas, drawn a changed row at a time, shows the whole picture", async () => {
    // The listing scrolled the screen; the canvas must equal one full draw of the pixels.
    const differing = await page.evaluate(() => {
      const shown = document.getElementById("picture");
      const image = TarvikUI.image;
      const full = document.createElement("canvas");
      full.width = shown.width;
      full.height = shown.height;
      full.getContext("2d").putImageData(image, -image.sx, -image.sy, image.sx, image.sy,
                                         shown.width, shown.height);
      const a = shown.getContext("2d").getImageData(0, 0, shown.width, shown.height).data;
      const b = full.getContext("2d").getImageData(0, 0, shown.width, shown.height).data;
      let count = 0;
      for (let i = 0; i < a.length; i++) if (a[i] !== b[i]) count++;
      return count;
    });
    assert.equal(differing, 0);
  });

  await step("by character, a German keyboard's keys and dead keys type once each", async () => {
    await page.focus("#screen");
    await stroke("Enter", "Enter");
    await typedLine(">");
    const german = [["IntlBackslash", "<"], ["IntlBackslash", ">", true], ["Backslash", "#"],
      ["Backslash", "'", true], ["BracketRight", "+"], ["BracketRight", "*", true],
      ["Backquote", "Dead"], ["Space", "^"], ["Equal", "Dead"], ["KeyA", "á"],
      ["Semicolon", "ö"], ["BracketLeft", "ü"], ["KeyY", "z"], ["KeyZ", "y"], ["Minus", "ß"],
      ["Comma", "<", true]];
    for (const [code, key, shift] of german) await stroke(code, key, shift);
    await typedLine("> <>#'+*^áöüzy<");
    await stroke("Enter", "Enter");
    await typedLine(">");
  });

  await step("F4 held runs the machine unpaced, as long as it is held", async () => {
    await page.focus("#screen");
    const unpaced = /Mhz \( *([2-9]\d\d|\d{4,})%/;
    await page.keyboard.down("F4");
    await poll(async () => unpaced.test(await page.title()), "the speed in the title", 30);
    await page.keyboard.up("F4");
    const speed = async () => Number((/Mhz \( *(\d+)%/.exec(await page.title()) || [0, 1e9])[1]);
    await poll(async () => (await speed()) < 150, "real time again", 30);
  });

  await step("a snapshot leaves as a download and restores the machine", async () => {
    await menu(141);
    const file = path.join(downloads, "tarvik.tks");
    await poll(() => fs.existsSync(file) && fs.statSync(file).size > 16384, "the download");
    await menu(131); // cold restart: the listing goes
    await poll(async () => !(await text()).includes("0038 C9"), "the cold restart");
    const [chooser] = await Promise.all([
      page.waitForFileChooser(),
      page.$$eval("#menubar button", (buttons) =>
        buttons.find((b) => b.textContent.startsWith("Fájl megnyitása")).click()),
    ]);
    await chooser.accept([file]);
    await waitText("0038 C9 00 00 00");
  });

  await step("a dropped tape autoloads and its program runs", async () => {
    await page.evaluate((bytes) => {
      const data = new DataTransfer();
      data.items.add(new File([new Uint8Array(bytes)], "web.tkt"));
      document.getElementById("screen").dispatchEvent(
        new DragEvent("drop", { dataTransfer: data, bubbles: true, cancelable: true }));
    }, tape());
    await waitText("WEB TKT FUTOTT");
  });

  await step("the recent files list what was opened; a quick save is kept", async () => {
    const labels = await page.$$eval("#menubar button[data-command]", (buttons) => buttons
      .filter((b) => b.dataset.command >= 40060 && b.dataset.command <= 40067)
      .filter((b) => !b.parentElement.hidden).map((b) => b.textContent));
    assert.deepStrictEqual(labels, ["1 web.tkt (Autoload)", "2 tarvik.tks (TKS betöltés)"]);
    const kept = (name) => page.evaluate((n) => localStorage.getItem("tarvik.file:" + n), name);
    assert.ok(await kept("/input/web.tkt"), "the tape is kept for the next visit");
    await menu(40070);
    await poll(() => page.$eval("#status3", (e) =>
      e.textContent === "Gyors mentés: a Tarvik4 rekesz lementve."), "the quick save");
    assert.ok(await kept("/data/quick-tarvik4.tkm"), "the slot is kept");
  });

  await step("a damaged snapshot gets its message and the machine runs on", async () => {
    await page.evaluate(() => {
      const data = new DataTransfer();
      data.items.add(new File([new Uint8Array([1, 2, 3])], "rossz.tks"));
      document.body.dispatchEvent(new DragEvent("drop", { dataTransfer: data, bubbles: true }));
    });
    await poll(() => page.$eval("#messages", (e) =>
      e.textContent.includes("Hiba! A pillanatfelvétel betöltése sikertelen.")), "the message");
    const before = await frames();
    await poll(async () => (await frames()) > before + 10, "frames after the message");
    assert.ok((await text()).includes("WEB TKT FUTOTT"), "the screen changed");
  });

  await step("at real time one timer turn runs each frame", async () => {
    const turns = () => page.evaluate(() => Module.ccall("web_turns", "number", [], []));
    const [frames0, turns0] = [await frames(), await turns()];
    await poll(async () => (await frames()) >= frames0 + 50, "50 frames");
    const [frames1, turns1] = [await frames(), await turns()];
    // A turn woken before its frame is due would have to come again for it.
    assert.ok(turns1 - turns0 <= 1.25 * (frames1 - frames0) + 3,
              `${turns1 - turns0} turns for ${frames1 - frames0} frames`);
  });

  await step("the sound runs and the audio thread gets samples", async () => {
    const stats = await poll(async () => {
      const s = await page.evaluate(() => TarvikUI.audio.stats());
      return s && s.state === "running" && s.blocks + s.skipped > 10 && s.played > 48000 && s;
    }, "sound");
    assert.ok(stats.blocks + stats.skipped > 10);
  });

  await step("a background tab pauses the machine and its sound", async () => {
    const visibility = (hidden) => page.evaluate((h) => {
      Object.defineProperty(document, "hidden", { value: h, configurable: true });
      document.dispatchEvent(new Event("visibilitychange"));
    }, hidden);
    const running = () => page.evaluate(() => Module.ccall("web_running", "number", [], []));
    const audio = () => page.evaluate(() => document.body.dataset.audio);
    await visibility(true);
    await poll(async () => !(await running()) && (await audio()) === "suspended", "the pause");
    const stopped = await frames();
    await visibility(false);
    await poll(async () => (await frames()) > stopped + 5 && (await audio()) === "running",
               "the machine running again");
  });

  const pageItem = async (label, file) => {
    const [chooser] = await Promise.all([
      page.waitForFileChooser(),
      page.$$eval("#menubar button", (buttons, l) =>
        buttons.find((b) => b.textContent.startsWith(l)).click(), label),
    ]);
    await chooser.accept([file]);
  };

  await step("a ROM dump of the user's replaces the model's image", async () => {
    const wrong = path.join(downloads, "rossz.rom");
    fs.writeFileSync(wrong, Buffer.alloc(1000));
    await pageItem("Saját ROM-kép", wrong);
    await poll(() => page.$eval("#messages", (e) => e.textContent.includes("rossz.rom")),
               "the message about the size");
    // Our own firmware with another banner.
    const rom = fs.readFileSync(path.join(root, "firmware", "tarvik41.bin"));
    const at = rom.indexOf("Szabad ROM");
    assert.ok(at > 0, "no banner in the firmware image");
    rom.write("Sajat  ROM", at);
    const mine = path.join(downloads, "sajat.rom");
    fs.writeFileSync(mine, rom);
    await pageItem("Saját ROM-kép", mine);
    await waitText("Tarvik 4.1 - Sajat  ROM");
  });

  await step("a model change shows the Veltra-16 banner", async () => {
    await menu(40017);
    await waitText("VELTRA-16  SZABAD ROM");
    assert.equal(await page.$eval('[data-command="40017"]', (b) => b.getAttribute("aria-checked")),
                 "true");
  });

  await step("the model and the ROM dump are remembered across a reload", async () => {
    await page.reload();
    await waitText("VELTRA-16  SZABAD ROM");
    await menu(40015);
    await waitText("Tarvik 4.1 - Sajat  ROM");
  });

  // The same recording played by tarvik-cli and by the page gives the same
  // frames: the emulation is the same on both builds.
  if (cli) await step("a recording plays to the same frames as in tarvik-cli", async () => {
    const work = fs.mkdtempSync(path.join(os.tmpdir(), "tarvik-web-replay-"));
    const script = path.join(work, "run.txt"), recording = path.join(work, "run.tkr");
    fs.writeFileSync(script, "frames 60\nkey L\nkey SPACE\nkey 0x34\nkey RETURN\nframes 40\n" +
                             "command MODEL_DORVANE\nframes 80\npaste H\nframes 150\n");
    const run = (args) => {
      const r = spawnSync(cli, args, { encoding: "utf8" });
      assert.equal(r.status, 0, `tarvik-cli ${args.join(" ")}: ${r.stderr}`);
      return r.stdout;
    };
    run(["--script", script, "--record", recording, "/h", "/w"]);
    const expected = run(["--replay", recording, "--hash-every", "50", "/h", "/w"]);
    assert.ok(expected.split("\n").length > 6, `too few hashes: ${expected}`);
    const bytes = [...fs.readFileSync(recording)];
    const got = await page.evaluate((b) => {
      Module.FS.writeFile("/tmp/run.tkr", Uint8Array.from(b));
      return Module.ccall("web_replay_hashes", "string", ["string", "number"], ["/tmp/run.tkr", 50]);
    }, bytes);
    assert.equal(got, expected);
  });

  await step("the tape browser's panel lists an attached tape and winds it, at 320 px too", async () => {
    const block = (name, address, data) => [...new Array(256).fill(0), 0xa5,
      ...Buffer.from(name), 0, address & 255, address >> 8, data.length, 0, ...data,
      data.reduce((a, b) => (a + b) & 255, 0), 0, 0];
    const bytes = [...block("ELSO", 0x4100, [1, 2, 3]), ...block("MASODIK", 0x4200, [7, 8, 9, 10])];
    await page.evaluate((b) => TarvikUI.hand("ketto.tkt", 40011, new Uint8Array(b)), bytes);
    await page.setViewport({ width: 320, height: 568 });
    await menu(40098);
    const panel = () => page.evaluate(() => ({
      heads: [...document.querySelectorAll("#tape-rows th[scope=col]")].map((e) => e.textContent),
      rows: [...document.querySelectorAll("#tape-rows tbody tr")].map((tr) =>
        [...tr.cells].map((c) => c.textContent).join(" ")),
      current: [...document.querySelectorAll("#tape-rows tbody tr")]
        .findIndex((tr) => tr.getAttribute("aria-current") === "true"),
      buttons: [...document.querySelectorAll("#tape-rows button")].map((b) => b.getAttribute("aria-label")),
      place: document.getElementById("tape-place").textContent,
      hidden: document.getElementById("tape-panel").hidden,
      wide: document.documentElement.scrollWidth,
    }));
    await poll(async () => !(await panel()).hidden, "the panel");
    let p = await panel();
    assert.deepStrictEqual(p.heads, ["Sorszám", "Név", "Cím", "Hossz", "Ellenőrzőösszeg", "Tekerés"]);
    assert.deepStrictEqual(p.rows, ["1 ELSO 4100-4102 3 jó Tekerés", "2 MASODIK 4200-4203 4 jó Tekerés"]);
    assert.deepStrictEqual(p.buttons, ["Tekerés: 1. blokk, ELSO", "Tekerés: 2. blokk, MASODIK"]);
    assert.equal(p.current, 0);
    assert.ok(p.wide <= 320, `the page is ${p.wide} px wide`);
    await page.$$eval("#tape-rows button", (b) => b[1].click());
    await poll(async () => (await panel()).current === 1, "the second block current");
    p = await panel();
    assert.match(p.place, /^Pozíció: 270\. bájt, a\(z\) 2\. blokkban\.$/);
    await page.click("#tape-close");
    assert.ok((await panel()).hidden, "closed");
    await page.setViewport({ width: 800, height: 600 });
  });

  await step("no error in the page's console", async () => {
    assert.deepEqual(errors, []);
  });
} finally {
  await close();
  server.close();
  fs.rmSync(downloads, { recursive: true, force: true });
}
process.exit(failed() ? 1 : 0);
