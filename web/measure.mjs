// Measures the browser edition: the size of the module, the time of the heaviest click of each
// operation under node, the time from navigation to the first answer of a click in Chromium, the
// longest answer there: from the click to its lines on screen, and scrolling to its end; and a
// long factorisation in the worker: from the click to its first progress, the page's longest
// stall while it runs, and from Esc to its stopped answer on screen. Prints the figures; asserts
// nothing.
//   node web/measure.mjs build/web/site      (after the web workflow)
//   node web/measure.mjs build/web/site --long   only the full range's long work: the longest
//                                            answer, the long factorisation, and the first
//                                            click after a stop

import { readFileSync } from 'node:fs';
import { join, resolve } from 'node:path';
import { performance } from 'node:perf_hooks';
import { pathToFileURL } from 'node:url';
import { gzipSync } from 'node:zlib';

import { chromium } from './tests/packages.mjs';
import { serveSite } from './tests/server.mjs';

const site = resolve(process.argv[2] ?? 'build/web/site');
const onlyLong = process.argv.includes('--long');
const median = (values) => [...values].sort((x, y) => x - y)[Math.floor(values.length / 2)];

const sizes = ['brindaq.mjs', 'brindaq.wasm'].map((file) => {
  const bytes = readFileSync(join(site, file));
  return { file, bytes: bytes.length, gzip: gzipSync(bytes, { level: 9 }).length };
});
for (const { file, bytes, gzip } of sizes) {
  console.log(`${file}: ${(bytes / 1024).toFixed(1)} KB, ${(gzip / 1024).toFixed(1)} KB gzipped`);
}
const total = sizes.reduce((sum, { bytes }) => sum + bytes, 0);
console.log(`together: ${(total / 1024).toFixed(1)} KB`);

// The heavy inputs of the native benchmark, read from its table (every row but the typical one),
// one click each, median of repeated runs: the figures sit beside brindaq_bench's.
const kCommands = {
  PrimesBetween: 'primes',
  TwinPrimesBetween: 'twin-primes',
  PrimeCountBetween: 'prime-count',
  NextPrime: 'next-prime',
  PrimeFactors: 'factors',
  PrimalityTest: 'is-prime',
  DivisorCountAndSum: 'divisors',
  SumOfTwoSquares: 'two-squares',
  GoldbachDecomposition: 'goldbach',
  CollatzSequence: 'collatz',
  FibonacciNumbers: 'fibonacci',
  ModularPower: 'power-mod',
  LinearCongruence: 'linear-congruence',
  QuadraticCongruence: 'quadratic-congruence',
  ModularInverse: 'inverse',
};
const bench = readFileSync(new URL('../bench/operations_bench.cpp', import.meta.url), 'utf8');
const row = /\{"(\w+)",\s*"([\w-]+)",\s*&\w+,\s*\{"(\d*)", "(\d*)", "(\d*)"\}\}/g;
const kHeavy = [...bench.matchAll(row)]
  .filter((match) => match[2] !== 'typical')
  .map(([, operation, input, ...operands]) => [`${operation}/${input}`, operands]);
const { default: createBrindaq } = await import(pathToFileURL(join(site, 'brindaq.mjs')).href);
const brindaq = await createBrindaq({ wasmBinary: readFileSync(join(site, 'brindaq.wasm')) });
for (const [name, operands] of onlyLong ? [] : kHeavy) {
  const command = kCommands[name.split('/')[0]];
  // Warmed up first, as the native benchmark is, so that the engine's optimising tier has
  // compiled the module's hot code.
  for (const warm = performance.now() + 300; performance.now() < warm; ) {
    brindaq.run(command, ...operands);
  }
  const times = [];
  const deadline = performance.now() + 1000;
  while (times.length < 5 || (times.length < 200 && performance.now() < deadline)) {
    const start = performance.now();
    brindaq.run(command, ...operands);
    times.push(performance.now() - start);
  }
  console.log(`${name} ${operands.join(' ').trim()}: ${median(times).toFixed(3)} ms`);
}

// From navigation to the first answer: a fresh browser context each time, A = 360 and PRIME
// FACTORS OF A clicked from inside the page as soon as the button is there, so that the figure
// holds no time of the tool that drives the browser. First visits (no cache, no service worker),
// then visits of a page whose service worker already holds the site.
const server = await serveSite(site);
const browser = await chromium.launch({
  executablePath: '/usr/bin/chromium',
  args: ['--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run'],
});
function clickAtOnce() {
  new MutationObserver((changes, observer) => {
    const button = document.getElementById('Command10');
    if (button === null) return;
    observer.disconnect();
    document.getElementById('Text1').value = '360';
    button.click();
    if (document.querySelector('#List1 [role="option"]') !== null) {
      window.answeredAt = performance.now();
    }
  }).observe(document, { childList: true, subtree: true });
}
for (const visit of onlyLong ? [] : ['first visit', 'from the service worker']) {
  const loads = [];
  for (let run = 0; run < 9; ++run) {
    const context = await browser.newContext();
    const page = await context.newPage();
    if (visit !== 'first visit') {
      await page.goto(server.url);
      await page.evaluate(() => navigator.serviceWorker.ready);
      await page.waitForFunction(() => navigator.serviceWorker.controller !== null);
    }
    await page.addInitScript(clickAtOnce);
    await page.goto(server.url);
    await page.waitForFunction(() => window.answeredAt !== undefined);
    loads.push(await page.evaluate(() => window.answeredAt));
    await context.close();
  }
  const all = loads.map((time) => time.toFixed(0)).join(', ');
  console.log(`navigation to first answer, ${visit}: median ${median(loads).toFixed(0)} ms`);
  console.log(`  (${all})`);
}

// GOLDBACH (A) of 9699690 in the full range, 124,180 lines: from the click to all its lines in
// the list, and to the frame that shows them; then End, to the last line on screen; then the
// longest frame of a scroll from the top to the end in 120 steps, one a frame. A fresh page each
// time, opened on the full range, the click made from inside it.
const kLong = { command: 'goldbach', a: '9699690' };
kLong.button = brindaq.description().controls.find((c) => c.command === kLong.command).name;
const long = { drawn: [], shown: [], end: [], frame: [] };
for (let run = 0; run < 7; ++run) {
  const page = await browser.newPage({ viewport: { width: 1280, height: 800 } });
  await page.goto(`${server.url}#full`);
  await page.locator('#Command18').waitFor();
  const times = await page.evaluate(async ({ button: id, a }) => {
    const frame = () => new Promise((resolve) => requestAnimationFrame(() => setTimeout(resolve)));
    const list = document.getElementById('List1');
    const button = document.getElementById(id);
    document.getElementById('Text1').value = a;
    await frame();
    const start = performance.now();
    button.click();
    await new Promise((resolve) => {
      // The list is busy until the worker's answer is whole.
      new MutationObserver((changes, observer) => {
        if (!list.hasAttribute('aria-busy')) {
          observer.disconnect();
          resolve();
        }
      }).observe(list, { attributes: true, attributeFilter: ['aria-busy'] });
    });
    const drawn = performance.now();
    const first = list.querySelector('[role="option"]').textContent;
    await frame();
    const shown = performance.now();
    list.focus();
    const pressed = performance.now();
    list.dispatchEvent(new KeyboardEvent('keydown', { key: 'End', bubbles: true }));
    await frame();
    const ended = performance.now();
    const last = document.getElementById(list.getAttribute('aria-activedescendant')).textContent;
    list.scrollTop = 0;
    await frame();
    let longest = 0;
    for (let step = 1; step <= 120; ++step) {
      const before = performance.now();
      list.scrollTop = ((list.scrollHeight - list.clientHeight) * step) / 120;
      await new Promise(requestAnimationFrame);
      longest = Math.max(longest, performance.now() - before);
    }
    return {
      drawn: drawn - start,
      shown: shown - start,
      end: ended - pressed,
      frame: longest,
      lines: list.querySelector('[role="option"]').getAttribute('aria-setsize'),
      first,
      last,
    };
  }, kLong);
  for (const key of Object.keys(long)) {
    long[key].push(times[key]);
  }
  if (run === 0) {
    const ends = `"${times.first.trim()}" to "${times.last.trim()}"`;
    console.log(`${kLong.command} ${kLong.a}, full range: ${times.lines} lines, ${ends}`);
  }
  await page.close();
}
const figures = (values) =>
  `median ${median(values).toFixed(0)} ms (${values.map((v) => v.toFixed(0)).join(', ')})`;
console.log(`  click to all its lines in the list: ${figures(long.drawn)}`);
console.log(`  click to the frame that shows them: ${figures(long.shown)}`);
console.log(`  End to the frame with the last line: ${figures(long.end)}`);
console.log(`  longest frame scrolling to the end: ${figures(long.frame)}`);

// PRIME FACTORS OF A of a product of two primes of 36 digits (the one the windows are measured
// on), in the full range, for 30 s: from the click to the first progress in the hint; the
// longest gap between two frames, and between two ticks of a 4 ms timer, while the worker
// calculates; then Esc, to the frame that shows the stopped answer. Once each, in a fresh page.
const kSemiprime = '85516261388813581694728883147391667963233204428194945495614616496002931';
const page = await browser.newPage({ viewport: { width: 1280, height: 800 } });
await page.goto(`${server.url}#full`);
await page.locator('#Command18').waitFor();
await page.waitForTimeout(1000); // the worker of the first question is ready
const stall = await page.evaluate(
  async ({ a, seconds }) => {
    const frame = () => new Promise((resolve) => requestAnimationFrame(() => setTimeout(resolve)));
    const list = document.getElementById('List1');
    const hint = document.querySelector('#Label5 .caption');
    const waitFor = hint.textContent;
    document.getElementById('Text1').value = a;
    await frame();
    let progressAt = null;
    const start = performance.now();
    new MutationObserver((changes, observer) => {
      if (hint.textContent !== waitFor) {
        progressAt = performance.now() - start;
        observer.disconnect();
      }
    }).observe(hint, { childList: true, characterData: true, subtree: true });
    document.getElementById('Command10').click();
    let frames = 0;
    let slowFrames = 0; // gaps of more than 20 ms
    let longestFrame = 0;
    let longestTick = 0;
    let last = performance.now();
    let lastTick = last;
    const end = start + seconds * 1000;
    const ticker = setInterval(() => {
      const now = performance.now();
      longestTick = Math.max(longestTick, now - lastTick);
      lastTick = now;
    }, 4);
    await new Promise((resolve) => {
      const step = (now) => {
        longestFrame = Math.max(longestFrame, now - last);
        slowFrames += now - last > 20 ? 1 : 0;
        last = now;
        ++frames;
        if (now < end) requestAnimationFrame(step);
        else resolve();
      };
      requestAnimationFrame(step);
    });
    clearInterval(ticker);
    const progress = hint.textContent;
    const pressed = performance.now();
    list.dispatchEvent(new KeyboardEvent('keydown', { key: 'Escape', bubbles: true }));
    await new Promise((resolve) => {
      // The list is busy until the worker's answer is whole.
      new MutationObserver((changes, observer) => {
        if (!list.hasAttribute('aria-busy')) {
          observer.disconnect();
          resolve();
        }
      }).observe(list, { attributes: true, attributeFilter: ['aria-busy'] });
    });
    await frame();
    const stopped = performance.now() - pressed;
    const lines = [...list.querySelectorAll('[role="option"]')].map((o) => o.textContent);
    return { progressAt, frames, slowFrames, longestFrame, longestTick, progress, stopped, lines };
  },
  { a: kSemiprime, seconds: 30 },
);
console.log(`factors of a 71-digit product of two 36-digit primes, full range, 30 s:`);
console.log(`  click to its first progress in the hint: ${stall.progressAt.toFixed(0)} ms`);
const { frames, slowFrames, longestFrame } = stall;
console.log(
  `  longest gap between frames: ${longestFrame.toFixed(1)} ms (${slowFrames} of ${frames} over 20 ms)`,
);
console.log(`  longest gap between ticks of a 4 ms timer: ${stall.longestTick.toFixed(1)} ms`);
console.log(`  progress after 30 s: "${stall.progress}"`);
console.log(`  Esc to the frame with the stopped answer: ${stall.stopped.toFixed(0)} ms`);
console.log(`  stopped answer: ${JSON.stringify(stall.lines)}`);
await page.close();

// The first click after a stop. Esc ends the worker where the page cannot share memory with it,
// and a new one is started at once: from the click to the first progress in the hint, in a page
// whose first worker is ready, right after a stopped answer, a second after one, and right after
// an answer that ended (whose worker waits for the next question). A fresh page each run.
const restart = { ready: [], stopped: [], later: [], answered: [] };
for (let run = 0; run < 5; ++run) {
  const fresh = await browser.newPage({ viewport: { width: 1280, height: 800 } });
  await fresh.goto(`${server.url}#full`);
  await fresh.locator('#Command18').waitFor();
  await fresh.waitForTimeout(1000);
  const times = await fresh.evaluate(async (a) => {
    const list = document.getElementById('List1');
    const hint = document.querySelector('#Label5 .caption');
    const box = document.getElementById('Text1');
    const ended = () =>
      new Promise((resolve) => {
        const check = () => (list.hasAttribute('aria-busy') ? setTimeout(check, 5) : resolve());
        check();
      });
    const firstProgress = () =>
      new Promise((resolve) => {
        box.value = a;
        const start = performance.now();
        new MutationObserver((changes, observer) => {
          if (/ s$/.test(hint.textContent)) {
            observer.disconnect();
            resolve(performance.now() - start);
          }
        }).observe(hint, { childList: true, characterData: true, subtree: true });
        document.getElementById('Command10').click();
      });
    const stop = async () => {
      list.dispatchEvent(new KeyboardEvent('keydown', { key: 'Escape', bubbles: true }));
      await ended();
    };
    const ready = await firstProgress();
    await stop();
    const stopped = await firstProgress();
    await stop();
    await new Promise((resolve) => setTimeout(resolve, 1000));
    const later = await firstProgress();
    await stop();
    box.value = '360';
    document.getElementById('Command10').click();
    await ended();
    const answered = await firstProgress();
    await stop();
    return { ready, stopped, later, answered };
  }, kSemiprime);
  for (const key of Object.keys(restart)) {
    restart[key].push(times[key]);
  }
  await fresh.close();
}
console.log('click to first progress of the same factorisation:');
console.log(`  in a page whose worker is ready: ${figures(restart.ready)}`);
console.log(`  right after a stopped answer: ${figures(restart.stopped)}`);
console.log(`  a second after a stopped answer: ${figures(restart.later)}`);
console.log(`  right after an answer that ended: ${figures(restart.answered)}`);

await browser.close();
await server.stop();
