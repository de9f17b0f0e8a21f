// The page in Debian's Chromium before the window is there: while the module loads, when it
// cannot be loaded, and without scripts, the page is never a blank screen; and every module of
// the page is fetched at once and kept for offline use.

import assert from 'node:assert/strict';
import { readdirSync, readFileSync } from 'node:fs';
import { join } from 'node:path';
import { test } from 'node:test';

import { browser, buttonOf, description, server, site, useBrowser } from './harness.mjs';

useBrowser();

const kWindowSize = { width: description.width, height: description.height };

// The colours and font of the page's text, and of the page.
const looks = (page) =>
  page.evaluate(() => {
    const style = getComputedStyle(document.querySelector('main p'));
    return {
      background: getComputedStyle(document.body).backgroundColor,
      text: style.color,
      font: style.fontFamily.split(',')[0].replaceAll('"', ''),
    };
  });
const windowLooks = {
  background: description.colours.form.background,
  text: description.colours.form.text,
  font: description.fontFamilies[0],
};

test('the page as served has the title and the colours of the window', async () => {
  const html = readFileSync(join(site, 'index.html'), 'utf8');
  assert.match(html, new RegExp(`<title>${description.programName}</title>`));
  // Before the script sets anything, the style sheet's colours and fonts are the description's.
  const context = await browser.newContext({ viewport: kWindowSize, javaScriptEnabled: false });
  const page = await context.newPage();
  await page.goto(server.url);
  const properties = await page.evaluate(() => {
    const style = getComputedStyle(document.documentElement);
    const value = (name) => style.getPropertyValue(`--${name}`).trim();
    return {
      form: { background: value('form-background'), text: value('form-text') },
      box: { background: value('box-background'), text: value('box-text') },
      fonts: value('font-family'),
    };
  });
  const families = description.fontFamilies.map((family) => `"${family}"`);
  assert.deepEqual(properties, {
    form: description.colours.form,
    box: description.colours.box,
    fonts: [...families, 'sans-serif'].join(', '),
  });
  // Without scripts, a line says what is missing, and none says that the page is loading.
  const said = await page.locator('main').innerText();
  assert.match(said, new RegExp(`^${description.programName} needs JavaScript, `));
  assert.deepEqual(await looks(page), windowLooks);
  await context.close();
});

test('while the module loads, a line says so', async () => {
  const context = await browser.newContext({ viewport: kWindowSize });
  let release;
  const held = new Promise((resolve) => {
    release = resolve;
  });
  await context.route('**/brindaq.wasm', async (route) => {
    await held;
    await route.continue();
  });
  const page = await context.newPage();
  await page.goto(server.url, { waitUntil: 'domcontentloaded' });
  const loading = page.getByText(`Loading ${description.programName}…`);
  await loading.waitFor();
  assert.deepEqual(await looks(page), windowLooks);
  release();
  await page.locator(`#${buttonOf('info').name}`).waitFor();
  assert.equal(await loading.count(), 0);
  await context.close();
});

// The module's WebAssembly or its script missing: a message in the window's place, with a
// button that reloads the page, which then starts.
test('a module that cannot load leaves a message, not a blank screen', async () => {
  for (const file of ['brindaq.wasm', 'brindaq.mjs']) {
    const context = await browser.newContext({ viewport: kWindowSize });
    const missing = `**/${file}`;
    await context.route(missing, (route) => route.fulfill({ status: 404, body: 'not found' }));
    const page = await context.newPage();
    const uncaught = [];
    page.on('pageerror', (error) => uncaught.push(error.message));
    await page.goto(server.url);
    const alert = page.getByRole('alert');
    await alert.waitFor();
    assert.equal(
      await alert.textContent(),
      `${description.programName} could not start: its calculator did not load. ` +
        'Check the connection, then reload the page.',
      file,
    );
    assert.deepEqual(await looks(page), windowLooks, file);
    const reload = page.getByRole('button', { name: 'Reload' });
    assert.ok(await reload.evaluate((node) => node === document.activeElement), file);
    assert.deepEqual(uncaught, [], file);
    await context.unroute(missing);
    await reload.click();
    await page.locator(`#${buttonOf('info').name}`).waitFor();
    await context.close();
  }
});

test('the page fetches every module and style sheet of its own at once, and keeps each', () => {
  const html = readFileSync(join(site, 'index.html'), 'utf8');
  const linked = (kind) =>
    [...html.matchAll(new RegExp(`<link rel="${kind}" href="([^"]+)">`, 'g'))].map((m) => m[1]);
  const [, entry] = html.match(/<script type="module" src="([^"]+)"><\/script>/);
  const files = (ending) => readdirSync(site).filter((file) => file.endsWith(ending)).sort();
  assert.deepEqual([entry, ...linked('modulepreload')].sort(), files('.mjs'));
  assert.deepEqual(linked('stylesheet').sort(), files('.css'));
  const worker = readFileSync(join(site, 'sw.js'), 'utf8');
  const kept = JSON.parse(worker.match(/const FILES = (.*);/)[1]);
  for (const file of [...files('.mjs'), ...files('.css')]) {
    assert.ok(kept.includes(file), file);
  }
});
