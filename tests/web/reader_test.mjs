// The page for a screen reader: the live region announces each new line
// once and nothing while the machine idles, Alt+K tells the cursor's place,
// the review text holds the whole screen without being live, showing it
// leaves the picture its size, and "Felolvasás" speaks new lines (through
// a recording stand-in for the browser's speechSynthesis).
// Usage: node reader_test.mjs BUILD-WEB-FOLDER
import assert from "node:assert/strict";
import fs from "node:fs";
import path from "node:path";
import { launch, pageErrors, poll, serve, steps } from "./harness.mjs";

const root = path.resolve(process.argv[2] || "../../build-web");
assert.ok(fs.existsSync(path.join(root, "tarvik.wasm")), `no tarvik.wasm in ${root}`);
const { server, url } = await serve(root);
const { browser, close } = await launch();
const { step, failed } = steps();

try {
  const page = await browser.newPage();
  const errors = pageErrors(page);
  await page.evaluateOnNewDocument(() => {
    // Every change of the live region, and every utterance.
    window.announced = [];
    window.spoken = [];
    globalThis.SpeechSynthesisUtterance = class { constructor(text) { this.text = text; } };
    Object.defineProperty(window, "speechSynthesis", {
      configurable: true, value: { speak: (u) => window.spoken.push(u.text), cancel() {} },
    });
    document.addEventListener("DOMContentLoaded", () => {
      const live = document.getElementById("screen-news");
      new MutationObserver(() => window.announced.push(live.textContent))
        .observe(live, { childList: true, characterData: true, subtree: true });
    });
  });
  const announced = () => page.evaluate(() => window.announced.slice());
  const frames = () => page.evaluate(() => Module.ccall("web_frames_run", "number", [], []));
  // Five seconds of the machine's frames.
  const idle = async () => {
    const start = await frames();
    await poll(async () => (await frames()) >= start + 250, "five seconds of frames", 60);
  };
  const type = async (keys) => {
    await page.focus("#screen");
    for (const key of keys) {
      const before = await frames();
      await page.keyboard.press(key);
      await poll(async () => (await frames()) >= before + 4, "frames after a key");
    }
  };

  await step("the banner is announced, then nothing while the machine idles", async () => {
    await page.goto(url);
    await poll(async () => (await announced()).some((t) => t.includes("Tarvik 4.1 - Szabad ROM")),
      "the banner announced");
    assert.equal(await page.$eval("#screen-news", (e) => e.getAttribute("aria-live")), "polite");
    // The start-up's last lines may come a look or two after the banner (a
    // busy machine runs the frames unevenly): a second of frames with
    // nothing new first, then five seconds that must stay silent.
    let before = -1;
    await poll(async () => {
      const count = (await announced()).length;
      if (count === before) return true;
      before = count;
      const start = await frames();
      await poll(async () => (await frames()) >= start + 50, "a second of frames", 60);
      return false;
    }, "the start-up's lines announced", 120);
    await idle();
    assert.deepEqual((await announced()).slice(before), [], "announced while idle");
  });

  await step("a new line is announced once, in Hungarian letters", async () => {
    await type(["l", " ", "4", "1", "0", "0", "Enter"]);
    await poll(async () => (await announced()).some((t) => t.includes("4100 00 00")),
      "the listing announced");
    await idle();
    const listing = (await announced()).filter((t) => t.includes("4100 00 00"));
    assert.equal(listing.length, 1, JSON.stringify(listing));
    const all = (await announced()).join("\n");
    assert.equal(all.split("Tarvik 4.1").length, 2, "the banner once: " + all);
    assert.ok(all.includes("Gépi kód"), all);
    assert.ok(!/[\u0080-\u009f\u0179]/.test(all), "no graphics as letters: " + all);
  });

  await step("Alt+K tells the cursor's place", async () => {
    await page.focus("#screen");
    await page.keyboard.down("Alt");
    await page.keyboard.press("k");
    await page.keyboard.up("Alt");
    const place = await poll(() => page.$eval("#cursor-place", (e) => e.textContent),
      "the cursor's place");
    assert.match(place, /^sor (\d+), oszlop 3$/);
    const row = Number(place.match(/\d+/)[0]);
    const lines = (await page.$eval("#screen-text", (e) => e.textContent)).split("\n");
    assert.equal(lines[row - 1], ">", `line ${row}: ${lines[row - 1]}`);
  });

  await step("the review text is the whole screen, not live; shown, it leaves the picture",
    async () => {
      const review = await page.$eval("#screen-text", (e) => ({
        live: e.getAttribute("aria-live"), role: e.getAttribute("role"),
        label: e.getAttribute("aria-label"), lines: e.textContent.split("\n").length,
      }));
      assert.deepEqual(review, { live: null, role: "document", label: "A képernyő sorai",
                                 lines: 33 });
      const size = () => page.$eval("#screen", (e) => [e.clientWidth, e.clientHeight]);
      const before = await size();
      await page.click("#text-copy-shown");
      await poll(() => page.$eval("#screen-text", (e) => e.offsetHeight > 100), "the text shown");
      assert.deepEqual(await size(), before);
      await page.click("#text-copy-shown");
    });

  await step("Felolvasás speaks new lines", async () => {
    await page.$eval('[data-command="40097"]', (b) => b.click());
    await type(["l", " ", "4", "2", "0", "0", "Enter"]);
    const spoken = await poll(async () => {
      const s = await page.evaluate(() => window.spoken.join(""));
      return s.includes("4200 00 00") && s;
    }, "the listing spoken");
    assert.ok(!spoken.includes("4100 00 00"), "only new lines: " + spoken);
  });

  await step("no error in the page's console", async () => assert.deepEqual(errors, []));
} finally {
  await close();
  server.close();
}
process.exit(failed() ? 1 : 0);
