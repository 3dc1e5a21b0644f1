// Writes a small shared page as the program would: a plain glTF binary of boxes carrying their
// element index (one shape drawn as instances), and a schedule whose looks cover every kind of
// state, filled into the built frame.
//   node samplePage.mjs FRAME.html OUT.html [COUNT]   (COUNT: a grid of that many boxes instead)
import { readFileSync, writeFileSync } from 'node:fs';

const DAY = 1440;
const dayOf = (text) => Math.round(Date.UTC(...text.split('-').map((v, i) => Number(v) - (i === 1 ? 1 : 0))) / 60000);

export const HOSTILE = '<img src=x onerror=alert(1)>';

function boxTriangles(min, max) {
  const [x0, y0, z0] = min;
  const [x1, y1, z1] = max;
  const p = [[x0, y0, z0], [x1, y0, z0], [x1, y1, z0], [x0, y1, z0], [x0, y0, z1], [x1, y0, z1], [x1, y1, z1], [x0, y1, z1]];
  const faces = [[0, 2, 1], [0, 3, 2], [4, 5, 6], [4, 6, 7], [0, 1, 5], [0, 5, 4], [1, 2, 6], [1, 6, 5], [2, 3, 7], [2, 7, 6], [3, 0, 4], [3, 4, 7]];
  return { positions: p.flat(), indices: faces.flat() };
}

// Element e of `merged` is the box merged[e] ([min, max]); the elements of `instanced` share one
// unit box, each moved by 2 m a step along x.
function glb(merged, instanced) {
  const positions = [];
  const elements = [];
  const indices = [];
  merged.forEach(([min, max], e) => {
    const box = boxTriangles(min, max);
    const base = positions.length / 3;
    for (const v of box.positions) positions.push(v);
    for (let k = 0; k < 8; k++) elements.push(e);
    for (const i of box.indices) indices.push(i + base);
  });
  const shape = boxTriangles([0, 0, 0], [1, 1, 1]);
  const translations = instanced.flatMap((e) => [e * 2, 0, 0]);
  const parts = [
    new Float32Array(positions), new Float32Array(elements), new Uint32Array(indices),
    new Float32Array(shape.positions), new Uint32Array(shape.indices),
    new Float32Array(translations), new Float32Array(instanced),
  ];
  const views = [];
  let offset = 0;
  for (const part of parts) {
    views.push({ buffer: 0, byteOffset: offset, byteLength: part.byteLength });
    offset += part.byteLength;
  }
  const bin = Buffer.concat(parts.map((p) => Buffer.from(p.buffer)));
  const minMax = (arr) => {
    const min = [Infinity, Infinity, Infinity];
    const max = [-Infinity, -Infinity, -Infinity];
    for (let i = 0; i < arr.length; i += 3) for (let a = 0; a < 3; a++) { min[a] = Math.min(min[a], arr[i + a]); max[a] = Math.max(max[a], arr[i + a]); }
    return { min, max };
  };
  const json = {
    asset: { version: '2.0', generator: 'bauvista sample' },
    extensionsUsed: ['EXT_mesh_gpu_instancing'],
    scene: 0,
    scenes: [{ nodes: [0] }],
    nodes: [
      { rotation: [-Math.SQRT1_2, 0, 0, Math.SQRT1_2], children: [1, 2] },
      { mesh: 0 },
      { mesh: 1, extensions: { EXT_mesh_gpu_instancing: { attributes: { TRANSLATION: 5, _ELEMENT: 6 } } } },
    ],
    meshes: [
      { primitives: [{ attributes: { POSITION: 0, _ELEMENT: 1 }, indices: 2 }] },
      { primitives: [{ attributes: { POSITION: 3 }, indices: 4 }] },
    ],
    accessors: [
      { bufferView: 0, componentType: 5126, count: positions.length / 3, type: 'VEC3', ...minMax(positions) },
      { bufferView: 1, componentType: 5126, count: elements.length, type: 'SCALAR' },
      { bufferView: 2, componentType: 5125, count: indices.length, type: 'SCALAR' },
      { bufferView: 3, componentType: 5126, count: 8, type: 'VEC3', ...minMax(shape.positions) },
      { bufferView: 4, componentType: 5125, count: shape.indices.length, type: 'SCALAR' },
      { bufferView: 5, componentType: 5126, count: instanced.length, type: 'VEC3' },
      { bufferView: 6, componentType: 5126, count: instanced.length, type: 'SCALAR' },
    ],
    bufferViews: views,
    buffers: [{ byteLength: bin.length }],
  };
  const pad = (buf, fill) => Buffer.concat([buf, Buffer.alloc((4 - (buf.length % 4)) % 4, fill)]);
  const jsonChunk = pad(Buffer.from(JSON.stringify(json)), 0x20);
  const binChunk = pad(bin, 0);
  const header = Buffer.alloc(12);
  header.writeUInt32LE(0x46546c67, 0);
  header.writeUInt32LE(2, 4);
  header.writeUInt32LE(12 + 8 + jsonChunk.length + 8 + binChunk.length, 8);
  const chunkHead = (len, type) => { const b = Buffer.alloc(8); b.writeUInt32LE(len, 0); b.writeUInt32LE(type, 4); return b; };
  return Buffer.concat([header, chunkHead(jsonChunk.length, 0x4e4f534a), jsonChunk, chunkHead(binChunk.length, 0x004e4942), binChunk]);
}

// Looks: 0 hidden, 1 model, 2 work (green), 3 grey ghost 80 %, 4 red colour, 5 green growing +z
// from nothing, 6 green grown whole, 7 blue ghost fading 60 -> 0.
export function sampleData() {
  const from = dayOf('2026-04-01') + 8 * 60;
  const d = (text) => dayOf(text);
  const looks = [
    { show: 'hidden', transparency: 0, grow: 'none', drawn: 1 },
    { show: 'model', transparency: 0, grow: 'none', drawn: 1 },
    { show: 'work', color: [0, 230, 0], transparency: 0, grow: 'none', drawn: 1 },
    { show: 'colour', color: [200, 200, 200], transparency: 80, grow: 'none', drawn: 1 },
    { show: 'colour', color: [204, 0, 0], transparency: 0, grow: 'none', drawn: 1 },
    { show: 'colour', color: [0, 230, 0], transparency: 0, grow: '+z', drawn: 0 },
    { show: 'colour', color: [0, 230, 0], transparency: 0, grow: '+z', drawn: 1 },
    { show: 'colour', color: [0, 0, 255], transparency: 60, grow: 'none', drawn: 1 },
    { show: 'colour', color: [0, 0, 255], transparency: 0, grow: 'none', drawn: 1 },
  ];
  const names = ['Alap', 'Fal földszint', HOSTILE, 'Födém', 'Tető', 'Állvány'];
  const elements = names.map((name, i) => ({
    id: `E${i + 1}${i === 2 ? HOSTILE : ''}`,
    color: [180 - i * 10, 170, 160 + i * 10],
    transparency: 0,
    facts: [[0, i === 2 ? 'IfcWall' : 'IfcSlab'], [1, name]],
    tasks: [i],
  }));
  const tasks = names.map((name, i) => ({
    id: i + 1, name, level: i === 0 ? 1 : 2, type: i === 5 ? 'temporary' : 'construction',
    profile: i === 5 ? 'Ideiglenes' : 'Építés', color: i === 5 ? [255, 255, 128] : [0, 230, 0],
    start: d(`2026-04-${String(2 + i * 4).padStart(2, '0')}`), finish: d(`2026-04-${String(6 + i * 4).padStart(2, '0')}`),
    actualStart: i < 3 ? d(`2026-04-${String(3 + i * 4).padStart(2, '0')}`) : null, actualFinish: i < 2 ? d(`2026-04-${String(8 + i * 4).padStart(2, '0')}`) : null,
    percent: i < 3 ? (i < 2 ? 100 : 40) : null, elements: [i], predecessors: i ? [i - 1] : [],
  }));
  const planned = tasks.map((t, i) => {
    if (i === 1) return [-1e9, 3, -1, t.start, 5, 6, t.finish, 1, -1];
    if (i === 2) return [-1e9, 0, -1, t.start, 7, 8, t.finish, 1, -1];
    if (i === 5) return [-1e9, 0, -1, t.start, 4, -1, t.finish, 0, -1];
    return [-1e9, 0, -1, t.start, 2, -1, t.finish, 1, -1];
  });
  const actual = planned.map((line) => line.map((v, k) => (k % 3 === 0 && v > 0 ? v + DAY : v)));
  const compare = planned.map((line, i) => (i === 0 ? [-1e9, 0, -1, tasks[0].start, 4, -1, tasks[0].finish, 1, -1] : line));
  const triples = (line) => Array.from({ length: line.length / 3 }, (_, k) => line.slice(k * 3, k * 3 + 3));
  return {
    format: 'bauvista-page', version: 1, title: `Minta <b>ház</b> & ${HOSTILE}`, written: '2026-05-02T09:30',
    from, to: d('2026-04-27'), date: d('2026-04-09'), views: ['planned', 'actual', 'compare'], view: 'planned',
    statusDate: d('2026-04-15'), factKeys: ['class', 'name'], elements, tasks, looks,
    legend: [
      { label: 'épül', color: [0, 230, 0], transparency: 0 },
      { label: 'még nincs', color: [200, 200, 200], transparency: 80 },
      { label: 'késik', color: [204, 0, 0], transparency: 0 },
    ],
    timelines: { planned: planned.map(triples), actual: actual.map(triples), compare: compare.map(triples) },
  };
}

const escapeHtml = (s) => s.replace(/[&<>"']/g, (c) => `&#${c.charCodeAt(0)};`);
const escapeJson = (s) => s.replace(/[<>&\u2028\u2029]/g, (c) => `\\u${c.charCodeAt(0).toString(16).padStart(4, '0')}`);

// The frame filled as the program fills it: each marker replaced once.
export function fillFrame(frame, data, glbBytes) {
  return frame
    .replace('@BV-TITLE@', () => escapeHtml(data.title))
    .replace('@BV-DATA@', () => escapeJson(JSON.stringify(data)))
    .replace('@BV-GLB@', () => glbBytes.toString('base64'));
}

export function samplePage(frame) {
  const data = sampleData();
  const boxes = [0, 1, 2, 3].map((e) => [[e * 2, 0, 0], [e * 2 + 1.5, 1, 3]]);
  return fillFrame(frame, data, glb(boxes, [4, 5]));
}

// A page of `count` boxes in storeys of a square grid, linked to `taskCount` tasks in turn, each a
// week after the one before: grey ghosts before, growing green during, their own look after.
export function gridPage(frame, count, taskCount = 40) {
  const side = Math.ceil(Math.sqrt(count / 5));
  const boxes = [];
  for (let e = 0; e < count; e++) {
    const x = (e % side) * 1.2;
    const y = Math.floor(e / side) % side * 1.2;
    const z = Math.floor(e / (side * side)) * 3.2;
    boxes.push([[x, y, z], [x + 1, y + 1, z + 3]]);
  }
  const start = dayOf('2009-03-01');
  const looks = [
    { show: 'colour', color: [200, 200, 200], transparency: 85, grow: 'none', drawn: 1 },
    { show: 'colour', color: [0, 230, 0], transparency: 0, grow: '+z', drawn: 0 },
    { show: 'colour', color: [0, 230, 0], transparency: 0, grow: '+z', drawn: 1 },
    { show: 'model', transparency: 0, grow: 'none', drawn: 1 },
  ];
  const tasks = [];
  for (let t = 0; t < taskCount; t++) {
    tasks.push({ id: t + 1, name: `Tevékenység ${t + 1}`, level: 1, type: 'construction', profile: 'Szerkezet',
      color: [0, 230, 0], start: start + t * 7 * DAY, finish: start + (t * 7 + 5) * DAY,
      actualStart: null, actualFinish: null, percent: null, elements: [], predecessors: [] });
  }
  const elements = [];
  const planned = [];
  for (let e = 0; e < count; e++) {
    const t = Math.floor((e * taskCount) / count);
    tasks[t].elements.push(e);
    elements.push({ id: `W${e + 1}`, color: [190, 180, 170], transparency: 0, facts: [[0, 'IfcWall']], tasks: [t] });
    planned.push([[0, 0, -1], [tasks[t].start + 1, 1, 2], [tasks[t].finish, 3, -1]]);
  }
  const data = {
    format: 'bauvista-page', version: 1, title: `${count} elem`, written: '2026-05-02T09:30',
    from: start, to: tasks[taskCount - 1].finish, date: start, views: ['planned'], view: 'planned', statusDate: null,
    factKeys: ['class'], elements, tasks, looks, legend: [], timelines: { planned },
  };
  return fillFrame(frame, data, glb(boxes, []));
}

if (process.argv[1] && import.meta.url.endsWith(process.argv[1].split('/').pop())) {
  const [frame, out, count] = process.argv.slice(2);
  const text = readFileSync(frame, 'utf8');
  writeFileSync(out, count ? gridPage(text, Number(count)) : samplePage(text));
}
