// Measures the browser edition: the size of the module, the time of the heaviest click of each
// operation under node, and the time from navigation to the first answer of a click in Chromium.
// Prints the figures; asserts nothing.
//   node web/measure.mjs build/web/site      (after the web workflow)

import { readFileSync } from 'node:fs';
import { join, resolve } from 'node:path';
import { performance } from 'node:perf_hooks';
import { pathToFileURL } from 'node:url';
import { gzipSync } from 'node:zlib';

import { chromium } from './tests/packages.mjs';
import { serveSite } from './tests/server.mjs';

const site = resolve(process.argv[2] ?? 'build/web/site');
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
for (const [name, operands] of kHeavy) {
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
for (const visit of ['first visit', 'from the service worker']) {
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
await browser.close();
await server.stop();
