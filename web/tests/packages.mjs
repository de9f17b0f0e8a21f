// The npm packages of the browser tests, playwright-core and axe-core, pinned in
// web/package-lock.json. The build installs them into node-tests/ of its folder, which
// BRINDAQ_NODE_TESTS names (by default build/web/node-tests of the checkout); a checkout where
// `npm ci --prefix web` was run by hand has them in web/node_modules.

import { existsSync, readFileSync } from 'node:fs';
import { createRequire } from 'node:module';
import { join } from 'node:path';
import { fileURLToPath } from 'node:url';

const folder =
  process.env.BRINDAQ_NODE_TESTS ??
  fileURLToPath(new URL('../../build/web/node-tests', import.meta.url));
const installed = existsSync(join(folder, 'node_modules'));
if (process.env.BRINDAQ_NODE_TESTS !== undefined && !installed) {
  throw new Error(`no npm packages in ${folder}: build the target brindaq_node_tests first`);
}
const require = createRequire(installed ? join(folder, 'package.json') : import.meta.url);

export const { chromium } = require('playwright-core');

// The source of axe-core, to be evaluated inside a page.
export const axeSource = () => readFileSync(require.resolve('axe-core/axe.min.js'), 'utf8');
