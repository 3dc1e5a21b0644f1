// Reads the page's glTF binary into a three.js scene. Everything is in memory: no address is
// ever fetched, and meshoptimizer's decoder runs in this thread (workers would need a URL).
import { GLTFLoader } from 'three/addons/loaders/GLTFLoader.js';
import { MeshoptDecoder } from 'three/addons/libs/meshopt_decoder.module.js';
import { ElementInstancing } from './instancing.js';

export async function loadModel(bytes) {
  const loader = new GLTFLoader();
  loader.setMeshoptDecoder(MeshoptDecoder);
  loader.register((parser) => new ElementInstancing(parser));
  const buffer = bytes.buffer.slice(bytes.byteOffset, bytes.byteOffset + bytes.byteLength);
  const gltf = await loader.parseAsync(buffer, '');
  return gltf.scene;
}
