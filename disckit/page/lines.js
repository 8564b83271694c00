// The project's text files as lines that keep their own line ends, so that
// a file written back differs only in the lines that were edited.

const BOM = '\ufeff';

// {bom, lines: [{text, end}], end}: `end` is the line end new lines get,
// the one the file mostly has (CR LF for a new file, as autorun reads it).
export function splitLines(text, fallbackEnd = '\r\n') {
  const bom = text.startsWith(BOM);
  const body = bom ? text.slice(1) : text;
  const lines = [];
  let crlf = 0;
  let lf = 0;
  let start = 0;
  while (start < body.length) {
    const at = body.indexOf('\n', start);
    if (at < 0) {
      lines.push({ text: body.slice(start), end: '' });
      break;
    }
    const cr = at > start && body[at - 1] === '\r';
    lines.push({ text: body.slice(start, cr ? at - 1 : at), end: cr ? '\r\n' : '\n' });
    if (cr) crlf += 1;
    else lf += 1;
    start = at + 1;
  }
  const end = crlf || lf ? (crlf >= lf ? '\r\n' : '\n') : fallbackEnd;
  return { bom, lines, end };
}

export function joinLines(doc) {
  return (doc.bom ? BOM : '') + doc.lines.map((line) => line.text + line.end).join('');
}

// A new line gets the file's line end; appended after a last line that has
// none, that line gets one and the new line keeps the file without one.
export function withLine(doc, index, text) {
  const lines = doc.lines.map((line) => ({ ...line }));
  const last = lines[lines.length - 1];
  if (index >= lines.length && last && last.end === '') {
    last.end = doc.end;
    lines.push({ text, end: '' });
  } else {
    lines.splice(index, 0, { text, end: doc.end });
  }
  return { ...doc, lines };
}

export const COMMANDS = ['execute', 'showmenu', 'back', 'close'];

// left;top;right;bottom;command;argument, or null for a line that is no
// hotspot the editor can draw. The argument is the rest of the line.
export function parseHotspot(text) {
  const fields = text.split(';');
  if (fields.length < 5) return null;
  const numbers = fields.slice(0, 4).map((field) => field.trim());
  if (!numbers.every((field) => /^-?\d+$/.test(field))) return null;
  const [left, top, right, bottom] = numbers.map(Number);
  return { left, top, right, bottom, command: fields[4], argument: fields.slice(5).join(';') };
}

export function formatHotspot(spot) {
  return [spot.left, spot.top, spot.right, spot.bottom, spot.command, spot.argument].join(';');
}

// language;name;country;resource;title (the title keeps any ";").
export function parseMenuLine(text) {
  const fields = text.split(';');
  if (fields.length < 5) return null;
  const [language, name, country, resource] = fields;
  return { language, name, country, resource, title: fields.slice(4).join(';') };
}

export function formatMenuLine(menu) {
  return [menu.language, menu.name, menu.country, menu.resource, menu.title].join(';');
}
