// Drives pages of the phone remote in Debian's chromium for the end-to-end tests
// (tests/e2e/test_remote.py): one JSON request per line on standard input, one JSON answer
// per line on standard output.  Each page gets a window of its own (a page in a background
// tab gets no animation frames) and a count of the WebSocket frames it receives, by kind.
//
//   {"op":"open","id":"p1","url":"http://...","width":390,"height":844}
//   {"op":"eval","id":"p1","js":"document.title"}          -> {"ok":true,"value":...}
//   {"op":"click","id":"p1","sel":"[aria-label=\"Mute A\"]"}
//   {"op":"setRange","id":"p1","sel":"...","value":-20}    as a finger moving a slider does
//   {"op":"frames","id":"p1"}                              -> {"ok":true,"value":{"meters":n,...}}
//   {"op":"screenshot","id":"p1","path":"/tmp/x.png"}
//   {"op":"close"}

import fs from "node:fs";
import os from "node:os";
import path from "node:path";
import readline from "node:readline";
import puppeteer from "puppeteer-core";

const chromium = process.env.ZR_CHROMIUM || "/usr/bin/chromium";
const profile = fs.mkdtempSync(path.join(os.tmpdir(), "zr-chromium-"));
let browser = null;
const pages = new Map();

async function launch() {
  browser = await puppeteer.launch({
    executablePath: chromium,
    headless: true,
    userDataDir: profile,
    args: [
      "--no-sandbox",
      "--disable-gpu",
      "--disable-dev-shm-usage",
      "--disable-background-networking",
      "--disable-component-update",
      "--disable-sync",
      "--no-first-run",
      "--disable-background-timer-throttling",
      "--disable-renderer-backgrounding",
      "--disable-backgrounding-occluded-windows",
    ],
  });
}

async function open({ id, url, width = 390, height = 844 }) {
  const context = await browser.createBrowserContext();
  const page = await context.newPage();
  await page.setViewport({ width, height, deviceScaleFactor: 1, isMobile: true, hasTouch: true });
  const frames = {};
  const cdp = await page.createCDPSession();
  await cdp.send("Network.enable");
  cdp.on("Network.webSocketFrameReceived", (event) => {
    const match = /"t":"([a-z ]+)"/.exec(event.response.payloadData);
    const kind = match ? match[1] : "other";
    frames[kind] = (frames[kind] || 0) + 1;
  });
  const errors = [];
  page.on("pageerror", (error) => errors.push(String(error)));
  pages.set(id, { page, context, frames, errors });
  await page.goto(url, { waitUntil: "load" });
}

function entry(id) {
  const found = pages.get(id);
  if (!found)
    throw new Error(`no page ${id}`);
  return found;
}

async function setRange({ id, sel, value }) {
  const { page } = entry(id);
  await page.$eval(sel, (input, v) => {
    // What the browser does while a finger drags the thumb: the value moves, "input"
    // fires, and "change" when the finger lifts.
    input.dispatchEvent(new PointerEvent("pointerdown", { bubbles: true }));
    input.value = String(v);
    input.dispatchEvent(new Event("input", { bubbles: true }));
    input.dispatchEvent(new PointerEvent("pointerup", { bubbles: true }));
    input.dispatchEvent(new Event("change", { bubbles: true }));
  }, value);
}

async function handle(request) {
  switch (request.op) {
    case "open": await open(request); return null;
    case "eval": return await entry(request.id).page.evaluate(request.js);
    case "click": await entry(request.id).page.click(request.sel); return null;
    case "setRange": await setRange(request); return null;
    case "frames": return { ...entry(request.id).frames };
    case "errors": return entry(request.id).errors;
    case "screenshot": await entry(request.id).page.screenshot({ path: request.path }); return null;
    case "closePage": {
      const { context } = entry(request.id);
      pages.delete(request.id);
      await context.close();
      return null;
    }
    case "close": return "closing";
    default: throw new Error(`unknown op ${request.op}`);
  }
}

async function main() {
  await launch();
  process.stdout.write(JSON.stringify({ ok: true, value: "ready" }) + "\n");
  const lines = readline.createInterface({ input: process.stdin });
  for await (const line of lines) {
    if (!line.trim())
      continue;
    let answer;
    let request = {};
    try {
      request = JSON.parse(line);
      answer = { ok: true, value: await handle(request) };
    } catch (error) {
      answer = { ok: false, error: String(error && error.stack ? error.stack : error) };
    }
    process.stdout.write(JSON.stringify(answer === undefined ? { ok: true } : answer) + "\n");
    if (request.op === "close")
      break;
  }
  await browser.close();
  fs.rmSync(profile, { recursive: true, force: true });
}

main().catch((error) => {
  process.stdout.write(JSON.stringify({ ok: false, error: String(error && error.stack ? error.stack : error) }) + "\n");
  if (browser)
    browser.close().catch(() => {});
  fs.rmSync(profile, { recursive: true, force: true });
  process.exit(1);
});
