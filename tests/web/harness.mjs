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
  ".css": "text/css", ".webmanifest": "application/manifest+json", ".png": "image/png",
  ".tkt": "application/octet-stream",
};

// Serves the files directly inside root, and extra (file name: bytes) as
// if they were there; resolves to { server, url }.
export function serve(root, extra = {}) {
  const server = http.createServer((request, response) => {
    const name = decodeURIComponent(new URL(request.url, "http://x").pathname.slice(1)) ||
                 "index.html";
    const type = TYPES[path.extname(name)];
    if (type && Object.hasOwn(extra, name)) {
      response.writeHead(200, { "Content-Type": type, "Cache-Control": "no-store" });
      response.end(extra[name]);
      return;
    }
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

// A tape of two blocks: a program at 4100h that prints a line, then the
// system variables from 4016h with the program's start, which makes the
// autoload run it.
export function tape() {
  const program = [0x21, 0x0c, 0x41, 0x7e, 0xb7, 0xc8, 0xcd, 0x16, 0x06, 0x23, 0x18, 0xf7,
                   ...Buffer.from("WEB TKT FUTOTT"), 0];
  const sysvars = new Array(0x1c).fill(0);
  sysvars[0x18 - 0x16] = 0x20; sysvars[0x19 - 0x16] = 0x41; // end of the program
  sysvars[0x30 - 0x16] = 0x00; sysvars[0x31 - 0x16] = 0x41; // its start
  const block = (load, bytes) => [...new Array(16).fill(0), 0xa5, ...Buffer.from("WEB"), 0,
                                  load & 0xff, load >> 8, bytes.length & 0xff, bytes.length >> 8,
                                  ...bytes, 0, 0];
  return [...block(0x4100, program), ...block(0x4016, sysvars)];
}

// Named steps of a test: each prints "ok: NAME" or "FAILED: NAME: why" and
// the run goes on; failed() tells whether any failed.
export function steps() {
  let anyFailed = false;
  const step = async (name, body) => {
    try {
      await body();
      console.log(`ok: ${name}`);
    } catch (e) {
      anyFailed = true;
      console.log(`FAILED: ${name}: ${e.message}`);
    }
  };
  return { step, failed: () => anyFailed };
}

// The page's uncaught errors, and with `console` its console's errors, as they come.
export function pageErrors(page, { console = true } = {}) {
  const errors = [];
  page.on("pageerror", (e) => errors.push(`uncaught: ${e.message}`));
  if (console) {
    page.on("console", (m) => { if (m.type() === "error") errors.push(`console: ${m.text()}`); });
  }
  return errors;
}
