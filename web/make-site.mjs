// Finishes the site after the module is built: writes the web app manifest from the window's
// description (name, colours) and the page's, and the service worker with the list of the
// site's files and a cache name made of the version and a digest of those files.
//   node make-site.mjs SITE_DIR VERSION SERVICE_WORKER_TEMPLATE

import { createHash } from 'node:crypto';
import { readdirSync, readFileSync, statSync, writeFileSync } from 'node:fs';
import { join, relative, resolve, sep } from 'node:path';
import { pathToFileURL } from 'node:url';

const [folder, version, template] = process.argv.slice(2);
const site = resolve(folder);
const { default: createBrindaq } = await import(pathToFileURL(join(site, 'brindaq.mjs')).href);
const brindaq = await createBrindaq({ wasmBinary: readFileSync(join(site, 'brindaq.wasm')) });
const description = brindaq.description();

// The page's own description, from its <meta name="description">.
const page = readFileSync(join(site, 'index.html'), 'utf8');
const [, summary] = page.match(/<meta name="description" content="([^"]*)">/);

// Scope and start address are the site's folder, so that an answer's address (#factors/360)
// opens in the installed app as in a tab.
const manifest = {
  name: description.programName,
  short_name: description.programName,
  description: summary,
  start_url: './',
  scope: './',
  display: 'standalone',
  background_color: description.colours.form.background,
  theme_color: description.colours.form.background,
  icons: [192, 512].map((size) => ({
    src: `icons/brindaq-${size}.png`,
    sizes: `${size}x${size}`,
    type: 'image/png',
    purpose: 'any',
  })),
};
writeFileSync(join(site, 'manifest.webmanifest'), `${JSON.stringify(manifest, null, 2)}\n`);

const worker = 'sw.js';
function filesOf(folder) {
  return readdirSync(folder).flatMap((name) => {
    const path = join(folder, name);
    return statSync(path).isDirectory() ? filesOf(path) : [path];
  });
}
const files = filesOf(site)
  .map((path) => relative(site, path).split(sep).join('/'))
  .filter((path) => path !== worker)
  .sort();
const digest = createHash('sha256');
for (const file of files) {
  digest.update(file).update('\0').update(readFileSync(join(site, file))).update('\0');
}
const cache = `quarvel-${version}-${digest.digest('hex').slice(0, 12)}`;
const text = readFileSync(template, 'utf8')
  .replace('@CACHE@', cache)
  .replace('@FILES@', JSON.stringify(['./', ...files]));
writeFileSync(join(site, worker), text);
