// The page in Debian's Chromium: its window, answers, notices, copying, arrangements, colours,
// address and offline use. The expected lines come from the module itself and from the rows
// that every edition's tests share, never written out again here.

import assert from 'node:assert/strict';
import { readFileSync, writeFileSync } from 'node:fs';
import { dirname, join } from 'node:path';
import { test } from 'node:test';
import { fileURLToPath } from 'node:url';

import { axeViolations, kAxeStates } from './axe.mjs';
import {
  box,
  brindaq,
  browser,
  buttonOf,
  clickCommand,
  control,
  boxesOf,
  description,
  kPhone,
  launch,
  lines,
  list,
  openPage,
  server,
  setOperands,
  site,
  testNoComplaints,
  useBrowser,
  watch,
} from './harness.mjs';
import { serveSite } from './server.mjs';

const here = dirname(fileURLToPath(import.meta.url));

// The shared rows of every operation button once, which every edition's tests read: the command,
// its three operands, its lines, tab-separated, after comment lines that start with "#".
function everyButtonRows() {
  const table = readFileSync(join(here, '../../tests/data/every_button.tsv'), 'utf8');
  return table
    .split('\n')
    .filter((line) => line !== '' && !line.startsWith('#'))
    .map((line) => {
      const [command, a, b, c, ...lines] = line.split('\t');
      return { command, operands: [a, b, c], lines };
    });
}

useBrowser();

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

test('every operation button once, with the shared operands and lines', async () => {
  const rows = everyButtonRows();
  const operations = description.controls.filter((entry) => entry.action === 'operation');
  assert.deepEqual(rows.map((row) => row.command), operations.map((entry) => entry.command));
  const { context, page } = await openPage();
  for (const { command, operands, lines: expected } of rows) {
    await clickCommand(page, 'info');
    await setOperands(page, operands);
    await clickCommand(page, command);
    assert.deepEqual(await lines(page), expected, command);
    assert.deepEqual(
      brindaq.run(command, ...operands),
      { lines: expected, notice: null, operand: null },
      command,
    );
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
  const manifest = JSON.parse(data);
  assert.equal(manifest.name, description.programName, url);
  // The app's scope holds the address of every answer.
  assert.ok(`${own.url}#factors/360`.startsWith(new URL(manifest.scope, url).href));
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
  const forcing = await launch(['--force-dark-mode', '--enable-features=WebContentsForceDark']);
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

// A phone held upright: the controls flow at one CSS pixel to a pixel, top to bottom in tab
// order, within the screen's width, with text of 14 px and targets of 44 px at least.
test('a phone: the controls flow in tab order, finger-sized, no sideways scrolling', async () => {
  const { context, page } = await openPage(kPhone);
  await setOperands(page, ['360', '', '']);
  await clickCommand(page, 'factors');
  const scroll = await page.evaluate(() => {
    const root = document.documentElement;
    return { wide: root.scrollWidth, width: root.clientWidth, tall: root.scrollHeight };
  });
  assert.equal(scroll.wide, scroll.width);
  assert.ok(scroll.tall > kPhone.viewport.height, 'the page uses the whole height, and more');

  const order = description.controls.filter((c) => c.kind !== 'label').map((c) => `#${c.name}`);
  const placed = await boxesOf(page, order.join(', '));
  assert.deepEqual(placed.map((box) => `#${box.id}`), order);
  for (const [index, box] of placed.entries()) {
    assert.ok(box.width >= 44 && box.height >= 44, `${box.id}: ${box.width} × ${box.height}`);
    assert.ok(box.x >= 0 && box.x + box.width <= scroll.width, box.id);
    const before = placed[index - 1];
    if (before !== undefined) {
      const below = box.y >= before.y + before.height - 1;
      const beside = Math.abs(box.y - before.y) < 1 && box.x > before.x;
      assert.ok(below || beside, `${box.id} after ${before.id}`);
    }
  }
  const texts = await boxesOf(page, '#window .caption, #List1 [role="option"]');
  for (const text of texts) {
    assert.ok(text.size >= 14, `${text.id}: ${text.size} px`);
  }
  await context.close();
});

// At 200% zoom on a 1280 × 720 screen, and on a phone, each result line stays one line, as
// wide as the widest; where the list is narrower, it scrolls sideways and the page does not.
test('a result line never wraps: the list scrolls sideways instead', async () => {
  const cases = [
    ['200%', { viewport: { width: 640, height: 360 }, deviceScaleFactor: 2 }, true],
    ['phone', kPhone, false],
  ];
  for (const [name, options, sideways] of cases) {
    const { context, page } = await openPage(options, `${server.url}#divisors/360`);
    await list(page).getByRole('option').first().waitFor();
    const shape = await list(page).evaluate((node) => {
      const options = [...node.querySelectorAll('[role="option"]')];
      const root = document.documentElement;
      return {
        rows: options.map((option) => {
          const range = document.createRange();
          range.selectNodeContents(option);
          return range.getClientRects().length;
        }),
        widths: [...new Set(options.map((option) => option.offsetWidth))].length,
        sideways: node.scrollWidth > node.clientWidth,
        pageSideways: root.scrollWidth > root.clientWidth,
      };
    });
    const expected = { rows: [1, 1], widths: 1, sideways, pageSideways: false };
    assert.deepEqual(shape, expected, name);
    await context.close();
  }
});

test('a wide screen centres the window; text spacing makes the controls flow', async () => {
  const { context, page } = await openPage({
    viewport: { width: 1280, height: 800 },
    bypassCSP: true, // for the reader's style sheet below
  });
  const { width, height } = description;
  const frame = await page.locator('#window').boundingBox();
  assert.deepEqual(frame, { x: (1280 - width) / 2, y: (800 - height) / 2, width, height });
  // WCAG 1.4.12: a reader's own line, letter, word and paragraph spacing.
  await page.addStyleTag({
    content: `* { line-height: 1.5 !important; letter-spacing: 0.12em !important;
      word-spacing: 0.16em !important; } p { margin-bottom: 2em !important; }`,
  });
  await page.waitForFunction(() => document.documentElement.dataset.layout !== 'window');
  const outside = await page.$$eval('#window .caption', (captions) =>
    captions
      .filter((caption) => {
        const inner = caption.getBoundingClientRect();
        const outer = caption.parentElement.getBoundingClientRect();
        return inner.right > outer.right + 1 || inner.bottom > outer.bottom + 1;
      })
      .map((caption) => caption.parentElement.id),
  );
  assert.deepEqual(outside, []);
  await context.close();
});

test('a screen reader hears each outcome; the boxes ask for digits', async () => {
  const { context, page } = await openPage();
  const said = () => page.getByRole('status').textContent();
  assert.equal(await page.getByRole('main').locator('h1').textContent(), control('Label1').text);
  for (const letter of ['A', 'B', 'C']) {
    assert.equal(await box(page, letter).getAttribute('inputmode'), 'numeric');
  }
  await setOperands(page, ['360', '', '']);
  await clickCommand(page, 'factors');
  assert.equal(await said(), '6 result lines: 2, 2, 2');
  await setOperands(page, ['7', '', '']);
  await clickCommand(page, 'is-prime');
  const verdict = brindaq.run('is-prime', '7').lines.map((line) => line.trim());
  const count = verdict.length === 1 ? '1 result line' : `${verdict.length} result lines`;
  assert.equal(await said(), `${count}: ${verdict.join(', ')}`);
  await clickCommand(page, 'primes');
  assert.equal(await said(), brindaq.run('primes', '7').notice);
  await page.keyboard.press('Escape');
  await setOperands(page, ['24', '28', '']);
  await clickCommand(page, 'primes');
  assert.equal(await said(), 'no result lines');
  await context.close();
});

test('the address names each answer, and opening it gives the same answer', async () => {
  const { context, page } = await openPage();
  const entries = await page.evaluate(() => history.length);
  // Text that needs percent-encoding, and an empty B before a C.
  const operands = ['12 / #%?', '', '7'];
  await setOperands(page, operands);
  await clickCommand(page, 'linear-congruence');
  const expected = brindaq.run('linear-congruence', ...operands);
  const address = await page.evaluate(() => window.location.hash);
  assert.equal(address, '#linear-congruence/12%20%2F%20%23%25%3F//7');
  assert.equal(await page.evaluate(() => history.length), entries);
  await page.keyboard.press('Escape');
  await setOperands(page, ['97', '', '']);
  await clickCommand(page, 'is-prime');
  assert.equal(await page.evaluate(() => window.location.hash), '#is-prime/97');
  await clickCommand(page, 'clear');
  assert.equal(await page.evaluate(() => window.location.hash), '');

  const opened = watch(await context.newPage());
  await opened.goto(`${server.url}${address}`);
  const notice = opened.getByRole('dialog', { name: description.noticeCaption });
  await notice.waitFor();
  assert.equal(await notice.locator('p').textContent(), expected.notice);
  await opened.keyboard.press('Escape');
  for (const [index, letter] of ['A', 'B', 'C'].entries()) {
    assert.equal(await box(opened, letter).inputValue(), operands[index]);
  }
  // Changing the address in the page answers too.
  await opened.evaluate(() => {
    window.location.hash = '#factors/360';
  });
  await opened.waitForFunction(() => document.querySelectorAll('[role="option"]').length > 0);
  assert.deepEqual(await lines(opened), brindaq.run('factors', '360').lines);

  // Markup stays text in a box; no box takes huge text, a broken percent-encoding, too many
  // parts, or a command that is not an answer; those open the plain window. (Each a new load:
  // between two addresses of one page only the fragment would change.)
  const load = async (hash) => {
    await opened.goto('about:blank');
    await opened.goto(`${server.url}${hash}`);
  };
  await load(`#factors/${encodeURIComponent('<img src=x onerror=alert(1)>')}`);
  await opened.getByRole('dialog').waitFor();
  await opened.keyboard.press('Escape');
  assert.equal(await box(opened, 'A').inputValue(), '<img src=x onerror=alert(1)>');
  assert.equal(await opened.locator('img').count(), 0);
  for (const hostile of [
    `#factors/${'9'.repeat(40000)}`,
    '#factors/%E0%A4%A',
    '#factors/1/2/3/4',
    '#exit',
    '#nothing/360',
  ]) {
    await load(hostile);
    await opened.locator(`#${buttonOf('info').name}`).waitFor();
    await opened.waitForFunction(() => window.location.hash === '');
    assert.equal(await box(opened, 'A').inputValue(), '', hostile.slice(0, 20));
    assert.deepEqual(await lines(opened), [], hostile.slice(0, 20));
    assert.equal(await opened.getByRole('dialog').count(), 0);
    assert.equal(await opened.locator('#window').count(), 1);
  }
  await context.close();
});

// Two lines of the same text, the second selected: in forced colours the browser paints both
// in the system's colours, and the selected one must still look selected.
test('in forced colours, selected lines keep standing out', async () => {
  const { context, page } = await openPage({ forcedColors: 'active' });
  await setOperands(page, ['360', '', '']);
  await clickCommand(page, 'factors');
  const [first, second] = [0, 1].map((row) => list(page).getByRole('option').nth(row));
  assert.equal(await first.textContent(), await second.textContent());
  await second.click();
  await page.mouse.move(0, 0);
  assert.ok((await differentPixels(await first.screenshot(), await second.screenshot())) > 0);
  await context.close();
});

test('axe-core finds nothing, desktop and phone: loaded, answered, notice, menu', async () => {
  for (const options of [{}, kPhone]) {
    const { context, page } = await openPage(options);
    const ids = {
      a: description.operandBoxes[0],
      factors: buttonOf('factors').name,
      list: description.resultList,
    };
    for (const [state, reach] of kAxeStates) {
      await reach(page, ids);
      assert.deepEqual(await axeViolations(page), [], state);
    }
    await context.close();
  }
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

testNoComplaints();
