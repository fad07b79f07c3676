// tarvik-web on a phone (a 390x844 touch viewport in headless Chromium): no
// sideways scroll from 320 px wide, portrait and landscape, and every menu
// item reachable through the folded menu; the on-screen keyboard types a
// monitor command; a link opens a tape of the same site and refuses another
// site's; the embed mode; the page can be installed and after one visit it
// opens offline; axe-core finds no serious or critical violation (the tape
// browser's panel open too).
// Usage: node touch_test.mjs BUILD-WEB-FOLDER
import assert from "node:assert/strict";
import fs from "node:fs";
import path from "node:path";
import { createRequire } from "node:module";
import { KnownDevices } from "puppeteer-core";
import { launch, pageErrors, poll, serve, tape, steps } from "./harness.mjs";

const root = path.resolve(process.argv[2] || "../../build-web");
assert.ok(fs.existsSync(path.join(root, "tarvik.wasm")), `no tarvik.wasm in ${root}`);
const axeSource = createRequire(import.meta.url).resolve("axe-core/axe.min.js");

const { server, url } = await serve(root, { "demo.tkt": Buffer.from(tape()) });
const { browser, close } = await launch();
const { step, failed } = steps();

try {
  const page = await browser.newPage();
  const errors = pageErrors(page, { console: false });
  await page.emulate(KnownDevices["iPhone 13"]);
  assert.deepEqual([page.viewport().width, page.viewport().height], [390, 844]);
  const text = () => page.$eval("#screen-text", (e) => e.textContent);
  const waitText = (wanted) => poll(async () => wanted.test(await text()), `${wanted} on the screen`);
  const sideways = () => page.evaluate(() =>
    document.documentElement.scrollWidth - document.documentElement.clientWidth);

  await step("the banner appears on the phone", async () => {
    await page.goto(url);
    await waitText(/Tarvik 4\.1 - Szabad ROM/);
  });

  await step("no sideways scroll from 320 px, in portrait and landscape", async () => {
    for (const [width, height] of [[390, 844], [320, 568], [844, 390], [568, 320]]) {
      await page.setViewport({ width, height, isMobile: true, hasTouch: true });
      const over = await poll(async () => {
        const rect = await page.$eval("#screen", (e) => e.getBoundingClientRect().toJSON());
        return rect.width > 0 && rect.right <= width + 0.5 && [await sideways(), rect];
      }, `the picture inside ${width}x${height}`);
      assert.equal(over[0], 0, `${width}x${height}: scrolls ${over[0]} px sideways`);
    }
    await page.setViewport({ width: 390, height: 844, isMobile: true, hasTouch: true,
                             deviceScaleFactor: 3 });
  });

  await step("the folded menu reaches every item; submenus show they have items", async () => {
    assert.ok(await page.$eval("#menubar", (e) => getComputedStyle(e).display === "none"));
    await page.tap("#menu-button");
    // Every item in turn: its submenus opened as a user taps them, then it
    // must be the element at its own centre, inside the screen's width.
    const unreachable = await page.evaluate(async () => {
      const bad = [];
      const buttons = [...document.querySelectorAll("#menubar button")];
      for (const b of buttons) {
        TarvikUI.closeMenus();
        const path = [];
        for (let li = b.parentElement.parentElement.closest("li"); li;
             li = li.parentElement.closest("li")) path.unshift(li);
        for (const li of path) li.firstElementChild.click();
        if (b.parentElement.hidden) continue; // a recent file not there
        b.scrollIntoView({ block: "nearest" });
        const r = b.getBoundingClientRect();
        const hit = document.elementFromPoint(r.left + r.width / 2, r.top + r.height / 2);
        if (r.left < 0 || r.right > innerWidth || !b.contains(hit)) bad.push(b.textContent);
        if (b.hasAttribute("aria-haspopup") &&
            getComputedStyle(b, "::after").content.replace(/"/g, "") === "") {
          bad.push(`${b.textContent} (no sign of a submenu)`);
        }
      }
      return bad;
    });
    assert.deepEqual(unreachable, []);
    assert.ok(await page.$eval("#menubar li li button", () => true));
    await page.tap("#menu-button");
    assert.equal(await page.$eval("#menu-button", (b) => b.getAttribute("aria-expanded")), "false");
  });

  await step("the on-screen keyboard types L 4100 and the monitor lists from 4100", async () => {
    assert.ok(!(await page.$eval("#screen-keyboard", (e) => e.hidden)), "opened by itself");
    const below = await page.evaluate(() => $("screen-keyboard").getBoundingClientRect().top >=
                                            $("screen").getBoundingClientRect().bottom);
    assert.ok(below, "the keyboard lies below the picture");
    const tapKey = (legend) => page.tap(`#screen-keyboard button[data-legend='${legend}']`);
    for (const legend of ["L", "SPACE", "$/4", "!/1", "0", "0", "CR"]) await tapKey(legend);
    await waitText(/^4100( [0-9A-F]{2})+/m);
    // Shift latches for one key, then lets go.
    const shift = "#screen-keyboard button.shift";
    await page.tap(shift);
    assert.equal(await page.$eval(shift, (b) => b.getAttribute("aria-pressed")), "true");
    await tapKey("A");
    assert.equal(await page.$eval(shift, (b) => b.getAttribute("aria-pressed")), "false");
  });

  await step("a gamepad's button presses the key the dialog chose for it", async () => {
    await page.tap("#screen-keyboard button[data-legend='CR']");
    await page.tap("#gamepad-button");
    await page.select("#gamepad-list select[name='0']", String("L".charCodeAt(0)));
    await page.click("#gamepad-form button[value='ok']");
    assert.equal(JSON.parse(await page.evaluate(() => localStorage.getItem("tarvik.gamepad")))[0],
                 "L".charCodeAt(0));
    const lastPrompt = async () => (await text()).split("\n").filter((l) => l.startsWith(">")).pop();
    await poll(async () => /^>\s*$/.test(await lastPrompt()), "an empty prompt");
    await page.evaluate(() => {
      const pad = { index: 0, buttons: Array.from({ length: 17 }, () => ({ pressed: false })) };
      navigator.getGamepads = () => [pad];
      window.fakePad = pad;
      window.dispatchEvent(new Event("gamepadconnected"));
    });
    for (const pressed of [true, false]) {
      await page.evaluate((p) => { window.fakePad.buttons[0].pressed = p; }, pressed);
      await poll(() => page.evaluate((p) => Gamepads.down.has("0:0") === p, pressed), "the button");
    }
    await poll(async () => /^> ?[lL]\s*$/.test(await lastPrompt()), "L from the gamepad");
  });

  await step("axe-core finds no serious or critical violation", async () => {
    await page.addScriptTag({ path: axeSource });
    const check = () => page.evaluate(async () => (await axe.run(document)).violations
      .filter((v) => v.impact === "serious" || v.impact === "critical")
      .map((v) => `${v.id}: ${v.nodes.map((n) => n.target.join(" ")).join(", ")}`));
    assert.deepEqual(await check(), []);
    await page.tap("#gamepad-button");
    assert.deepEqual(await check(), [], "with the gamepad dialog open");
    await page.$eval("#gamepad-dialog", (d) => d.close());
    await page.evaluate(() => TarvikUI.command(40002)); // the key chart
    await poll(() => page.$eval("#dialog", (d) => d.open), "the key chart");
    assert.deepEqual(await check(), [], "with the key chart open");
    await page.$eval("#dialog", (d) => d.close());
    await page.evaluate(() => TarvikUI.command(108)); // the on-screen monitor
    await poll(() => page.$eval("#monitor", (m) => !m.hidden), "the monitor panel");
    assert.deepEqual(await check(), [], "with the monitor panel shown");
    await page.evaluate(() => TarvikUI.command(108));
    await poll(() => page.$eval("#monitor", (m) => m.hidden), "the picture again");
    await page.evaluate(() => { // a tape of one block, then the tape browser's panel
      const bytes = [...new Array(256).fill(0), 0xa5, 0x41, 0, 0, 0x41, 1, 0, 9, 9, 0, 0];
      TarvikUI.hand("egy.tkt", 40011, new Uint8Array(bytes));
      TarvikUI.command(40098);
    });
    await poll(() => page.$$eval("#tape-rows tbody tr", (r) => r.length === 1), "the tape panel");
    assert.deepEqual(await check(), [], "with the tape panel open");
    await page.click("#tape-close");
  });

  await step("after one visit the page opens offline and shows the banner", async () => {
    await poll(() => page.evaluate(() => !!navigator.serviceWorker.controller), "the worker");
    // The browser finds the page installable: the manifest, its icons, the worker.
    const cdp = await page.target().createCDPSession();
    assert.deepEqual((await cdp.send("Page.getInstallabilityErrors")).installabilityErrors, []);
    await page.setOfflineMode(true);
    await page.reload();
    await waitText(/Tarvik 4\.1 - Szabad ROM/);
    await page.setOfflineMode(false);
  });

  await step("?tape= autoloads a tape of the site; another site's is refused", async () => {
    await page.goto(url + "?tape=demo.tkt");
    await waitText(/WEB TKT FUTOTT/);
    await page.goto(url + "?tape=" + encodeURIComponent("http://example.invalid/x.tkt"));
    await poll(() => page.$eval("#messages", (m) => m.textContent.includes("Csak erről a webhelyről")),
               "the refusal");
  });

  await step("?embed=1 shows the picture, the keyboard and the status line only", async () => {
    await page.goto(url + "?embed=1&model=veltra16");
    await waitText(/VELTRA-16  SZABAD ROM/);
    const shown = await page.evaluate(() => ["header", "#screen", "#screen-keyboard", "#status"]
      .map((s) => document.querySelector(s).getBoundingClientRect().height > 0));
    assert.deepEqual(shown, [false, true, true, true]);
    await poll(() => page.$eval("#screen-keyboard", (k) => k.dataset.model === "3"),
               "the Veltra-16's keyboard");
    assert.ok(await page.$("#screen-keyboard button[data-legend='RUBOUT/@']"));
  });

  await step("no error in the page", async () => assert.deepEqual(errors, []));
} finally {
  await close();
  server.close();
}
process.exit(failed() ? 1 : 0);
