// Takes the page's pictures for the documentation: A = 360 and PRIME FACTORS OF A, in Chromium
// at one device pixel per CSS pixel: the window alone at its own size (web.png), and a phone's
// screen of 390 × 844 CSS pixels with the controls flowing (web-phone.png).
//   node web/screenshot.mjs build/web/site docs      (after the web workflow)

import { join, resolve } from 'node:path';

import { chromium } from './tests/packages.mjs';
import { serveSite } from './tests/server.mjs';

const [site = 'build/web/site', folder = 'docs'] = process.argv.slice(2);
const server = await serveSite(resolve(site));
const browser = await chromium.launch({
  executablePath: '/usr/bin/chromium',
  args: ['--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run'],
});
const pictures = [
  ['web.png', { viewport: { width: 552, height: 568 } }, '#window'],
  ['web-phone.png', { viewport: { width: 390, height: 844 }, isMobile: true, hasTouch: true }],
];
for (const [file, options, part] of pictures) {
  const page = await browser.newPage({ ...options, deviceScaleFactor: 1 });
  await page.goto(server.url);
  await page.fill('#Text1', '360');
  await page.click('#Command10');
  await page.locator('#List1 [role="option"]').first().waitFor();
  await page.mouse.move(0, 0);
  await page.evaluate(() => document.activeElement.blur());
  const path = resolve(join(folder, file));
  await (part === undefined ? page : page.locator(part)).screenshot({ path });
  await page.close();
  console.log(`Wrote ${path}`);
}
await browser.close();
await server.stop();
