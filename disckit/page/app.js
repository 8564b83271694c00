// The menu editor's page: the project's texts held as lines, every edit a
// new state kept for undo, the vendor program's check run after each edit.
import { History } from './history.js';
import { clampPoint, fitScale, isEmpty, moved, pixelAt, resized, spanned } from './geometry.js';
import { COMMANDS, formatHotspot, formatMenuLine, joinLines, parseHotspot, parseMenuLine, splitLines, withLine } from './lines.js';
import { moveName, moveSlot, nameOf, removeLine, removeName, replaceSlots, setLine, setName, slotLines } from './edits.js';
import { BACK_BUTTON, describeEffect, goBack, pointerDown, pointerUp, startRun, typedKey } from './tryout.js';
import { fieldProblem, otherLanguageArgument, pointersTo, resourceFor, retarget } from './screens.js';

const api = (path) => new URL(path, location.href).href;
const $ = (id) => document.getElementById(id);
const SVG = 'http://www.w3.org/2000/svg';
const HANDLES = ['nw', 'n', 'ne', 'e', 'se', 's', 'sw', 'w'];
// Keys held down or a drag edit many times a second: a check starts soon
// after an edit, and at most one runs; edits meanwhile are checked next.
const CHECK_DELAY_MS = 10;
// Typing is an edit once the vendor pauses this long.
const TYPING_DELAY_MS = 50;

let project = null; // what the server gave: menus' files, disc names
let docs = {}; // path -> {bom, lines, end}: the undoable state
let saved = {}; // path -> {base, text}: what is on disk as far as the page knows
const readOnly = new Set();
const history = new History();
let current = 0; // line of menu.txt of the shown menu
let selected = -1; // slot of the selected hotspot
let scale = 1;
let findings = [];
let checkSerial = 0;
let drag = null;
let trying = null; // the try-out's run (tryout.js), or null while editing

// ---- State ------------------------------------------------------------

function docOf(path) {
  return docs[path] || null;
}

// A picture the page added is held as {picture: {data (base64), url, size}}
// among the texts, and a file of a deleted screen as {gone: true}, so that
// undo and saving take them like the texts.
const GONE = '\u0000gone';
function contentOf(doc) {
  return doc.gone ? GONE : doc.picture ? doc.picture.data : joinLines(doc);
}

// The picture of a resource that the page holds, by its path.
function heldPicture(resource) {
  const stem = `menus/${resource}.`.toLowerCase();
  return Object.keys(docs).find((path) => path.toLowerCase().startsWith(stem) && docs[path].picture) || null;
}

function edit(change, typing = null) {
  if (drag) return;
  const before = docs;
  const after = { ...docs };
  change(after);
  // A field left as it was typed, or a move back to where it was: no step.
  const touched = Object.keys(after).filter(
    (p) => after[p] !== before[p] && (!after[p] || !before[p] || contentOf(after[p]) !== contentOf(before[p])),
  );
  if (!touched.length) return;
  // Its bytes could not be kept: such a file is shown and checked, never written.
  const locked = touched.find((p) => readOnly.has(p));
  if (locked) {
    status(`${locked} is not UTF-8; the editor leaves it as it is: fix it in a text editor`);
    return false;
  }
  history.record(before, typing);
  docs = after;
  changed();
  return true;
}

function dirtyPaths() {
  // A file the page made (no saved state at all) is unsaved even when empty.
  return Object.keys(docs).filter(
    (path) => !readOnly.has(path) && (!saved[path] || contentOf(docs[path]) !== saved[path].text),
  );
}

let revision = 0;
function changed() {
  $('status').dataset.note = '';
  revision += 1;
  document.body.dataset.revision = String(revision);
  render();
  scheduleCheck();
}

function load(state, paths = null) {
  const take = (file, path, fallbackEnd) => {
    if (paths && !paths.includes(path)) return;
    if (!file) {
      delete docs[path];
      saved[path] = { base: null, text: '' };
      return;
    }
    if (file.text === null) {
      readOnly.add(path);
      docs[path] = splitLines('');
    } else {
      readOnly.delete(path);
      docs[path] = splitLines(file.text, fallbackEnd);
    }
    saved[path] = { base: file.version, text: file.text ?? '' };
  };
  project = state;
  docs = { ...docs };
  take(state.main, 'menus/menu.txt');
  for (const files of Object.values(state.menus)) {
    take(files.index, files.indexPath);
    const end = docs[files.indexPath] ? docs[files.indexPath].end : '\r\n';
    take(files.names, files.namesPath, end);
  }
}

// ---- What the state says ------------------------------------------------

function menus() {
  const doc = docOf('menus/menu.txt');
  if (!doc) return [];
  return doc.lines
    .map((line, index) => ({ ...parseMenuLine(line.text), index, ok: !!parseMenuLine(line.text) }))
    .filter((menu) => menu.ok && menu.resource);
}

function shownMenu() {
  return menus().find((menu) => menu.index === current) || menus()[0] || null;
}

function filesOf(menu) {
  if (!menu) return null;
  const known = project.menus[menu.resource];
  const held = heldPicture(menu.resource);
  if (known && !held) return known;
  // A screen made on the page, or one given a picture here.
  return {
    indexPath: `menus/${menu.resource}.txt`,
    namesPath: `menus/${menu.resource}.names`,
    ...known,
    picture: held || known?.picture || null,
    size: held ? docs[held].picture.size : known?.size || null,
    held: !!held,
  };
}

function indexDoc(menu) {
  const files = filesOf(menu);
  return (files && docOf(files.indexPath)) || splitLines('');
}

function hotspots(menu) {
  const doc = indexDoc(menu);
  const names = docOf(filesOf(menu)?.namesPath);
  return slotLines(doc).map((line, slot) => ({
    line,
    slot,
    spot: parseHotspot(doc.lines[line].text),
    text: doc.lines[line].text,
    name: nameOf(names, slot),
  }));
}

function findingsOf(path, line) {
  return findings.filter((f) => f.file === path && f.line === line + 1);
}

function worst(list) {
  return list.some((f) => f.severity === 'error') ? 'error' : list.length ? 'warning' : '';
}

// ---- Edits ---------------------------------------------------------------

function editIndex(menu, change, typing = null) {
  const path = filesOf(menu).indexPath;
  edit((state) => {
    state[path] = change(state[path] || splitLines(''));
  }, typing);
}

function setSpot(item, spot, typing = null) {
  editIndex(shownMenu(), (doc) => setLine(doc, item.line, formatHotspot(spot)), typing);
}

function addSpot(rect) {
  const menu = shownMenu();
  const spot = { ...rect, command: 'execute', argument: '' };
  const items = hotspots(menu);
  // After the last hotspot: last in the Tab order, before any blank tail.
  const at = items.length ? items[items.length - 1].line + 1 : indexDoc(menu).lines.length;
  editIndex(menu, (doc) => withLine(doc, at, formatHotspot(spot)));
  selected = items.length;
  render();
  $('f-argument').focus();
}

// Drawing without a mouse: a rectangle to move and size with the keys.
function newSpot() {
  if (!shownMenu()) return;
  const { width, height } = pictureSize(shownMenu());
  addSpot({ left: 0, top: 0, right: Math.min(100, width), bottom: Math.min(30, height) });
}

function deleteSpot(slot) {
  const menu = shownMenu();
  const item = hotspots(menu)[slot];
  if (!item) return;
  const namesPath = filesOf(menu).namesPath;
  edit((state) => {
    state[filesOf(menu).indexPath] = removeLine(state[filesOf(menu).indexPath], item.line);
    if (state[namesPath]) state[namesPath] = removeName(state[namesPath], slot);
  });
  selected = Math.min(slot, hotspots(menu).length - 1);
  render();
}

function reorder(from, to) {
  const menu = shownMenu();
  const count = hotspots(menu).length;
  if (to < 0 || to >= count || from === to) return;
  const namesPath = filesOf(menu).namesPath;
  edit((state) => {
    state[filesOf(menu).indexPath] = moveSlot(state[filesOf(menu).indexPath], from, to);
    if (state[namesPath]) state[namesPath] = moveName(state[namesPath], from, to);
  });
  selected = to;
  render();
}

function setSpotName(slot, text, typing = null) {
  const menu = shownMenu();
  const files = filesOf(menu);
  const end = indexDoc(menu).end;
  edit((state) => {
    const doc = state[files.namesPath] || { bom: false, lines: [], end };
    state[files.namesPath] = setName(doc, slot, text);
  }, typing);
}

function setTitle(menu, title, typing = null) {
  edit((state) => {
    state['menus/menu.txt'] = setLine(state['menus/menu.txt'], menu.index, formatMenuLine({ ...menu, title }));
  }, typing);
}

// The hotspots with their names; a start that opens a file of this
// language may open the other's instead, where the disc has it.
async function copyToLanguage(language) {
  const menu = shownMenu();
  const target = menus().find((m) => m.language === language && m.name === menu.name);
  if (!target) return status(`language "${language}" has no menu named "${menu.name || '(root)'}"`);
  if (filesOf(target).indexPath === filesOf(menu).indexPath) return status('that language shares this menu index');
  if (readOnly.has(filesOf(target).indexPath)) {
    return status(`${filesOf(target).indexPath} is not UTF-8; the editor leaves it as it is: fix it in a text editor`);
  }
  const items = hotspots(menu);
  const texts = await otherLanguageTexts(items.map((h) => h.text), menu.language, language);
  const names = items.map((h) => h.name);
  const { indexPath, namesPath } = filesOf(target);
  const copied = edit((state) => {
    const doc = state[indexPath] || splitLines('');
    state[indexPath] = replaceSlots(doc, texts);
    if (names.some(Boolean) || state[namesPath]) {
      state[namesPath] = replaceSlots(state[namesPath] || splitLines('', doc.end), names);
    }
  });
  if (copied) status(`${texts.length} hotspot(s) and their names copied to ${indexPath}`);
}

// ---- Screens and languages ---------------------------------------------------

const PICTURE_TYPES = ['.png', '.bmp', '.gif', '.jpg', '.jpeg'];

function base64Of(buffer) {
  const bytes = new Uint8Array(buffer);
  let text = '';
  for (let at = 0; at < bytes.length; at += 0x8000) text += String.fromCharCode(...bytes.subarray(at, at + 0x8000));
  return btoa(text);
}

// {ext, picture} of a picture file chosen, dropped or read from the server.
async function pictureOf(blob, name) {
  const ext = name.slice(name.lastIndexOf('.')).toLowerCase();
  if (!PICTURE_TYPES.includes(ext)) throw new Error(`${name}: a picture is ${PICTURE_TYPES.join(', ')}`);
  const bitmap = await createImageBitmap(blob);
  const size = [bitmap.width, bitmap.height];
  bitmap.close();
  return { ext, picture: { data: base64Of(await blob.arrayBuffer()), blob, url: URL.createObjectURL(blob), size } };
}

function resources() {
  return menus().map((m) => m.resource);
}

// The main index with a line added after the last one of its language.
function withMenuLine(doc, menu) {
  const last = menus().filter((m) => m.language === menu.language).pop();
  return withLine(doc, last ? last.index + 1 : doc.lines.length, formatMenuLine(menu));
}

async function addScreen({ language, name, title, file }) {
  const problem = fieldProblem(name, 'a screen\'s name') || fieldProblem(language, 'a language');
  if (problem) return status(problem);
  if (!name) return status('a new screen needs a name; the root screen is the one without');
  if (menus().some((m) => m.language === language && m.name === name)) return status(`language "${language}" has a screen "${name}" already`);
  let held;
  try {
    held = await pictureOf(file, file.name);
  } catch (error) {
    return status(`no screen added: ${error.message}`);
  }
  const resource = resourceFor(language, name, resources());
  const added = edit((state) => {
    const main = state['menus/menu.txt'];
    state['menus/menu.txt'] = withMenuLine(main, { language, name, country: '', resource, title });
    state[`menus/${resource}.txt`] = splitLines('', main.end);
    state[`menus/${resource}${held.ext}`] = { picture: held.picture };
  });
  if (!added) return;
  current = menus().find((m) => m.resource === resource).index;
  selected = -1;
  render();
  status(`screen "${name}" of ${language} added as menus/${resource}.txt and menus/${resource}${held.ext}; save to keep it`);
}

function hex(buffer) {
  return [...new Uint8Array(buffer)].map((b) => b.toString(16).padStart(2, '0')).join('');
}

// A picture on disk as the page read it, so that a save replaces or
// removes only that version.
async function knowDiskVersion(path) {
  if (saved[path]) return;
  const bytes = await (await fetch(api(`files/${path}`))).arrayBuffer();
  saved[path] = { base: hex(await crypto.subtle.digest('SHA-256', bytes)), text: base64Of(bytes) };
}

// A new picture for the shown screen, chosen or dropped: written where its
// picture is, so it must be of that picture's type.
async function replacePicture(file) {
  const menu = shownMenu();
  if (!menu || !file) return;
  let held;
  try {
    held = await pictureOf(file, file.name);
  } catch (error) {
    return status(`picture not taken: ${error.message}`);
  }
  const present = filesOf(menu).picture;
  const type = present ? present.slice(present.lastIndexOf('.')).toLowerCase() : held.ext;
  if (type !== held.ext) return status(`picture not taken: ${present} is a ${type} picture; choose one of that type`);
  const path = present || `menus/${menu.resource}${held.ext}`;
  // Only a picture on disk has a version to replace; one made on the page
  // and not saved yet is new to the server still.
  if (project.menus[menu.resource]?.picture === path) await knowDiskVersion(path);
  if (edit((state) => {
    state[path] = { picture: held.picture };
  })) status(`new picture for ${menu.language} ${menu.name || '(root)'}: ${file.name}; save to keep it`);
}

// The picture of a screen as it stands, for a copy under another name.
async function pictureCopy(menu) {
  const files = filesOf(menu);
  if (!files?.picture) return null;
  const held = files.held ? docs[files.picture].picture : null;
  const blob = held ? held.blob : await (await fetch(api(`files/${files.picture}`))).blob();
  return pictureOf(blob, files.picture);
}

// A start of the copied hotspots that may open the other language's file
// instead: asked once for all of them.
async function otherLanguageTexts(texts, from, to) {
  const offers = texts.map((text) => {
    const spot = parseHotspot(text);
    const other = spot ? otherLanguageArgument(spot.argument, from, to, project.discNames) : null;
    return other ? { text, other: formatHotspot({ ...spot, argument: other }), from: spot.argument, to: other } : null;
  });
  const found = offers.filter(Boolean);
  if (!found.length) return texts;
  const yes = await ask(`The disc has files of language "${to}" for ${found.length} of these hotspots. Point them there?`,
    found.map((o) => `${o.from} → ${o.to}`), 'Point them there', 'Keep them as they are');
  return yes ? offers.map((o, i) => (o ? o.other : texts[i])) : texts;
}

async function addLanguage(code, from) {
  const problem = fieldProblem(code, 'a language');
  if (problem || !code) return status(problem || 'a new language needs its code (de, fr, ...)');
  if (menus().some((m) => m.language === code)) return status(`language "${code}" is there already`);
  const sources = menus().filter((m) => m.language === from);
  const taken = resources();
  const made = [];
  for (const menu of sources) {
    const resource = resourceFor(code, menu.name, taken);
    taken.push(resource);
    const items = hotspots(menu);
    made.push({
      line: { language: code, name: menu.name, country: menu.country, resource, title: '' },
      texts: await otherLanguageTexts(items.map((h) => h.text), from, code),
      names: items.map((h) => h.name),
      picture: await pictureCopy(menu),
    });
  }
  const added = edit((state) => {
    let main = state['menus/menu.txt'];
    for (const screen of made) {
      main = withLine(main, main.lines.length, formatMenuLine(screen.line));
      const { resource } = screen.line;
      state[`menus/${resource}.txt`] = replaceSlots(splitLines('', main.end), screen.texts);
      if (screen.names.some(Boolean)) state[`menus/${resource}.names`] = replaceSlots(splitLines('', main.end), screen.names);
      if (screen.picture) state[`menus/${resource}${screen.picture.ext}`] = { picture: screen.picture.picture };
    }
    state['menus/menu.txt'] = main;
  });
  if (!added) return;
  current = menus().find((m) => m.language === code)?.index ?? current;
  render();
  status(`language "${code}" added with ${made.length} screen(s) from "${from}": fill in their titles; save to keep it`);
}

function renameScreen(menu, name) {
  const problem = fieldProblem(name, 'a screen\'s name');
  if (problem || !name) return status(problem || 'the root screen is the one without a name; give this one a name');
  if (menus().some((m) => m.language === menu.language && m.name === name)) return status(`language "${menu.language}" has a screen "${name}" already`);
  const old = menu.name;
  edit((state) => {
    let main = state['menus/menu.txt'];
    for (const m of menus().filter((x) => x.language === menu.language && x.name === old)) {
      main = setLine(main, m.index, formatMenuLine({ ...m, name }));
    }
    state['menus/menu.txt'] = main;
    for (const m of new Set(menus().filter((x) => x.language === menu.language).map((x) => filesOf(x).indexPath))) {
      const doc = state[m];
      if (!doc || doc.picture || doc.gone) continue;
      const texts = slotLines(doc).map((i) => doc.lines[i].text);
      const moved = retarget(texts, old, name);
      if (moved) state[m] = replaceSlots(doc, moved);
    }
  });
}

async function deleteScreen(menu) {
  const pointing = [];
  for (const m of menus().filter((x) => x.language === menu.language)) {
    const at = pointersTo(hotspots(m).map((h) => h.text), menu.name);
    if (at.length) pointing.push(`${filesOf(m).indexPath}: hotspot ${at.join(', ')} (showmenu ${menu.name})`);
  }
  const question = `Delete the screen "${menu.name || '(root)'}" of ${menu.language} (line ${menu.index + 1} of menu.txt)? ` +
    (pointing.length ? 'These hotspots point at it and will show nothing:' : 'No hotspot points at it.') +
    ' Its files in menus/ are removed with it when you save, unless another line of menu.txt uses them.';
  if (!(await ask(question, pointing, 'Delete the screen', 'Keep it'))) return;
  const files = filesOf(menu);
  const shared = menus().some((m) => m.index !== menu.index && m.resource.toLowerCase() === menu.resource.toLowerCase());
  const known = project.menus[menu.resource];
  const onDisk = shared ? [] : [known?.index && files.indexPath, known?.names && files.namesPath, known?.picture, known?.double]
    .filter(Boolean);
  for (const path of onDisk) await knowDiskVersion(path);
  edit((state) => {
    state['menus/menu.txt'] = removeLine(state['menus/menu.txt'], menu.index);
    if (shared) return;
    for (const path of Object.keys(state)) {
      if (path.toLowerCase().startsWith(`menus/${menu.resource.toLowerCase()}.`)) delete state[path];
    }
    for (const path of onDisk) state[path] = { gone: true };
  });
  current = menus()[0]?.index ?? 0;
  selected = -1;
  render();
}

// A question with its list; the safe answer has the focus.
function ask(question, items, yes, no) {
  const dialog = $('ask');
  $('ask-text').textContent = question;
  $('ask-list').replaceChildren(...items.map((item) => Object.assign(document.createElement('li'), { textContent: item })));
  $('ask-yes').textContent = yes;
  $('ask-no').textContent = no;
  dialog.returnValue = '';
  dialog.showModal();
  $('ask-no').focus();
  return new Promise((resolve) => dialog.addEventListener('close', () => resolve(dialog.returnValue === 'yes'), { once: true }));
}

// A dialog of its own form: its values once confirmed, else null.
function formDialog(id, prepare) {
  const dialog = $(id);
  prepare(dialog);
  dialog.returnValue = '';
  dialog.showModal();
  return new Promise((resolve) => dialog.addEventListener('close', () => resolve(dialog.returnValue === 'ok' ? dialog : null), { once: true }));
}

async function addScreenDialog() {
  let dropped = null;
  const dialog = await formDialog('add-screen', (d) => {
    const languages = [...new Set(menus().map((m) => m.language))];
    d.querySelector('#as-language').replaceChildren(...languages.map((l) => new Option(l, l)));
    d.querySelector('#as-language').value = shownMenu()?.language ?? languages[0] ?? '';
    d.querySelector('#as-name').value = '';
    d.querySelector('#as-title').value = shownMenu()?.title ?? '';
    d.querySelector('#as-picture').value = '';
    d.querySelector('#as-dropped').textContent = '';
    const zone = d.querySelector('#as-drop');
    zone.ondragover = (event) => event.preventDefault();
    zone.ondrop = (event) => {
      event.preventDefault();
      dropped = event.dataTransfer.files[0] || null;
      d.querySelector('#as-dropped').textContent = dropped ? dropped.name : '';
    };
  });
  if (!dialog) return;
  const file = dialog.querySelector('#as-picture').files[0] || dropped;
  if (!file) return status('no screen added: it needs a picture');
  await addScreen({ language: dialog.querySelector('#as-language').value, name: dialog.querySelector('#as-name').value,
    title: dialog.querySelector('#as-title').value, file });
}

async function addLanguageDialog() {
  const dialog = await formDialog('add-language', (d) => {
    const languages = [...new Set(menus().map((m) => m.language))];
    d.querySelector('#al-from').replaceChildren(...languages.map((l) => new Option(l, l)));
    d.querySelector('#al-from').value = shownMenu()?.language ?? languages[0] ?? '';
    d.querySelector('#al-code').value = '';
  });
  if (dialog) await addLanguage(dialog.querySelector('#al-code').value.trim(), dialog.querySelector('#al-from').value);
}

async function renameDialog() {
  const menu = shownMenu();
  if (!menu) return;
  if (!menu.name) return status('the root screen has no name to change');
  const dialog = await formDialog('rename', (d) => {
    d.querySelector('#rn-name').value = menu.name;
  });
  if (dialog) renameScreen(menu, dialog.querySelector('#rn-name').value);
}

function undo() {
  const state = history.undo(docs);
  if (state) {
    docs = state;
    changed();
  }
}

function redo() {
  const state = history.redo(docs);
  if (state) {
    docs = state;
    changed();
  }
}

// ---- The check -------------------------------------------------------------

let checkTimer = null;
let checkRunning = false;
let checkAgain = false;
function scheduleCheck() {
  clearTimeout(checkTimer);
  checkTimer = setTimeout(runCheck, CHECK_DELAY_MS);
}

async function runCheck() {
  if (checkRunning) {
    checkAgain = true;
    return;
  }
  checkRunning = true;
  try {
    await checkOnce();
  } finally {
    checkRunning = false;
  }
  if (checkAgain) {
    checkAgain = false;
    await runCheck();
  }
}

async function checkOnce() {
  const serial = ++checkSerial;
  const checking = revision;
  const files = {};
  const pictures = {};
  const removed = [];
  for (const path of dirtyPaths()) {
    if (docs[path].gone) removed.push(path);
    else if (docs[path].picture) pictures[path] = docs[path].picture.data;
    else files[path] = joinLines(docs[path]);
  }
  document.body.dataset.checking = 'yes';
  try {
    const answer = await post('api/check', { files, pictures, removed });
    if (serial !== checkSerial) return;
    const result = await answer.json();
    findings = result.failure ? [{ severity: 'failure', file: '', line: 0, message: result.failure }] : result.findings;
    $('check-time').textContent = `(${result.milliseconds} ms)`;
  } catch (error) {
    if (serial !== checkSerial) return;
    findings = [{ severity: 'failure', file: '', line: 0, message: `the check did not run: ${error.message}` }];
  }
  document.body.dataset.checking = 'no';
  document.body.dataset.checkedRevision = String(checking);
  render();
}

function post(path, body) {
  return fetch(api(path), { method: 'POST', headers: { 'Content-Type': 'application/json' }, body: JSON.stringify(body) });
}

// ---- Saving ---------------------------------------------------------------

// Pictures first: a menu.txt on disk never names a screen whose picture
// is not there yet; the files of a deleted screen last, once menu.txt no
// longer names it.
async function saveOthers(action, paths, content) {
  const changes = paths.map((path) => ({ path, base: saved[path]?.base ?? null, data: content(docs[path]) }));
  if (!changes.length) return true;
  const answer = await post(action, { changes });
  const result = await answer.json();
  if (answer.status !== 200) {
    status(`not saved: ${result.refused || result.failed || (result.conflicts ? `${result.conflicts.join(', ')} changed on disk` : answer.status)}`);
    return false;
  }
  for (const change of changes) saved[change.path] = { base: result.written[change.path], text: contentOf(docs[change.path]) };
  return true;
}

async function save() {
  const paths = dirtyPaths();
  if (!paths.length) return status('nothing to save');
  const gone = paths.filter((path) => docs[path].gone);
  if (!(await saveOthers('api/save-pictures', paths.filter((path) => docs[path].picture), (doc) => doc.picture.data))) return;
  const changes = paths.filter((path) => !docs[path].picture && !docs[path].gone).map((path) => ({ path, base: saved[path]?.base ?? null, text: joinLines(docs[path]) }));
  if (!changes.length) return (await saveOthers('api/remove', gone, () => undefined)) && afterSave(paths);
  const answer = await post('api/save', { changes });
  const result = await answer.json();
  if (answer.status === 200) {
    for (const change of changes) saved[change.path] = { base: result.written[change.path], text: change.text };
    if (await saveOthers('api/remove', gone, () => undefined)) await afterSave(paths);
  } else if (answer.status === 409) {
    await resolveConflict(result.conflicts);
  } else {
    status(`not saved: ${result.refused || result.failed || answer.status}`);
  }
}

// The server's view of the menus' files again: screens made here have
// theirs now.
async function afterSave(paths) {
  project = { ...project, menus: (await (await fetch(api('api/project'))).json()).menus };
  status(`saved: ${paths.join(', ')}`);
  render();
}

async function resolveConflict(paths) {
  const dialog = $('conflict');
  $('conflict-files').replaceChildren(...paths.map((p) => Object.assign(document.createElement('li'), { textContent: p })));
  dialog.showModal();
  const choice = await new Promise((resolve) => dialog.addEventListener('close', () => resolve(dialog.returnValue), { once: true }));
  if (choice === 'cancel' || !choice) return status('not saved: files changed on disk');
  if (choice === 'keep') {
    for (const path of paths) {
      const name = await (await post('api/free-name', { path })).json();
      if (!name.path) return status(`not saved: ${name.refused}`);
      const kept = await post('api/save', { changes: [{ path: name.path, base: null, text: joinLines(docs[path]) }] });
      if (kept.status !== 200) return status(`not saved: ${name.path} could not be written`);
      status(`my version of ${path} is kept as ${name.path}`);
    }
  }
  const state = await (await fetch(api('api/project'))).json();
  history.record(docs);
  load(state, paths);
  const note = $('status').textContent;
  changed();
  if (dirtyPaths().length) await save();
  else status(note);
}

// ---- Trying the menu ---------------------------------------------------------

function triedSpots() {
  const menu = menus().find((m) => m.index === trying.menu);
  return menu ? hotspots(menu).filter((h) => h.spot).map((h) => h.spot) : [];
}

function triedMenuNamed(name) {
  const language = menus().find((m) => m.index === trying.menu)?.language;
  return menus().find((m) => m.language === language && m.name === name)?.index ?? null;
}

function toggleTryout() {
  if (trying) return endTryout('');
  const menu = shownMenu();
  if (!menu) return;
  // As the program starts: on the root menu of the language.
  const root = menus().find((m) => m.language === menu.language && m.name === '') || menu;
  trying = startRun(root.index);
  current = root.index;
  selected = -1;
  showTried({ kind: '' });
  $('stage').focus();
}

function endTryout(note) {
  trying = null;
  $('tryout').setAttribute('aria-pressed', 'false');
  document.body.classList.remove('trying');
  $('tryout-line').textContent = note;
  render();
}

function showTried(effect) {
  if (effect.kind === 'close') return endTryout(`Try-out ended: ${describeEffect(effect)}.`);
  current = trying.menu;
  $('tryout').setAttribute('aria-pressed', 'true');
  document.body.classList.add('trying');
  const menu = shownMenu();
  const said = describeEffect(effect);
  $('tryout-line').textContent = `Trying ${menu.language} ${menu.name || '(root)'}` +
    ` (${trying.history.length} step(s) back)${said ? `: ${said}` : ''}. Escape closes the menu and ends the try-out.`;
  render();
}

function tryStep(result) {
  if (!result) return false;
  trying = result.run;
  showTried(result.effect);
  return true;
}

function tryKey(event) {
  const result = typedKey(trying, event.key, event.shiftKey, triedSpots(), triedMenuNamed);
  if (result) {
    event.preventDefault();
    tryStep(result);
  }
}

// ---- Drawing -------------------------------------------------------------

function status(text) {
  $('status').dataset.note = text;
  renderStatus();
}

// One line of what holds now: the outcome of the last action until the
// next edit, else what is unsaved.
function renderStatus() {
  const dirty = dirtyPaths();
  const note = $('status').dataset.note || '';
  $('status').className = dirty.length ? 'dirty' : '';
  $('status').textContent = note || (dirty.length ? `unsaved: ${dirty.join(', ')}` : 'all saved');
}

function render() {
  renderMenus();
  renderStage();
  renderList();
  renderForm();
  renderFindings();
  renderStatus();
  $('undo').disabled = !history.past.length;
  $('redo').disabled = !history.future.length;
}

let navShown = '';
function renderMenus() {
  const nav = $('menus');
  const list = menus();
  // Rebuilt only when the screens themselves change. A title or the shown
  // screen is updated in place: a click on a screen's button that ends the
  // typing of a title must still land on that button.
  const shown = JSON.stringify(list.map((m) => [m.index, m.language, m.name, m.resource, m.country]));
  if (shown !== navShown) {
    navShown = shown;
    const focused = document.activeElement?.dataset?.key;
    nav.replaceChildren(...menuNavParts(list));
    if (focused) nav.querySelector(`[data-key="${focused}"]`)?.focus();
  }
  const current = shownMenu()?.index;
  for (const menu of list) {
    nav.querySelector(`[data-key="menu-${menu.index}"]`).setAttribute('aria-current', String(menu.index === current));
    // Never the title being typed: a check's answer must not replace it.
    const title = nav.querySelector(`[data-key="title-${menu.index}"]`);
    if (title !== document.activeElement && title.value !== menu.title) title.value = menu.title;
  }
}

function menuNavParts(list) {
  const parts = [];
  for (const language of [...new Set(list.map((m) => m.language))]) {
    parts.push(Object.assign(document.createElement('h2'), { textContent: language || '(no language)' }));
    for (const menu of list.filter((m) => m.language === language)) {
      const button = document.createElement('button');
      button.className = 'menu-item';
      button.textContent = `${menu.name || '(root)'} — ${menu.resource}${menu.country ? ` [${menu.country}]` : ''}`;
      button.dataset.key = `menu-${menu.index}`;
      button.addEventListener('click', () => {
        if (trying) endTryout('');
        current = menu.index;
        selected = -1;
        render();
      });
      const title = document.createElement('input');
      title.className = 'menu-title';
      title.placeholder = 'title to fill in';
      title.value = menu.title;
      title.dataset.key = `title-${menu.index}`;
      title.setAttribute('aria-label', `Title of ${menu.language} ${menu.name || 'root'} menu`);
      const run = `title ${menu.index}`;
      title.addEventListener('input', () => typed(() => setTitle(menu, title.value, run)));
      title.addEventListener('change', () => fieldDone(() => setTitle(menu, title.value, run)));
      parts.push(button, title);
    }
  }
  return parts;
}

function pictureSize(menu) {
  const img = $('picture');
  const files = filesOf(menu);
  if (files?.size) return { width: files.size[0], height: files.size[1] };
  return { width: img.naturalWidth || 640, height: img.naturalHeight || 480 };
}

function renderStage() {
  const menu = shownMenu();
  const files = filesOf(menu);
  const img = $('picture');
  const held = files?.held ? docs[files.picture]?.picture : null;
  // The 200 % picture where there is one, in the 100 % picture's place: the
  // stage and every coordinate stay in 100 % pixels.
  const shown = files?.double || files?.picture;
  const src = held ? held.url : shown ? api(`files/${shown.split('/').map(encodeURIComponent).join('/')}`) : '';
  if (img.getAttribute('src') !== src) img.setAttribute('src', src);
  $('no-picture').hidden = !!files?.picture;
  $('no-picture').textContent = menu ? `menu "${menu.resource}" has no picture in menus/` : 'menu.txt names no menu';
  const { width, height } = pictureSize(menu);
  const zoom = $('zoom').value;
  const pane = $('canvas-pane');
  scale = zoom === 'fit' ? fitScale(width, height, pane.clientWidth - 32, pane.clientHeight - 32) : Number(zoom);
  const stage = $('stage');
  // Whole-number zooms show the pixels as squares; a fitted picture is smoothed.
  // A 200 % picture is shown reduced at most zooms, which wants smoothing too.
  img.style.imageRendering = Number.isInteger(scale) && !files?.double ? 'pixelated' : 'auto';
  stage.style.width = `${width * scale}px`;
  stage.style.height = `${height * scale}px`;
  const svg = $('overlay');
  svg.setAttribute('viewBox', `0 0 ${width} ${height}`);
  const items = menu ? hotspots(menu) : [];
  if (trying) {
    // As the menu shows itself: the picture and the focus frame alone.
    const focused = triedSpots()[trying.focus];
    const frame = document.createElementNS(SVG, 'rect');
    if (focused) {
      frame.setAttribute('class', 'tried-focus');
      frame.setAttribute('x', focused.left);
      frame.setAttribute('y', focused.top);
      frame.setAttribute('width', Math.max(0, focused.right - focused.left));
      frame.setAttribute('height', Math.max(0, focused.bottom - focused.top));
    }
    svg.replaceChildren(...(focused ? [frame] : []));
    return;
  }
  const nodes = [];
  const centres = [];
  for (const item of items) {
    if (!item.spot) continue;
    const { left, top, right, bottom } = item.spot;
    const g = document.createElementNS(SVG, 'g');
    const severity = worst(findingsOf(files.indexPath, item.line));
    g.setAttribute('class', `spot ${item.slot === selected ? 'selected' : ''} ${severity}`);
    g.dataset.slot = String(item.slot);
    // A light edge under the coloured one: seen on dark and light pictures.
    const [edge, rect] = ['edge', 'frame'].map((kind) => {
      const r = document.createElementNS(SVG, 'rect');
      r.setAttribute('class', kind);
      r.setAttribute('x', Math.min(left, right));
      r.setAttribute('y', Math.min(top, bottom));
      r.setAttribute('width', Math.abs(right - left));
      r.setAttribute('height', Math.abs(bottom - top));
      return r;
    });
    const label = document.createElementNS(SVG, 'text');
    label.textContent = `${item.slot + 1} ${item.name || item.spot.command}`;
    // Inside the top left corner; a label that would run off the picture's
    // right edge ends at the rectangle's right side instead.
    const room = (label.textContent.length * 7.5 + 6) / scale;
    const flip = Math.min(left, right) + room > width;
    label.setAttribute('x', flip ? Math.max(left, right) - 3 / scale : Math.min(left, right) + 3 / scale);
    label.setAttribute('text-anchor', flip ? 'end' : 'start');
    const below = Math.max(top, bottom) + 14 / scale <= height && Math.abs(bottom - top) < 16 / scale;
    label.setAttribute('y', below ? Math.max(top, bottom) + 13 / scale : Math.min(top, bottom) + 13 / scale);
    label.setAttribute('font-size', 12 / scale);
    label.style.fontSize = `${12 / scale}px`;
    label.style.strokeWidth = `${3 / scale}px`;
    g.append(edge, rect, label);
    nodes.push(g);
    // A "close" hotspot never takes the focus: Tab passes it by.
    if (item.spot.command !== 'close') centres.push([(left + right) / 2, (top + bottom) / 2]);
  }
  if (centres.length > 1) {
    // The keyboard's path through the hotspots: Tab goes in line order.
    const path = document.createElementNS(SVG, 'polyline');
    path.setAttribute('class', 'order');
    path.setAttribute('points', centres.map((c) => c.join(',')).join(' '));
    nodes.unshift(path);
  }
  const chosen = items[selected]?.spot;
  if (chosen) {
    for (const handle of HANDLES) {
      const x = handle.includes('w') ? chosen.left : handle.includes('e') ? chosen.right : (chosen.left + chosen.right) / 2;
      const y = handle.includes('n') ? chosen.top : handle.includes('s') ? chosen.bottom : (chosen.top + chosen.bottom) / 2;
      const size = 8 / scale;
      const h = document.createElementNS(SVG, 'rect');
      h.setAttribute('class', 'handle');
      h.setAttribute('x', x - size / 2);
      h.setAttribute('y', y - size / 2);
      h.setAttribute('width', size);
      h.setAttribute('height', size);
      h.dataset.handle = handle;
      h.style.cursor = `${handle}-resize`;
      nodes.push(h);
    }
  }
  if (drag?.kind === 'draw' && drag.rect) {
    const r = document.createElementNS(SVG, 'rect');
    r.setAttribute('class', 'drawing');
    r.setAttribute('x', drag.rect.left);
    r.setAttribute('y', drag.rect.top);
    r.setAttribute('width', drag.rect.right - drag.rect.left);
    r.setAttribute('height', drag.rect.bottom - drag.rect.top);
    nodes.push(r);
  }
  svg.replaceChildren(...nodes);
}

function describe(item) {
  if (!item.spot) return `${item.slot + 1}. unreadable line: ${item.text}`;
  const { left, top, right, bottom, command, argument } = item.spot;
  return `${item.slot + 1}. ${command}${argument ? ` ${argument}` : ''} (${left},${top}–${right},${bottom})${item.name ? ` “${item.name}”` : ''}`;
}

function renderList() {
  const menu = shownMenu();
  const list = $('spots');
  const files = filesOf(menu);
  const items = menu ? hotspots(menu) : [];
  if (files && readOnly.has(files.indexPath)) {
    const li = document.createElement('li');
    li.textContent = `${files.indexPath} is not UTF-8: the editor shows no hotspots of it and does not write it`;
    list.replaceChildren(li);
    return;
  }
  list.replaceChildren(
    ...items.map((item) => {
      const li = document.createElement('li');
      li.id = `spot-${item.slot}`;
      li.setAttribute('role', 'option');
      li.setAttribute('aria-selected', String(item.slot === selected));
      li.textContent = describe(item);
      const severity = worst(findingsOf(files.indexPath, item.line));
      if (severity) li.classList.add(`finding-${severity}`);
      li.draggable = true;
      li.addEventListener('click', () => select(item.slot));
      li.addEventListener('dragstart', (event) => event.dataTransfer.setData('text/plain', String(item.slot)));
      li.addEventListener('dragover', (event) => event.preventDefault());
      li.addEventListener('drop', (event) => {
        event.preventDefault();
        reorder(Number(event.dataTransfer.getData('text/plain')), item.slot);
      });
      return li;
    }),
  );
  if (selected >= 0) list.setAttribute('aria-activedescendant', `spot-${selected}`);
  else list.removeAttribute('aria-activedescendant');
}

function renderForm() {
  const menu = shownMenu();
  const item = menu ? hotspots(menu)[selected] : null;
  const spot = item?.spot;
  const form = $('spot-form');
  for (const element of form.elements) element.disabled = !spot;
  form.setAttribute('aria-disabled', String(!spot));
  $('form-title').textContent = spot ? `Hotspot ${item.slot + 1} (line ${item.line + 1} of ${filesOf(menu).indexPath})` : 'Hotspot (none selected)';
  const set = (id, value) => {
    if (document.activeElement !== $(id)) $(id).value = value;
  };
  for (const side of ['left', 'top', 'right', 'bottom']) set(`f-${side}`, spot ? spot[side] : '');
  set('f-command', spot && COMMANDS.includes(spot.command) ? spot.command : 'execute');
  const command = spot?.command;
  $('l-argument').hidden = command === 'showmenu' || command === 'back' || command === 'close';
  $('l-target').hidden = command !== 'showmenu';
  set('f-argument', spot ? spot.argument : '');
  const names = menus().filter((m) => m.language === menu?.language && m.name).map((m) => m.name);
  const target = $('f-target');
  const options = [...new Set(names.concat(command === 'showmenu' && spot.argument ? [spot.argument] : []))];
  target.replaceChildren(...options.map((n) => new Option(n, n)));
  if (command === 'showmenu') target.value = spot.argument;
  $('argument-help').textContent =
    command === 'execute' || (command && !COMMANDS.includes(command))
      ? 'What to start, then its parameters: it ends at the first blank. It is a file of the disc (software\\setup.exe), ' +
        'a program of Windows (explorer.exe, notepad, msiexec) or an address (https:, mailto:). In the parameters ' +
        '%root% stands for the folder of autorun.exe (the disc\'s root) and %hwnd% for the menu window\'s handle; ' +
        'in what is started they stay as written.'
      : command === 'showmenu'
        ? `A menu of language "${menu.language}".`
        : '';
  set('f-name', item ? item.name : '');
  const files = filesOf(menu);
  $('name-help').textContent = files
    ? docOf(files.namesPath)
      ? `Kept in ${files.namesPath}.`
      : `A first name creates ${files.namesPath}.`
    : '';
  const copy = $('copy-language');
  const others = [...new Set(menus().filter((m) => menu && m.language !== menu.language && m.name === menu.name).map((m) => m.language))];
  copy.replaceChildren(...others.map((l) => new Option(l, l)));
  $('copy').disabled = !others.length;
}

function renderFindings() {
  $('findings').replaceChildren(
    ...findings.map((f) => {
      const li = document.createElement('li');
      const button = document.createElement('button');
      button.className = f.severity;
      button.textContent = `${f.file}${f.line ? `:${f.line}` : ''}: ${f.severity}: ${f.message}`;
      button.addEventListener('click', () => {
        const owner = menus().find((m) => filesOf(m)?.indexPath === f.file);
        if (owner) {
          current = owner.index;
          const item = hotspots(owner).find((h) => h.line === f.line - 1);
          selected = item ? item.slot : -1;
          render();
          $('stage').focus();
        }
      });
      li.append(button);
      return li;
    }),
  );
  if (!findings.length) $('findings').replaceChildren(Object.assign(document.createElement('li'), { textContent: 'none' }));
}

function select(slot) {
  selected = slot;
  render();
}

// ---- Input -----------------------------------------------------------------

function pointerPixel(event) {
  const box = $('overlay').getBoundingClientRect();
  const { width, height } = pictureSize(shownMenu());
  return clampPoint(pixelAt({ x: event.clientX, y: event.clientY }, { x: box.left, y: box.top }, scale), width, height);
}

function startDrag(event) {
  if (trying && event.button === BACK_BUTTON) return holdBackButton(event);
  if (event.button !== 0 || !shownMenu()) return;
  const point = pointerPixel(event);
  if (trying) {
    $('stage').focus();
    trying = pointerDown(trying, triedSpots(), point.x, point.y);
    return render();
  }
  const handle = event.target.dataset?.handle;
  const group = event.target.closest('g.spot');
  $('stage').focus();
  if (handle) {
    drag = { kind: 'resize', handle, start: point, before: docs, item: hotspots(shownMenu())[selected] };
  } else if (group) {
    selected = Number(group.dataset.slot);
    drag = { kind: 'move', start: point, before: docs, item: hotspots(shownMenu())[selected] };
  } else {
    selected = -1;
    drag = { kind: 'draw', start: point, rect: null };
  }
  $('overlay').setPointerCapture(event.pointerId);
  render();
}

function continueDrag(event) {
  const point = pointerPixel(event);
  $('pointer').textContent = `${point.x}, ${point.y}`;
  if (!drag) return;
  const dx = point.x - drag.start.x;
  const dy = point.y - drag.start.y;
  if (drag.kind === 'draw') {
    drag.rect = spanned(drag.start, point);
  } else {
    const spot = drag.item.spot;
    const next = drag.kind === 'move' ? moved(spot, dx, dy) : resized(spot, drag.handle, dx, dy);
    const path = filesOf(shownMenu()).indexPath;
    docs = { ...drag.before, [path]: setLine(drag.before[path], drag.item.line, formatHotspot(next)) };
  }
  render();
}

// The mouse's back button, as the menu takes it: held by the menu once
// pressed on it, and back to the menu before when released over it. Never
// the browser's own way back, which would leave the editor.
function holdBackButton(event) {
  event.preventDefault();
  $('overlay').setPointerCapture(event.pointerId);
}

function releaseBackButton(event) {
  event.preventDefault();
  const box = $('overlay').getBoundingClientRect();
  const over = box.left <= event.clientX && event.clientX < box.right && box.top <= event.clientY && event.clientY < box.bottom;
  if (over) tryStep(goBack(trying));
}

function endDrag(event) {
  if (trying && event.button === BACK_BUTTON) return releaseBackButton(event);
  if (trying && event.button === 0) {
    const point = pointerPixel(event);
    return tryStep(pointerUp(trying, triedSpots(), point.x, point.y, triedMenuNamed));
  }
  if (!drag) return;
  const finished = drag;
  continueDrag(event);
  drag = null;
  if (finished.kind === 'draw') {
    if (finished.rect && !isEmpty(finished.rect)) addSpot(finished.rect);
    else render();
  } else {
    const path = filesOf(shownMenu()).indexPath;
    const after = docs;
    docs = finished.before;
    if (after[path] !== finished.before[path] && joinLines(after[path]) !== joinLines(finished.before[path])) {
      history.record(finished.before);
      docs = after;
    }
    changed();
  }
}

function nudge(event) {
  if (trying) return tryKey(event);
  const step = event.shiftKey ? 10 : 1;
  const moves = { ArrowLeft: [-step, 0], ArrowRight: [step, 0], ArrowUp: [0, -step], ArrowDown: [0, step] };
  const item = hotspots(shownMenu())[selected];
  if (moves[event.key] && item?.spot) {
    event.preventDefault();
    setSpot(item, moved(item.spot, ...moves[event.key]));
  } else if ((event.key === 'Delete' || event.key === 'Backspace') && item) {
    event.preventDefault();
    deleteSpot(selected);
  } else if (event.key === 'Escape') {
    selected = -1;
    render();
  } else if (event.key === 'Insert') {
    event.preventDefault();
    newSpot();
  }
}

function listKeys(event) {
  const count = hotspots(shownMenu()).length;
  if (!count) return;
  if (event.altKey && (event.key === 'ArrowUp' || event.key === 'ArrowDown')) {
    event.preventDefault();
    if (selected >= 0) reorder(selected, selected + (event.key === 'ArrowUp' ? -1 : 1));
  } else if (event.key === 'ArrowUp' || event.key === 'ArrowDown') {
    event.preventDefault();
    select(Math.max(0, Math.min(count - 1, selected + (event.key === 'ArrowUp' ? -1 : 1))));
  } else if (event.key === 'Home' || event.key === 'End') {
    event.preventDefault();
    select(event.key === 'Home' ? 0 : count - 1);
  } else if (event.key === 'Delete' && selected >= 0) {
    event.preventDefault();
    deleteSpot(selected);
  }
}

function globalKeys(event) {
  const inField = ['INPUT', 'SELECT', 'TEXTAREA'].includes(event.target.tagName);
  const key = event.key.toLowerCase();
  if ((event.ctrlKey || event.metaKey) && key === 's') {
    event.preventDefault();
    event.target.blur?.();
    save();
  } else if ((event.ctrlKey || event.metaKey) && !inField && (key === 'y' || (key === 'z' && event.shiftKey))) {
    event.preventDefault();
    redo();
  } else if ((event.ctrlKey || event.metaKey) && !inField && key === 'z') {
    event.preventDefault();
    undo();
  }
}

// What the vendor types is an edit after a short pause, and the whole run
// of keystrokes in one field one step of undo; Enter or leaving the field
// ends the run.
let typingTimer = null;
function typed(apply) {
  clearTimeout(typingTimer);
  typingTimer = setTimeout(apply, TYPING_DELAY_MS);
}

function fieldDone(apply) {
  clearTimeout(typingTimer);
  apply();
  history.seal();
}

function formInput(event) {
  if (event.target.tagName === 'INPUT') typed(() => formChange(event));
}

function formChange(event) {
  const menu = shownMenu();
  const item = hotspots(menu)[selected];
  if (!item?.spot) return;
  const id = event.target.id;
  const typing = event.type === 'input';
  const run = event.target.tagName === 'INPUT' ? `${id} ${filesOf(menu).indexPath} ${item.slot}` : null;
  if (id === 'f-name') return setSpotName(item.slot, event.target.value, run);
  const spot = { ...item.spot };
  if (id.startsWith('f-') && ['left', 'top', 'right', 'bottom'].includes(id.slice(2))) {
    const value = Number.parseInt(event.target.value, 10);
    if (Number.isNaN(value)) return typing ? undefined : renderForm();
    spot[id.slice(2)] = value;
  } else if (id === 'f-command') {
    spot.command = event.target.value;
    if (spot.command === 'back' || spot.command === 'close') spot.argument = '';
    if (spot.command === 'showmenu') {
      const names = menus().filter((m) => m.language === menu.language && m.name).map((m) => m.name);
      if (!names.includes(spot.argument)) spot.argument = names[0] || '';
    }
  } else if (id === 'f-argument' || id === 'f-target') {
    spot.argument = event.target.value;
  } else {
    return;
  }
  setSpot(item, spot, run);
}

async function start() {
  const state = await (await fetch(api('api/project'))).json();
  load(state);
  $('project-name').textContent = `— ${state.project}`;
  $('disc-names').replaceChildren(...state.discNames.map((n) => new Option(n)));
  current = menus()[0]?.index ?? 0;
  $('picture').addEventListener('load', () => renderStage());
  const overlay = $('overlay');
  overlay.addEventListener('pointerdown', startDrag);
  overlay.addEventListener('pointermove', continueDrag);
  overlay.addEventListener('pointerup', endDrag);
  overlay.addEventListener('pointerleave', () => {
    if (!drag) $('pointer').textContent = '–';
  });
  $('stage').addEventListener('keydown', nudge);
  $('spots').addEventListener('keydown', listKeys);
  document.addEventListener('keydown', globalKeys);
  $('spot-form').addEventListener('input', formInput);
  $('spot-form').addEventListener('change', (event) => fieldDone(() => formChange(event)));
  $('spot-form').addEventListener('submit', (event) => event.preventDefault());
  $('undo').addEventListener('click', undo);
  $('redo').addEventListener('click', redo);
  $('save').addEventListener('click', save);
  $('zoom').addEventListener('change', renderStage);
  window.addEventListener('resize', renderStage);
  $('spot-new').addEventListener('click', newSpot);
  $('spot-up').addEventListener('click', () => reorder(selected, selected - 1));
  $('spot-down').addEventListener('click', () => reorder(selected, selected + 1));
  $('spot-delete').addEventListener('click', () => selected >= 0 && deleteSpot(selected));
  $('copy').addEventListener('click', () => copyToLanguage($('copy-language').value));
  $('tryout').addEventListener('click', toggleTryout);
  $('screen-add').addEventListener('click', addScreenDialog);
  $('language-add').addEventListener('click', addLanguageDialog);
  $('screen-rename').addEventListener('click', renameDialog);
  $('screen-delete').addEventListener('click', () => shownMenu() && deleteScreen(shownMenu()));
  $('screen-picture').addEventListener('click', () => $('screen-picture-file').click());
  $('screen-picture-file').addEventListener('change', (event) => replacePicture(event.target.files[0]));
  $('canvas-pane').addEventListener('dragover', (event) => event.preventDefault());
  $('canvas-pane').addEventListener('drop', (event) => {
    event.preventDefault();
    replacePicture(event.dataTransfer.files[0]);
  });
  window.addEventListener('beforeunload', (event) => {
    if (dirtyPaths().length) {
      event.preventDefault();
      event.returnValue = '';
    }
  });
  document.body.dataset.revision = '0';
  render();
  await runCheck();
  document.body.dataset.ready = 'yes';
}

start();
