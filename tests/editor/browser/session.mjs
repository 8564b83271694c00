// One editor run on a scratch copy of a sample project, and the browser
// that drives it. Chromium is Debian's; a browser that cannot start makes
// the run exit 77, which ctest reports as skipped.
import { spawn } from 'node:child_process';
import { cpSync, mkdtempSync, rmSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { dirname, join, resolve } from 'node:path';
import { fileURLToPath } from 'node:url';
import { chromium } from 'playwright-core';

const TREE = resolve(dirname(fileURLToPath(import.meta.url)), '../../..');
const BROWSER_ARGS = ['--no-sandbox', '--headless', '--disable-gpu', '--disable-background-networking',
  '--disable-component-update', '--disable-sync', '--no-first-run', '--disable-quic'];

export async function launchBrowser() {
  const profile = mkdtempSync(join(tmpdir(), 'editor-browser-'));
  try {
    const context = await chromium.launchPersistentContext(profile, {
      executablePath: process.env.CHROMIUM || '/usr/bin/chromium',
      args: BROWSER_ARGS,
      viewport: { width: 1400, height: 820 },
    });
    return { context, close: async () => { await context.close(); rmSync(profile, { recursive: true, force: true }); } };
  } catch (error) {
    console.log(`SKIP: chromium cannot start here: ${error.message.split('\n')[0]}`);
    process.exit(77);
  }
}

export async function startEditor(sample = 'two-screens') {
  const scratch = mkdtempSync(join(tmpdir(), 'editor-project-'));
  const project = join(scratch, sample);
  cpSync(join(TREE, 'projects', sample), project, { recursive: true });
  const menucheck = process.env.MENUCHECK || join(TREE, 'build/host/disckit/menucheck');
  const child = spawn('/usr/bin/python3', [join(TREE, 'disckit/project'), 'edit', '--no-open', project, menucheck], {
    stdio: ['ignore', 'pipe', 'inherit'],
  });
  const url = await new Promise((done, fail) => {
    let seen = '';
    child.stdout.on('data', (chunk) => {
      seen += chunk;
      const found = /http:\/\/127\.0\.0\.1:\d+\/[^/\s]+\//.exec(seen);
      if (found) done(found[0]);
    });
    child.on('exit', (status) => fail(new Error(`the editor ended with ${status}: ${seen}`)));
  });
  const stop = async () => {
    const ended = new Promise((done) => child.on('exit', done));
    child.kill('SIGINT');
    await ended;
    rmSync(scratch, { recursive: true, force: true });
  };
  return { url, project, stop };
}

// The page has loaded and the check of its present state has answered.
export async function openEditor(context, url) {
  const page = await context.newPage();
  const errors = [];
  page.on('pageerror', (error) => errors.push(error.message));
  // The page asks only for what the server gives it: no refused request, a
  // browser's own favicon.ico neither.
  page.on('response', (response) => {
    if (response.status() >= 400 && response.status() !== 409) errors.push(`${response.status()} ${response.url()}`);
  });
  await page.goto(url);
  await page.waitForSelector('body[data-ready="yes"]');
  return { page, errors };
}

// Every edit so far has been checked.
export async function settled(page) {
  await page.waitForFunction(() => document.body.dataset.revision === document.body.dataset.checkedRevision);
}
