// The browser of bench_web: opens a web session's page in headless Chromium, chooses live
// data with the items given ("all" or "1,3,4,11"), waits until the session has shown
// `passes` passes and goes back out, so the session ends. Prints what the page counted, as
// JSON: passes received (a page behind the line skips to the newest) and how late they were
// (the page's clock against the time each pass was published).
//   node attach.mjs URL PASSES ITEMS
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import { createRequire } from 'node:module';

// puppeteer-core as the browser tests install it.
const require = createRequire(new URL('../../test/e2e/web/package.json', import.meta.url));
const puppeteer = require('puppeteer-core');

const [url, passesText, items] = process.argv.slice(2);
const passes = Number(passesText);
const profile = fs.mkdtempSync(path.join(os.tmpdir(), 'vazdiag-bench-chromium-'));
const browser = await puppeteer.launch({
  executablePath: process.env.CHROMIUM || '/usr/bin/chromium', headless: true,
  userDataDir: profile,
  args: ['--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run', '--disable-background-networking',
    '--disable-component-update', '--disable-sync'],
});
const click = async (page, text) => {
  const h = await page.waitForFunction((t) => [...document.querySelectorAll('#screen button')]
    .find((b) => (b.querySelector('.label') || b).textContent.trim() === t), { polling: 20, timeout: 60000 }, text);
  await h.asElement().click();
};
const on = (page, kind) => page.waitForFunction((k) => document.body.dataset.screen === k, { polling: 20, timeout: 60000 }, kind);
try {
  const page = await browser.newPage();
  await page.goto(url);
  await click(page, 'Live data');
  await on(page, 'select');
  await page.evaluate((list) => document.querySelectorAll('#screen input[type=checkbox]').forEach((b, i) =>
    (b.checked = list === 'all' || list.split(',').map(Number).includes(i + 1))), items);
  await click(page, 'Show');
  await on(page, 'stream');
  const start = await page.evaluate(() => Object.assign({}, window.vazStats));
  await page.waitForFunction((n) => window.vazStats.lastPass >= n, { polling: 50, timeout: 0 }, passes);
  const end = await page.evaluate(() => Object.assign({}, window.vazStats));
  await click(page, 'Back');
  await on(page, 'select');
  await click(page, 'Back');
  await on(page, 'menu');
  await click(page, 'Back');
  await on(page, 'ended');
  const received = end.passes - start.passes;
  console.log(JSON.stringify({ passes: received, latencyMeanMs: (end.latencySum - start.latencySum) / received,
    latencyMaxMs: end.latencyMax }));
} finally {
  await browser.close();
  await new Promise((r) => setTimeout(r, 500));  // the browser's last processes let go of the profile
  fs.rmSync(profile, { recursive: true, force: true, maxRetries: 10, retryDelay: 200 });
}
