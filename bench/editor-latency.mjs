// How soon the editor's findings follow an edit: node bench/editor-latency.mjs MENUCHECK [ROUNDS].
// The editor runs on a scratch copy of the two-screens sample (two languages,
// two screens each, 640 x 480) in Debian's chromium, as the browser tests run
// it. Each edit is timed from just before its last input event (the key, the
// release of the mouse button, the last keystroke typed) to the moment the
// page shows the findings of the state after it. Prints a Markdown table;
// `--append FILE` adds it to FILE (bench/results.md) as its own section.
import { appendFileSync } from 'node:fs';
import { loadavg } from 'node:os';
import { launchBrowser, openEditor, startEditor } from '../tests/editor/browser/session.mjs';

const args = process.argv.slice(2);
const appendAt = args.indexOf('--append');
const appendTo = appendAt >= 0 ? args.splice(appendAt, 2)[1] : null;
const [menucheck, roundsText] = args;
if (!menucheck) {
  console.error('usage: node bench/editor-latency.mjs MENUCHECK [ROUNDS] [--append FILE]');
  process.exit(2);
}
process.env.MENUCHECK = menucheck;
const ROUNDS = Number(roundsText || 30);

const revision = (page) => page.evaluate(() => Number(document.body.dataset.revision));

// The edit's findings are on the page: its revision and every one after it
// has been checked.
async function checkedAfter(page, before) {
  await page.waitForFunction(
    (rev) => Number(document.body.dataset.revision) > rev && document.body.dataset.revision === document.body.dataset.checkedRevision,
    before,
    { polling: 'raf' },
  );
}

async function timed(page, act) {
  const before = await revision(page);
  const started = await act();
  await checkedAfter(page, before);
  return performance.now() - started;
}

// An edit made by one key on the picture.
function keyOnStage(key) {
  return async (page) => {
    await page.focus('#stage');
    return timed(page, async () => {
      const started = performance.now();
      await page.keyboard.press(key);
      return started;
    });
  };
}

const EDITS = {
  move: keyOnStage('ArrowRight'),
  async resize(page, round) {
    const box = await page.locator('#overlay').boundingBox();
    const handle = await page.locator('.handle').nth(4).boundingBox();
    const x = handle.x + handle.width / 2;
    const y = handle.y + handle.height / 2;
    const step = round % 2 ? -1 : 1;
    return timed(page, async () => {
      await page.mouse.move(x, y);
      await page.mouse.down();
      await page.mouse.move(Math.min(x + step, box.x + box.width - 1), y + step);
      const started = performance.now();
      await page.mouse.up();
      return started;
    });
  },
  async 'argument typed'(page, round) {
    await page.focus('#f-argument');
    await page.keyboard.press('End');
    return timed(page, async () => {
      await page.keyboard.type(round % 2 ? 'ab' : 'c');
      const started = performance.now();
      await page.keyboard.press(round % 2 ? 'Backspace' : 'd');
      return started;
    });
  },
  undo: keyOnStage('Control+z'),
};

function percentile(sorted, share) {
  return sorted[Math.min(sorted.length - 1, Math.ceil(share * sorted.length) - 1)];
}

const browser = await launchBrowser();
const editor = await startEditor('two-screens');
const rows = [];
const checks = [];
try {
  const { page } = await openEditor(browser.context, editor.url);
  page.on('response', async (response) => {
    if (response.url().endsWith('/api/check')) checks.push((await response.json()).milliseconds);
  });
  await page.click('#spots li >> nth=0');
  // A first round of each, not counted: the browser's and the check's caches warm.
  for (const [kind, run] of Object.entries(EDITS)) {
    await run(page, 0);
    const times = [];
    checks.length = 0;
    for (let round = 1; round <= ROUNDS; round += 1) times.push(await run(page, round));
    times.sort((a, b) => a - b);
    const server = [...checks].sort((a, b) => a - b);
    rows.push(`| ${kind} | ${ROUNDS} | ${Math.round(percentile(times, 0.5))} | ${Math.round(percentile(times, 0.9))} | ` +
      `${Math.round(times[times.length - 1])} | ${Math.round(percentile(server, 0.5))} |`);
  }
  await page.close();
} finally {
  await editor.stop();
  await browser.close();
}

const when = new Date().toISOString().slice(0, 16).replace('T', ' ');
const table = [
  '',
  '## The editor: findings after an edit',
  '',
  `Measured on ${when} UTC by \`node bench/editor-latency.mjs ${menucheck}\`, load average ` +
    `${loadavg().map((l) => l.toFixed(2)).join(' ')} on this machine's 2 cores. The editor on the two-screens ` +
    'sample (two languages of two screens, 640 x 480) in Debian\'s chromium; each edit timed from its last input ' +
    'event to the page showing the findings of the state after it (milliseconds). "Check" is the server\'s own ' +
    'time for the check of one edit (median).',
  '',
  '| edit | edits | median | 90th percentile | slowest | check |',
  '|---|---:|---:|---:|---:|---:|',
  ...rows,
  '',
].join('\n');
console.log(table);
if (appendTo) appendFileSync(appendTo, table);
