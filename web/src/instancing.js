// Repeated shapes come as EXT_mesh_gpu_instancing nodes whose instances carry the element index.
// three's own handler puts that attribute on the shape's geometry, shared by every node drawing
// the shape, so one node's indexes would overwrite another's; this one gives each node its own.
import { InstancedBufferAttribute, InstancedMesh, Matrix4, Object3D, Quaternion, Vector3 } from 'three';

const NAME = 'EXT_mesh_gpu_instancing';

function valuesOf(accessor) {
  const out = new Float32Array(accessor.count);
  for (let i = 0; i < accessor.count; i++) out[i] = accessor.getX(i);
  return out;
}

export class ElementInstancing {
  constructor(parser) {
    this.name = NAME;
    this.parser = parser;
  }

  createNodeMesh(nodeIndex) {
    const json = this.parser.json;
    const nodeDef = json.nodes[nodeIndex];
    if (!nodeDef.extensions || !nodeDef.extensions[NAME] || nodeDef.mesh === undefined) return null;
    const attributesDef = nodeDef.extensions[NAME].attributes || {};
    const names = Object.keys(attributesDef);
    const pending = names.map((key) => this.parser.getDependency('accessor', attributesDef[key]));
    pending.push(this.parser.createNodeMesh(nodeIndex));
    return Promise.all(pending).then((results) => {
      const nodeObject = results.pop();
      const attributes = {};
      names.forEach((key, i) => { attributes[key] = results[i]; });
      const meshes = nodeObject.isGroup ? nodeObject.children : [nodeObject];
      const count = results.length ? results[0].count : 0;
      const made = [];
      const m = new Matrix4();
      const p = new Vector3();
      const q = new Quaternion();
      const s = new Vector3(1, 1, 1);
      for (const mesh of meshes) {
        if (!mesh.isMesh) { made.push(mesh); continue; }
        const geometry = mesh.geometry.clone();
        const instanced = new InstancedMesh(geometry, mesh.material, count);
        for (let i = 0; i < count; i++) {
          p.set(0, 0, 0); q.set(0, 0, 0, 1); s.set(1, 1, 1);
          if (attributes.TRANSLATION) p.fromBufferAttribute(attributes.TRANSLATION, i);
          if (attributes.ROTATION) q.fromBufferAttribute(attributes.ROTATION, i);
          if (attributes.SCALE) s.fromBufferAttribute(attributes.SCALE, i);
          instanced.setMatrixAt(i, m.compose(p, q, s));
        }
        if (attributes._ELEMENT) geometry.setAttribute('_element', new InstancedBufferAttribute(valuesOf(attributes._ELEMENT), 1));
        Object3D.prototype.copy.call(instanced, mesh);
        made.push(instanced);
      }
      if (!nodeObject.isGroup) return made[0];
      nodeObject.clear();
      nodeObject.add(...made);
      return nodeObject;
    });
  }
}
