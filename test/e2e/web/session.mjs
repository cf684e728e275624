// What the browser tests share: a vazdiag web session on a simulated M1.5.4 with its wire
// trace, a headless Chromium from the system, and steps that act as the user does (a
// click on a button named by its text) and wait for the screen that follows.
import { spawn } from 'node:child_process';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import puppeteer from 'puppeteer-core';

export const vazdiag = process.env.VAZDIAG;

// A scratch directory goes; one a browser's last process still writes into is tried again,
// and a clean-up never fails a test.
const remove = (dir) => {
  try {
    fs.rmSync(dir, { recursive: true, force: true, maxRetries: 10, retryDelay: 200 });
  } catch {}
};

export async function startSession(extra = []) {
  const dir = fs.mkdtempSync(path.join(os.tmpdir(), 'vazdiag-web-'));
  const trace = path.join(dir, 'wire.txt');
  const history = path.join(dir, 'history.sqlite');
  const proc = spawn(vazdiag, ['--web', '127.0.0.1:0', '--ecu', 'm154', '--car-option', 'dtc=0102,0325', '--trace', trace,
    '--history', history, ...extra], { cwd: dir, stdio: ['ignore', 'pipe', 'pipe'] });
  let out = '';
  let err = '';
  proc.stderr.on('data', (d) => (err += d));
  const exited = new Promise((resolve) => proc.on('exit', (code) => resolve(code)));
  const url = await new Promise((resolve, reject) => {
    proc.stdout.on('data', (d) => {
      out += d;
      const m = out.match(/^Open in a browser: (\S+)$/m);
      if (m) resolve(m[1]);
    });
    exited.then((code) => reject(new Error(`vazdiag ended (${code}) before serving: ${err}`)));
  });
  const base = url.replace(/\/\?t=.*$/, '');
  return {
    dir, trace, history, url, base, exited, proc,
    token: url.replace(/^.*\?t=/, ''),
    port: Number(new URL(base).port),
    stderr: () => err,
    // The frames the tester sent, as "84 10 F1 30 42 07 55 53" (the trace is complete once
    // vazdiag has ended).
    sent: () => fs.readFileSync(trace, 'utf8').split('\n').filter((l) => / T> /.test(l)).map((l) => l.split(' T> ')[1]),
    stop: async () => {
      if (proc.exitCode === null) proc.kill('SIGTERM');
      await exited;
      remove(dir);
    },
  };
}

// `vazdiag web-history` on a history file: its address, and a way to end it.
export async function serveHistory(history) {
  const proc = spawn(vazdiag, ['web-history', '127.0.0.1:0', '--history', history], { stdio: ['ignore', 'pipe', 'pipe'] });
  const exited = new Promise((resolve) => proc.on('exit', (code) => resolve(code)));
  let out = '';
  const url = await new Promise((resolve, reject) => {
    proc.stdout.on('data', (d) => {
      out += d;
      const m = out.match(/^Open in a browser: (\S+)$/m);
      if (m) resolve(m[1]);
    });
    exited.then((code) => reject(new Error(`web-history ended (${code})`)));
  });
  return { url, stop: async () => proc.kill('SIGTERM') && (await exited) };
}

// Its profile goes with it when it is closed.
export async function launchBrowser(language = 'en-US') {
  const profile = fs.mkdtempSync(path.join(os.tmpdir(), 'vazdiag-chromium-'));
  const browser = await puppeteer.launch({
    executablePath: process.env.CHROMIUM || '/usr/bin/chromium',
    headless: true,
    userDataDir: profile,
    args: ['--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run', '--disable-background-networking',
      '--disable-component-update', '--disable-sync', `--lang=${language}`],
  });
  browser.on('disconnected', () => setTimeout(() => remove(profile), 500));
  return browser;
}

// A tab on the session's page; language as the browser prefers it.
export async function openPage(browser, url, { viewport, language } = {}) {
  const page = await browser.newPage();
  if (viewport) await page.setViewport(viewport);
  if (language) await page.setExtraHTTPHeaders({ 'Accept-Language': language });
  const problems = [];
  page.on('pageerror', (e) => problems.push(String(e)));
  page.on('console', (m) => m.type() === 'error' && problems.push(m.text()));
  page.problems = problems;
  await page.goto(url, { waitUntil: 'domcontentloaded' });
  return page;
}

// Waits for a screen of this kind showing every one of these texts.
export async function expectScreen(page, kind, ...texts) {
  await page.waitForFunction((k, t) => document.body.dataset.screen === k &&
    t.every((x) => document.getElementById('screen').textContent.includes(x)), { timeout: 15000, polling: 50 }, kind, texts);
}

// Clicks the screen's button with this text (a menu entry by its text alone).
export async function press(page, text) {
  const handle = await page.waitForFunction((t) => [...document.querySelectorAll('#screen button')]
    .find((b) => (b.querySelector('.label') || b).textContent.trim() === t), { timeout: 15000, polling: 50 }, text);
  await handle.asElement().click();
}

// Waits for the status line to begin with this text (a refusal).
export async function expectStatus(page, text) {
  await page.waitForFunction((t) => document.getElementById('status').textContent.startsWith(t),
    { timeout: 15000, polling: 50 }, text);
}

export const screenId = (page) => page.evaluate(() => Number(document.body.dataset.id));
export const focused = (page) => page.evaluate(() => document.activeElement.textContent.trim());
