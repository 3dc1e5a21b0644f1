// The outlines of a mesh: each element's border edges and the edges where its faces meet at more
// than a small angle, as line segments carrying the element index. Vertices of different elements
// never join, so every element keeps its own outline.
import { BufferAttribute, BufferGeometry, Vector3 } from 'three';

const CREASE = Math.cos((20 * Math.PI) / 180);

// One id a distinct (position, element) pair.
function weldVertices(position, element, instanced) {
  const ids = new Int32Array(position.count);
  const buckets = new Map();
  const points = [];
  for (let i = 0; i < position.count; i++) {
    const x = position.getX(i), y = position.getY(i), z = position.getZ(i);
    const e = instanced ? 0 : element.getX(i);
    const h = (Math.round(x * 1e4) * 73856093) ^ (Math.round(y * 1e4) * 19349663) ^ (Math.round(z * 1e4) * 83492791) ^ (e * 2654435761);
    let list = buckets.get(h);
    if (!list) buckets.set(h, (list = []));
    let id = -1;
    for (const k of list) {
      const p = points[k];
      if (p[0] === x && p[1] === y && p[2] === z && p[3] === e) { id = k; break; }
    }
    if (id < 0) {
      id = points.length;
      points.push([x, y, z, e]);
      list.push(id);
    }
    ids[i] = id;
  }
  return { ids, points };
}

export function triangleCount(geometry) {
  const index = geometry.getIndex();
  return (index ? index.count : geometry.getAttribute('position').count) / 3;
}

// Line segments in the mesh's own space, with `_element` per vertex (or none for an instanced
// mesh, whose instances carry it).
export function outlineOf(geometry, instanced) {
  const position = geometry.getAttribute('position');
  const element = geometry.getAttribute('_element');
  const index = geometry.getIndex();
  const { ids, points } = weldVertices(position, element, instanced);
  const corner = (t, k) => (index ? index.getX(t * 3 + k) : t * 3 + k);
  const faces = triangleCount(geometry);
  const normals = new Float32Array(faces * 3);
  const edges = new Map();
  const a = new Vector3(), b = new Vector3(), c = new Vector3();
  const segments = [];
  const consider = (p, q, t) => {
    const lo = Math.min(p, q), hi = Math.max(p, q);
    if (lo === hi) return;
    const key = lo * points.length + hi;
    const other = edges.get(key);
    if (other === undefined) { edges.set(key, t); return; }
    if (other >= 0) {
      const dot = normals[t * 3] * normals[other * 3] + normals[t * 3 + 1] * normals[other * 3 + 1] + normals[t * 3 + 2] * normals[other * 3 + 2];
      if (Math.abs(dot) < CREASE) segments.push(lo, hi);
    }
    edges.set(key, -1);
  };
  for (let t = 0; t < faces; t++) {
    const i0 = corner(t, 0), i1 = corner(t, 1), i2 = corner(t, 2);
    a.fromBufferAttribute(position, i0);
    b.fromBufferAttribute(position, i1);
    c.fromBufferAttribute(position, i2);
    const n = c.sub(b).cross(a.sub(b));
    const length = n.length();
    if (length === 0) continue;
    normals[t * 3] = n.x / length;
    normals[t * 3 + 1] = n.y / length;
    normals[t * 3 + 2] = n.z / length;
    consider(ids[i0], ids[i1], t);
    consider(ids[i1], ids[i2], t);
    consider(ids[i2], ids[i0], t);
  }
  // An edge of one face only is a border.
  for (const [key, t] of edges) if (t >= 0) segments.push(Math.floor(key / points.length), key % points.length);
  const out = new Float32Array(segments.length * 3);
  const elements = new Float32Array(segments.length);
  segments.forEach((id, k) => {
    const p = points[id];
    out[k * 3] = p[0]; out[k * 3 + 1] = p[1]; out[k * 3 + 2] = p[2];
    elements[k] = p[3];
  });
  const lines = new BufferGeometry();
  lines.setAttribute('position', new BufferAttribute(out, 3));
  if (!instanced) lines.setAttribute('_element', new BufferAttribute(elements, 1));
  return lines;
}
