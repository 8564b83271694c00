// Edits of a text file kept as lines (lines.js). A hotspot is a line of its
// menu index that is not blank; its slot is its place among them, which is
// the Tab order and the line of its name in the menu's names file.

function withEnds(doc, lines, lastEnd) {
  const out = lines.map((line, i) => (i < lines.length - 1 && line.end === '' ? { ...line, end: doc.end } : line));
  if (out.length) out[out.length - 1] = { ...out[out.length - 1], end: lastEnd };
  return { ...doc, lines: out };
}

function lastEndOf(doc) {
  return doc.lines.length ? doc.lines[doc.lines.length - 1].end : doc.end;
}

export function slotLines(doc) {
  const out = [];
  doc.lines.forEach((line, i) => {
    if (line.text.trim() !== '') out.push(i);
  });
  return out;
}

export function setLine(doc, index, text) {
  const lines = doc.lines.slice();
  lines[index] = { ...lines[index], text };
  return { ...doc, lines };
}

export function removeLine(doc, index) {
  const lines = doc.lines.slice();
  lines.splice(index, 1);
  return withEnds(doc, lines, lastEndOf(doc));
}

// The hotspot in slot `from` taken to slot `to`; blank lines stay where
// they are.
export function moveSlot(doc, from, to) {
  const slots = slotLines(doc);
  if (from === to || from < 0 || to < 0 || from >= slots.length || to >= slots.length) return doc;
  const texts = slots.map((i) => doc.lines[i].text);
  const [taken] = texts.splice(from, 1);
  texts.splice(to, 0, taken);
  const lines = doc.lines.slice();
  slots.forEach((i, n) => {
    lines[i] = { ...lines[i], text: texts[n] };
  });
  return { ...doc, lines };
}

// Every hotspot line replaced by `texts` (the hotspots of another menu);
// the file's blank lines after its last hotspot and its last line end stay.
export function replaceSlots(doc, texts) {
  const slots = slotLines(doc);
  const tail = slots.length ? doc.lines.slice(slots[slots.length - 1] + 1) : doc.lines.slice();
  const lines = texts.map((text) => ({ text, end: doc.end })).concat(tail);
  return withEnds(doc, lines, doc.lines.length ? lastEndOf(doc) : doc.end);
}

// Names files: line n is the name of slot n; a missing line is no name.
function padded(doc, count) {
  const lines = doc.lines.slice();
  while (lines.length < count) lines.push({ text: '', end: doc.end });
  return withEnds(doc, lines, lines.length > doc.lines.length ? doc.end : lastEndOf(doc));
}

export function nameOf(doc, slot) {
  return doc && slot < doc.lines.length ? doc.lines[slot].text : '';
}

export function setName(doc, slot, text) {
  return setLine(padded(doc, slot + 1), slot, text);
}

export function moveName(doc, from, to) {
  const lines = padded(doc, Math.max(from, to) + 1).lines.slice();
  const texts = lines.map((line) => line.text);
  const [taken] = texts.splice(from, 1);
  texts.splice(to, 0, taken);
  return { ...doc, lines: lines.map((line, i) => ({ ...line, text: texts[i] })) };
}

export function removeName(doc, slot) {
  return slot < doc.lines.length ? removeLine(doc, slot) : doc;
}
