// What the browser tests and the benchmark share: a static server for
// build-web/ on 127.0.0.1, headless Chromium with a fresh profile, and
// polling with a deadline.
import fs from "node:fs";
import http from "node:http";
import os from "node:os";
import path from "node:path";
import puppeteer from "puppeteer-core";

const TYPES = {
  ".html": "text/html; charset=utf-8", ".js": "text/javascript", ".wasm": "application/wasm",
  ".css": "text/css",
};

// Serves the files directly inside root; resolves to { server, url }.
export function serve(root) {
  const server = http.createServer((request, response) => {
    const name = decodeURIComponent(new URL(request.url, "http://x").pathname.slice(1)) ||
                 "index.html";
    const type = TYPES[path.extname(name)];
    const file = path.join(root, name);
    if (!type || name.includes("/") || !fs.existsSync(file)) {
      response.writeHead(404).end();
      return;
    }
    response.writeHead(200, { "Content-Type": type, "Cache-Control": "no-store" });
    fs.createReadStream(file).pipe(response);
  });
  return new Promise((resolve, reject) => {
    server.on("error", reject);
    server.listen(0, "127.0.0.1", () =>
      resolve({ server, url: `http://127.0.0.1:${server.address().port}/` }));
  });
}

export async function launch() {
  const profile = fs.mkdtempSync(path.join(os.tmpdir(), "tarvik-web-profile-"));
  const args = ["--disable-gpu", "--no-first-run", "--disable-background-networking",
                "--disable-component-update", "--disable-sync",
                "--autoplay-policy=no-user-gesture-required"];
  if (process.getuid && process.getuid() === 0) args.push("--no-sandbox");
  const browser = await puppeteer.launch({
    executablePath: process.env.CHROMIUM || "/usr/bin/chromium",
    headless: true, userDataDir: profile, args,
  });
  const close = async () => {
    await browser.close();
    fs.rmSync(profile, { recursive: true, force: true });
  };
  return { browser, close };
}

// Polls check() until it gives a truthy value, which it returns; fails with
// what after the deadline.
export async function poll(check, what, seconds = 30) {
  const deadline = Date.now() + seconds * 1000;
  let last;
  for (;;) {
    last = await check();
    if (last) return last;
    if (Date.now() > deadline) throw new Error(`timed out waiting for ${what}`);
    await new Promise((r) => setTimeout(r, 50));
  }
}
