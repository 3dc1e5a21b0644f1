// The page's parts: a head with the project, the view choice and the date written; the model with
// its view buttons beside the panel of search, facts and legend; the time bar and the Gantt below.
import { el } from './dom.js';

export function buildLayout(root) {
  const head = el('header', 'bv-head');
  const title = el('h1', 'bv-title');
  const views = el('div', 'bv-views');
  const written = el('div', 'bv-written');
  head.append(title, views, written);

  const main = el('div', 'bv-main');
  const stage = el('div', 'bv-stage');
  const canvasBox = el('div', 'bv-canvas');
  const tools = el('div', 'bv-tools');
  const status = el('div', 'bv-status');
  stage.append(canvasBox, tools, status);
  const side = el('aside', 'bv-side');
  const search = el('section', 'bv-search');
  const info = el('section', 'bv-info');
  const legend = el('section', 'bv-legend');
  side.append(search, info, legend);
  main.append(stage, side);

  const time = el('div', 'bv-time');
  const gantt = el('div', 'bv-gantt');
  root.append(head, main, time, gantt);
  return { title, views, written, canvasBox, tools, status, search, info, legend, time, gantt };
}
