// Screens and languages made on the page.
import assert from 'node:assert/strict';
import { test } from 'node:test';
import { fieldProblem, otherLanguageArgument, pointersTo, resourceFor, retarget } from '../../../disckit/page/screens.js';

test('a new screen\'s resource is NAME-LANGUAGE, unique without regard to case and never a reserved name', () => {
  assert.equal(resourceFor('de', '', ['root-en']), 'root-de');
  assert.equal(resourceFor('en', 'docs', ['DOCS-EN', 'docs-en-2']), 'docs-en-3');
  assert.equal(resourceFor('en', 'über uns', []), '_ber_uns-en');
  assert.equal(fieldProblem('a;b', 'a name'), 'a name cannot hold ";" or a line break');
  assert.equal(fieldProblem('docs', 'a name'), '');
});

test('a renamed screen takes its showmenu hotspots along; the ones that point at it are told', () => {
  const texts = ['1;1;9;9;showmenu;docs', '1;10;9;19;showmenu;Docs', '1;20;9;29;execute;docs'];
  assert.deepEqual(retarget(texts, 'docs', 'manuals'), ['1;1;9;9;showmenu;manuals', texts[1], texts[2]]);
  assert.equal(retarget(texts, 'other', 'x'), null);
  assert.deepEqual(pointersTo(texts, 'docs'), [1]);
});

test('a copied start points at the other language\'s file only where the disc has it', () => {
  const disc = ['manual\\manual-de.pdf', 'software\\pdfreader\\docrunner.exe', 'DE\\setup.exe'];
  assert.equal(otherLanguageArgument('software\\pdfreader\\docrunner.exe manual\\manual-en.pdf -owner:%hwnd%', 'en', 'de', disc),
    'software\\pdfreader\\docrunner.exe manual\\manual-de.pdf -owner:%hwnd%');
  assert.equal(otherLanguageArgument('en\\setup.exe', 'en', 'de', disc), 'de\\setup.exe');
  assert.equal(otherLanguageArgument('explorer %root%\\manual\\manual-EN.pdf', 'en', 'de', disc), 'explorer %root%\\manual\\manual-de.pdf');
  assert.equal(otherLanguageArgument('manual\\guide-en.pdf', 'en', 'de', disc), null, 'no German guide on the disc');
  assert.equal(otherLanguageArgument('manual\\english.pdf', 'en', 'de', disc), null);
});
