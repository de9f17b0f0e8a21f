// Measures how the browser edition serves people and devices, and asserts nothing:
//   sizes       text and target sizes, horizontal scrolling and empty space at phone viewports,
//               and captions that stick out of their controls under WCAG 1.4.12's text spacing;
//   axe         axe-core's findings after loading, after a result, with the notice and the menu
//               open;
//   lighthouse  Lighthouse's scores on its mobile and desktop presets.
//
//   npm ci --prefix web/audit       (Lighthouse, installed only here, after the web workflow)
//   CHROME_PATH=/usr/bin/chromium node web/audit/audit.mjs build/web/site [sizes|axe|lighthouse]...

import { readFileSync } from 'node:fs';
import { join, resolve } from 'node:path';
import { pathToFileURL } from 'node:url';

import { axeViolations, kAxeStates } from '../tests/axe.mjs';
import { chromium } from '../tests/packages.mjs';
import { serveSite } from '../tests/server.mjs';

const [folder = 'build/web/site', ...asked] = process.argv.slice(2);
const parts = asked.length > 0 ? asked : ['sizes', 'axe', 'lighthouse'];
const site = resolve(folder);
const chromePath = process.env.CHROME_PATH ?? '/usr/bin/chromium';
const flags = ['--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run'];

const { default: createBrindaq } = await import(pathToFileURL(join(site, 'brindaq.mjs')).href);
const brindaq = await createBrindaq({ wasmBinary: readFileSync(join(site, 'brindaq.wasm')) });
const description = brindaq.description();
const ids = {
  a: description.operandBoxes[0],
  factors: description.controls.find((control) => control.command === 'factors').name,
  info: description.controls.find((control) => control.command === 'info').name,
  list: description.resultList,
};

const server = await serveSite(site);

// WCAG 1.4.12: the spacing a reader may set for themselves.
const kTextSpacing = `* { line-height: 1.5 !important; letter-spacing: 0.12em !important;
  word-spacing: 0.16em !important; } p { margin-bottom: 2em !important; }`;

// In the page: the smallest text on screen (its computed size times any scaling of the window),
// the smallest targets, horizontal scrolling, empty space below the window, and the captions
// whose text lies outside their control.
function measure() {
  const frame = document.getElementById('window');
  const scale = frame.getBoundingClientRect().width / frame.offsetWidth;
  const texts = { captions: Infinity, list: Infinity };
  const walker = document.createTreeWalker(frame, NodeFilter.SHOW_TEXT);
  for (let node = walker.nextNode(); node !== null; node = walker.nextNode()) {
    const owner = node.parentElement;
    if (node.textContent.trim() === '' || owner.closest('[hidden]') || owner.offsetWidth === 0) {
      continue;
    }
    const size = parseFloat(getComputedStyle(owner).fontSize) * scale;
    const kind = owner.closest('[role="listbox"]') ? 'list' : 'captions';
    texts[kind] = Math.min(texts[kind], size);
  }
  const targets = [...document.querySelectorAll('button, input, [role="menuitem"]')]
    .filter((node) => node.offsetWidth > 0)
    .map((node) => node.getBoundingClientRect());
  const smallest = (key) => Math.min(...targets.map((box) => box[key]));
  const outside = [...frame.querySelectorAll('button, .label')].filter((node) => {
    const range = document.createRange();
    range.selectNodeContents(node);
    const text = range.getBoundingClientRect();
    const box = node.getBoundingClientRect();
    return (
      text.left < box.left - 1 ||
      text.right > box.right + 1 ||
      text.top < box.top - 1 ||
      text.bottom > box.bottom + 1
    );
  });
  const root = document.documentElement;
  return {
    captions: texts.captions,
    list: texts.list,
    width: smallest('width'),
    height: smallest('height'),
    under44: targets.filter((box) => box.width < 44 || box.height < 44).length,
    sideways: root.scrollWidth - root.clientWidth,
    below: Math.max(0, innerHeight - frame.getBoundingClientRect().bottom),
    outside: outside.map((node) => node.id || node.textContent).join(', '),
  };
}

async function sizes(browser) {
  // Phones held upright and sideways, the narrowest screen a page must serve without sideways
  // scrolling, and a desktop window at 100% and at 200% zoom.
  const viewports = [
    [390, 844, 'phone'],
    [844, 390, 'phone'],
    [360, 740, 'phone'],
    [740, 360, 'phone'],
    [320, 568, 'phone'],
    [1280, 720, 'desktop'],
    [640, 360, 'desktop'],
  ];
  const px = (value) => (Number.isFinite(value) ? value.toFixed(1) : '-');
  console.log('| Viewport | Captions | List lines | Smallest target | Targets < 44 px | ' +
    'Sideways scroll | Empty below | Outside under text spacing |');
  console.log('|---|---|---|---|---|---|---|---|');
  for (const [width, height, kind] of viewports) {
    const phone = kind === 'phone';
    const context = await browser.newContext({
      viewport: { width, height },
      deviceScaleFactor: phone ? 3 : 1,
      isMobile: phone,
      hasTouch: phone,
      bypassCSP: true, // for the text-spacing style sheet only
    });
    const page = await context.newPage();
    await page.goto(server.url);
    await page.locator(`#${ids.info}`).waitFor();
    const all = [await page.evaluate(measure)];
    await kAxeStates[1][1](page, ids); // a result
    all.push(await page.evaluate(measure));
    await kAxeStates[3][1](page, ids); // the menu open over it
    all.push(await page.evaluate(measure));
    await page.keyboard.press('Escape');
    await kAxeStates[2][1](page, ids); // the notice
    all.push(await page.evaluate(measure));
    await page.keyboard.press('Escape');
    await page.addStyleTag({ content: kTextSpacing });
    await page.waitForTimeout(200);
    const spaced = await page.evaluate(measure);
    const least = (key) => Math.min(...all.map((entry) => entry[key]));
    console.log(
      `| ${width} × ${height} ${kind} | ${px(least('captions'))} | ${px(least('list'))} | ` +
        `${px(least('width'))} × ${px(least('height'))} | ` +
        `${Math.max(...all.map((entry) => entry.under44))} | ${all[0].sideways} px | ` +
        `${px(all[0].below)} px | ${spaced.outside || 'none'} |`,
    );
    await context.close();
  }
}

async function axe(browser) {
  const context = await browser.newContext({ viewport: { width: 1280, height: 720 } });
  const page = await context.newPage();
  await page.goto(server.url);
  await page.locator(`#${ids.info}`).waitFor();
  for (const [state, reach] of kAxeStates) {
    await reach(page, ids);
    const found = await axeViolations(page);
    console.log(`axe ${state}: ${found.length === 0 ? 'no violations' : ''}`);
    for (const line of found) console.log(`  ${line}`);
  }
  await context.close();
}

async function lighthouse() {
  // Imported only here, so that the other parts run without the audit folder's packages.
  const { default: run } = await import('lighthouse');
  const { default: desktop } = await import('lighthouse/core/config/desktop-config.js');
  const launcher = await import('chrome-launcher');
  const chrome = await launcher.launch({ chromePath, chromeFlags: ['--headless=new', ...flags] });
  try {
    for (const [preset, config] of [
      ['mobile', undefined],
      ['desktop', desktop],
    ]) {
      const options = { port: chrome.port, output: 'json', logLevel: 'error' };
      const { lhr } = await run(server.url, options, config);
      const scores = Object.values(lhr.categories)
        .map((category) => `${category.title} ${Math.round(category.score * 100)}`)
        .join(', ');
      console.log(`Lighthouse ${lhr.lighthouseVersion} ${preset}: ${scores}`);
      // Every audit that a category counts and that did not pass in full.
      const counted = Object.values(lhr.categories).flatMap((category) =>
        category.auditRefs.filter((ref) => ref.weight > 0).map((ref) => lhr.audits[ref.id]),
      );
      const failed = counted.filter((audit) => audit.score !== null && audit.score < 1);
      for (const audit of failed) {
        const shown = audit.displayValue ? ` (${audit.displayValue})` : '';
        console.log(`  ${audit.id}: ${audit.score}${shown}`);
      }
    }
  } finally {
    await chrome.kill();
  }
}

const browser = await chromium.launch({ executablePath: chromePath, args: flags });
try {
  if (parts.includes('sizes')) await sizes(browser);
  if (parts.includes('axe')) await axe(browser);
} finally {
  await browser.close();
}
try {
  if (parts.includes('lighthouse')) await lighthouse();
} finally {
  await server.stop();
}
