// The page in Debian's Chromium on the full range: its control and title, a click, wide lines
// that scroll sideways and copy whole, the address of an answer there and back, an expression in
// it, and hostile addresses that name the range. The expected lines come from the module.

import assert from 'node:assert/strict';
import { test } from 'node:test';

import { axeViolations } from './axe.mjs';
import {
  box,
  brindaq,
  buttonOf,
  clickCommand,
  description,
  kPhone,
  lines,
  list,
  openPage,
  server,
  setOperands,
  testNoComplaints,
  useBrowser,
  watch,
} from './harness.mjs';

useBrowser();

const [own, full] = description.ranges;
const radio = (page, range) => page.getByRole('radio', { name: range.label, exact: true });
const run = (command, a) => brindaq.run(command, a, '', '', { range: full.word });
// The range the page shows: its checked control, its title and its address.
const shownRange = (page) =>
  page.evaluate(() => ({
    checked: document.querySelector('input[name="range"]:checked').value,
    title: document.querySelector('title').textContent,
    hash: window.location.hash,
  }));

test('the range control: a click in the full range, and back in the window range', async () => {
  const { context, page } = await openPage();
  assert.deepEqual(await shownRange(page), { checked: own.word, title: own.caption, hash: '' });
  await radio(page, full).check();
  assert.deepEqual(await shownRange(page), {
    checked: full.word,
    title: full.caption,
    hash: `#${full.word}`,
  });
  // The box takes every digit of the largest operand, typed, and scrolls its text.
  const prime = '18446744073709551557';
  await box(page, 'A').pressSequentially(prime);
  assert.equal(await box(page, 'A').inputValue(), prime);
  assert.ok(await box(page, 'A').evaluate((node) => node.scrollWidth > node.clientWidth));
  await clickCommand(page, 'is-prime');
  assert.deepEqual(await lines(page), run('is-prime', prime).lines);
  assert.equal(await page.evaluate(() => window.location.hash), `#full/is-prime/${prime}`);
  // The window's own range answers the same question again: with its notice.
  await radio(page, own).check();
  const notice = page.getByRole('dialog', { name: description.noticeCaption });
  await notice.waitFor();
  assert.equal(await notice.locator('p').textContent(), brindaq.run('is-prime', prime).notice);
  await page.keyboard.press('Escape');
  assert.deepEqual(await shownRange(page), {
    checked: own.word,
    title: own.caption,
    hash: `#is-prime/${prime}`,
  });
  await context.close();
});

test('a wide line scrolls sideways to its end, and copies whole; every line in reach', async () => {
  const { context, page } = await openPage();
  await context.grantPermissions(['clipboard-read', 'clipboard-write'], { origin: server.url });
  const a = '10003628061488344205';
  const expected = run('two-squares', a).lines;
  await page.goto(`${server.url}#full/two-squares/${a}`);
  await list(page).getByRole('option').first().waitFor();
  const said = await page.getByRole('status').textContent();
  const first = expected.slice(0, 3).map((line) => line.trim());
  assert.equal(said, `${expected.length} result lines: ${first.join(', ')}`);
  const sideways = () =>
    list(page).evaluate((node) => ({
      scrolls: getComputedStyle(node).overflowX,
      wide: node.scrollWidth > node.clientWidth,
      atEnd: node.scrollLeft + node.clientWidth >= node.scrollWidth - 1,
      cut: [...node.querySelectorAll('[role="option"]')].some(
        (option) => option.scrollWidth > option.clientWidth,
      ),
    }));
  assert.deepEqual(await sideways(), { scrolls: 'auto', wide: true, atEnd: false, cut: false });
  await list(page).focus();
  await page.keyboard.press('End');
  for (let press = 0; press < 40 && !(await sideways()).atEnd; ++press) {
    await page.keyboard.press('ArrowRight');
  }
  assert.deepEqual(await sideways(), { scrolls: 'auto', wide: true, atEnd: true, cut: false });
  const last = list(page).locator('[aria-selected="true"]');
  assert.equal(await last.textContent(), expected.at(-1));
  assert.equal(await last.getAttribute('aria-posinset'), String(expected.length));
  const clipboardHolds = (text) =>
    page.waitForFunction((want) => navigator.clipboard.readText().then((t) => t === want), text);
  await page.keyboard.press('Control+C');
  await clipboardHolds(brindaq.copiedText([expected.at(-1)]));
  await last.click({ button: 'right' });
  await page.getByRole('menuitem', { name: description.copyAllAction }).click();
  await clipboardHolds(brindaq.copiedText(expected));
  assert.deepEqual(await axeViolations(page), []);
  await context.close();
});

test('the address keeps the range: a link, a reload, CLEAR and the window range', async () => {
  const { context, page } = await openPage({}, `${server.url}#full/factors/600851475143`);
  await list(page).getByRole('option').first().waitFor();
  assert.deepEqual(await lines(page), run('factors', '600851475143').lines);
  await page.reload();
  await list(page).getByRole('option').first().waitFor();
  assert.deepEqual(await lines(page), run('factors', '600851475143').lines);
  await clickCommand(page, 'clear');
  await page.reload();
  await page.locator(`#${buttonOf('info').name}`).waitFor();
  const plain = { checked: full.word, title: full.caption, hash: `#${full.word}` };
  assert.deepEqual(await shownRange(page), plain);
  // The window range's addresses are those it always had.
  await page.evaluate(() => {
    window.location.hash = '#factors/360';
  });
  await page.waitForFunction((word) => !document.title.includes(word), full.word);
  assert.deepEqual(await lines(page), brindaq.run('factors', '360').lines);
  const answered = { checked: own.word, title: own.caption, hash: '#factors/360' };
  assert.deepEqual(await shownRange(page), answered);
  await context.close();
});

// An expression written in the address by hand opens its answer, and the page writes it back
// percent-encoded; texts that hold what an address means itself come back into the box as typed.
test('an expression in the address, typed by hand and there and back', async () => {
  const { context, page } = await openPage({}, `${server.url}#full/factors/2^67-1`);
  await list(page).getByRole('option').first().waitFor();
  assert.equal(await box(page, 'A').inputValue(), '2^67-1');
  const factors = run('factors', '2^67-1').lines;
  assert.deepEqual(factors.map((line) => line.trim()), ['193707721', '761838257287']);
  assert.deepEqual(await lines(page), factors);
  assert.equal(await page.evaluate(() => window.location.hash), '#full/factors/2%5E67-1');
  const opened = watch(await context.newPage());
  for (const text of [
    '(10^21+1)/7',
    ' 97# + 1 ',
    '2\u00D73\u00B75',
    '12/2/3',
    '100%/5',
    '7#full/is-prime/7',
    '5%E0%A4%A',
    '6?a=b&c\'"<>',
  ]) {
    await setOperands(page, [text]);
    await clickCommand(page, 'is-prime');
    const address = await page.evaluate(() => window.location.hash);
    await opened.goto('about:blank');
    await opened.goto(`${server.url}${address}`);
    await list(opened).getByRole('option').first().waitFor();
    assert.equal(await box(opened, 'A').inputValue(), text, address);
    assert.deepEqual(await lines(opened), run('is-prime', text).lines, address);
  }
  await context.close();
});

// Each opens the plain window, in the range that its first part names if it names one.
test('a hostile address that names the range opens the plain window', async () => {
  const { context, page } = await openPage(kPhone);
  const scripts = await page.locator('script').count();
  const cases = [
    ['#full/<script>alert(1)</script>', full],
    [`#full/factors/${'9'.repeat(40000)}`, full],
    ['#full/factors/%E0%A4%A', full],
    ['#full/factors/1/2/3/4', full],
    ['#full/full/factors/360', full],
    ['#fullx/factors/360', own],
    ['#window/full/factors/360', own],
    ['#FULL/factors/360', own],
  ];
  const opened = watch(await context.newPage());
  for (const [hash, range] of cases) {
    await opened.goto('about:blank');
    await opened.goto(`${server.url}${hash}`);
    await opened.locator(`#${buttonOf('info').name}`).waitFor();
    const name = hash.slice(0, 30);
    const plain = range === full ? `#${full.word}` : '';
    await opened.waitForFunction((want) => window.location.hash === want, plain);
    assert.equal((await shownRange(opened)).checked, range.word, name);
    assert.equal(await box(opened, 'A').inputValue(), '', name);
    assert.deepEqual(await lines(opened), [], name);
    assert.equal(await opened.getByRole('dialog').count(), 0, name);
    assert.equal(await opened.locator('script').count(), scripts, name);
  }
  // On a phone the control comes after the last button, each option a finger's size.
  const [lastButton, ...options] = await opened.$$eval(
    `#${buttonOf('info').name}, .range label`,
    (nodes) => nodes.map((node) => node.getBoundingClientRect().toJSON()),
  );
  for (const option of options) {
    assert.ok(option.top >= lastButton.bottom && option.height >= 44, JSON.stringify(option));
  }
  await context.close();
});

testNoComplaints();
