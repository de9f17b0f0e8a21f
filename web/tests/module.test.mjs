// The WebAssembly module under node, loaded as any script would: factory({ wasmBinary }).
// BRINDAQ_SITE names the built site folder.

import assert from 'node:assert/strict';
import { readFileSync } from 'node:fs';
import { join } from 'node:path';
import { test } from 'node:test';
import { pathToFileURL } from 'node:url';

const site = process.env.BRINDAQ_SITE;
assert.ok(site, 'BRINDAQ_SITE must name the built site folder');
const { default: createBrindaq } = await import(pathToFileURL(join(site, 'brindaq.mjs')).href);
const brindaq = await createBrindaq({ wasmBinary: readFileSync(join(site, 'brindaq.wasm')) });

const primesUpTo = (limit) => {
  const composite = new Uint8Array(limit + 1);
  const primes = [];
  for (let n = 2; n <= limit; ++n) {
    if (!composite[n]) {
      primes.push(n);
      for (let m = n * n; m <= limit; m += n) composite[m] = 1;
    }
  }
  return primes;
};

test('run gives the desktop window answers', () => {
  assert.deepEqual(brindaq.run('factors', '360', '', ''), {
    lines: ['    2', '    2', '    2', '    3', '    3', '    5'],
    notice: null,
  });
  assert.deepEqual(brindaq.run('is-prime', '91', '', ''), {
    lines: [' A IS NOT A PRIME NUMBER', ' FACTOR =  7'],
    notice: null,
  });
});

test('a notice, and the box it leads back to', () => {
  const cases = [
    ['factors', ['10000001', '', ''], 'NUMBER TOO LARGE !', 'Text1'],
    ['factors', ['1E400', '', ''], 'NUMBER TOO LARGE !', 'Text1'],
    ['primes', ['1', '20000', ''], 'INTERVAL TOO LARGE !', 'Text2'],
    ['power-mod', ['2', '3', '100001'], 'NUMBER TOO LARGE !', 'Text3'],
    ['quadratic-congruence', ['5', '5', ''], 'C MUST BE INTEGER > 0', 'Text3'],
  ];
  for (const [command, operands, notice, box] of cases) {
    assert.deepEqual(brindaq.run(command, ...operands), { lines: [], notice }, command);
    assert.equal(brindaq.noticeOperand(command, ...operands, notice), box, command);
  }
  assert.equal(brindaq.noticeOperand('factors', '5', '', '', 'SOMETHING ELSE'), null);
});

test('an unknown command throws a RangeError and leaves the module working', () => {
  assert.throws(() => brindaq.run('factor', '12', '', ''), RangeError);
  assert.throws(() => brindaq.noticeOperand('', '', '', '', 'NUMBER TOO LARGE !'), RangeError);
  assert.deepEqual(brindaq.run('next-prime', '7', '', '').lines, ['    11']);
});

test('every button of the description runs a command the module knows', () => {
  const { controls } = brindaq.description();
  const commands = controls.filter((control) => control.kind === 'button').map((c) => c.command);
  assert.equal(controls.length, 28);
  assert.deepEqual(commands.filter((command) => ['exit', 'clear', 'info'].includes(command)), [
    'exit',
    'clear',
    'info',
  ]);
  const operations = commands.filter((command) => !['exit', 'clear', 'info'].includes(command));
  assert.equal(new Set(operations).size, 15);
  for (const command of operations) {
    assert.doesNotThrow(() => brindaq.run(command, '', '', ''), command);
  }
});

test('copied text drops the leading blanks and joins lines with a newline', () => {
  const lines = ['    2', '  NO SOLUTION !', ' A  B ', ''];
  assert.equal(brindaq.copiedText(lines), '2\nNO SOLUTION !\nA  B \n');
  assert.equal(brindaq.copiedText([]), '');
});

// Differential checks of the WebAssembly build against plain JavaScript references, where the
// C library's number conversions differ from the native build's.
test('primes and their count agree with a sieve', () => {
  const primes = primesUpTo(3000);
  for (const [a, b] of [[1, 2000], [1000, 3000], [2, 3], [2897, 2999]]) {
    const expected = primes.filter((p) => p > a && p < b);
    assert.deepEqual(
      brindaq.run('primes', String(a), String(b), '').lines,
      expected.map((p) => `    ${p}`),
    );
    assert.deepEqual(brindaq.run('prime-count', String(a), String(b), '').lines, [
      `    ${expected.length}`,
    ]);
  }
});

test('prime factors multiply back to A', () => {
  const primes = new Set(primesUpTo(100000));
  for (const a of [2, 97, 1024, 30030, 65536, 99991, 123456, 999983, 1000000]) {
    const factors = brindaq.run('factors', String(a), '', '').lines.map(Number);
    if (factors.length === 0 || Number.isNaN(factors[0])) continue; // a prime A is reported
    assert.equal(factors.reduce((x, y) => x * y, 1), a, String(a));
    assert.ok(factors.every((p) => primes.has(p)), String(a));
  }
});

test('the largest Fibonacci numbers are written exactly', () => {
  const expected = [];
  for (let [x, y] = [1n, 1n]; expected.length < 73; [x, y] = [y, x + y]) {
    expected.push(`    ${x}`);
  }
  assert.deepEqual(brindaq.run('fibonacci', '73', '', '').lines, expected);
});
