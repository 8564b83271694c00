// The editor as the vendor's workbench, in Debian's chromium: findings of
// every menu whatever state the others are in, and trying the menu.
import assert from 'node:assert/strict';
import { appendFileSync, rmSync } from 'node:fs';
import { join } from 'node:path';
import { after, before, test } from 'node:test';
import { launchBrowser, openEditor, settled, startEditor } from './session.mjs';

let browser;
before(async () => {
  browser = await launchBrowser();
});
after(async () => {
  await browser?.close();
});

async function withEditor(prepare, body) {
  const editor = await startEditor();
  prepare(join(editor.project, 'menus'));
  const { page, errors } = await openEditor(browser.context, editor.url);
  try {
    await body({ ...editor, page });
    assert.deepEqual(errors, []);
  } finally {
    await page.close();
    await editor.stop();
  }
}

test('while the German root has no index yet, the English menus\' hotspot findings are shown, and they follow an edit', async () => {
  await withEditor((menus) => {
    rmSync(join(menus, 'root-de.txt'));
    appendFileSync(join(menus, 'root-en.txt'), '300;300;340;340;execute;\n350;300;390;340;execute;software\\gone.exe\n');
  }, async ({ page }) => {
    const findings = () => page.locator('#findings').innerText();
    assert.match(await findings(), /menus\/menu\.txt:3: error: the menu index of menu "root-de" is missing/);
    assert.match(await findings(), /menus\/root-en\.txt:4: warning: command "execute" has nothing to start/);
    assert.match(await findings(), /menus\/root-en\.txt:5: error: start target "software\\gone\.exe" is not on the disc/);
    assert.match(await page.locator('g.spot[data-slot="4"]').getAttribute('class'), /error/);
    await page.click('#spot-3');
    await page.fill('#f-argument', 'notepad');
    await page.press('#f-argument', 'Enter');
    await settled(page);
    assert.doesNotMatch(await findings(), /nothing to start/);
    assert.match(await findings(), /root-de/);
  });
});

test('trying the menu: Tab to a showmenu, Enter, a click on back, Backspace at the root does nothing; a start says what the shell would open; Escape ends it', async () => {
  await withEditor(() => {}, async ({ page }) => {
    const line = () => page.locator('#tryout-line').innerText();
    const box = await page.locator('#overlay').boundingBox();
    const click = (x, y) => page.mouse.click(box.x + x, box.y + y);
    await page.click('#tryout');
    assert.match(await line(), /^Trying en \(root\)/);
    assert.equal(await page.locator('g.spot').count(), 0);
    await page.keyboard.press('Tab');
    await page.keyboard.press('Tab');
    await page.keyboard.press('Tab');
    assert.equal(await page.locator('.tried-focus').getAttribute('y'), '140', 'the close box is skipped and the order wraps');
    await page.keyboard.press('Shift+Tab');
    await page.keyboard.press('Enter');
    assert.match(await line(), /^Trying en docs \(1 step\(s\) back\): showmenu docs/);
    assert.equal(await page.locator('.tried-focus').count(), 0);
    await click(100, 160);
    assert.match(await line(), /open "software\\pdfreader\\docrunner\.exe" with the parameters "manual\\datasheet\.pdf" in D:\\/);
    await click(100, 200);
    assert.match(await line(), /^Trying en \(root\) \(0 step\(s\) back\): back/);
    await page.keyboard.press('Backspace');
    assert.match(await line(), /^Trying en \(root\) \(0 step\(s\) back\)\. /);
    await page.keyboard.press('Escape');
    assert.match(await line(), /the menu would close/);
    assert.equal(await page.locator('g.spot').count(), 3);
    assert.equal(await page.locator('body').getAttribute('data-revision'), '0', 'trying edits nothing');
  });
});
