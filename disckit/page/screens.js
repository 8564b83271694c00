// Screens and languages made on the page: the names their files get, what
// follows a renamed screen, what points at one, and the files of another
// language that a copied hotspot may open instead.
import { formatHotspot, parseHotspot } from './lines.js';

// What a menu's resource name (and so its files' names) may hold.
const RESOURCE_CHARACTERS = /[^A-Za-z0-9_-]/g;

// NAME-LANGUAGE, as the samples name them (root-en, docs-de), made unique
// without regard to case among `taken`.
export function resourceFor(language, name, taken) {
  const base = `${name || 'root'}-${language}`.replace(RESOURCE_CHARACTERS, '_');
  const used = new Set(taken.map((t) => t.toLowerCase()));
  let resource = base;
  for (let n = 2; used.has(resource.toLowerCase()) || ['menu', 'about'].includes(resource.toLowerCase()); n += 1) {
    resource = `${base}-${n}`;
  }
  return resource;
}

// A language code or a screen's name as the main index can hold it: no
// ";" and no line break; a screen's name is what showmenu names.
export function fieldProblem(text, what) {
  if (/[;\r\n]/.test(text)) return `${what} cannot hold ";" or a line break`;
  if (text !== text.trim()) return `${what} begins or ends with a blank`;
  return '';
}

// The hotspot lines of a menu index with every "showmenu FROM" made
// "showmenu TO"; null when none points there.
export function retarget(texts, from, to) {
  let changed = false;
  const out = texts.map((text) => {
    const spot = parseHotspot(text);
    if (!spot || spot.command !== 'showmenu' || spot.argument !== from) return text;
    changed = true;
    return formatHotspot({ ...spot, argument: to });
  });
  return changed ? out : null;
}

// The positions (1-based) of the hotspots that show the menu `name`.
export function pointersTo(texts, name) {
  const out = [];
  texts.forEach((text, i) => {
    const spot = parseHotspot(text);
    if (spot && spot.command === 'showmenu' && spot.argument === name) out.push(i + 1);
  });
  return out;
}

// A start argument pointed at the other language's files where the disc
// has them: manual\manual-en.pdf becomes manual\manual-de.pdf when that is
// one of `discNames` (backslash paths, any case). null: nothing to change.
export function otherLanguageArgument(argument, from, to, discNames) {
  if (!from || !to || from === to) return null;
  const known = new Set(discNames.map((n) => n.toLowerCase()));
  const marker = new RegExp(`(^|[-_.\\\\])${from.replace(/[^A-Za-z0-9]/g, '\\$&')}(?=[-_.\\\\])`, 'gi');
  let changed = false;
  const words = argument.split(' ').map((word) => {
    const prefix = word.startsWith('%root%\\') ? '%root%\\' : '';
    const path = word.slice(prefix.length);
    const other = path.replace(marker, (_, before) => `${before}${to}`);
    if (other === path || !known.has(other.toLowerCase())) return word;
    changed = true;
    return prefix + other;
  });
  return changed ? words.join(' ') : null;
}
