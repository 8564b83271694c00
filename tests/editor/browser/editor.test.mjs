// The editor in Debian's chromium, on a scratch copy of the two-screens
// sample: what the vendor does with mouse and keys, and what lands on disk.
import assert from 'node:assert/strict';
import { createHash } from 'node:crypto';
import { readdirSync, readFileSync, statSync, symlinkSync, writeFileSync } from 'node:fs';
import { request } from 'node:http';
import { join, relative } from 'node:path';
import { after, before, test } from 'node:test';
import { launchBrowser, settled, startEditor, withEditor as withSession } from './session.mjs';

let browser;
before(async () => {
  browser = await launchBrowser();
});
after(async () => {
  await browser?.close();
});

const ROOT_EN = '60;140;300;184;execute;software\\pdfreader\\docrunner.exe manual\\guide.pdf\n60;196;300;240;showmenu;docs\n452;8;470;26;close;\n';
const ROOT_EN_NAMES = 'Read the guide (PDF)\nMore documents\nClose the start menu\n';

function hashes(folder) {
  const out = {};
  const walk = (dir) => {
    for (const name of readdirSync(dir)) {
      const path = join(dir, name);
      if (statSync(path).isDirectory()) walk(path);
      else out[relative(folder, path)] = createHash('sha256').update(readFileSync(path)).digest('hex');
    }
  };
  walk(folder);
  return out;
}

const menuFile = (project, name) => readFileSync(join(project, 'menus', name), 'utf8');

const withEditor = (body) => withSession(browser, () => {}, body);

// A drag from one pixel of the picture to another, the picture shown at `zoom`.
async function drag(page, from, to, zoom = 1) {
  const box = await page.locator('#overlay').boundingBox();
  const at = ([x, y]) => [box.x + (x + 0.5) * zoom, box.y + (y + 0.5) * zoom];
  await page.mouse.move(...at(from));
  await page.mouse.down();
  await page.mouse.move(...at(to), { steps: 4 });
  await page.mouse.up();
}

async function save(page) {
  await page.click('#save');
  await page.waitForSelector('#status:not(.dirty)');
}

test('a hotspot drawn at 200 %, moved with the arrow keys and resized by a handle is saved as exactly its line; nothing else changes', async () => {
  await withEditor(async ({ page, project }) => {
    const before = hashes(project);
    await page.selectOption('#zoom', '2');
    await drag(page, [20, 300], [120, 340], 2);
    await page.fill('#f-argument', 'software\\pdfreader\\docrunner.exe manual\\datasheet.pdf');
    await page.press('#f-argument', 'Tab');
    await page.focus('#stage');
    await page.keyboard.press('ArrowRight');
    await page.keyboard.press('Shift+ArrowDown');
    // The bottom right handle, 10 px right and 5 px down.
    await drag(page, [121, 350], [131, 355], 2);
    await settled(page);
    await save(page);
    assert.equal(menuFile(project, 'root-en.txt'),
      `${ROOT_EN}21;310;131;355;execute;software\\pdfreader\\docrunner.exe manual\\datasheet.pdf\n`);
    const after = hashes(project);
    delete before['menus/root-en.txt'];
    delete after['menus/root-en.txt'];
    assert.deepEqual(after, before);
  });
});

test('a command change, a name, a reorder, undo and redo, a copy to the German menu and its title', async () => {
  await withEditor(async ({ page, project }) => {
    await page.click('#spot-2');
    await page.selectOption('#f-command', 'back');
    await page.fill('#f-name', 'Close the menu');
    await page.press('#f-name', 'Tab');
    await page.focus('#spots');
    await page.keyboard.press('Alt+ArrowUp');
    await page.click('#undo');
    await page.click('#undo');
    await page.click('#undo');
    await page.click('#redo');
    await settled(page);
    await save(page);
    assert.equal(menuFile(project, 'root-en.txt'), ROOT_EN.replace('close', 'back'));
    assert.equal(menuFile(project, 'root-en.names'), ROOT_EN_NAMES);
    // The name and the reorder redone: the name moves with its hotspot.
    await page.click('#redo');
    await page.click('#redo');
    await page.selectOption('#copy-language', 'de');
    await page.click('#copy');
    await page.fill('[data-key="title-2"]', 'Zwei Seiten; deutsch');
    await page.press('[data-key="title-2"]', 'Tab');
    await settled(page);
    await save(page);
    const reordered = '60;140;300;184;execute;software\\pdfreader\\docrunner.exe manual\\guide.pdf\n452;8;470;26;back;\n60;196;300;240;showmenu;docs\n';
    assert.equal(menuFile(project, 'root-en.txt'), reordered);
    assert.equal(menuFile(project, 'root-en.names'), 'Read the guide (PDF)\nClose the menu\nMore documents\n');
    assert.equal(menuFile(project, 'root-de.txt'), reordered.replaceAll('\n', '\r\n'));
    assert.equal(menuFile(project, 'menu.txt'), 'en;;;root-en;Two Screens Sample\nen;docs;;docs-en;Two Screens Sample\n' +
      'de;;;root-de;Zwei Seiten; deutsch\nde;docs;;docs-de;Über die Zwei-Seiten-CD\n');
  });
});

test('a bad edit shows the check\'s finding on its rectangle and in the list, with file and line; leaving asks first; a file that is no UTF-8 is never written', async () => {
  await withEditor(async ({ page, project }) => {
    await page.click('#spot-1');
    await page.fill('#f-right', '10');
    await page.press('#f-right', 'Enter');
    await settled(page);
    assert.match(await page.locator('#findings').innerText(), /menus\/root-en\.txt:2: warning: hotspot 60,196-10,240 is inverted/);
    assert.match(await page.locator('g.spot[data-slot="1"]').getAttribute('class'), /warning/);
    if (process.env.EDITOR_SCREENSHOT) {
      // The README's picture: the first hotspot selected, the finding on the second.
      await page.click('#spot-0');
      await page.selectOption('#zoom', 'fit');
      await page.screenshot({ path: process.env.EDITOR_SCREENSHOT });
    }
    const asked = page.waitForEvent('dialog');
    await page.close({ runBeforeUnload: true });
    const dialog = await asked;
    assert.equal(dialog.type(), 'beforeunload');
    await dialog.dismiss();
    await save(page);

    const latin1 = Buffer.from('60;140;300;184;execute;\xdcbersicht.exe\r\n', 'latin1');
    writeFileSync(join(project, 'menus', 'root-de.txt'), latin1);
    await page.reload();
    await page.waitForSelector('body[data-ready="yes"]');
    assert.match(await page.locator('#findings').innerText(), /menus\/root-de\.txt:1: error: not UTF-8/);
    await page.selectOption('#copy-language', 'de');
    await page.click('#copy');
    assert.match(await page.locator('#status').innerText(), /root-de\.txt is not UTF-8/);
    await page.click('#save');
    assert.deepEqual(readFileSync(join(project, 'menus', 'root-de.txt')), latin1);
  });
});

test('a file changed on disk since it was read is not overwritten; the page keeps its version under another name, or takes the disk\'s', async () => {
  await withEditor(async ({ page, project }) => {
    await page.click('#spot-0');
    await page.focus('#stage');
    await page.keyboard.press('ArrowLeft');
    await settled(page);
    const theirs = '1;1;50;50;close;\r\n';
    writeFileSync(join(project, 'menus', 'root-en.txt'), theirs);
    await page.click('#save');
    await page.waitForSelector('#conflict[open]');
    assert.equal(menuFile(project, 'root-en.txt'), theirs);
    await page.click('#conflict button[value="keep"]');
    await page.waitForSelector('#status:not(.dirty)');
    assert.equal(menuFile(project, 'root-en.txt'), theirs);
    assert.equal(menuFile(project, 'root-en.mine-1.txt'), ROOT_EN.replace('60;140;300;184', '59;140;299;184'));
    assert.equal(await page.locator('#spots').innerText(), '1. close (1,1–50,50) “Read the guide (PDF)”');
    // Again, and this time the disk's version is taken.
    await page.click('#spot-0');
    await page.focus('#stage');
    await page.keyboard.press('ArrowDown');
    await settled(page);
    const again = '2;2;40;40;back;\r\n';
    writeFileSync(join(project, 'menus', 'root-en.txt'), again);
    await page.click('#save');
    await page.click('#conflict button[value="reload"]');
    await page.waitForSelector('#status:not(.dirty)');
    assert.equal(await page.locator('#spots').innerText(), '1. back (2,2–40,40) “Read the guide (PDF)”');
    assert.equal(menuFile(project, 'root-en.txt'), again);
    assert.deepEqual(readdirSync(join(project, 'menus')).filter((n) => n.includes('.mine-')), ['root-en.mine-1.txt']);
  });
});

// The path is sent as written: no client-side normalising of "..".
function ask(url, { method = 'GET', headers = {}, body } = {}) {
  const { hostname, port } = new URL(url);
  const path = url.slice(url.indexOf('/', 'http://'.length));
  return new Promise((done, fail) => {
    const call = request({ hostname, port, path, method, headers }, (answer) => {
      answer.resume();
      answer.on('end', () => done(answer));
    });
    call.on('error', fail);
    call.end(body);
  });
}

test('the server refuses requests without the token, for another host, outside the project and past its limits', async () => {
  const editor = await startEditor();
  try {
    const { url, project } = editor;
    const base = new URL(url);
    const before = hashes(project);
    symlinkSync('/etc/passwd', join(project, 'menus', 'outside.png'));
    const save = (path) => JSON.stringify({ changes: [{ path, base: null, text: 'x' }] });
    const json = { 'Content-Type': 'application/json' };
    const cases = [
      [`${base.origin}/api/project`, {}, 403],
      [`${base.origin}/wrong-token/api/project`, {}, 403],
      [`${url}api/project`, { headers: { Host: `rebound.example:${base.port}` } }, 403],
      [`${url}api/project`, {}, 200],
      [`${url}files/menus/outside.png`, {}, 404],
      [`${url}files/menus/..%2F..%2F..%2Fetc%2Fpasswd`, {}, 404],
      [`${url}api/save`, { method: 'POST', headers: json, body: save('project.txt') }, 403],
      [`${url}api/save`, { method: 'POST', headers: json, body: save('menus/../x.txt') }, 403],
      [`${url}api/save`, { method: 'POST', headers: json, body: save('menus/outside.png') }, 403],
      [`${url}api/save`, { method: 'POST', headers: { ...json, Origin: 'http://rebound.example' }, body: save('menus/x.txt') }, 403],
      [`${url}api/save`, { method: 'POST', headers: { ...json, 'Content-Length': String(64 * 1024 * 1024) } }, 413],
      [`${url}files/menus/root-en.txt`, { method: 'PUT', body: 'x' }, 405],
    ];
    for (const [address, options, status] of cases) {
      const answer = await ask(address, options);
      assert.equal(answer.statusCode, status, `${options.method || 'GET'} ${address}`);
    }
    const picture = await ask(`${url}files/menus/root-en.png`);
    assert.equal(picture.headers['content-type'], 'image/png');
    const after = hashes(project);
    delete after['menus/outside.png'];
    assert.deepEqual(after, before);
  } finally {
    await editor.stop();
  }
});
