// The page in Debian's Chromium, driven through playwright-core, against a server of its own on
// 127.0.0.1. BRINDAQ_SITE names the built site folder. The expected lines come from the module
// itself and from the desktop window's test, never written out again here.

import assert from 'node:assert/strict';
import { readFileSync, writeFileSync } from 'node:fs';
import { dirname, join } from 'node:path';
import { after, before, test } from 'node:test';
import { fileURLToPath, pathToFileURL } from 'node:url';

import { chromium } from 'playwright-core';

import { serveSite } from './server.mjs';

const site = process.env.BRINDAQ_SITE;
assert.ok(site, 'BRINDAQ_SITE must name the built site folder');
const here = dirname(fileURLToPath(import.meta.url));

const { default: createBrindaq } = await import(pathToFileURL(join(site, 'brindaq.mjs')).href);
const brindaq = await createBrindaq({ wasmBinary: readFileSync(join(site, 'brindaq.wasm')) });
const description = brindaq.description();
const control = (name) => description.controls.find((entry) => entry.name === name);
const buttonOf = (command) => description.controls.find((entry) => entry.command === command);

// The desktop test's rows of every operation button: the button, its three operands, its lines.
function desktopRows() {
  const source = readFileSync(join(here, '../../tests/app/main_window_test.cpp'), 'utf8');
  const start = source.indexOf('void everyOperationButton_data()');
  const body = source.slice(start, source.indexOf('void everyOperationButton()', start));
  const strings = (list) => [...list.matchAll(/"((?:[^"\\]|\\.)*)"/g)].map((match) => match[1]);
  return [...body.matchAll(/row\("(\w+)",\s*\{([^}]*)\},\s*\{([^}]*)\}\);/g)].map((match) => ({
    button: match[1],
    operands: strings(match[2]),
    lines: strings(match[3]),
  }));
}

const kLaunchFlags = [
  '--no-sandbox',
  '--disable-gpu',
  '--disable-quic',
  '--no-first-run',
  '--disable-background-networking',
  '--disable-component-update',
  '--disable-sync',
];

let server;
let browser;
const complaints = []; // console errors and warnings, uncaught errors, failed requests

before(async () => {
  server = await serveSite(site);
  // Each launch runs on a fresh user-data folder of its own, which it removes on closing.
  browser = await chromium.launch({
    executablePath: process.env.BRINDAQ_CHROMIUM ?? '/usr/bin/chromium',
    args: kLaunchFlags,
  });
});

after(async () => {
  await browser?.close();
  await server?.stop();
});

function watch(page) {
  page.on('console', (message) => {
    if (message.type() === 'error' || message.type() === 'warning') {
      complaints.push(`${message.type()}: ${message.text()}`);
    }
  });
  page.on('pageerror', (error) => complaints.push(`uncaught: ${error.message}`));
  page.on('response', (response) => {
    if (response.status() >= 400) complaints.push(`${response.status()}: ${response.url()}`);
  });
  return page;
}

async function openPage(options = {}, url = server.url) {
  const context = await browser.newContext({
    viewport: { width: description.width, height: description.height },
    deviceScaleFactor: 1,
    ...options,
  });
  const page = watch(await context.newPage());
  await page.goto(url);
  await page.locator(`#${buttonOf('info').name}`).waitFor();
  return { context, page };
}

const box = (page, letter) => page.getByRole('textbox', { name: `${letter} =`, exact: true });
const list = (page) => page.getByRole('listbox', { name: control('List1').text });
const lines = (page) => list(page).getByRole('option').allTextContents();

async function setOperands(page, operands) {
  for (const [index, letter] of ['A', 'B', 'C'].entries()) {
    await box(page, letter).fill(operands[index] ?? '');
  }
}

const clickCommand = (page, command) => page.click(`#${buttonOf(command).name}`);

test('the window: size, title, and controls where the description puts them', async () => {
  const { context, page } = await openPage();
  assert.equal(await page.locator('title').textContent(), description.caption);
  const frame = await page.locator('#window').boundingBox();
  assert.deepEqual(frame, { x: 0, y: 0, width: description.width, height: description.height });
  for (const name of ['Label1', 'List1', 'Text2', 'Command1', 'Command7', 'Command18', 'Label6']) {
    const expected = control(name);
    const element = page.locator(`#${name}`);
    assert.deepEqual(
      await element.boundingBox(),
      { x: expected.left, y: expected.top, width: expected.width, height: expected.height },
      name,
    );
    const style = await element.evaluate((node) => {
      const computed = getComputedStyle(node);
      return { size: computed.fontSize, weight: computed.fontWeight, family: computed.fontFamily };
    });
    assert.equal(style.size, `${expected.fontPixels}px`, name);
    assert.equal(style.weight, expected.bold ? '700' : '400', name);
    assert.ok(style.family.startsWith(`"${description.fontFamilies[0]}"`), name);
  }
  // The captions and names, and long captions kept inside their buttons.
  for (const entry of description.controls.filter((item) => item.kind === 'button')) {
    const button = page.getByRole('button', { name: entry.text, exact: true });
    assert.equal(await button.getAttribute('id'), entry.name);
    const fits = await button.evaluate((node) => node.scrollHeight <= node.clientHeight);
    assert.ok(fits, entry.name);
  }
  const label = page.locator('#Label1');
  const background = await label.evaluate((node) => getComputedStyle(node).backgroundColor);
  assert.equal(background, description.colours.label.background);
  await context.close();
});

test('the tab order is the order of the description', async () => {
  const { context, page } = await openPage();
  // Labels cannot take the keyboard in a browser; everything else follows in order.
  const expected = description.controls.filter((c) => c.kind !== 'label').map((c) => c.name);
  const seen = [await page.evaluate(() => document.activeElement.id)];
  for (let step = 1; step < expected.length; ++step) {
    await page.keyboard.press('Tab');
    seen.push(await page.evaluate(() => document.activeElement.id));
  }
  assert.deepEqual(seen, expected);
  await context.close();
});

test('a click shows the lines of the module, leading blanks included; CLEAR and INFO', async () => {
  const { context, page } = await openPage();
  await setOperands(page, ['360', '', '']);
  await clickCommand(page, 'factors');
  assert.deepEqual(await lines(page), brindaq.run('factors', '360', '', '').lines);
  const shown = await list(page).getByRole('option').first().evaluate((node) => node.innerText);
  assert.equal(shown, '    2');
  await clickCommand(page, 'info');
  assert.deepEqual(await lines(page), description.infoLines);
  assert.equal(await box(page, 'A').inputValue(), '360');
  await clickCommand(page, 'clear');
  assert.deepEqual(await lines(page), []);
  assert.equal(await box(page, 'A').inputValue(), '');
  await context.close();
});

test('every operation button once, with the desktop test operands', async () => {
  const rows = desktopRows();
  assert.equal(rows.length, 15);
  const { context, page } = await openPage();
  for (const row of rows) {
    const { command } = control(row.button);
    await clickCommand(page, 'info');
    await setOperands(page, row.operands);
    await page.click(`#${row.button}`);
    const expected = brindaq.run(command, ...row.operands);
    assert.equal(expected.notice, null, row.button);
    assert.deepEqual(await lines(page), expected.lines, row.button);
    assert.deepEqual(expected.lines, row.lines, row.button);
  }
  await context.close();
});

test('a notice is a modal box; closing it puts the keyboard back in its box', async () => {
  const { context, page } = await openPage();
  const cases = [
    ['factors', ['2.5', '', ''], 'A', (box) => box.getByRole('button', { name: 'OK' }).click()],
    ['primes', ['1', '20000', ''], 'B', () => page.keyboard.press('Enter')],
    ['power-mod', ['2', '3', '100001'], 'C', () => page.keyboard.press('Escape')],
  ];
  for (const [command, operands, letter, close] of cases) {
    await clickCommand(page, 'info');
    await setOperands(page, operands);
    await clickCommand(page, command);
    const dialog = page.getByRole('dialog', { name: description.noticeCaption });
    await dialog.waitFor();
    const { notice } = brindaq.run(command, ...operands);
    assert.equal(await dialog.locator('p').textContent(), notice);
    assert.equal(await dialog.getByRole('button').count(), 1);
    assert.ok(await dialog.evaluate((node) => node.matches(':modal')));
    assert.deepEqual(await lines(page), []);
    await close(dialog);
    await dialog.waitFor({ state: 'hidden' });
    await page.waitForFunction(() => document.activeElement instanceof HTMLInputElement);
    const focus = await page.evaluate(() => {
      const node = document.activeElement;
      return { id: node.id, selected: node.value.slice(node.selectionStart, node.selectionEnd) };
    });
    const index = 'ABC'.indexOf(letter);
    assert.deepEqual(focus, { id: description.operandBoxes[index], selected: operands[index] });
  }
  await context.close();
});

test('copying lines: click, Ctrl-click, Shift-click, Ctrl+C and the context menu', async () => {
  const { context, page } = await openPage();
  await context.grantPermissions(['clipboard-read', 'clipboard-write'], { origin: server.url });
  const clipboard = () => page.evaluate(() => navigator.clipboard.readText());
  const clipboardHolds = (text) =>
    page.waitForFunction((want) => navigator.clipboard.readText().then((t) => t === want), text);
  await page.evaluate(() => navigator.clipboard.writeText('before'));
  await setOperands(page, ['360', '', '']);
  await clickCommand(page, 'factors');
  const all = brindaq.run('factors', '360', '', '').lines;
  const row = (index) => list(page).getByRole('option').nth(index);
  const copied = (indices) => brindaq.copiedText(indices.map((index) => all[index]));

  await row(5).click();
  await row(1).click({ modifiers: ['Control'] });
  await row(3).click({ modifiers: ['Shift'] });
  await page.keyboard.press('Control+C');
  await clipboardHolds(copied([1, 2, 3, 5]));
  const selected = await list(page).locator('[aria-selected="true"]').count();
  assert.equal(selected, 4);
  assert.equal(await list(page).getAttribute('aria-multiselectable'), 'true');

  await row(5).click();
  await row(0).click({ modifiers: ['Control'] });
  await page.keyboard.press('Control+C');
  await clipboardHolds(copied([0, 5]));
  assert.equal(await clipboard(), '2\n5');

  await row(2).click({ button: 'right' });
  const menu = page.getByRole('menu');
  const items = await menu.getByRole('menuitem').allTextContents();
  assert.deepEqual(items, [description.copyAction, description.copyAllAction]);
  await menu.getByRole('menuitem', { name: description.copyAllAction }).click();
  await clipboardHolds(copied([0, 1, 2, 3, 4, 5]));
  assert.ok(await menu.isHidden());

  // Nothing to copy: the clipboard keeps what it had.
  await clickCommand(page, 'clear');
  await list(page).click({ button: 'right' });
  assert.ok(await menu.getByRole('menuitem', { name: description.copyAllAction }).isDisabled());
  await page.keyboard.press('Escape');
  assert.equal(await clipboard(), copied([0, 1, 2, 3, 4, 5]));
  await context.close();
});

test('EXIT closes a window the page may close, else says the program has ended', async () => {
  const { context, page } = await openPage();
  // A window that a script opened may be closed by the page.
  const opened = page.waitForEvent('popup');
  await page.evaluate((url) => window.open(url), server.url);
  const popup = watch(await opened);
  await popup.locator(`#${buttonOf('exit').name}`).waitFor();
  const closed = popup.waitForEvent('close');
  // The page may close before the driver hears back from the click: that is the point.
  const clicked = popup.locator(`#${buttonOf('exit').name}`).click().catch((error) => error);
  await closed;
  const error = await clicked;
  assert.ok(error === undefined || /closed/.test(error.message), String(error));

  // A tab with history of its own may not: the program ends as far as a page can.
  assert.ok(await page.evaluate(() => history.length > 1 && window.opener === null));
  await clickCommand(page, 'exit');
  await page.getByText(`${description.programName} has ended.`).waitFor();
  assert.equal(await page.locator('#window').count(), 0);
  await page.getByRole('button', { name: 'Start again' }).click();
  await page.locator(`#${buttonOf('info').name}`).waitFor();
  await context.close();
});

test('the page can be installed, and after the first visit it works with no network', async () => {
  const own = await serveSite(site);
  const { context, page } = await openPage({}, own.url);
  await page.evaluate(() => navigator.serviceWorker.ready);
  await page.waitForFunction(() => navigator.serviceWorker.controller !== null);
  const devtools = await context.newCDPSession(page);
  const { installabilityErrors } = await devtools.send('Page.getInstallabilityErrors');
  // The driver's browser contexts are private windows, where no browser installs an app; any
  // other hindrance would be the site's.
  const hindrances = installabilityErrors.map((error) => error.errorId);
  assert.deepEqual(hindrances.filter((id) => id !== 'in-incognito'), []);
  const { url, data } = await devtools.send('Page.getAppManifest');
  assert.equal(JSON.parse(data).name, description.programName, url);
  await own.stop();
  await context.setOffline(true);
  await page.reload();
  await page.locator(`#${buttonOf('info').name}`).waitFor();
  await setOperands(page, ['360', '', '']);
  await clickCommand(page, 'factors');
  assert.deepEqual(await lines(page), brindaq.run('factors', '360', '', '').lines);
  await context.close();
});

// The pixels of two pictures of the same size that differ by more than a trace of smoothing.
async function differentPixels(first, second) {
  const page = await browser.newPage();
  try {
    return await page.evaluate(
      async ([one, two]) => {
        const pixels = async (base64) => {
          const bitmap = await createImageBitmap(
            new Blob([Uint8Array.from(atob(base64), (c) => c.charCodeAt(0))]),
          );
          const canvas = new OffscreenCanvas(bitmap.width, bitmap.height);
          const context = canvas.getContext('2d');
          context.drawImage(bitmap, 0, 0);
          return context.getImageData(0, 0, bitmap.width, bitmap.height).data;
        };
        const [x, y] = [await pixels(one), await pixels(two)];
        if (x.length !== y.length) return Infinity;
        let count = 0;
        for (let at = 0; at < x.length; at += 4) {
          const channels = [0, 1, 2].map((c) => Math.abs(x[at + c] - y[at + c]));
          if (Math.max(...channels) > 8) ++count;
        }
        return count;
      },
      [first.toString('base64'), second.toString('base64')],
    );
  } finally {
    await page.close();
  }
}

// A dark colour scheme, asked for by the page's media queries or forced onto its colours by the
// browser, changes no colour: the computed colours and the picture stay those of a light one.
test('a dark colour scheme changes no colour', async () => {
  const forcing = await chromium.launch({
    executablePath: process.env.BRINDAQ_CHROMIUM ?? '/usr/bin/chromium',
    args: [...kLaunchFlags, '--force-dark-mode', '--enable-features=WebContentsForceDark'],
  });
  const colours = async (colorScheme, on) => {
    const context = await on.newContext({
      viewport: { width: description.width, height: description.height },
      deviceScaleFactor: 1,
      colorScheme,
    });
    const page = watch(await context.newPage());
    await page.goto(server.url);
    const dark = await page.evaluate(() => matchMedia('(prefers-color-scheme: dark)').matches);
    assert.equal(dark, colorScheme === 'dark');
    // A notice shown and closed, lines with one selected, and the context menu open.
    await clickCommand(page, 'factors');
    await page.getByRole('dialog').getByRole('button').click();
    await setOperands(page, ['360', '', '']);
    await clickCommand(page, 'factors');
    await list(page).getByRole('option').nth(1).click();
    await list(page).getByRole('option').nth(1).click({ button: 'right' });
    const computed = await page.evaluate(() => {
      const properties = ['color', 'backgroundColor', 'borderTopColor', 'caretColor'];
      const nodes = [document.body, ...document.querySelectorAll('#window *, dialog, dialog *')];
      return nodes.map((node) => {
        const style = getComputedStyle(node);
        return `${node.id || node.tagName}: ${properties.map((p) => style[p]).join(' ')}`;
      });
    });
    const picture = await page.screenshot();
    await context.close();
    return { computed, picture };
  };
  try {
    const light = await colours('light', browser);
    const { background } = description.colours.selection;
    const selected = (entry) => entry.startsWith('List1-1:') && entry.includes(background);
    assert.ok(light.computed.some(selected));
    for (const [name, dark] of [
      ['asked for', await colours('dark', browser)],
      ['forced', await colours('dark', forcing)],
    ]) {
      assert.deepEqual(dark.computed, light.computed, name);
      if (process.env.BRINDAQ_PICTURES) {
        writeFileSync(join(process.env.BRINDAQ_PICTURES, `${name}.png`), dark.picture);
        writeFileSync(join(process.env.BRINDAQ_PICTURES, 'light.png'), light.picture);
      }
      assert.equal(await differentPixels(dark.picture, light.picture), 0, `dark ${name}`);
    }
  } finally {
    await forcing.close();
  }
});

test('a small screen shows the whole window, scaled down in proportion', async () => {
  const half = { width: description.width / 2, height: description.height / 2 + 40 };
  const { context, page } = await openPage({ viewport: half });
  const frame = await page.locator('#window').boundingBox();
  const { width, height } = description;
  assert.deepEqual(frame, { x: 0, y: 0, width: width / 2, height: height / 2 });
  await context.close();
});

test('the page loads only its own files and runs no inline script or style', async (t) => {
  const html = readFileSync(join(site, 'index.html'), 'utf8');
  assert.match(html, /"Content-Security-Policy" content="default-src 'self'; script-src 'self' /);
  assert.doesNotMatch(html, /style=|<style|<script(?![^>]*\ssrc=)/);
  assert.doesNotMatch(html, /https?:/);
  const { context, page } = await openPage();
  const start = Date.now();
  await page.reload();
  await setOperands(page, ['360', '', '']);
  await clickCommand(page, 'factors');
  await list(page).getByRole('option').first().waitFor();
  const answered = await page.evaluate(() => performance.now());
  const here = Date.now() - start;
  t.diagnostic(`reload to the first answer: ${answered.toFixed(0)} ms, ${here} ms here`);
  await context.close();
});

test('no console errors or warnings, and no failed request', () => {
  assert.deepEqual(complaints, []);
});
