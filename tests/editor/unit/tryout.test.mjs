// Trying the menu on the page: what autorun does with clicks and keys.
import assert from 'node:assert/strict';
import { test } from 'node:test';
import { describeEffect, expandParameters, pointerDown, pointerUp, startRun, stepFocus, typedKey } from '../../../disckit/page/tryout.js';

const spot = (left, command, argument = '') => ({ left, top: 0, right: left + 10, bottom: 10, command, argument });
const ROOT = [spot(0, 'execute', 'a.exe'), spot(5, 'close'), spot(20, 'showmenu', 'docs'), spot(40, 'execute', 'b.exe')];
const DOCS = [spot(0, 'back'), spot(20, 'showmenu', 'nowhere')];
// Menus are named by their place in the main index: the root may be 0.
const MENUS = { '': 0, docs: 'docs' };
const find = (name) => MENUS[name] ?? null;

test('Tab and the arrows step over "close" hotspots and wrap; a menu of only "close" keeps its focus', () => {
  assert.deepEqual([1, 1, 1, 1].reduce((seen, step) => [...seen, stepFocus(ROOT, seen.at(-1), step)], [-1]), [-1, 0, 2, 3, 0]);
  assert.equal(stepFocus(ROOT, -1, -1), 3);
  assert.equal(stepFocus(ROOT, 2, -1), 0);
  assert.equal(stepFocus([spot(0, 'close')], -1, 1), -1);
});

test('showmenu, back and Backspace walk the menus; an unknown menu and back on the root do nothing; Escape closes', () => {
  let run = startRun(0);
  run = typedKey(run, 'Tab', false, ROOT, find).run;
  run = typedKey(run, 'Tab', false, ROOT, find).run;
  const shown = typedKey(run, 'Enter', false, ROOT, find);
  assert.deepEqual([shown.run.menu, shown.run.history, shown.run.focus, shown.effect.kind], ['docs', [0], -1, 'show']);
  assert.deepEqual(pointerUp(shown.run, [spot(0, 'showmenu', '')], 1, 1, find).run.menu, 0, 'showmenu of the root');
  assert.equal(pointerUp(shown.run, DOCS, 25, 5, find).effect.kind, 'unknown');
  const back = pointerUp(pointerDown(shown.run, DOCS, 1, 1), DOCS, 2, 2, find);
  assert.deepEqual([back.run.menu, back.run.history], [0, []]);
  assert.equal(typedKey(back.run, 'Backspace', false, ROOT, find).effect.kind, 'nothing');
  assert.equal(typedKey(back.run, 'Escape', false, ROOT, find).effect.kind, 'close');
  assert.equal(typedKey(back.run, 'Enter', false, ROOT, find).effect.kind, 'nothing', 'Enter without a focus');
});

test('a click goes to the earlier of two overlapping hotspots, moves only a focus already shown, and a release outside the pressed one does nothing', () => {
  const pressed = pointerDown(startRun('root'), ROOT, 7, 5);
  assert.equal(pressed.focus, -1);
  assert.equal(pointerUp(pressed, ROOT, 7, 5, find).effect.target, 'a.exe');
  assert.equal(pointerUp(pressed, ROOT, 45, 5, find).effect.kind, 'nothing');
  assert.equal(pointerDown({ ...startRun('root'), focus: 0 }, ROOT, 45, 5).focus, 3);
});

test('a start shows the target as written and the parameters with %hwnd% and then %root% replaced, once', () => {
  assert.equal(expandParameters('%root%\\manual\\a.pdf -owner:%hwnd% %HWND%', 0x2a, 'D:'), 'D:\\manual\\a.pdf -owner:0x0000002a %HWND%');
  assert.equal(expandParameters('%hwnd% %hwnd%', 0x2a, '%hwnd%'), '0x0000002a 0x0000002a');
  assert.equal(expandParameters('%root%', 1, 'X:\\%root%'), 'X:\\%root%');
  const started = pointerUp(startRun('root'), [spot(0, 'execute', '%root%\\setup.exe  %root%\\a b')], 1, 1, find).effect;
  assert.deepEqual([started.target, started.parameters], ['%root%\\setup.exe', ' D:\\a b']);
  assert.match(describeEffect(started), /open "%root%\\setup\.exe" with the parameters " D:\\a b"/);
});
