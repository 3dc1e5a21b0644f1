// Each element's box in model coordinates (metres, z up), from the triangles that carry its index:
// the plane a growing element is drawn up to moves through this box.
import { Box3, Matrix4, Vector3 } from 'three';

// The frame the model's coordinates are in: the scene's one root node turns them to y up.
export function modelFrameOf(scene) {
  scene.updateMatrixWorld(true);
  const root = scene.children.length === 1 ? scene.children[0] : scene;
  return new Matrix4().copy(root.matrixWorld).invert();
}

export function drawnMeshes(scene) {
  const meshes = [];
  scene.traverse((o) => { if (o.isMesh && o.geometry.getAttribute('_element')) meshes.push(o); });
  return meshes;
}

function grow(boxes, e, v) {
  const k = e * 6;
  if (v.x < boxes[k]) boxes[k] = v.x;
  if (v.y < boxes[k + 1]) boxes[k + 1] = v.y;
  if (v.z < boxes[k + 2]) boxes[k + 2] = v.z;
  if (v.x > boxes[k + 3]) boxes[k + 3] = v.x;
  if (v.y > boxes[k + 4]) boxes[k + 4] = v.y;
  if (v.z > boxes[k + 5]) boxes[k + 5] = v.z;
}

// min x, y, z, max x, y, z an element; an element without triangles keeps an empty box.
export function computeElementBoxes(meshes, modelFrame, count) {
  const boxes = new Float32Array(count * 6);
  for (let e = 0; e < count; e++) {
    boxes.fill(Infinity, e * 6, e * 6 + 3);
    boxes.fill(-Infinity, e * 6 + 3, e * 6 + 6);
  }
  const toModel = new Matrix4();
  const v = new Vector3();
  for (const mesh of meshes) {
    toModel.multiplyMatrices(modelFrame, mesh.matrixWorld);
    const position = mesh.geometry.getAttribute('position');
    const element = mesh.geometry.getAttribute('_element');
    if (mesh.isInstancedMesh) {
      if (!mesh.geometry.boundingBox) mesh.geometry.computeBoundingBox();
      const local = mesh.geometry.boundingBox;
      const instance = new Matrix4();
      const box = new Box3();
      for (let i = 0; i < mesh.count; i++) {
        const e = Math.round(element.getX(i));
        if (!(e >= 0 && e < count)) continue;
        mesh.getMatrixAt(i, instance);
        box.copy(local).applyMatrix4(instance.premultiply(toModel));
        grow(boxes, e, box.min);
        grow(boxes, e, box.max);
      }
    } else {
      for (let i = 0; i < position.count; i++) {
        const e = Math.round(element.getX(i));
        if (!(e >= 0 && e < count)) continue;
        v.fromBufferAttribute(position, i).applyMatrix4(toModel);
        grow(boxes, e, v);
      }
    }
  }
  return boxes;
}

// The box around every element that has one.
export function modelBox(boxes) {
  const box = new Box3();
  for (let k = 0; k < boxes.length; k += 6) {
    if (!(boxes[k] <= boxes[k + 3])) continue;
    box.expandByPoint(new Vector3(boxes[k], boxes[k + 1], boxes[k + 2]));
    box.expandByPoint(new Vector3(boxes[k + 3], boxes[k + 4], boxes[k + 5]));
  }
  return box;
}
