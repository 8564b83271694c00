// The editor as the vendor's workbench, in Debian's chromium: findings of
// every menu whatever state the others are in, trying the menu, and
// screens and languages made on the page.
import assert from 'node:assert/strict';
import { appendFileSync, readdirSync, readFileSync, rmSync, writeFileSync } from 'node:fs';
import { join } from 'node:path';
import { after, before, test } from 'node:test';
import { launchBrowser, settled, withEditor as withSession } from './session.mjs';

let browser;
before(async () => {
  browser = await launchBrowser();
});
after(async () => {
  await browser?.close();
});

const withEditor = (prepare, body) => withSession(browser, prepare, body);

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

test('trying the menu: Tab to a showmenu, Enter, a click on back, Backspace at the root does nothing, the mouse\'s back button goes back; a start says what the shell would open; Escape ends it', async () => {
  await withEditor(() => {}, async ({ page, url }) => {
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
    await click(100, 200);
    const cdp = await page.context().newCDPSession(page);
    const backButton = (type, buttons) => cdp.send('Input.dispatchMouseEvent',
      { type, button: 'back', buttons, x: box.x + 400, y: box.y + 300, clickCount: 1 });
    await backButton('mousePressed', 8);
    await backButton('mouseReleased', 0);
    assert.match(await line(), /^Trying en \(root\) \(0 step\(s\) back\): back to the menu before/);
    assert.equal(page.url(), url, 'the browser did not go back itself');
    await page.keyboard.press('Escape');
    assert.match(await line(), /the menu would close/);
    assert.equal(await page.locator('g.spot').count(), 3);
    assert.equal(await page.locator('body').getAttribute('data-revision'), '0', 'trying edits nothing');
  });
});

const read = (project, name) => readFileSync(join(project, 'menus', name));

test('a screen added with a chosen picture, a language made from English and a new picture for a screen are one undoable edit each, checked and saved with their pictures', async () => {
  await withEditor(() => {}, async ({ page, project }) => {
    const rootEn = read(project, 'root-en.png');
    await page.click('#screen-add');
    await page.fill('#as-name', 'extras');
    await page.fill('#as-title', 'Extras');
    await page.setInputFiles('#as-picture', join(project, 'menus', 'docs-en.png'));
    await page.click('#add-screen button[value="ok"]');
    // Shown once the picture is read: the new screen, on its own picture.
    await page.locator('#menus').getByText('extras — extras-en').waitFor();
    assert.match(await page.locator('#picture').getAttribute('src'), /^blob:/);
    // Its picture replaced before it was ever saved: still a new file to the server.
    await page.setInputFiles('#screen-picture-file', join(project, 'menus', 'root-en.png'));
    await page.waitForFunction(() => document.querySelector('#status').textContent.startsWith('new picture for en extras'));
    await page.click('#language-add');
    await page.fill('#al-code', 'fr');
    await page.click('#add-language button[value="ok"]');
    await page.waitForSelector('[data-key="title-7"]');
    await page.click('#undo');
    assert.doesNotMatch(await page.locator('#menus').innerText(), /FR/i);
    await page.click('#redo');
    await page.fill('[data-key="title-5"]', 'Deux écrans');
    await page.press('[data-key="title-5"]', 'Enter');
    await page.click('[data-key="menu-0"]');
    assert.equal(await page.locator('[data-key="menu-0"]').getAttribute('aria-current'), 'true');
    await page.setInputFiles('#screen-picture-file', join(project, 'menus', 'docs-en.png'));
    await page.waitForFunction(() => document.querySelector('#status').textContent.startsWith('new picture'));
    await settled(page);
    assert.doesNotMatch(await page.locator('#findings').innerText(), /error|failure/);
    await page.click('#save');
    await page.waitForSelector('#status:not(.dirty)');
    assert.equal(read(project, 'menu.txt').toString(), 'en;;;root-en;Two Screens Sample\nen;docs;;docs-en;Two Screens Sample\n' +
      'en;extras;;extras-en;Extras\nde;;;root-de;Über die Zwei-Seiten-CD\nde;docs;;docs-de;Über die Zwei-Seiten-CD\n' +
      'fr;;;root-fr;Deux écrans\nfr;docs;;docs-fr;\nfr;extras;;extras-fr;\n');
    assert.equal(read(project, 'extras-en.txt').length, 0);
    assert.deepEqual(read(project, 'extras-en.png'), rootEn);
    assert.deepEqual(read(project, 'extras-fr.png'), rootEn);
    assert.deepEqual(read(project, 'root-fr.png'), rootEn);
    assert.deepEqual(read(project, 'root-en.png'), read(project, 'docs-en.png'));
    assert.equal(read(project, 'docs-fr.txt').toString(), read(project, 'docs-en.txt').toString());
    assert.equal(read(project, 'docs-fr.names').toString(), read(project, 'docs-en.names').toString());
  });
});

test('Copy carries the names and, asked, points a start at the other language\'s file on the disc; a renamed screen takes its showmenu along; a deleted one goes after saying who points at it', async () => {
  await withEditor((menus) => {
    const disc = join(menus, '..', 'disc', 'manual');
    writeFileSync(join(disc, 'datasheet-en.pdf'), '');
    writeFileSync(join(disc, 'datasheet-de.pdf'), '');
    writeFileSync(join(menus, 'docs-en.txt'), readFileSync(join(menus, 'docs-en.txt'), 'utf8').replace('datasheet.pdf', 'datasheet-en.pdf'));
  }, async ({ page, project }) => {
    await page.click('[data-key="menu-1"]');
    await page.selectOption('#copy-language', 'de');
    await page.click('#copy');
    await page.waitForSelector('#ask[open]');
    assert.match(await page.locator('#ask-list').innerText(), /manual\\datasheet-en\.pdf → .*manual\\datasheet-de\.pdf/);
    await page.click('#ask-yes');
    await page.click('[data-key="menu-1"]');
    await page.click('#screen-rename');
    await page.fill('#rn-name', 'manuals');
    await page.click('#rename button[value="ok"]');
    await settled(page);
    await page.click('#save');
    await page.waitForSelector('#status:not(.dirty)');
    assert.match(read(project, 'docs-de.txt').toString(), /^60;140;300;184;execute;software\\pdfreader\\docrunner\.exe manual\\datasheet-de\.pdf\r?\n/);
    assert.equal(read(project, 'docs-de.names').toString().replaceAll('\r\n', '\n'), read(project, 'docs-en.names').toString());
    assert.match(read(project, 'root-en.txt').toString(), /showmenu;manuals\n/);
    assert.match(read(project, 'root-de.txt').toString(), /showmenu;docs\r\n/);
    assert.match(read(project, 'menu.txt').toString(), /^en;manuals;;docs-en;/m);
    await page.click('[data-key="menu-3"]');
    await page.click('#screen-delete');
    await page.waitForSelector('#ask[open]');
    assert.equal(await page.locator('#ask-list').innerText(), 'menus/root-de.txt: hotspot 2 (showmenu docs)');
    assert.equal(await page.evaluate(() => document.activeElement.id), 'ask-no');
    await page.click('#ask-yes');
    // The screen goes once its files' disk versions are known: the edit has
    // happened when the page has something unsaved again.
    await page.waitForSelector('#status.dirty');
    await settled(page);
    assert.match(await page.locator('#findings').innerText(), /root-de\.txt:2: warning: showmenu "docs": no line of language "de"/);
    await page.click('#save');
    await page.waitForSelector('#status:not(.dirty)');
    assert.doesNotMatch(read(project, 'menu.txt').toString(), /docs-de/);
    assert.deepEqual(readdirSync(join(project, 'menus')).filter((n) => n.startsWith('docs-de')), []);
  });
});
