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
assert.ok(tarball, 'BRINDAQ_PACKAGE must name the package tarball');

test('the package installs offline from its tarball and answers under node', (t) => {
  const folder = mkdtempSync(join(tmpdir(), 'brindaq-package-'));
  t.after(() => rmSync(folder, { recursive: true, force: true }));
  const env = { ...process.env, npm_config_update_notifier: 'false' };
  const install = ['install', '--offline', '--no-audit', '--no-fund', '--prefix', folder, tarball];
  execFileSync('npm', install, { cwd: folder, env, stdio: 'pipe' });

  const script = `import createBrindaq from 'brindaq';
    const brindaq = await createBrindaq();
    console.log(JSON.stringify([brindaq.run('factors', '360'), brindaq.run('goldbach', '7'),
      brindaq.run('is-prime', '18446744073709551557', null, null, { range: 'full' })]));`;
  const answers = execFileSync(process.execPath, ['--input-type=module', '-e', script],
    { cwd: folder, encoding: 'utf8' });
  assert.deepEqual(JSON.parse(answers), [
    { lines: ['    2', '    2', '    2', '    3', '    3', '    5'], notice: null, operand: null },
    { lines: [], notice: 'A MUST BE EVEN !', operand: 'A' },
    { lines: [' A IS A PRIME NUMBER!'], notice: null, operand: null },
  ]);

  const installed = join(folder, 'node_modules', 'brindaq');
  assert.deepEqual(readdirSync(installed).sort(), [
    'COPYRIGHT', 'README.md', 'brindaq.d.ts', 'brindaq.mjs', 'brindaq.wasm', 'node.mjs',
    'package.json',
  ]);
  const manifest = JSON.parse(readFileSync(join(installed, 'package.json'), 'utf8'));
  assert.equal(manifest.version, process.env.BRINDAQ_PACKAGE_VERSION);
});
