// The line format and the edits on it: a saved file differs from what was
// read only in the lines that were edited.
import assert from 'node:assert/strict';
import { test } from 'node:test';
import { formatHotspot, joinLines, parseHotspot, parseMenuLine, splitLines, withLine } from '../../../disckit/page/lines.js';
import { moveName, moveSlot, removeLine, removeName, replaceSlots, setLine, setName } from '../../../disckit/page/edits.js';

test('a file read and written again keeps every byte: BOM, mixed line ends, no last line end', () => {
  for (const text of ['\ufeff1;2;3;4;close;\r\n', 'a\r\nb\nc', '', '\r\n\r\n', '5;6;7;8;execute;x\n\n']) {
    assert.equal(joinLines(splitLines(text)), text);
  }
  const doc = splitLines('1;1;9;9;close;\r\n2;2;8;8;back;\n3;3;7;7;execute;a;b');
  assert.equal(doc.end, '\r\n');
  assert.equal(joinLines(setLine(doc, 1, '0;0;5;5;back;')), '1;1;9;9;close;\r\n0;0;5;5;back;\n3;3;7;7;execute;a;b');
  assert.equal(joinLines(withLine(doc, 3, 'n')), '1;1;9;9;close;\r\n2;2;8;8;back;\n3;3;7;7;execute;a;b\r\nn');
  assert.equal(joinLines(withLine(splitLines('x\n'), 1, 'y')), 'x\ny\n');
  assert.equal(splitLines('', '\n').end, '\n');
});

test('hotspot and menu lines: the argument and the title are the rest of the line', () => {
  const spot = parseHotspot('60;140;300;184;execute;setup.exe /a;b');
  assert.deepEqual(spot, { left: 60, top: 140, right: 300, bottom: 184, command: 'execute', argument: 'setup.exe /a;b' });
  assert.equal(formatHotspot(spot), '60;140;300;184;execute;setup.exe /a;b');
  assert.equal(formatHotspot(parseHotspot(' 1;2;3;4;close')), '1;2;3;4;close;');
  for (const bad of ['', '1;2;3;close;', 'a;2;3;4;close;', '1.5;2;3;4;back;']) assert.equal(parseHotspot(bad), null, bad);
  assert.deepEqual(parseMenuLine('de;docs;Germany;docs-de;A;B'), { language: 'de', name: 'docs', country: 'Germany', resource: 'docs-de', title: 'A;B' });
});

test('reordering, removing and replacing hotspots keep blank lines and the last line end', () => {
  const doc = splitLines('a\r\n\r\nb\r\nc');
  assert.equal(joinLines(moveSlot(doc, 2, 0)), 'c\r\n\r\na\r\nb');
  assert.equal(joinLines(moveSlot(doc, 0, 5)), joinLines(doc));
  assert.equal(joinLines(removeLine(doc, 3)), 'a\r\n\r\nb');
  assert.equal(joinLines(removeLine(splitLines('a\nb\n'), 1)), 'a\n');
  assert.equal(joinLines(replaceSlots(splitLines('x\r\ny\r\n\r\n'), ['p', 'q', 'r'])), 'p\r\nq\r\nr\r\n\r\n');
  assert.equal(joinLines(replaceSlots(splitLines('', '\n'), ['p'])), 'p\n');
});

test('names follow their hotspots: padded when a later one is named, moved and removed in step', () => {
  const names = setName(splitLines('', '\r\n'), 2, 'Close');
  assert.equal(joinLines(names), '\r\n\r\nClose\r\n');
  assert.equal(joinLines(moveName(names, 2, 0)), 'Close\r\n\r\n\r\n');
  assert.equal(joinLines(removeName(names, 0)), '\r\nClose\r\n');
  assert.equal(joinLines(removeName(names, 7)), joinLines(names));
  assert.equal(joinLines(setName(splitLines('Guide'), 0, 'Manual')), 'Manual');
});
