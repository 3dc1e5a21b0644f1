// The facts of a clicked element and its tasks, or the dates of a clicked task.
import { el, rgb } from './dom.js';
import { formatMoment } from '../dates.js';
import { TYPE_NAMES, WORDS } from './names.js';

function table(rows) {
  const t = el('table', 'bv-facts');
  for (const [key, value] of rows) {
    const tr = el('tr');
    tr.append(el('th', null, key), el('td', null, value));
    t.append(tr);
  }
  return t;
}

const SHOWN_ELEMENTS = 100;

const dateOrDash = (m) => (m === null || m === undefined ? '–' : formatMoment(m));

function taskRows(task) {
  const rows = [
    [WORDS.type, TYPE_NAMES[task.type] || task.type],
    [WORDS.start, dateOrDash(task.start)],
    [WORDS.finish, dateOrDash(task.finish)],
  ];
  if (task.actualStart !== null && task.actualStart !== undefined) rows.push([WORDS.actualStart, dateOrDash(task.actualStart)]);
  if (task.actualFinish !== null && task.actualFinish !== undefined) rows.push([WORDS.actualFinish, dateOrDash(task.actualFinish)]);
  if (task.percent !== null && task.percent !== undefined) rows.push([WORDS.percent, `${task.percent}%`]);
  if (task.profile) rows.push([WORDS.profile, task.profile]);
  return rows;
}

export class InfoPanel {
  constructor(box, data, onTask) {
    this.box = box;
    this.data = data;
    this.onTask = onTask;
    this.clear();
  }

  clear() {
    this.box.replaceChildren(el('p', 'bv-hint', WORDS.hint));
  }

  taskHeading(index) {
    const task = this.data.tasks[index];
    const head = el('div', 'bv-task-name');
    const swatch = el('span', 'bv-swatch-small');
    swatch.style.background = rgb(task.color);
    head.append(swatch, el('span', null, task.name));
    return head;
  }

  showElement(index) {
    const e = this.data.elements[index];
    const keys = this.data.factKeys || [];
    const parts = [el('h2', null, WORDS.element), el('div', 'bv-element-id', e.id)];
    parts.push(table((e.facts || []).map(([k, v]) => [keys[k] ?? String(k), v])));
    parts.push(el('h3', null, WORDS.tasks));
    const tasks = e.tasks || [];
    if (!tasks.length) parts.push(el('p', 'bv-hint', WORDS.noTasks));
    for (const t of tasks) {
      if (!this.data.tasks[t]) continue;
      const item = el('div', 'bv-task');
      const head = this.taskHeading(t);
      head.classList.add('bv-link');
      head.addEventListener('click', () => this.onTask(t));
      item.append(head, table(taskRows(this.data.tasks[t])));
      parts.push(item);
    }
    this.box.replaceChildren(...parts);
  }

  // The task's dates and the ID texts of its elements, the first hundred of them listed.
  showTask(index) {
    const task = this.data.tasks[index];
    const linked = (task.elements || []).filter((i) => this.data.elements[i]);
    const list = el('ul', 'bv-element-list');
    for (const i of linked.slice(0, SHOWN_ELEMENTS)) list.append(el('li', null, this.data.elements[i].id));
    if (linked.length > SHOWN_ELEMENTS) list.append(el('li', 'bv-hint', `+${linked.length - SHOWN_ELEMENTS}`));
    this.box.replaceChildren(el('h2', null, WORDS.tasks), this.taskHeading(index), table(taskRows(task)),
      el('h3', null, `${linked.length} ${WORDS.elements}`), list);
  }
}
