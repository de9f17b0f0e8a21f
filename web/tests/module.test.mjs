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
// The commands, in the window's tab order.
const commands = ['primes', 'twin-primes', 'prime-count', 'next-prime', 'two-squares', 'goldbach',
  'collatz', 'factors', 'is-prime', 'power-mod', 'fibonacci', 'linear-congruence',
  'quadratic-congruence', 'inverse', 'divisors'];

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
    operand: null,
  });
  assert.deepEqual(brindaq.run('is-prime', '91', '', ''), {
    lines: [' A IS NOT A PRIME NUMBER', ' FACTOR =  7'],
    notice: null,
    operand: null,
  });
});

test('a notice, and the operand it is about', () => {
  const cases = [
    ['factors', ['10000001', '', ''], 'NUMBER TOO LARGE !', 'A'],
    ['factors', ['1E400', '', ''], 'NUMBER TOO LARGE !', 'A'],
    ['primes', ['1', '20000', ''], 'INTERVAL TOO LARGE !', 'B'],
    ['power-mod', ['2', '3', '100001'], 'NUMBER TOO LARGE !', 'C'],
    ['quadratic-congruence', ['5', '5', ''], 'C MUST BE INTEGER > 0', 'C'],
    ['goldbach', ['7', undefined, null], 'A MUST BE EVEN !', 'A'],
  ];
  for (const [command, operands, notice, operand] of cases) {
    assert.deepEqual(brindaq.run(command, ...operands), { lines: [], notice, operand }, command);
  }
});

test('the full range, asked for in the options', () => {
  const full = { range: 'full' };
  const factors = ['    71', '    839', '    1471', '    6857'];
  const cases = [
    [['is-prime', '18446744073709551557', '', '', full], [' A IS A PRIME NUMBER!'], null],
    [['factors', '600851475143', '', '', full], factors, null],
    [['factors', '147573952589676412927', '', '', full], ['    193707721', '    761838257287'], null],
    [['factors', '1E10000', '', '', full], [], 'NUMBER TOO LARGE !'],
    [['factors', '600851475143', '', '', { range: 'window' }], [], 'NUMBER TOO LARGE !'],
    [['factors', '600851475143', null, null, null], [], 'NUMBER TOO LARGE !'],
    [['factors', '600851475143', null, null, {}], [], 'NUMBER TOO LARGE !'],
  ];
  for (const [call, lines, notice] of cases) {
    assert.deepEqual(brindaq.run(...call), { lines, notice, operand: notice && 'A' }, call[4]);
  }
});

// The limits that the description gives are those the operations keep, in each range: an
// operand at its limit passes the check of its size, one beyond it (by 2, so that an even A stays
// even) is too large. The other operands are 1.
test('the description gives the limits of each operation in both ranges', () => {
  const { operations } = brindaq.description();
  assert.deepEqual(operations.map((operation) => operation.command), commands);
  const isPrime = operations.find((operation) => operation.command === 'is-prime');
  assert.deepEqual(isPrime.limits, {
    window: { A: '100000000' },
    full: { A: '9'.repeat(10000) },
  });
  for (const { command, limits } of operations) {
    for (const range of ['window', 'full']) {
      for (const [letter, limit] of Object.entries(limits[range])) {
        const operands = (value) => ['A', 'B', 'C'].map((name) => (name === letter ? value : '1'));
        // At a limit of thousands of digits the work itself may take hours: the core's own tests
        // hold that such an operand passes its checks.
        if (limit.length < 30) {
          const at = brindaq.run(command, ...operands(limit), { range });
          assert.notEqual(at.notice, 'NUMBER TOO LARGE !', `${command} ${range} ${letter}`);
        }
        const beyond = String(BigInt(limit) + 2n);
        assert.deepEqual(brindaq.run(command, ...operands(beyond), { range }), {
          lines: [],
          notice: 'NUMBER TOO LARGE !',
          operand: letter,
        }, `${command} ${range} ${letter}`);
      }
    }
  }
});

// The table of limits in the npm package's README, read back: each row's commands, and for each
// range the limits of the letters before each "≤" ("B − A" is the widest interval).
test("the npm README's table of limits is the description's", () => {
  const readme = readFileSync(new URL('../npm/README.md', import.meta.url), 'utf8');
  const rows = readme.split('\n').filter((line) => /^\| `/.test(line));
  const read = (cell) => {
    const limits = {};
    for (const part of cell.split(';')) {
      const [names, value] = part.split('≤').map((text) => text.trim());
      const limit = value === 'L' ? '9'.repeat(10000) : /^10\^(\d+) − 1$/.test(value)
        ? '9'.repeat(Number(value.slice(3, -4))) : value;
      for (const name of names === 'B − A' ? ['interval'] : names.split(', ')) {
        limits[name] = limit;
      }
    }
    return limits;
  };
  const table = new Map();
  for (const row of rows) {
    const [commands, full, window] = row.split('|').slice(1, 4);
    for (const [, command] of commands.matchAll(/`([a-z-]+)`/g)) {
      table.set(command, { full: read(full), window: read(window) });
    }
  }
  const expected = new Map();
  for (const { command, limits, widestInterval } of brindaq.description().operations) {
    const interval = widestInterval === null ? {} : { interval: widestInterval };
    expected.set(command, {
      full: { ...limits.full, ...interval },
      window: { ...limits.window, ...interval },
    });
  }
  assert.deepEqual(table, expected);
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
      message: `unknown command ${quoted}; the commands are ${commands.join(', ')}`,
    });
  }
});

test('an unknown option or range is a RangeError, options of another type a TypeError', () => {
  const ranges = "the ranges are 'window' and 'full'";
  const cases = [
    [{ range: 'Full' }, 'RangeError', `run(): unknown range "Full"; ${ranges}`],
    [{ rang: 'full' }, 'RangeError', 'run(): unknown option "rang"; the option is range'],
    [{ range: 1 }, 'TypeError', "run(): options.range must be 'window' or 'full', not a number"],
    ['full', 'TypeError', 'run(): the options must be an object, null or undefined, not a string'],
    [['full'], 'TypeError',
      'run(): the options must be an object, null or undefined, not an array'],
  ];
  for (const [options, name, message] of cases) {
    assert.throws(() => brindaq.run('factors', '360', '', '', options), { name, message });
  }
});

test('a TypeError names the argument of another type; null and undefined are empty boxes', () => {
  const box = 'must be a string, null or undefined, not';
  const lines = 'copiedText(): the lines must be an array of strings, not';
  const cases = [
    [() => brindaq.run(360), 'run(): the command must be a string, not a number'],
    [() => brindaq.run('factors', 360), `run(): operand a ${box} a number`],
    [() => brindaq.run('power-mod', '2', '3', {}), `run(): operand c ${box} an object`],
    [() => brindaq.copiedText('abc'), `${lines} a string`],
    [() => brindaq.copiedText(), `${lines} undefined`],
    [() => brindaq.copiedText(['2', null]), 'copiedText(): lines[1] must be a string, not null'],
  ];
  for (const [call, message] of cases) {
    assert.throws(call, { name: 'TypeError', message });
  }
  const empty = { lines: [], notice: 'A MUST BE INTEGER > 0', operand: 'A' };
  assert.deepEqual(brindaq.run('factors', null), empty);
  assert.deepEqual(brindaq.run('factors'), empty);
  assert.deepEqual(brindaq.run('inverse', '3', '7', null).lines, ['    5']);
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

test('every button of the description says what it does; operations the module knows', () => {
  const { controls } = brindaq.description();
  const buttons = controls.filter((control) => control.kind === 'button');
  assert.equal(controls.length, 28);
  const own = buttons.filter((button) => button.action !== 'operation');
  assert.deepEqual(own.map(({ name, action, command }) => [name, action, command]), [
    ['Command1', 'exit', 'exit'],
    ['Command2', 'clear', 'clear'],
    ['Command18', 'info', 'info'],
  ]);
  const operations = buttons.filter((button) => button.action === 'operation');
  assert.deepEqual(operations.map((button) => button.command), commands);
  for (const { command } of operations) {
    assert.doesNotThrow(() => brindaq.run(command, '', '', ''), command);
  }
  assert.ok(controls.every((control) => (control.kind === 'button') === ('action' in control)));
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

test('every worker is handed the module, compiled once, before its first question', async () => {
  // Workers that keep what they are sent and answer only A = 360, with no lines.
  const workers = [];
  const asker = await createBrindaq({
    wasmBinary: readFileSync(join(site, 'brindaq.wasm')),
    startWorker: () => {
      const worker = { posted: [], ended: false };
      workers.push(worker);
      return {
        post: (message) => worker.posted.push(message) && message.a === '360' && setTimeout(() => worker.answer({ end: '- ' })),
        listen: (onMessage) => (worker.answer = onMessage),
        end: () => (worker.ended = true),
        hold: () => {},
      };
    },
  });
  const full = { range: 'full' };
  await asker.runAsync('factors', '360', null, null, full);
  const controller = new AbortController();
  const stopped = asker.runAsync('factors', '1234567', null, null, { ...full, signal: controller.signal });
  setTimeout(() => controller.abort(), 10);
  await assert.rejects(stopped, { name: 'AbortError' });
  await asker.runAsync('factors', '360', null, null, full);
  // The first worker answered, was asked again and ended on the stop; the second took its place.
  assert.deepEqual(workers.map((worker) => [worker.ended, worker.posted.slice(1).map((m) => m.a)]),
    [[true, ['360', '1234567']], [false, ['360']]]);
  assert.ok(workers[0].posted[0].wasmModule instanceof WebAssembly.Module);
  assert.equal(workers[1].posted[0].wasmModule, workers[0].posted[0].wasmModule);
});
