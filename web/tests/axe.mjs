// axe-core, pinned in package-lock.json, run inside a page on the WCAG 2.2 AA rules and axe's
// best practices. Its source is evaluated through the browser's debugging protocol, which the
// page's Content-Security-Policy does not govern, so the page itself stays as strict as it is.

import { axeSource } from './packages.mjs';

const source = axeSource();
export const kAxeTags = ['wcag2a', 'wcag2aa', 'wcag21a', 'wcag21aa', 'wcag22aa', 'best-practice'];

// The rules the page breaks, as "rule (impact): selector, selector" lines; empty when none.
export async function axeViolations(page) {
  if (!(await page.evaluate(() => 'axe' in window))) {
    await page.evaluate(source);
  }
  const violations = await page.evaluate(async (tags) => {
    const results = await axe.run(document, { runOnly: { type: 'tag', values: tags } });
    return results.violations;
  }, kAxeTags);
  return violations.map(({ id, impact, nodes }) => {
    const where = nodes.map((node) => node.target.join(' ')).join(', ');
    return `${id} (${impact}): ${where}`;
  });
}

// The states the page is checked in, one after the other on one page: `ids` names the box of A,
// the button of the prime factors and the result list.
export const kAxeStates = [
  ['after loading', async () => {}],
  [
    'after a result',
    async (page, ids) => {
      await page.fill(`#${ids.a}`, '360');
      await page.click(`#${ids.factors}`);
      await page.locator(`#${ids.list} [role="option"]`).first().waitFor();
    },
  ],
  [
    'with the notice open',
    async (page, ids) => {
      await page.fill(`#${ids.a}`, '');
      await page.click(`#${ids.factors}`);
      await page.locator('dialog[open]').waitFor();
    },
  ],
  [
    'with the menu open',
    async (page, ids) => {
      await page.keyboard.press('Escape');
      await page.fill(`#${ids.a}`, '360');
      await page.click(`#${ids.factors}`);
      await page.locator(`#${ids.list} [role="option"]`).nth(1).click({ button: 'right' });
      await page.locator('[role="menu"]').waitFor();
    },
  ],
];
