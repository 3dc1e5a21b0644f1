// GLSL both the faces' and the outlines' shaders share: an element's two state texels looked up
// by its index, and the cut of its growth plane.

export const stateLookup = /* glsl */`
uniform highp sampler2D stateMap;
uniform int stateWidth;
uniform mat4 modelFrame;
in float _element;
flat out vec4 vColour;
flat out vec4 vParams;
out vec3 vModel;

vec4 stateTexel(int k) { return texelFetch(stateMap, ivec2(k % stateWidth, k / stateWidth), 0); }

void readState() {
  int e = int(_element + 0.5);
  vColour = stateTexel(e * 2);
  vParams = stateTexel(e * 2 + 1);
}`;

// Declares the state the vertex shader handed on, and cutGrowth(): discards what lies beyond the
// growth plane.
export const growthCut = /* glsl */`
flat in vec4 vColour;
flat in vec4 vParams;
in vec3 vModel;

void cutGrowth() {
  int axis = int(vParams.w);
  if (axis != 0) {
    int a = abs(axis) - 1;
    float c = a == 0 ? vModel.x : (a == 1 ? vModel.y : vModel.z);
    if (sign(float(axis)) * c > vParams.z) discard;
  }
}`;

export function stateUniforms(states, modelFrame) {
  return {
    stateMap: { value: states.texture },
    stateWidth: { value: states.width },
    modelFrame: { value: modelFrame },
  };
}
