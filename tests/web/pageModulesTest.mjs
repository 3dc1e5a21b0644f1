// The viewer's pure parts in Node, without a browser: dates, timelines, state texts.
import { assert, runCases, test } from './check.mjs';
import { formatLongDay, formatMoment, parseDateText } from '../../web/src/dates.js';
import { lookAt } from '../../web/src/timeline.js';
import { elementLookAt } from '../../web/src/elementLook.js';
import { fixed2, stateText } from '../../web/src/stateText.js';
import { BOX_INDEXES, boxCorners, boxesInView, boxSpheres, gatherBoxes, MOST_BOXES, showBoxes } from '../../web/src/boxModel.js';

const day = (y, m, d) => Date.UTC(y, m - 1, d) / 60000;

test('a date alone is the end of its day; a time is that minute; nonsense is refused', () => {
  assert.equal(parseDateText('2026-04-22'), day(2026, 4, 23));
  assert.equal(parseDateText('2026-04-22T08:30'), day(2026, 4, 22) + 510);
  for (const bad of ['2026-02-30', '2026-13-01', '2026-04-22T24:00', '2026-4-2', '', 'x', '2026-04-22T08:60']) {
    assert.equal(parseDateText(bad), null, bad);
  }
  assert.equal(parseDateText('1969-12-31T23:59'), -1);
});

test('the end of a day shows as that day, other moments with their time', () => {
  assert.equal(formatMoment(day(2026, 4, 23)), '2026-04-22');
  assert.equal(formatMoment(day(2026, 4, 22) + 510), '2026-04-22 08:30');
  assert.equal(formatLongDay(day(2026, 1, 1)), '2025. december 31.');
  assert.equal(formatMoment(day(1960, 3, 2)), '1960-03-01');
});

test('the last triple at or before a moment applies, running to the next one', () => {
  const line = [[-100, 0, -1], [10, 1, 2], [20, 3, -1]];
  assert.deepEqual(lookAt(line, -1e12), { look: 0, next: -1, share: 0 });
  assert.deepEqual(lookAt(line, 10), { look: 1, next: 2, share: 0 });
  assert.deepEqual(lookAt(line, 15), { look: 1, next: 2, share: 0.5 });
  assert.deepEqual(lookAt(line, 20), { look: 3, next: -1, share: 0 });
  // A run with no triple after it stands; an empty timeline is no look.
  assert.deepEqual(lookAt([[0, 4, 5]], 50), { look: 4, next: -1, share: 0 });
  assert.equal(lookAt([], 0).look, -1);
});

test('looks become state texts as the program prints them', () => {
  const data = { looks: [
    { show: 'hidden' }, { show: 'model', transparency: 0, grow: '+z', drawn: 1 },
    { show: 'colour', color: [0, 230, 0], transparency: 0, grow: '-x', drawn: 0 },
    { show: 'colour', color: [0, 230, 0], transparency: 0, grow: '-x', drawn: 1 },
    { show: 'colour', color: [200, 200, 200], transparency: 85, grow: 'none', drawn: 1 },
    { show: 'work', color: [0, 230, 0], transparency: 0, grow: 'none', drawn: 1 },
  ] };
  const element = { color: [1, 2, 3], transparency: 40 };
  const text = (line, t) => stateText(elementLookAt(data, line, element, t));
  assert.equal(text([[0, 0, -1]], 5), 'hidden');
  assert.equal(text([[0, 1, -1]], 5), 'model');
  assert.equal(text([[0, 2, 3], [100, 3, -1]], 25), 'colour #00e600 grown 0.25');
  assert.equal(text([[0, 2, 3], [100, 3, -1]], 100), 'colour #00e600');
  assert.equal(text([[0, 4, -1]], 5), 'ghost #c8c8c8 85');
  assert.equal(text([[0, 5, -1]], 5), 'work');
  assert.equal(text([[0, 9, -1]], 5), 'hidden', 'a look the page does not hold');
});

test('two decimals round exact halves to even, others to nearest', () => {
  assert.deepEqual([0.125, 0.375, 0.625, 0.875, 0.5, 0.005, 0.994, 0.999, 0].map(fixed2),
    ['0.12', '0.38', '0.62', '0.88', '0.50', '0.01', '0.99', '1.00', '0.00']);
  // A share a hair off an exact eighth, or off a whole, prints as the exact one does.
  const grown = (drawn) => stateText({ show: 'model', grow: '+z', drawn });
  assert.equal(grown(0.125 + 1e-12), 'model grown 0.12');
  assert.equal(grown(1 - 1e-12), 'model');
});

test('the boxes drawn while the date moves: each element keeps its own corners, a pass holds only its elements', () => {
  // Element 1 has no triangles, so no box.
  const boxes = Float32Array.from([0, 1, 2, 3, 5, 9, Infinity, Infinity, Infinity, -Infinity, -Infinity, -Infinity, -4, -3, -2, -1, 0, 1]);
  const { position, element } = boxCorners(boxes, 3);
  const cornersOf = (e) => Array.from({ length: 8 }, (_, c) => Array.from(position.subarray((e * 8 + c) * 3, (e * 8 + c) * 3 + 3)).join(' '));
  assert.deepEqual(new Set(cornersOf(0)), new Set(['0 1 2', '3 1 2', '0 5 2', '3 5 2', '0 1 9', '3 1 9', '0 5 9', '3 5 9']));
  assert.deepEqual(new Set(cornersOf(2)).size, 8);
  assert.deepEqual(Array.from(element.subarray(16, 24)), Array(8).fill(2));
  // Twelve triangles close the box: each of its six faces is two triangles on one side of it.
  const faces = new Map();
  for (let t = 0; t < 12; t++) {
    const tri = BOX_INDEXES.subarray(t * 3, t * 3 + 3);
    for (let a = 0; a < 3; a++) {
      const side = tri.map((c) => (c >> a) & 1);
      if (side[0] === side[1] && side[1] === side[2]) faces.set(`${a}${side[0]}`, (faces.get(`${a}${side[0]}`) || 0) + 1);
    }
  }
  assert.deepEqual([...faces.values()], Array(6).fill(2));
  const passes = [1, 0, 2];
  const index = new Uint32Array(3 * BOX_INDEXES.length);
  assert.equal(gatherBoxes(3, (e) => passes[e], 2, index), 36);
  assert.deepEqual(Array.from(index.subarray(0, 36)), Array.from(BOX_INDEXES, (c) => 16 + c));
  assert.equal(gatherBoxes(3, (e) => passes[e], 1, index), 36);
  assert.equal(Math.max(...index.subarray(0, 36)), 7);
  assert.equal(gatherBoxes(3, () => 0, 1, index), 0);
});

test('while the date moves, only boxes in view are drawn, the largest where there are many', () => {
  // Seen from 10 m up the z axis, looking down through 90 degrees, near 0.1 m, far 100 m, on a
  // picture 500 pixels high.
  const a = -100.1 / 99.9;
  const b = -20 / 99.9;
  const toClip = { elements: [1, 0, 0, 0, 0, 1, 0, 0, 0, 0, a, -1, 0, 0, -10 * a + b, 10] };
  const boxes = Float32Array.from([
    -1, -1, -1, 1, 1, 1, // in view
    -0.01, -0.01, 0, 0.01, 0.01, 0.02, // under a pixel, but in view
    50, 50, 0, 52, 52, 1, // off to the side
    -1, -1, 20, 1, 1, 22, // behind the camera
    -30, -30, 8, 30, 30, 12, // around the camera
    Infinity, Infinity, Infinity, -Infinity, -Infinity, -Infinity, // no box
  ]);
  const spheres = boxSpheres(boxes, 6);
  assert.deepEqual(Array.from(spheres.subarray(0, 4)), [0, 0, 0, Math.fround(Math.sqrt(3))]);
  const inView = new Uint8Array(6);
  boxesInView(spheres, 6, toClip, 1, 500, inView);
  assert.deepEqual(Array.from(inView), [1, 1, 0, 0, 1, 0]);
  const shown = new Uint8Array(6).fill(255);
  const passes = [1, 0, 1, 1, 2, 0];
  assert.equal(showBoxes(6, (e) => passes[e], inView, shown), true);
  assert.deepEqual(Array.from(shown), [1, 0, 0, 0, 2, 0]);
  // Nothing changed, nothing to send; an element hidden by its look is not drawn in view either.
  assert.equal(showBoxes(6, (e) => passes[e], inView, shown), false);
  assert.equal(showBoxes(6, (e) => (e === 0 ? 0 : passes[e]), inView, shown), true);
  assert.equal(shown[0], 0);
  // Past the most boxes a picture holds, the smallest are left out: here the large one and the
  // one around the camera stay, among as many specks as make up the rest.
  const many = MOST_BOXES + 3;
  const crowd = new Float32Array(many * 6);
  crowd.set(boxes.subarray(0, 6), 0);
  crowd.set(boxes.subarray(24, 30), 6);
  for (let e = 2; e < many; e++) crowd.set([-e * 1e-5, -e * 1e-5, 0, e * 1e-5, e * 1e-5, 0], e * 6);
  const crowdInView = new Uint8Array(many);
  boxesInView(boxSpheres(crowd, many), many, toClip, 1, 500, crowdInView);
  assert.equal(crowdInView.reduce((n, v) => n + v, 0), MOST_BOXES);
  assert.deepEqual(Array.from(crowdInView.subarray(0, 6)), [1, 1, 0, 0, 0, 1]);
});

process.exit((await runCases()) ? 0 : 1);
