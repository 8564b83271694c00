// Rectangles on the picture, in its pixels: what drawing, moving and
// resizing a hotspot need. The checker judges them; this only draws.

// The rectangle a drag from `a` to `b` spans, with right/bottom exclusive
// the way the menus give them.
export function spanned(a, b) {
  return {
    left: Math.min(a.x, b.x),
    top: Math.min(a.y, b.y),
    right: Math.max(a.x, b.x),
    bottom: Math.max(a.y, b.y),
  };
}

export function moved(rect, dx, dy) {
  return { ...rect, left: rect.left + dx, top: rect.top + dy, right: rect.right + dx, bottom: rect.bottom + dy };
}

// `handle` names the edges it drags: 'n', 'se', 'w', ... An edge is never
// dragged past the opposite one.
export function resized(rect, handle, dx, dy) {
  const out = { ...rect };
  if (handle.includes('w')) out.left = Math.min(rect.left + dx, rect.right);
  if (handle.includes('e')) out.right = Math.max(rect.right + dx, rect.left);
  if (handle.includes('n')) out.top = Math.min(rect.top + dy, rect.bottom);
  if (handle.includes('s')) out.bottom = Math.max(rect.bottom + dy, rect.top);
  return out;
}

// The picture's pixel under a point of the page, the picture shown at
// `scale` with its corner at `origin`.
export function pixelAt(point, origin, scale) {
  return { x: Math.floor((point.x - origin.x) / scale), y: Math.floor((point.y - origin.y) / scale) };
}

export function clampPoint(point, width, height) {
  return { x: Math.max(0, Math.min(width, point.x)), y: Math.max(0, Math.min(height, point.y)) };
}

export function isEmpty(rect) {
  return rect.right <= rect.left || rect.bottom <= rect.top;
}

export function fitScale(width, height, boxWidth, boxHeight) {
  if (!width || !height) return 1;
  return Math.min(boxWidth / width, boxHeight / height);
}
