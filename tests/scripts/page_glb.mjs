// Loads the geometry of a shared page with three.js's own glTF loader and meshopt decoder, as the
// page does, without a browser: node tests/scripts/page_glb.mjs WEB_DIR PAGE.html
// Prints "meshes M instanced I elements E of N" and exits 0 when every element of the page data
// with a body is drawn by some triangle or instance, 1 otherwise.
import { readFileSync } from 'node:fs';
import { pathToFileURL } from 'node:url';
import path from 'node:path';

const [webDir, pagePath] = process.argv.slice(2);
const three = (p) => import(pathToFileURL(path.join(webDir, 'node_modules/three', p)).href);
const { GLTFLoader } = await three('examples/jsm/loaders/GLTFLoader.js');
const { MeshoptDecoder } = await three('examples/jsm/libs/meshopt_decoder.module.js');

const html = readFileSync(pagePath, 'utf8');
const section = (id) => {
  const start = html.indexOf(`<script id="${id}"`);
  const open = html.indexOf('>', start) + 1;
  return html.slice(open, html.indexOf('</script>', open));
};
const data = JSON.parse(section('bv-data'));
const glb = Buffer.from(section('bv-glb'), 'base64');

const loader = new GLTFLoader();
loader.setMeshoptDecoder(MeshoptDecoder);
const buffer = glb.buffer.slice(glb.byteOffset, glb.byteOffset + glb.byteLength);
const gltf = await new Promise((resolve, reject) => loader.parse(buffer, '', resolve, reject));

const drawn = new Set();
let meshes = 0, instanced = 0;
gltf.scene.traverse((o) => {
  if (!o.isMesh) return;
  meshes++;
  const attributes = o.geometry.attributes;
  const element = o.isInstancedMesh ? attributes._ELEMENT : attributes._element;
  if (!element) throw new Error('a mesh without _ELEMENT');
  if (o.isInstancedMesh) instanced++;
  for (let i = 0; i < element.count; i++) drawn.add(element.getX(i));
});
const n = data.elements.length;
console.log(`meshes ${meshes} instanced ${instanced} elements ${drawn.size} of ${n}`);
process.exit(drawn.size === n && [...drawn].every((e) => Number.isInteger(e) && e >= 0 && e < n) ? 0 : 1);
