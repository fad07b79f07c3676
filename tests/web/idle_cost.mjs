// What the page costs at the idle prompt: the share of the time Chromium spends in the page's
// tasks (page.metrics() TaskDuration) over a measurement, after the banner. A figure for
// bench/idle_cost.sh, not a test.
// Usage: node idle_cost.mjs BUILD-WEB-FOLDER [SECONDS]
import path from "node:path";
import { launch, poll, serve } from "./harness.mjs";

const root = path.resolve(process.argv[2] || "../../build-web");
const seconds = Number(process.argv[3] || 20);
const { server, url } = await serve(root);
const { browser, close } = await launch();
try {
  const page = await browser.newPage();
  await page.goto(url, { waitUntil: "domcontentloaded" });
  await poll(() => page.evaluate(() => document.body.textContent.includes("Szabad ROM") ||
                                       (document.getElementById("screen-text") || {}).textContent
                                         ?.includes("Szabad ROM")), "the banner");
  await new Promise((r) => setTimeout(r, 2000)); // the start-up's own work settles
  const a = await page.metrics();
  const t0 = Date.now();
  await new Promise((r) => setTimeout(r, seconds * 1000));
  const b = await page.metrics();
  const wall = (Date.now() - t0) / 1000;
  process.stdout.write((100 * (b.TaskDuration - a.TaskDuration) / wall).toFixed(2));
} finally {
  await close();
  server.close();
}
