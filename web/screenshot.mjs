// Takes the page's picture for the documentation: A = 360 and PRIME FACTORS OF A, in Chromium
// at one device pixel per CSS pixel, the window alone.
//   node web/screenshot.mjs build/web/site docs/web.png      (after `npm ci --prefix web`)

import { resolve } from 'node:path';

import { chromium } from 'playwright-core';

import { serveSite } from './tests/server.mjs';

const [site = 'build/web/site', output = 'docs/web.png'] = process.argv.slice(2);
const server = await serveSite(resolve(site));
const browser = await chromium.launch({
  executablePath: '/usr/bin/chromium',
  args: ['--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run'],
});
const page = await browser.newPage({ viewport: { width: 552, height: 568 }, deviceScaleFactor: 1 });
await page.goto(server.url);
await page.fill('#Text1', '360');
await page.click('#Command10');
await page.locator('#List1 [role="option"]').first().waitFor();
await page.mouse.move(0, 0);
await page.evaluate(() => document.activeElement.blur());
await page.locator('#window').screenshot({ path: resolve(output) });
await browser.close();
await server.stop();
console.log(`Wrote ${output}`);
