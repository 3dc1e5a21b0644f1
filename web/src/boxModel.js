// While the date moves on a large model, each element is drawn as its box: a software rasteriser
// pays for every triangle and every instance it is handed, and a model of a million triangles in
// ten thousand instances would follow the slider at a few pictures a second. The boxes are one
// plain mesh whose index holds only the elements a pass draws; they read the same state texture as
// the faces, so each shows its element's colour, transparency, growth cut and marks. The full
// model comes back once the date rests.
import { BufferAttribute, BufferGeometry, DoubleSide, Frustum, GLSL3, Group, Matrix4, Mesh, ShaderMaterial, Sphere,
  Vector4 } from 'three';
import { PASS_GLASS, PASS_OPAQUE } from './elementStates.js';
import { faceShader } from './elementMaterial.js';
import { stateLookup, stateUniforms } from './stateShader.js';

const vertexShader = /* glsl */`
uniform float passKind;
uniform mat4 sceneFromModel;
${stateLookup}
out vec3 vView;

void main() {
  readState();
  vModel = position;
  vec4 view = viewMatrix * sceneFromModel * vec4(position, 1.0);
  vView = view.xyz;
  gl_Position = projectionMatrix * view;
}`;

// A box's eight corners are numbered by bits: 1 the greater x, 2 the greater y, 4 the greater z.
const FACES = [[0, 2, 6, 4], [1, 5, 7, 3], [0, 4, 5, 1], [2, 3, 7, 6], [0, 1, 3, 2], [4, 6, 7, 5]];
export const BOX_INDEXES = Uint32Array.from(FACES.flatMap(([a, b, c, d]) => [a, b, c, a, c, d]));

// Every element's box corners in model coordinates and the element index each carries; an element
// without a box has its corners at the origin and is never drawn.
export function boxCorners(boxes, count) {
  const position = new Float32Array(count * 24);
  const element = new Float32Array(count * 8);
  for (let e = 0; e < count; e++) {
    const b = e * 6;
    if (!(boxes[b] <= boxes[b + 3])) continue;
    for (let c = 0; c < 8; c++) {
      const k = (e * 8 + c) * 3;
      for (let a = 0; a < 3; a++) position[k + a] = boxes[b + ((c >> a) & 1) * 3 + a];
      element[e * 8 + c] = e;
    }
  }
  return { position, element };
}

// Each element's bounding sphere (model coordinates): centre x, y, z and radius.
export function boxSpheres(boxes, count) {
  const out = new Float32Array(count * 4);
  for (let e = 0; e < count; e++) {
    const b = e * 6;
    if (!(boxes[b] <= boxes[b + 3])) continue;
    let r2 = 0;
    for (let a = 0; a < 3; a++) {
      out[e * 4 + a] = (boxes[b + a] + boxes[b + 3 + a]) / 2;
      r2 += ((boxes[b + 3 + a] - boxes[b + a]) / 2) ** 2;
    }
    out[e * 4 + 3] = Math.sqrt(r2);
  }
  return out;
}

// Writes into `inView` 1 for each element whose box lies in the camera's view and is among the
// MOST_BOXES largest there on the picture (by its bounding sphere on a picture `height` pixels
// high), 0 for the others: each box costs the same however small, so the picture keeps its
// pace on any model and at any distance, leaving out specks. `modelToClip` takes model
// coordinates to clip space; `focal` is the projection's vertical scale.
export const MOST_BOXES = 1500;
const sphere = new Sphere();
const frustum = new Frustum();
const centre = new Vector4();
export function boxesInView(spheres, count, modelToClip, focal, height, inView) {
  frustum.setFromProjectionMatrix(modelToClip);
  const toPixels = (focal * height) / 2;
  const sizes = new Float32Array(count);
  for (let e = 0; e < count; e++) {
    const k = e * 4;
    sphere.center.set(spheres[k], spheres[k + 1], spheres[k + 2]);
    sphere.radius = spheres[k + 3];
    if (!(sphere.radius > 0) || !frustum.intersectsSphere(sphere)) continue;
    centre.set(spheres[k], spheres[k + 1], spheres[k + 2], 1).applyMatrix4(modelToClip);
    sizes[e] = centre.w <= sphere.radius ? Infinity : (2 * sphere.radius * toPixels) / centre.w;
  }
  let least = Number.MIN_VALUE;
  if (count > MOST_BOXES) least = Math.max(least, Float32Array.from(sizes).sort()[count - MOST_BOXES]);
  for (let e = 0; e < count; e++) inView[e] = sizes[e] >= least ? 1 : 0;
}

// Writes into `shown` each element's pass where it is in view, 0 elsewhere; returns whether any
// element's entry changed.
export function showBoxes(count, passOf, inView, shown) {
  let changed = false;
  for (let e = 0; e < count; e++) {
    const pass = inView[e] ? passOf(e) : 0;
    if (shown[e] !== pass) {
      shown[e] = pass;
      changed = true;
    }
  }
  return changed;
}

// Writes the triangles of the boxes of the elements `passOf` puts in `pass` into `index` (room
// for every element), in element order; returns how many indexes.
export function gatherBoxes(count, passOf, pass, index) {
  let n = 0;
  for (let e = 0; e < count; e++) {
    if (passOf(e) !== pass) continue;
    const first = e * 8;
    for (let k = 0; k < BOX_INDEXES.length; k++) index[n + k] = first + BOX_INDEXES[k];
    n += BOX_INDEXES.length;
  }
  return n;
}

class PassBoxes {
  constructor(states, corners, sceneFromModel, modelFrame, pass) {
    const geometry = new BufferGeometry();
    geometry.setAttribute('position', corners.position);
    geometry.setAttribute('_element', corners.element);
    this.index = new BufferAttribute(new Uint32Array(states.count * BOX_INDEXES.length), 1);
    geometry.setIndex(this.index);
    geometry.setDrawRange(0, 0);
    const glass = pass === PASS_GLASS;
    const material = new ShaderMaterial({
      glslVersion: GLSL3,
      vertexShader,
      fragmentShader: faceShader,
      uniforms: { ...stateUniforms(states, modelFrame), passKind: { value: pass }, sceneFromModel: { value: sceneFromModel } },
      side: DoubleSide,
      transparent: glass,
      depthWrite: !glass,
    });
    this.mesh = new Mesh(geometry, material);
    this.mesh.frustumCulled = false;
    this.mesh.renderOrder = glass ? 1 : 0;
    this.pass = pass;
  }

  update(passOf, count) {
    const n = gatherBoxes(count, passOf, this.pass, this.index.array);
    if (n) {
      this.index.clearUpdateRanges();
      this.index.addUpdateRange(0, n);
      this.index.needsUpdate = true;
    }
    this.mesh.geometry.setDrawRange(0, n);
    this.mesh.visible = n > 0;
  }
}

export class BoxModel {
  constructor(states, modelFrame) {
    const sceneFromModel = modelFrame.clone().invert();
    const { position, element } = boxCorners(states.boxes, states.count);
    const corners = { position: new BufferAttribute(position, 3), element: new BufferAttribute(element, 1) };
    this.passes = [PASS_OPAQUE, PASS_GLASS].map((pass) => new PassBoxes(states, corners, sceneFromModel, modelFrame, pass));
    this.group = new Group();
    for (const p of this.passes) this.group.add(p.mesh);
    this.group.visible = false;
    this.sceneFromModel = sceneFromModel;
    this.spheres = boxSpheres(states.boxes, states.count);
    // The pass each element's box is drawn in; most steps change none, and those send the
    // graphics nothing.
    this.shown = new Uint8Array(states.count).fill(255);
    this.modelToClip = new Matrix4();
    this.inView = new Uint8Array(states.count);
    // No picture is 0 pixels high, so the first update works out what is in view.
    this.viewedFrom = new Matrix4();
    this.viewedHeight = 0;
  }

  update(states, camera, height) {
    camera.updateMatrixWorld();
    this.modelToClip.multiplyMatrices(camera.projectionMatrix, camera.matrixWorldInverse).multiply(this.sceneFromModel);
    // What is in view changes with the camera only, not with the date.
    if (!this.modelToClip.equals(this.viewedFrom) || height !== this.viewedHeight) {
      boxesInView(this.spheres, states.count, this.modelToClip, camera.projectionMatrix.elements[5], height, this.inView);
      this.viewedFrom.copy(this.modelToClip);
      this.viewedHeight = height;
    }
    const shown = this.shown;
    if (!showBoxes(states.count, (e) => states.passOf(e), this.inView, shown)) return;
    for (const p of this.passes) p.update((e) => shown[e], states.count);
  }
}
