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

test('an unknown command is a RangeError that quotes it as brindaq-cli does', () => {
  const cases = [
    ['factor', "'factor'"],
    ['\x1b]0;pwned\x07\nx', "$'\\e]0;pwned\\a\\nx'"],
    ['y'.repeat(1 << 20), `'${'y'.repeat(64)}'...`],
    ['\uD800', "'\uFFFD'"],
  ];
  for (const [command, quoted] of cases) {
    assert.throws(() => brindaq.run(command, '12'), {
      name: 'RangeError',
      message: `unknown command ${quoted}; the commands are primes, twin-primes, prime-count, ` +
        'next-prime, two-squares, goldbach, collatz, factors, is-prime, power-mod, fibonacci, ' +
        'linear-congruence, quadratic-congruence, inverse, divisors',
    });
  }
  assert.throws(() => brindaq.noticeOperand('', '', '', '', 'NUMBER TOO LARGE !'), RangeError);
});

test('a TypeError names the argument of another type; null and undefined are empty boxes', () => {
  const box = 'must be a string, null or undefined, not';
  const lines = 'copiedText(): the lines must be an array of strings, not';
  const cases = [
    [() => brindaq.run(360), 'run(): the command must be a string, not a number'],
    [() => brindaq.run('factors', 360), `run(): operand a ${box} a number`],
    [() => brindaq.run('power-mod', '2', '3', {}), `run(): operand c ${box} an object`],
    [
      () => brindaq.noticeOperand('factors', '', '', '', 5),
      `noticeOperand(): the notice ${box} a number`,
    ],
    [() => brindaq.copiedText('abc'), `${lines} a string`],
    [() => brindaq.copiedText(), `${lines} undefined`],
    [() => brindaq.copiedText(['2', null]), 'copiedText(): lines[1] must be a string, not null'],
  ];
  for (const [call, message] of cases) {
    assert.throws(call, { name: 'TypeError', message });
  }
  const empty = { lines: [], notice: 'A MUST BE INTEGER > 0' };
  assert.deepEqual(brindaq.run('factors', null), empty);
  assert.deepEqual(brindaq.run('factors'), empty);
  assert.deepEqual(brindaq.run('inverse', '3', '7', null).lines, ['    5']);
  assert.equal(brindaq.noticeOperand('goldbach', '7', undefined, null, 'A MUST BE EVEN !'),
    'Text1');
  assert.equal(brindaq.noticeOperand('goldbach', '8', null, null, null), null);
});

test('a lone surrogate reaches the core as U+FFFD, and the character after it is kept', () => {
  assert.equal(brindaq.copiedText(['  \uDC00abc', 'x\uD800', '\uD83D\uDE00 ok']),
    '\uFFFDabc\nx\uFFFD\n\uD83D\uDE00 ok');
});

test('after 30,000 throwing calls of each kind the module answers, its memory no larger', () => {
  // Long strings, so that any left behind would show: 30 MB for each kind.
  const long = 'x'.repeat(1000);
  const throwing = [
    () => brindaq.run('bogus', long, long, long),
    () => brindaq.run('factors', long, long, 3),
    () => brindaq.copiedText([long, long, 5]),
  ];
  const callEach = (times) => {
    for (const call of throwing) {
      for (let i = 0; i < times; ++i) {
        try {
          call();
          assert.fail('no exception');
        } catch (error) {
          assert.ok(error instanceof TypeError || error instanceof RangeError, String(error));
        }
      }
    }
  };
  callEach(100);
  const memory = brindaq.HEAP8.buffer.byteLength;
  callEach(30000);
  assert.deepEqual(brindaq.run('factors', '360').lines,
    ['    2', '    2', '    2', '    3', '    3', '    5']);
  const after = brindaq.HEAP8.buffer.byteLength;
  assert.ok(after <= memory, `wasm memory grew from ${memory} to ${after} bytes`);
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

test('Copy and Copy All are offered only with a line to copy', () => {
  assert.equal(brindaq.canCopy(0), false);
  assert.equal(brindaq.canCopy(1), true);
  assert.throws(() => brindaq.canCopy(-1), TypeError);
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
