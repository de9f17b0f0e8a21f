// What the browser tests share: the module under node, whose answers and description the page
// must show; Debian's Chromium driven through playwright-core against a server of its own on
// 127.0.0.1; and the ways to reach the page's controls. BRINDAQ_SITE names the built site folder.

import assert from 'node:assert/strict';
import { readFileSync } from 'node:fs';
import { join } from 'node:path';
import { after, before, test } from 'node:test';
import { pathToFileURL } from 'node:url';

import { chromium } from './packages.mjs';
import { serveSite } from './server.mjs';

export const site = process.env.BRINDAQ_SITE;
assert.ok(site, 'BRINDAQ_SITE must name the built site folder');

const { default: createBrindaq } = await import(pathToFileURL(join(site, 'brindaq.mjs')).href);
export const brindaq = await createBrindaq({
  wasmBinary: readFileSync(join(site, 'brindaq.wasm')),
});
export const description = brindaq.description();
export const control = (name) => description.controls.find((entry) => entry.name === name);
export const buttonOf = (command) =>
  description.controls.find((entry) => entry.command === command);

const kLaunchFlags = [
  '--no-sandbox',
  '--disable-gpu',
  '--disable-quic',
  '--no-first-run',
  '--disable-background-networking',
  '--disable-component-update',
  '--disable-sync',
];

// Each launch runs on a fresh user-data folder of its own, which it removes on closing.
export const launch = (flags = []) =>
  chromium.launch({
    executablePath: process.env.BRINDAQ_CHROMIUM ?? '/usr/bin/chromium',
    args: [...kLaunchFlags, ...flags],
  });

export let server;
export let browser;
const complaints = []; // console errors and warnings, uncaught errors, failed requests

// The server and the browser of a test file, and, as its last test, that no page it watched
// complained.
export function useBrowser() {
  before(async () => {
    server = await serveSite(site);
    browser = await launch();
  });
  after(async () => {
    await browser?.close();
    await server?.stop();
  });
}

export function testNoComplaints() {
  test('no console errors or warnings, and no failed request', () => {
    assert.deepEqual(complaints, []);
  });
}

export function watch(page) {
  page.on('console', (message) => {
    if (message.type() === 'error' || message.type() === 'warning') {
      complaints.push(`${message.type()}: ${message.text()}`);
    }
  });
  page.on('pageerror', (error) => complaints.push(`uncaught: ${error.message}`));
  page.on('response', (response) => {
    if (response.status() >= 400) complaints.push(`${response.status()}: ${response.url()}`);
  });
  return page;
}

// A new context at the window's size (unless `options` say otherwise), with the page open.
export async function openPage(options = {}, url = server.url) {
  const context = await browser.newContext({
    viewport: { width: description.width, height: description.height },
    deviceScaleFactor: 1,
    ...options,
  });
  const page = watch(await context.newPage());
  await page.goto(url);
  await page.locator(`#${buttonOf('info').name}`).waitFor();
  return { context, page };
}

export const box = (page, letter) =>
  page.getByRole('textbox', { name: `${letter} =`, exact: true });
export const list = (page) => page.getByRole('listbox', { name: control('List1').text });
export const lines = (page) => list(page).getByRole('option').allTextContents();

export async function setOperands(page, operands) {
  for (const [index, letter] of ['A', 'B', 'C'].entries()) {
    await box(page, letter).fill(operands[index] ?? '');
  }
}

// A click, and its answer: in the full range it comes from a worker, while the list is busy.
export const untilAnswered = (page) =>
  page.waitForFunction(
    () => document.querySelector('[role="listbox"]')?.getAttribute('aria-busy') !== 'true',
  );
export async function clickCommand(page, command) {
  await page.click(`#${buttonOf(command).name}`);
  await untilAnswered(page);
}

// A phone held upright.
export const kPhone = { viewport: { width: 390, height: 844 }, isMobile: true, hasTouch: true };

// The place, size and font size of each element that `selector` finds, named by its id or text.
export async function boxesOf(page, selector) {
  return page.$$eval(selector, (nodes) =>
    nodes.map((node) => {
      const { x, y, width, height } = node.getBoundingClientRect();
      const size = parseFloat(getComputedStyle(node).fontSize);
      return { id: node.id || node.textContent, x, y, width, height, size };
    }),
  );
}
