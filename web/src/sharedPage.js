// The page's state: the shown moment and view, what is selected and found, and every part that
// shows them. Each element's look comes from the timeline the program computed for it; the page
// only looks it up.
import { Vector3 } from 'three';
import { BoxModel } from './boxModel.js';
import { MeshDraws } from './meshDraws.js';
import { triangleCount } from './edges.js';
import { computeElementBoxes, drawnMeshes, modelBox, modelFrameOf } from './elementBoxes.js';
import { makeElementMaterials } from './elementMaterial.js';
import { ElementStates } from './elementStates.js';
import { elementLookAt } from './elementLook.js';
import { tripleAt } from './timeline.js';
import { pickElement } from './picking.js';
import { stateText } from './stateText.js';
import { Viewer } from './viewer.js';
import { Gantt } from './ui/gantt.js';
import { InfoPanel } from './ui/infoPanel.js';
import { buildLegend } from './ui/legend.js';
import { ElementSearch } from './ui/search.js';
import { TimeBar } from './ui/timeBar.js';
import { buildViewChoice } from './ui/viewChoice.js';
import { button } from './ui/dom.js';
import { WORDS } from './ui/names.js';

// Outlines are worked out on load and drawn with every frame; past this many triangles a model
// goes without them.
const OUTLINED_TRIANGLES = 400000;
// Past this many triangles the elements are drawn as boxes while the date moves, and in full once
// it has rested this long.
const BOXED_TRIANGLES = 200000;
const REST_MS = 150;
const MARK_SELECTED = 1;
const MARK_FOUND = 2;

// Whether the triple k of a timeline still applies at `t` and holds a look that stands.
function standsStill(line, k, t) {
  return line[k][2] < 0 && line[k][0] <= t && (k + 1 >= line.length || line[k + 1][0] > t);
}

export class SharedPage {
  constructor(data, parts) {
    this.data = data;
    this.parts = parts;
    this.view = data.view;
    this.minute = data.date;
    this.selected = [];
    this.found = [];
    this.viewer = new Viewer(parts.canvasBox);
    this.timeBar = new TimeBar(parts.time, data.from, data.to, (m) => this.setDate(m));
    this.gantt = new Gantt(parts.gantt, data, { onTask: (t) => this.selectTask(t), onDate: (m) => this.setDate(m) });
    this.info = new InfoPanel(parts.info, data, (t) => this.selectTask(t));
    this.search = new ElementSearch(parts.search, data, (list) => this.setFound(list));
    this.viewChoice = buildViewChoice(parts.views, data.views, this.view, data.statusDate, (v) => this.setView(v));
    buildLegend(parts.legend, data.legend);
    for (const name of ['fit', 'top', 'front', 'side', 'iso']) {
      parts.tools.append(button(WORDS[name], WORDS[name], () => (name === 'fit' ? this.viewer.fit() : this.viewer.showFrom(name))));
    }
  }

  setModel(scene) {
    const count = this.data.elements.length;
    this.modelFrame = modelFrameOf(scene);
    this.meshes = drawnMeshes(scene);
    this.boxes = computeElementBoxes(this.meshes, this.modelFrame, count);
    this.states = new ElementStates(count, this.boxes);
    const materials = makeElementMaterials(this.states, this.modelFrame);
    const triangles = this.meshes.reduce((n, m) => n + triangleCount(m.geometry) * (m.isInstancedMesh ? m.count : 1), 0);
    const outlined = triangles <= OUTLINED_TRIANGLES;
    this.draws = this.meshes.map((mesh) => new MeshDraws(mesh, count));
    for (const draws of this.draws) {
      draws.mesh.material = materials.opaque;
      draws.addGlass(materials.glass);
      if (outlined) draws.addOutline(this.states, this.modelFrame);
    }
    this.viewer.scene.add(scene);
    this.model = scene;
    if (triangles > BOXED_TRIANGLES) {
      this.boxModel = new BoxModel(this.states, this.modelFrame);
      this.viewer.scene.add(this.boxModel.group);
      // Compiled now, the boxes' first picture does not keep the slider waiting.
      this.boxModel.group.visible = true;
      this.viewer.renderer.compile(this.viewer.scene, this.viewer.camera);
      this.boxModel.group.visible = false;
    }
    const toScene = this.modelFrame.clone().invert();
    this.viewer.setModelToScene(toScene);
    this.viewer.setBounds(modelBox(this.boxes).applyMatrix4(toScene));
    this.viewer.showFrom('iso');
    this.listenForClicks();
    this.applyLooks();
  }

  listenForClicks() {
    const canvas = this.viewer.renderer.domElement;
    let down = null;
    canvas.addEventListener('pointerdown', (ev) => { down = [ev.clientX, ev.clientY]; });
    canvas.addEventListener('pointerup', (ev) => {
      if (!down || Math.hypot(ev.clientX - down[0], ev.clientY - down[1]) > 4) return;
      const e = pickElement(this.viewer, this.meshes, this.states, this.modelFrame, ev.clientX, ev.clientY);
      if (e >= 0) this.selectElement(e);
      else this.clearSelection();
    });
  }

  setDate(minute) {
    this.minute = minute;
    this.move();
    this.applyLooks();
  }

  setView(name) {
    this.view = name;
    this.viewChoice.show(name);
    this.move();
    this.applyLooks();
  }

  // Shows the boxes in the model's place until the date rests: a frame came with no new step, and
  // none came for a while. Frames, not a clock, so a slow picture never passes for a pause.
  move() {
    if (!this.boxModel) return;
    this.lastStep = performance.now();
    this.stepped = true;
    this.boxModel.group.visible = true;
    this.model.visible = false;
    if (this.watching) return;
    this.watching = true;
    const watch = () => {
      if (this.stepped || performance.now() - this.lastStep < REST_MS) {
        this.stepped = false;
        requestAnimationFrame(watch);
        return;
      }
      this.watching = false;
      this.boxModel.group.visible = false;
      this.model.visible = true;
      this.viewer.requestRender();
    };
    requestAnimationFrame(watch);
  }

  lookOf(i) {
    return elementLookAt(this.data, this.data.timelines[this.view][i], this.data.elements[i], this.minute);
  }

  applyLooks() {
    this.timeBar.show(this.minute);
    this.gantt.setDate(this.minute);
    if (!this.states) return;
    const lines = this.data.timelines[this.view];
    if (this.stepsOf !== this.view) {
      this.steps = new Int32Array(this.data.elements.length).fill(-1);
      this.stepsOf = this.view;
    }
    for (let i = 0; i < lines.length; i++) {
      // A look that stood and stands still needs no writing again.
      if (this.steps[i] >= 0 && standsStill(lines[i], this.steps[i], this.minute)) continue;
      this.states.setLook(i, this.lookOf(i));
      this.steps[i] = Array.isArray(lines[i]) && lines[i].length ? tripleAt(lines[i], this.minute) : -1;
    }
    this.states.commit();
    for (const draws of this.draws) draws.update(this.states);
    if (this.boxModel?.group.visible) this.boxModel.update(this.states, this.viewer.camera, this.viewer.renderer.domElement.height);
    this.viewer.requestRender();
  }

  mark(list, value) {
    if (!this.states) return;
    for (const i of list) this.states.setHighlight(i, value);
  }

  remark() {
    this.mark(this.found, MARK_FOUND);
    this.mark(this.selected, MARK_SELECTED);
    if (this.states) this.states.commit();
    this.viewer.requestRender();
  }

  clearSelection() {
    this.mark(this.selected, 0);
    this.selected = [];
    this.gantt.select(-1);
    this.info.clear();
    this.remark();
  }

  selectElement(i) {
    this.mark(this.selected, 0);
    this.selected = [i];
    this.gantt.select(-1);
    this.info.showElement(i);
    this.remark();
  }

  selectTask(t) {
    this.mark(this.selected, 0);
    this.selected = (this.data.tasks[t].elements || []).filter((i) => i >= 0 && i < this.data.elements.length);
    this.gantt.select(t);
    this.info.showTask(t);
    this.remark();
  }

  setFound(list) {
    this.mark(this.found, 0);
    this.found = list;
    this.remark();
  }

  stateTexts() {
    const out = {};
    for (let i = 0; i < this.data.elements.length; i++) out[this.data.elements[i].id] = stateText(this.lookOf(i));
    return out;
  }

  whereIs(id, share) {
    const i = this.data.elements.findIndex((e) => e.id === id);
    if (i < 0 || !this.boxes) return null;
    const b = this.boxes.subarray(i * 6, i * 6 + 6);
    const point = new Vector3(b[0] + (b[3] - b[0]) * share[0], b[1] + (b[4] - b[1]) * share[1], b[2] + (b[5] - b[2]) * share[2]);
    point.applyMatrix4(this.viewer.modelToScene).project(this.viewer.camera);
    const rect = this.viewer.renderer.domElement.getBoundingClientRect();
    return { x: rect.left + ((point.x + 1) / 2) * rect.width, y: rect.top + ((1 - point.y) / 2) * rect.height };
  }

  renderNow() { if (this.states) this.viewer.render(); }
}
