#ifndef BAUVISTA_HOST_MODEL_GLB_H
#define BAUVISTA_HOST_MODEL_GLB_H
/* The building model's bodies as one glTF 2.0 binary file (kHostModelGetGlb), for a page that
 * draws the model outside the host.
 *
 * Every element with a body is one index i, its triangles and instances carrying i as the
 * attribute _ELEMENT; the GUIDs handle holds *count identifiers (16 bytes each) in that order.
 * Model metres, z up turned to glTF's y up by the root node; repeated bodies are instances
 * (EXT_mesh_gpu_instancing), positions 16-bit (KHR_mesh_quantization), views compressed
 * (EXT_meshopt_compression). The caller frees both handles. No flags are defined yet: pass 0. */
#include "hostapi/HostAPI.h"

#ifdef __cplusplus
extern "C" {
#endif

typedef GSErr (*HostModelGetGlbFunc)(uint32_t token, uint32_t* glbHandle, uint32_t* guidHandle, int32_t* count,
                                     int32_t flags);

#ifdef __cplusplus
}
#endif
#endif
