// Benchmarks of tarvik-web (figures, not tests): the size of tarvik.wasm and
// tarvik.js, the time from page load to the firmware's banner in headless
// Chromium, and the emulation's speed without real-time pacing.
// Usage: node bench.mjs BUILD-WEB-FOLDER [RUNS]
import fs from "node:fs";
import path from "node:path";
import { launch, poll, serve } from "./harness.mjs";

const root = path.resolve(process.argv[2] || "../../build-web");
const runs = Number(process.argv[3] || 5);
const size = (name) => fs.statSync(path.join(root, name)).size;
const total = size("tarvik.wasm") + size("tarvik.js");
console.log(`tarvik.wasm ${size("tarvik.wasm")} B + tarvik.js ${size("tarvik.js")} B = ` +
            `${(total / 1048576).toFixed(3)} MB`);

const { server, url } = await serve(root);
const { browser, close } = await launch();
try {
  const times = [];
  for (let i = 0; i < runs; i++) {
    const page = await browser.newPage();
    await page.goto(url, { waitUntil: "domcontentloaded" });
    // performance.now() counts from the navigation's start.
    const t = await page.waitForFunction(() =>
      document.getElementById("screen-text").textContent.includes("Szabad ROM") &&
      performance.now(), { polling: "raf", timeout: 30000 });
    times.push(await t.jsonValue());
    if (i < runs - 1) await page.close();
  }
  times.sort((a, b) => a - b);
  console.log(`page load to banner: median ${times[times.length >> 1].toFixed(0)} ms ` +
              `(${times.map((t) => t.toFixed(0)).join(", ")})`);

  const page = (await browser.pages()).at(-1);
  const frames = () => page.evaluate(() => Module.ccall("web_frames_run", "number", [], []));
  await page.$eval('[data-command="106"]', (b) => b.click()); // "50 Hz timer" off
  await poll(async () => !(await page.evaluate(() => Module.ccall("web_menu_checked", "number",
                                                                  ["number"], [106]))), "unpaced");
  const f0 = await frames();
  const t0 = Date.now();
  await poll(() => Date.now() - t0 >= 5000, "five seconds", 10);
  const fps = ((await frames()) - f0) / ((Date.now() - t0) / 1000);
  console.log(`unpaced: ${fps.toFixed(0)} frames/s = ${(fps / 50).toFixed(1)}x real time`);
} finally {
  await close();
  server.close();
}
