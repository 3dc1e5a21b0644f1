// The 3D view: camera, orbit/pan/zoom, the standard views and drawing only when something
// changed, so a still page costs nothing.
import { Color, PerspectiveCamera, Scene, Sphere, Vector3, WebGLRenderer } from 'three';
import { OrbitControls } from 'three/addons/controls/OrbitControls.js';

// Directions the camera looks from, in model coordinates (z up).
const VIEWS = {
  top: [0, 0, 1],
  front: [0, -1, 0],
  side: [1, 0, 0],
  iso: [1, -1, 1],
};

// A software rasteriser (SwiftShader, llvmpipe) pays for every multisample; there the page draws
// without, and a graphics card keeps its smooth edges.
function drawnBySoftware() {
  const gl = document.createElement('canvas').getContext('webgl2');
  if (!gl) return false;
  const info = gl.getExtension('WEBGL_debug_renderer_info');
  const name = String(gl.getParameter(info ? info.UNMASKED_RENDERER_WEBGL : gl.RENDERER));
  gl.getExtension('WEBGL_lose_context')?.loseContext();
  return /swiftshader|llvmpipe|software/i.test(name);
}

export class Viewer {
  constructor(container) {
    this.container = container;
    this.renderer = new WebGLRenderer({ antialias: !drawnBySoftware(), preserveDrawingBuffer: true });
    this.renderer.setPixelRatio(Math.min(window.devicePixelRatio || 1, 2));
    this.renderer.setClearColor(new Color(0xeef1f4), 1);
    container.appendChild(this.renderer.domElement);
    this.scene = new Scene();
    this.camera = new PerspectiveCamera(40, 1, 0.1, 1000);
    this.controls = new OrbitControls(this.camera, this.renderer.domElement);
    this.controls.addEventListener('change', () => this.requestRender());
    this.sphere = new Sphere(new Vector3(), 1);
    this.modelFrameInverse = null;
    this.pending = false;
    new ResizeObserver(() => this.resize()).observe(container);
    this.resize();
  }

  // The matrix from model coordinates to the scene's (y up).
  setModelToScene(matrix) { this.modelToScene = matrix; }

  resize() {
    const w = Math.max(1, this.container.clientWidth);
    const h = Math.max(1, this.container.clientHeight);
    this.renderer.setSize(w, h, true);
    this.camera.aspect = w / h;
    this.camera.updateProjectionMatrix();
    this.requestRender();
  }

  requestRender() {
    if (this.pending) return;
    this.pending = true;
    requestAnimationFrame(() => { this.pending = false; this.render(); });
  }

  render() { this.renderer.render(this.scene, this.camera); }

  // Bounds in scene coordinates, which `fit` and the standard views frame.
  setBounds(box) {
    if (box.isEmpty()) return;
    box.getBoundingSphere(this.sphere);
    this.sphere.radius = Math.max(this.sphere.radius, 0.5);
  }

  showFrom(name) {
    const d = VIEWS[name] || VIEWS.iso;
    const dir = new Vector3(d[0], d[1], d[2]).normalize();
    if (this.modelToScene) dir.transformDirection(this.modelToScene);
    // The top view looks down with the model's north up the screen.
    if (name === 'top') dir.add(new Vector3(0, 0, 1e-3)).normalize();
    const distance = this.sphere.radius / Math.sin((this.camera.fov * Math.PI) / 360) * 1.05;
    this.camera.near = Math.max(distance / 1000, 0.01);
    this.camera.far = distance * 10 + this.sphere.radius * 4;
    this.camera.updateProjectionMatrix();
    this.controls.target.copy(this.sphere.center);
    this.camera.position.copy(this.sphere.center).addScaledVector(dir, distance);
    this.camera.lookAt(this.sphere.center);
    this.controls.update();
    this.requestRender();
  }

  fit() {
    const dir = this.camera.position.clone().sub(this.controls.target);
    const distance = this.sphere.radius / Math.sin((this.camera.fov * Math.PI) / 360) * 1.05;
    if (dir.lengthSq() === 0) dir.set(1, 1, 1);
    dir.normalize();
    this.controls.target.copy(this.sphere.center);
    this.camera.position.copy(this.sphere.center).addScaledVector(dir, distance);
    this.controls.update();
    this.requestRender();
  }
}
