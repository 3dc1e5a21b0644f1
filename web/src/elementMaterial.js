// The model's two materials: opaque faces first, then see-through ones as glass over them with no
// depth written. Both read each element's look from the state texture by the element index its
// vertices (or its instance) carry; an element the pass does not draw collapses to a point, so
// the rasteriser never sees it. Faces are shaded flat from screen derivatives (the page carries no
// normals) and light from fixed directions, so tops read lighter than walls.
import { DoubleSide, GLSL3, ShaderMaterial } from 'three';
import { PASS_GLASS, PASS_OPAQUE } from './elementStates.js';
import { growthCut, stateLookup, stateUniforms } from './stateShader.js';

const vertexShader = /* glsl */`
uniform float passKind;
${stateLookup}
out vec3 vView;

void main() {
  readState();
  if (vParams.x != passKind) { gl_Position = vec4(2.0, 2.0, 2.0, 1.0); return; }
  vec4 local = vec4(position, 1.0);
#ifdef USE_INSTANCING
  local = instanceMatrix * local;
#endif
  vec4 world = modelMatrix * local;
  vModel = (modelFrame * world).xyz;
  vec4 view = viewMatrix * world;
  vView = view.xyz;
  gl_Position = projectionMatrix * view;
}`;

// Shared with the boxes drawn while the date moves, so both light and mark faces alike.
export const faceShader = /* glsl */`
uniform float passKind;
${growthCut}
in vec3 vView;
out vec4 fragColour;

void main() {
  cutGrowth();
  vec3 n = normalize(cross(dFdx(vModel), dFdy(vModel)));
  float light = 0.42 + 0.38 * abs(n.z) + 0.2 * abs(dot(n, normalize(vec3(0.8, -0.6, 0.0))));
  vec3 colour = vColour.rgb * light;
  float alpha = vColour.a;
  if (passKind > 1.5) {
    // Glass: faces seen edge-on thicken, so a see-through element keeps its outline.
    vec3 toEye = normalize(-vView);
    vec3 nv = normalize(cross(dFdx(vView), dFdy(vView)));
    float edgeOn = 1.0 - abs(dot(nv, toEye));
    alpha = clamp(alpha * (1.0 + 1.5 * edgeOn * edgeOn), 0.0, 1.0);
    colour = mix(colour, vColour.rgb * 0.55, 0.35 * edgeOn);
  }
  if (vParams.y > 0.5) {
    vec3 mark = vParams.y > 1.5 ? vec3(1.0, 0.78, 0.1) : vec3(1.0, 0.45, 0.0);
    colour = mix(colour, mark, 0.6);
    alpha = max(alpha, 0.75);
  }
  fragColour = vec4(colour, alpha);
}`;

function makeMaterial(states, modelFrame, pass) {
  const glass = pass === PASS_GLASS;
  return new ShaderMaterial({
    glslVersion: GLSL3,
    vertexShader,
    fragmentShader: faceShader,
    uniforms: { ...stateUniforms(states, modelFrame), passKind: { value: pass } },
    side: DoubleSide,
    transparent: glass,
    depthWrite: !glass,
    // Faces give way to their outlines where both lie at the same depth.
    polygonOffset: true,
    polygonOffsetFactor: 1,
    polygonOffsetUnits: 1,
  });
}

export function makeElementMaterials(states, modelFrame) {
  return { opaque: makeMaterial(states, modelFrame, PASS_OPAQUE), glass: makeMaterial(states, modelFrame, PASS_GLASS) };
}
