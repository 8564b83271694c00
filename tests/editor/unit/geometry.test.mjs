import assert from 'node:assert/strict';
import { test } from 'node:test';
import { clampPoint, fitScale, isEmpty, moved, pixelAt, resized, spanned } from '../../../disckit/page/geometry.js';

test('drawing, moving and resizing a rectangle in picture pixels', () => {
  assert.deepEqual(spanned({ x: 300, y: 184 }, { x: 60, y: 140 }), { left: 60, top: 140, right: 300, bottom: 184 });
  const rect = { left: 10, top: 20, right: 30, bottom: 40 };
  assert.deepEqual(moved(rect, -10, 5), { left: 0, top: 25, right: 20, bottom: 45 });
  assert.deepEqual(resized(rect, 'se', 5, -30), { left: 10, top: 20, right: 35, bottom: 20 });
  assert.deepEqual(resized(rect, 'nw', 50, 1), { left: 30, top: 21, right: 30, bottom: 40 });
  assert.deepEqual(resized(rect, 'n', 7, 0), rect);
  assert.ok(isEmpty({ left: 5, top: 5, right: 5, bottom: 9 }));
  assert.deepEqual(pixelAt({ x: 107, y: 59 }, { x: 100, y: 50 }, 2), { x: 3, y: 4 });
  assert.deepEqual(clampPoint({ x: -3, y: 999 }, 480, 360), { x: 0, y: 360 });
  assert.equal(fitScale(480, 360, 960, 540), 1.5);
});
