// Long questions of the full range on the page in Debian's Chromium: progress in the hint while
// a worker calculates, Esc and another click stopping it, and lines too long to scroll to,
// wrapped in the list and copied whole. The expected lines come from the module.

import assert from 'node:assert/strict';
import { test } from 'node:test';

import {
  box,
  brindaq,
  clickCommand,
  control,
  description,
  lines,
  list,
  openPage,
  server,
  setOperands,
  testNoComplaints,
  untilAnswered,
  useBrowser,
} from './harness.mjs';

useBrowser();

const [, full] = description.ranges;
const run = (command, a, b, c) => brindaq.run(command, a, b, c, { range: full.word });
// The product of two primes of 30 digits: the quadratic sieve takes seconds over it.
const kSemiprime = '85397342226735670654635508790584112503020721253533098926191';
const hint = (page) => page.locator(`#${description.hintLabel}`).textContent();
const hintText = control(description.hintLabel).text;

// Asks for the factors of kSemiprime and waits until the hint shows the progress, "ECM B1=2000,
// curve 3 of 25, 1 s": the core's words, with the seconds taken.
async function startLongQuestion(page) {
  await setOperands(page, [kSemiprime]);
  await page.click(`#${description.controls.find((c) => c.command === 'factors').name}`);
  await page.waitForFunction(
    (name) => / s$/.test(document.getElementById(name).textContent),
    description.hintLabel,
  );
}

test('a long factorisation shows its progress, and Esc stops it with what it established', async () => {
  const { context, page } = await openPage({}, `${server.url}#${full.word}`);
  await startLongQuestion(page);
  assert.match(await hint(page), /^[A-Za-z][A-Za-z0-9= ]*(, [a-z0-9 ]+)*, \d+ s$/);
  assert.equal(await list(page).getAttribute('aria-busy'), 'true');
  await page.keyboard.press('Escape');
  await untilAnswered(page);
  // The worker was ended: the answer claims nothing but that it stopped.
  assert.deepEqual(await lines(page), [brindaq.stoppedLineText()]);
  assert.equal(await hint(page), hintText);
  assert.equal(await page.getByRole('status').textContent(), `1 result line: ${brindaq.stoppedLineText().trim()}`);
  // The next question has its worker waiting.
  await setOperands(page, ['600851475143']);
  await clickCommand(page, 'factors');
  assert.deepEqual(await lines(page), run('factors', '600851475143').lines);
  await context.close();
});

test('a screen reader hears the progress every few seconds', async () => {
  const { context, page } = await openPage({}, `${server.url}#${full.word}`);
  // A product of two primes of 36 digits: longer than the test waits.
  await setOperands(page, ['85516261388813581694728883147391667963233204428194945495614616496002931']);
  const said = page.getByRole('status').evaluate((status, time) => new Promise((resolve) => {
    const texts = [];
    new MutationObserver(() => texts.push(status.textContent)).observe(status, { subtree: true, childList: true });
    setTimeout(() => resolve(texts), time);
  }), 2 * description.spokenProgressMs + 500);
  await page.click(`#${description.controls.find((c) => c.command === 'factors').name}`);
  const progress = await said;
  assert.ok(progress.length >= 1 && progress.length <= 2 && progress.every((text) => / s$/.test(text)), JSON.stringify(progress));
  await context.close();
});

test('a click during a long question answers the new one', async () => {
  const { context, page } = await openPage({}, `${server.url}#${full.word}`);
  await startLongQuestion(page);
  await setOperands(page, ['10^56']);
  await clickCommand(page, 'next-prime');
  assert.deepEqual(await lines(page), run('next-prime', '10^56').lines);
  assert.equal(await hint(page), hintText);
  assert.equal(await page.evaluate(() => window.location.hash), `#${full.word}/next-prime/10%5E56`);
  await context.close();
});

test('a line of 1000 digits wraps and copies whole; one of 60 characters scrolls sideways', async () => {
  const { context, page } = await openPage({}, `${server.url}#${full.word}`);
  await context.grantPermissions(['clipboard-read', 'clipboard-write'], { origin: server.url });
  const shape = () =>
    list(page).evaluate((node) => {
      const option = node.querySelector('[role="option"]');
      const rows = [...option.children].map((row) => parseFloat(getComputedStyle(row).paddingLeft));
      return {
        rows: rows.length,
        indented: rows.slice(1).every((indent) => indent > rows[0]),
        fits: option.scrollWidth <= node.clientWidth + 1,
        sideways: node.scrollWidth > node.clientWidth,
      };
    });
  await setOperands(page, ['7', '3000', '10^1000']);
  await clickCommand(page, 'power-mod');
  const long = run('power-mod', '7', '3000', '10^1000').lines;
  assert.ok(long[0].length > 1000);
  assert.deepEqual(await lines(page), long);
  const wrapped = await shape();
  assert.ok(wrapped.rows > 5 && wrapped.indented && wrapped.fits && !wrapped.sideways, JSON.stringify(wrapped));
  await list(page).getByRole('option').click({ button: 'right' });
  await page.getByRole('menuitem', { name: description.copyAllAction }).click();
  await page.waitForFunction(
    (want) => navigator.clipboard.readText().then((text) => text === want),
    brindaq.copiedText(long),
  );
  await box(page, 'C').fill('10^56');
  await clickCommand(page, 'power-mod');
  const short = run('power-mod', '7', '3000', '10^56').lines;
  assert.equal(short[0].length, 60);
  assert.deepEqual(await lines(page), short);
  assert.deepEqual(await shape(), { rows: 0, indented: true, fits: false, sideways: true });
  await context.close();
});

testNoComplaints();
