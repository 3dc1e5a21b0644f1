// The outlines' material: each element's edges in a dark shade of its colour, faded where the
// element is see-through, gone where it is not drawn, cut by its growth plane like its faces.
import { GLSL3, ShaderMaterial } from 'three';
import { growthCut, stateLookup, stateUniforms } from './stateShader.js';

const vertexShader = /* glsl */`
${stateLookup}
#ifdef EDGE_INSTANCES
in mat4 edgeInstance;
#endif

void main() {
  readState();
  if (vParams.x < 0.5) { gl_Position = vec4(2.0, 2.0, 2.0, 1.0); return; }
  vec4 local = vec4(position, 1.0);
#ifdef EDGE_INSTANCES
  local = edgeInstance * local;
#endif
  vec4 world = modelMatrix * local;
  vModel = (modelFrame * world).xyz;
  gl_Position = projectionMatrix * viewMatrix * world;
}`;

const fragmentShader = /* glsl */`
${growthCut}
out vec4 fragColour;

void main() {
  cutGrowth();
  bool glass = vParams.x > 1.5;
  fragColour = vec4(vColour.rgb * 0.35, glass ? 0.25 + 0.35 * vColour.a : 0.85);
}`;

export function makeEdgeMaterial(states, modelFrame, instanced) {
  return new ShaderMaterial({
    glslVersion: GLSL3,
    vertexShader,
    fragmentShader,
    defines: instanced ? { EDGE_INSTANCES: '' } : {},
    uniforms: stateUniforms(states, modelFrame),
    transparent: true,
    depthWrite: false,
  });
}
