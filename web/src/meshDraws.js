// A mesh's draws: its opaque faces, then a twin over the same geometry for its see-through
// elements, and its elements' outlines. Each is left out of the frame while none of the mesh's
// elements is drawn that way, so the graphics never walk a mesh's vertices only to drop them all.
import { InstancedBufferAttribute, InstancedBufferGeometry, InstancedMesh, LineSegments, Mesh } from 'three';
import { makeEdgeMaterial } from './edgeMaterial.js';
import { outlineOf } from './edges.js';
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

  addGlass(material) {
    const mesh = this.mesh;
    let twin;
    if (mesh.isInstancedMesh) {
      twin = new InstancedMesh(mesh.geometry, material, mesh.count);
      twin.instanceMatrix = mesh.instanceMatrix;
    } else {
      twin = new Mesh(mesh.geometry, material);
    }
    twin.renderOrder = 1;
    this.addBeside(twin);
    this.glass = twin;
  }

  addOutline(states, modelFrame) {
    const mesh = this.mesh;
    const lines = outlineOf(mesh.geometry, mesh.isInstancedMesh);
    if (!lines.getAttribute('position').count) return;
    let geometry = lines;
    if (mesh.isInstancedMesh) {
      geometry = new InstancedBufferGeometry();
      geometry.setAttribute('position', lines.getAttribute('position'));
      geometry.setAttribute('edgeInstance', new InstancedBufferAttribute(mesh.instanceMatrix.array, 16));
      geometry.setAttribute('_element', mesh.geometry.getAttribute('_element'));
      geometry.instanceCount = mesh.count;
    }
    const outline = new LineSegments(geometry, makeEdgeMaterial(states, modelFrame, mesh.isInstancedMesh));
    outline.frustumCulled = false;
    outline.renderOrder = 2;
    this.addBeside(outline);
    this.outline = outline;
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
