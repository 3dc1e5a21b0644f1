// The outlines' material: each element's edges in a dark shade of its colour, faded where the
// element is see-through, gone where it is not drawn, cut by its growth plane like its faces.
import { GLSL3, ShaderMaterial } from 'three';

const vertexShader = /* glsl */`
uniform highp sampler2D stateMap;
uniform int stateWidth;
uniform mat4 modelFrame;
in float _element;
#ifdef EDGE_INSTANCES
in mat4 edgeInstance;
#endif
flat out vec4 vColour;
flat out vec4 vParams;
out vec3 vModel;

vec4 stateTexel(int k) { return texelFetch(stateMap, ivec2(k % stateWidth, k / stateWidth), 0); }

void main() {
  int e = int(_element + 0.5);
  vColour = stateTexel(e * 2);
  vParams = stateTexel(e * 2 + 1);
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
flat in vec4 vColour;
flat in vec4 vParams;
in vec3 vModel;
out vec4 fragColour;

void main() {
  int axis = int(vParams.w);
  if (axis != 0) {
    int a = abs(axis) - 1;
    float c = a == 0 ? vModel.x : (a == 1 ? vModel.y : vModel.z);
    if (sign(float(axis)) * c > vParams.z) discard;
  }
  bool glass = vParams.x > 1.5;
  fragColour = vec4(vColour.rgb * 0.35, glass ? 0.25 + 0.35 * vColour.a : 0.85);
}`;

export function makeEdgeMaterial(states, modelFrame, instanced) {
  return new ShaderMaterial({
    glslVersion: GLSL3,
    vertexShader,
    fragmentShader,
    defines: instanced ? { EDGE_INSTANCES: '' } : {},
    uniforms: {
      stateMap: { value: states.texture },
      stateWidth: { value: states.width },
      modelFrame: { value: modelFrame },
    },
    transparent: true,
    depthWrite: false,
  });
}
