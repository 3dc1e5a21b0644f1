// Which of a mesh's draws have anything to draw: its opaque faces, its glass twin and its outline
// are each left out of the frame while none of the mesh's elements is drawn that way, so the
// graphics never walk a mesh's vertices only to drop them all.
import { PASS_GLASS, PASS_OPAQUE } from './elementStates.js';

// The distinct element indexes a mesh's vertices or instances carry.
export function elementsOf(mesh, count) {
  const attr = mesh.geometry.getAttribute('_element');
  const seen = new Uint8Array(count);
  const out = [];
  for (let i = 0; i < attr.count; i++) {
    const e = Math.round(attr.getX(i));
    if (e >= 0 && e < count && !seen[e]) {
      seen[e] = 1;
      out.push(e);
    }
  }
  return Int32Array.from(out);
}

export class MeshDraws {
  constructor(mesh, count) {
    this.mesh = mesh;
    this.elements = elementsOf(mesh, count);
    this.glass = null;
    this.outline = null;
  }

  // Draws that share the mesh's place in the scene but not its visibility.
  addBeside(object) {
    object.position.copy(this.mesh.position);
    object.quaternion.copy(this.mesh.quaternion);
    object.scale.copy(this.mesh.scale);
    this.mesh.parent.add(object);
  }

  update(states) {
    let opaque = false;
    let glass = false;
    for (let k = 0; k < this.elements.length && !(opaque && glass); k++) {
      const pass = states.passOf(this.elements[k]);
      if (pass === PASS_OPAQUE) opaque = true;
      else if (pass === PASS_GLASS) glass = true;
    }
    this.mesh.visible = opaque;
    if (this.glass) this.glass.visible = glass;
    if (this.outline) this.outline.visible = opaque || glass;
  }
}
