// Which element lies under a point of the view: the nearest face of an element the view draws,
// on the drawn side of its growth plane.
import { Raycaster, Vector2, Vector3 } from 'three';
import { PASS_NONE } from './elementStates.js';

export function pickElement(viewer, meshes, states, modelFrame, clientX, clientY) {
  const rect = viewer.renderer.domElement.getBoundingClientRect();
  const ndc = new Vector2(((clientX - rect.left) / rect.width) * 2 - 1, -((clientY - rect.top) / rect.height) * 2 + 1);
  const raycaster = new Raycaster();
  raycaster.setFromCamera(ndc, viewer.camera);
  const hits = raycaster.intersectObjects(meshes, false);
  const inModel = new Vector3();
  for (const hit of hits) {
    const attr = hit.object.geometry.getAttribute('_element');
    const e = Math.round(hit.object.isInstancedMesh ? attr.getX(hit.instanceId) : attr.getX(hit.face.a));
    if (!(e >= 0 && e < states.count) || states.passOf(e) === PASS_NONE) continue;
    if (!states.keeps(e, inModel.copy(hit.point).applyMatrix4(modelFrame))) continue;
    return e;
  }
  return -1;
}
