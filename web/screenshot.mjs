// Takes the page's pictures for the documentation, in Chromium at one device pixel per CSS pixel:
// A = 360 and PRIME FACTORS OF A, the window alone at its own size (web.png) and a phone's screen
// of 390 × 844 CSS pixels with the controls flowing (web-phone.png); and on the full range the
// wide lines of A = x^2 + y^2 for A = 10003628061488344205, scrolled to the end of the last line,
// with the range control below the window (page-full-range.png) and on a phone at the bottom of
// the page (page-full-range-phone.png), scroll bars shown; a long factorisation in progress (the
// product of two primes of 30 digits, three seconds in: page-long-work.png, and on a phone
// page-long-work-phone.png) and an answer of 1000 digits wrapped in the list (A^B MOD. C of 7,
// 3000 and 10^1000: page-long-line.png, page-long-line-phone.png). Naming pictures takes those
// alone.
//   node web/screenshot.mjs build/web/site docs [PICTURE...]      (after the web workflow)

import { join, resolve } from 'node:path';

import { chromium } from './tests/packages.mjs';
import { serveSite } from './tests/server.mjs';

const [site = 'build/web/site', folder = 'docs', ...only] = process.argv.slice(2);
const server = await serveSite(resolve(site));
// Two browsers: the driver's own hides scroll bars, the other shows them.
const launch = (options) =>
  chromium.launch({
    executablePath: '/usr/bin/chromium',
    args: ['--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run'],
    ...options,
  });
const browsers = [await launch(), await launch({ ignoreDefaultArgs: ['--hide-scrollbars'] })];
const kPhone = { viewport: { width: 390, height: 844 }, isMobile: true, hasTouch: true };

async function factors(page) {
  await page.goto(server.url);
  await page.fill('#Text1', '360');
  await page.click('#Command10');
  await page.locator('#List1 [role="option"]').first().waitFor();
}

// The last line selected, and the list scrolled to its right end.
async function wideLines(page, { toBottom }) {
  await page.goto(`${server.url}#full/two-squares/10003628061488344205`);
  await page.locator('#List1 [role="option"]').first().waitFor();
  await page.focus('#List1');
  await page.keyboard.press('End');
  await page.evaluate((bottom) => {
    const list = document.getElementById('List1');
    list.scrollLeft = list.scrollWidth;
    if (bottom) {
      window.scrollTo(0, document.documentElement.scrollHeight);
    }
  }, toBottom);
}

// The hint shows where the work stands, three seconds after the click.
async function longWork(page) {
  await page.goto(`${server.url}#full`);
  await page.fill('#Text1', '85397342226735670654635508790584112503020721253533098926191');
  await page.click('#Command10');
  await page.waitForFunction(() => / [3-9] s$/.test(document.getElementById('Label5').textContent));
}

async function longLine(page) {
  await page.goto(`${server.url}#full/power-mod/7/3000/10%5E1000`);
  await page.waitForFunction(
    () =>
      document.querySelector('#List1 [role="option"]') !== null &&
      !document.getElementById('List1').hasAttribute('aria-busy'),
  );
}

const pictures = [
  ['web.png', { viewport: { width: 552, height: 568 } }, factors, '#window'],
  ['web-phone.png', kPhone, factors],
  [
    'page-full-range.png',
    { viewport: { width: 552, height: 660 } },
    (page) => wideLines(page, { toBottom: false }),
  ],
  ['page-full-range-phone.png', kPhone, (page) => wideLines(page, { toBottom: true })],
  ['page-long-work.png', { viewport: { width: 552, height: 660 } }, longWork],
  ['page-long-work-phone.png', kPhone, longWork],
  ['page-long-line.png', { viewport: { width: 552, height: 660 } }, longLine],
  ['page-long-line-phone.png', kPhone, longLine],
];
for (const [file, options, prepare, part] of pictures) {
  if (only.length > 0 && !only.includes(file)) {
    continue;
  }
  const browser = browsers[file.startsWith('page-') ? 1 : 0];
  const page = await browser.newPage({ ...options, deviceScaleFactor: 1 });
  await prepare(page);
  await page.mouse.move(0, 0);
  await page.evaluate(() => document.activeElement.blur());
  const path = resolve(join(folder, file));
  await (part === undefined ? page : page.locator(part)).screenshot({ path });
  await page.close();
  console.log(`Wrote ${path}`);
}
for (const browser of browsers) {
  await browser.close();
}
await server.stop();
