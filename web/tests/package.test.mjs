// The npm package as a user gets it: installed from its tarball into an empty folder with
// `npm install --offline`, then imported under node with no arguments. BRINDAQ_PACKAGE names the
// tarball, BRINDAQ_PACKAGE_VERSION the version it must have.

import assert from 'node:assert/strict';
import { execFileSync } from 'node:child_process';
import { mkdtempSync, readdirSync, readFileSync, rmSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import { test } from 'node:test';

const tarball = process.env.BRINDAQ_PACKAGE;
// The product of two primes of 30 digits: ECM takes minutes over it.
const kSemiprime = '85397342226735670654635508790584112503020721253533098926191';
assert.ok(tarball, 'BRINDAQ_PACKAGE must name the package tarball');

test('the package installs offline from its tarball and answers under node, in a worker too', (t) => {
  const folder = mkdtempSync(join(tmpdir(), 'brindaq-package-'));
  t.after(() => rmSync(folder, { recursive: true, force: true }));
  const env = { ...process.env, npm_config_update_notifier: 'false' };
  const install = ['install', '--offline', '--no-audit', '--no-fund', '--prefix', folder, tarball];
  execFileSync('npm', install, { cwd: folder, env, stdio: 'pipe' });

  const script = `import createBrindaq from 'brindaq';
    const brindaq = await createBrindaq();
    console.log(JSON.stringify([brindaq.run('factors', '360'), brindaq.run('goldbach', '7'),
      brindaq.run('is-prime', '18446744073709551557', null, null, { range: 'full' })]));
    // In a worker: an answer, and one stopped once its progress has been told three times.
    const whole = await brindaq.runAsync('factors', '600851475143', null, null, { range: 'full' });
    const told = [];
    const controller = new AbortController();
    const stopped = await brindaq
      .runAsync('factors', '${kSemiprime}', null, null, {
        range: 'full',
        signal: controller.signal,
        onProgress: ({ text }) => told.push(text) === 3 && controller.abort(),
      })
      .catch((error) => ({ error: error instanceof DOMException && error.name, lines: error.lines }));
    console.log(JSON.stringify([whole, stopped, told.filter((text) => !/, [0-9]+ s$/.test(text))]));`;
  const [answers, inWorker] = execFileSync(process.execPath, ['--input-type=module', '-e', script],
    { cwd: folder, encoding: 'utf8' }).trim().split('\n');
  // The worker stopped at a flag, and the core ended the answer as it ends every stopped one.
  assert.deepEqual(JSON.parse(inWorker), [
    { lines: ['    71', '    839', '    1471', '    6857'], notice: null, operand: null },
    { error: 'AbortError', lines: [` NOT YET SPLIT =  ${kSemiprime}`, '   CALCULATION STOPPED !'] },
    [],
  ]);
  assert.deepEqual(JSON.parse(answers), [
    { lines: ['    2', '    2', '    2', '    3', '    3', '    5'], notice: null, operand: null },
    { lines: [], notice: 'A MUST BE EVEN !', operand: 'A' },
    { lines: [' A IS A PRIME NUMBER!'], notice: null, operand: null },
  ]);

  const installed = join(folder, 'node_modules', 'brindaq');
  assert.deepEqual(readdirSync(installed).sort(), [
    'COPYRIGHT', 'README.md', 'brindaq-worker.mjs', 'brindaq.d.ts', 'brindaq.mjs', 'brindaq.wasm',
    'node.mjs', 'package.json',
  ]);
  const manifest = JSON.parse(readFileSync(join(installed, 'package.json'), 'utf8'));
  assert.equal(manifest.version, process.env.BRINDAQ_PACKAGE_VERSION);
});
