// The web page as packaged by scripts/package.sh web, served as a static host would serve it
// from a folder of a site (under /some/folder/tarvik/, not at the root): the page loads from
// its relative paths, shows the banner, and its about box names the version.
// Usage: node web_site_test.mjs SITE-FOLDER VERSION
import fs from "node:fs";
import http from "node:http";
import path from "node:path";
import { launch, poll } from "../web/harness.mjs";

const site = path.resolve(process.argv[2]);
const version = process.argv[3];
const base = "/some/folder/tarvik/";
const types = { ".html": "text/html; charset=utf-8", ".js": "text/javascript",
                ".wasm": "application/wasm", ".css": "text/css", ".png": "image/png" };
const asked = [];

// Only paths under base are served: a request that leaves the folder gets 404 and is listed.
const server = http.createServer((request, response) => {
  const url = decodeURIComponent(new URL(request.url, "http://x").pathname);
  const name = url === base ? "index.html" : url.slice(base.length);
  const file = path.join(site, name);
  if (!url.startsWith(base) || name.includes("/") || !fs.existsSync(file)) {
    if (url !== "/favicon.ico") asked.push(url); // the browser's own question
    response.writeHead(404).end();
    return;
  }
  response.writeHead(200, { "Content-Type": types[path.extname(name)] || "application/octet-stream" });
  fs.createReadStream(file).pipe(response);
});
await new Promise((resolve) => server.listen(0, "127.0.0.1", resolve));
const { browser, close } = await launch();
let failed = false;
try {
  const page = await browser.newPage();
  await page.goto(`http://127.0.0.1:${server.address().port}${base}`);
  const text = () => page.$eval("#screen-text", (e) => e.textContent);
  await poll(async () => (await text()).includes("Tarvik 4.1 - Szabad ROM"), "the banner", 60);
  console.log("ok: the banner");
  await page.$eval('[data-command="103"]', (b) => b.click());
  const about = await poll(async () => {
    const t = await page.$eval("#dialog .body", (e) => e.textContent);
    return t.includes("Kiadás") && t;
  }, "the about box", 30);
  if (!about.includes(`Kiadás: ${version}`)) throw new Error(`the about box says "${about}"`);
  console.log("ok: the about box names the version");
  if (asked.length) throw new Error(`paths outside the folder were asked for: ${asked.join(" ")}`);
  console.log("ok: nothing asked for outside the folder");
} catch (e) {
  failed = true;
  console.log(`FAILED: ${e.message}`);
} finally {
  await close();
  server.close();
}
process.exit(failed ? 1 : 0);
