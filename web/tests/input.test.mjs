// The page in Debian's Chromium, under the mouse, the keyboard and a finger: selecting and
// copying lines, the notice's hold on the keyboard, and the buttons pressed from the keyboard.

import assert from 'node:assert/strict';
import { test } from 'node:test';

import {
  box,
  boxesOf,
  brindaq,
  buttonOf,
  clickCommand,
  description,
  kPhone,
  list,
  lines,
  openPage,
  server,
  setOperands,
  testNoComplaints,
  useBrowser,
} from './harness.mjs';

useBrowser();

const focused = (page) => page.evaluate(() => document.activeElement.id);
const selectedRows = (page) =>
  list(page)
    .locator('[aria-selected="true"]')
    .evaluateAll((nodes) => nodes.map((node) => Number(node.dataset.row)));

// What a screen reader was told last, and the word on screen that says so.
const said = (page) => page.getByRole('status').textContent();
const shown = (page) => page.locator('.copied:not([hidden])').textContent();

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
  const told = async (words) => {
    assert.equal(await said(page), words);
    assert.equal(await shown(page), words);
  };

  await row(5).click();
  await row(1).click({ modifiers: ['Control'] });
  await row(3).click({ modifiers: ['Shift'] });
  await page.keyboard.press('Control+C');
  await clipboardHolds(copied([1, 2, 3, 5]));
  await told('4 lines copied');
  const selected = await list(page).locator('[aria-selected="true"]').count();
  assert.equal(selected, 4);
  assert.equal(await list(page).getAttribute('aria-multiselectable'), 'true');

  await row(5).click();
  await row(0).click({ modifiers: ['Control'] });
  await page.keyboard.press('Control+C');
  await clipboardHolds(copied([0, 5]));
  assert.equal(await clipboard(), '2\n5');
  await told('2 lines copied');

  await row(4).click();
  await page.keyboard.press('Control+C');
  await clipboardHolds(copied([4]));
  await told('1 line copied');

  await row(2).click({ button: 'right' });
  const menu = page.getByRole('menu');
  const items = await menu.getByRole('menuitem').allTextContents();
  assert.deepEqual(items, [description.copyAction, description.copyAllAction]);
  await menu.getByRole('menuitem', { name: description.copyAllAction }).click();
  await clipboardHolds(copied([0, 1, 2, 3, 4, 5]));
  assert.ok(await menu.isHidden());
  await told('6 lines copied');

  // Nothing to copy: the clipboard keeps what it had, and nothing is said to be copied.
  await clickCommand(page, 'clear');
  await list(page).click({ button: 'right' });
  assert.ok(await menu.getByRole('menuitem', { name: description.copyAllAction }).isDisabled());
  await page.keyboard.press('Escape');
  await list(page).focus();
  await page.keyboard.press('Control+C');
  assert.equal(await clipboard(), copied([0, 1, 2, 3, 4, 5]));
  assert.equal(await said(page), 'no result lines');
  assert.equal(await page.locator('.copied:not([hidden])').count(), 0);
  await context.close();
});

// A drag with the left button selects every line from the one pressed to the one under the
// pointer, both ways, and below the last line to the last.
test('a drag across lines selects every line it crosses', async () => {
  const { context, page } = await openPage();
  await setOperands(page, ['360', '', '']);
  await clickCommand(page, 'factors');
  const middleOf = async (row) => {
    const { x, y, width, height } = await list(page).getByRole('option').nth(row).boundingBox();
    return [x + width / 2, y + height / 2];
  };
  const listBox = await list(page).boundingBox();
  const cases = [
    [1, [await middleOf(4)], [1, 2, 3, 4]],
    [4, [await middleOf(2), await middleOf(0)], [0, 1, 2, 3, 4]],
    [3, [await middleOf(5), [listBox.x + 20, listBox.y + listBox.height - 4]], [3, 4, 5]],
    [2, [await middleOf(4), await middleOf(2)], [2]],
  ];
  for (const [from, path, expected] of cases) {
    await page.mouse.move(...(await middleOf(from)));
    await page.mouse.down();
    for (const point of path) {
      await page.mouse.move(...point, { steps: 4 });
    }
    await page.mouse.up();
    assert.deepEqual(await selectedRows(page), expected, `from ${from}`);
  }
  // After the button is up, moving selects nothing more.
  await page.mouse.move(...(await middleOf(5)));
  assert.deepEqual(await selectedRows(page), [2]);
  await context.close();
});

test('a long press on a line selects it and opens the menu, sized for a finger', async () => {
  const { context, page } = await openPage(kPhone);
  await setOperands(page, ['360', '', '']);
  await clickCommand(page, 'factors');
  const line = list(page).getByRole('option').nth(3);
  const { x, y, width, height } = await line.boundingBox();
  const devtools = await context.newCDPSession(page);
  const touchPoints = [{ x: x + width / 2, y: y + height / 2 }];
  await devtools.send('Input.dispatchTouchEvent', { type: 'touchStart', touchPoints });
  await page.waitForTimeout(800);
  await devtools.send('Input.dispatchTouchEvent', { type: 'touchEnd', touchPoints: [] });
  const menu = page.getByRole('menu');
  await menu.waitFor();
  assert.equal(await line.getAttribute('aria-selected'), 'true');
  const copy = menu.getByRole('menuitem', { name: description.copyAction, exact: true });
  assert.ok(await copy.isEnabled());
  for (const item of await boxesOf(page, '[role="menuitem"]')) {
    assert.ok(item.width >= 44 && item.height >= 44, `${item.id}: ${item.width} × ${item.height}`);
  }
  await context.close();
});

// Tab, Shift+Tab and a click beside OK leave the keyboard on OK, where Enter closes the notice.
test('the notice keeps the keyboard until it is closed', async () => {
  const { context, page } = await openPage();
  const dialog = page.getByRole('dialog', { name: description.noticeCaption });
  const ok = dialog.getByRole('button');
  const cases = [
    ['Tab', () => page.keyboard.press('Tab')],
    ['Shift+Tab', () => page.keyboard.press('Shift+Tab')],
    ['Tab twice', async () => {
      await page.keyboard.press('Tab');
      await page.keyboard.press('Tab');
    }],
    ['a click on the text', () => dialog.locator('p').click()],
    ['a click on the title', () => dialog.locator('h2').click()],
  ];
  for (const [name, leave] of cases) {
    await setOperands(page, ['1', '20000', '']);
    await clickCommand(page, 'primes');
    await dialog.waitFor();
    await leave();
    assert.ok(await ok.evaluate((node) => node === document.activeElement), name);
    await page.keyboard.press('Enter');
    await dialog.waitFor({ state: 'hidden' });
    assert.equal(await focused(page), description.operandBoxes[1], name);
  }
  await context.close();
});

// Enter presses a button as Space does, and the keyboard stays where it was: on CLEAR after
// CLEAR, on the button after an answer, in the box of the notice after it closes.
test('Enter on a button presses it', async () => {
  const { context, page } = await openPage();
  const dialog = page.getByRole('dialog');
  const press = async (command, key) => {
    await page.focus(`#${buttonOf(command).name}`);
    await page.keyboard.press(key);
  };
  for (const key of ['Enter', ' ']) {
    await setOperands(page, ['360', '', '']);
    await press('factors', key);
    assert.deepEqual(await lines(page), brindaq.run('factors', '360').lines, key);
    assert.equal(await focused(page), buttonOf('factors').name, key);
    await press('info', key);
    assert.deepEqual(await lines(page), description.infoLines, key);
    await press('clear', key);
    assert.deepEqual(await lines(page), [], key);
    assert.equal(await box(page, 'A').inputValue(), '', key);
    assert.equal(await focused(page), buttonOf('clear').name, key);
    // The key that opens a notice does not close it too.
    await press('goldbach', key);
    await dialog.waitFor();
    await page.waitForTimeout(100);
    assert.ok(await dialog.isVisible(), key);
    await page.keyboard.press('Enter');
    await dialog.waitFor({ state: 'hidden' });
    assert.equal(await focused(page), description.operandBoxes[0], key);
  }
  await context.close();
});

testNoComplaints();
