// The attendee's side of the check-in test: Debian's Chromium, headless, as a phone (360 x 740,
// touch), opens the address read from the stage's QR code, types a name, attaches a photo when
// one is given, sends, and waits for the success page. Screenshots of the filled form and of
// the success page go to <shots>-form.png and <shots>-done.png. Prints one line of JSON on
// success; any script error or CSP violation on the page, a refusal or a timeout fails.
//   node checkin_browser.mjs <url> <name> <shots prefix> [photo.jpg]
import { mkdtempSync, rmSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import puppeteer from 'puppeteer-core';

const [url, name, shots, photo] = process.argv.slice(2);
if (!url || !name || !shots) {
  console.error('usage: node checkin_browser.mjs <url> <name> <shots prefix> [photo.jpg]');
  process.exit(2);
}
const SUCCESS = '签到成功，祝您好运！';

// Nothing here may hang the test: the whole visit has one deadline.
const deadline = setTimeout(() => {
  console.error('checkin_browser: no success page within 60 s');
  process.exit(1);
}, 60000);

const profile = mkdtempSync(join(tmpdir(), 'ld-chromium-'));
const browser = await puppeteer.launch({
  executablePath: process.env.CHROMIUM || '/usr/bin/chromium',
  headless: true,
  userDataDir: profile,
  // Without the background-networking flags Chromium tries outside connections that the test
  // machine refuses; no proxy, so that 127.0.0.1 is reached directly whatever the environment.
  args: ['--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
    '--disable-background-networking', '--disable-component-update', '--disable-sync',
    '--no-proxy-server', '--lang=zh-CN'],
});
let failed = null;
try {
  const page = await browser.newPage();
  page.setDefaultTimeout(20000);
  const problems = [];
  page.on('pageerror', (e) => problems.push(`script error: ${e.message}`));
  page.on('console', (m) => { if (m.type() === 'error') problems.push(`console: ${m.text()}`); });
  page.on('requestfailed', (r) => problems.push(`request failed: ${r.url()} ${r.failure()?.errorText}`));
  await page.emulate({
    userAgent: 'Mozilla/5.0 (Linux; Android 13; Pixel 7) AppleWebKit/537.36 (KHTML, like Gecko) ' +
      'Chrome/120.0 Mobile Safari/537.36',
    viewport: { width: 360, height: 740, deviceScaleFactor: 2, isMobile: true, hasTouch: true },
  });

  const response = await page.goto(url, { waitUntil: 'load' });
  if (!response || response.status() !== 200) {
    throw new Error(`the page answered ${response ? response.status() : 'nothing'}`);
  }
  // The page's script is deferred: by the load event it has bound its handlers.
  await page.tap('#name');
  await page.type('#name', name);
  if (photo) {
    const input = await page.$('#album');
    await input.uploadFile(photo);
    // Shrinking in the browser is done when the preview shows and the button is back.
    await page.waitForFunction(() => {
      const img = document.getElementById('preview-img');
      return !img.hidden && img.complete && img.naturalWidth > 0 &&
        !document.getElementById('send').disabled;
    });
  }
  await page.screenshot({ path: `${shots}-form.png`, fullPage: true });

  await page.tap('#send');
  const outcome = await page.waitForFunction(() => {
    const done = document.getElementById('done');
    const error = document.getElementById('error');
    if (!done.hidden) return { done: done.innerText };
    if (!error.hidden && error.textContent) return { error: error.textContent };
    return null;
  }, { timeout: 30000 }).then((h) => h.jsonValue());
  if (outcome.error) throw new Error(`the page refused: ${outcome.error}`);
  if (!outcome.done.includes(SUCCESS)) throw new Error(`no "${SUCCESS}" in: ${outcome.done}`);
  // The success page shows the photo as the stage will: it must really be a picture.
  const shown = await page.$eval('#done-img', (img) =>
    new Promise((resolve) => {
      const size = () => resolve({ hidden: img.hidden, width: img.naturalWidth, height: img.naturalHeight });
      if (img.complete) size(); else { img.onload = size; img.onerror = size; }
    }));
  if (shown.hidden || !shown.width) throw new Error('the success page shows no photo');
  await page.screenshot({ path: `${shots}-done.png`, fullPage: true });
  if (problems.length) throw new Error(problems.join('\n'));
  const shownName = await page.$eval('#done-name', (e) => e.textContent);
  const note = await page.$eval('#done-note', (e) => e.textContent);
  console.log(JSON.stringify({ name: shownName, note, shown }));
} catch (e) {
  failed = e;
} finally {
  await browser.close().catch(() => {});
  rmSync(profile, { recursive: true, force: true });
  clearTimeout(deadline);
}
if (failed) {
  console.error(`checkin_browser: ${failed.message}`);
  process.exit(1);
}
