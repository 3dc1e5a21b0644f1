// Every element's look at the shown moment, in one float texture the shaders read by element
// index: two texels an element, colour and opacity, then the pass that draws it, its highlight,
// and the plane its growth is cut at.
import { DataTexture, FloatType, NearestFilter, RGBAFormat } from 'three';

export const PASS_NONE = 0;
export const PASS_OPAQUE = 1;
export const PASS_GLASS = 2;

const AXES = { '+x': 1, '-x': -1, '+y': 2, '-y': -2, '+z': 3, '-z': -3 };
const WIDTH = 2048;

export class ElementStates {
  constructor(count, boxes) {
    this.count = count;
    this.boxes = boxes;
    const texels = Math.max(1, count * 2);
    this.width = Math.min(WIDTH, texels);
    const rows = Math.ceil(texels / this.width);
    this.values = new Float32Array(this.width * rows * 4);
    this.highlight = new Uint8Array(count);
    this.texture = new DataTexture(this.values, this.width, rows, RGBAFormat, FloatType);
    this.texture.minFilter = this.texture.magFilter = NearestFilter;
    this.texture.generateMipmaps = false;
  }

  // The look drawn for element i: its colour, whether it is drawn opaque, as glass or not at all,
  // and where its growth plane stands.
  setLook(i, look) {
    const v = this.values;
    const k = i * 8;
    const b = this.boxes;
    const hasBox = b[i * 6] <= b[i * 6 + 3];
    let pass = PASS_NONE;
    let axis = 0;
    let limit = 0;
    if (look.show !== 'hidden' && hasBox) {
      pass = look.transparency > 0 ? PASS_GLASS : PASS_OPAQUE;
      const code = AXES[look.grow] || 0;
      if (code !== 0 && look.drawn < 1) {
        if (look.drawn <= 0) pass = PASS_NONE;
        const a = Math.abs(code) - 1;
        const min = b[i * 6 + a];
        const max = b[i * 6 + 3 + a];
        axis = code;
        limit = (code > 0 ? min : -max) + look.drawn * (max - min);
      }
    }
    v[k] = look.color[0] / 255;
    v[k + 1] = look.color[1] / 255;
    v[k + 2] = look.color[2] / 255;
    v[k + 3] = 1 - Math.min(Math.max(look.transparency, 0), 100) / 100;
    v[k + 4] = pass;
    v[k + 5] = this.highlight[i];
    v[k + 6] = limit;
    v[k + 7] = axis;
  }

  // 1 selected, 2 found by the search, 0 neither.
  setHighlight(i, mark) {
    this.highlight[i] = mark;
    this.values[i * 8 + 5] = mark;
  }

  passOf(i) { return this.values[i * 8 + 4]; }

  // Whether a point (model coordinates) of element i lies on the drawn side of its growth plane.
  keeps(i, point) {
    const axis = this.values[i * 8 + 7];
    if (axis === 0) return true;
    const a = Math.abs(axis) - 1;
    const c = a === 0 ? point.x : a === 1 ? point.y : point.z;
    return Math.sign(axis) * c <= this.values[i * 8 + 6] + 1e-6;
  }

  commit() { this.texture.needsUpdate = true; }
}
