// The Gantt: one row a task in outline order, its name indented by its level, its planned bar in
// its look's colour, the actual one as a thin dark bar under it, a summary as a bracket, and the
// shown date as a red line, the status date as a dashed blue one. Drawn on a canvas, only the rows in sight, so thousands of tasks
// scroll freely. A click on a row selects its task; a click in the scale sets the date.
import { MINUTES_PER_DAY, monthLabel, monthStart, nextMonth } from '../dates.js';
import { rgb } from './dom.js';

const ROW = 20;
const SCALE = 22;
const NAMES = 240;
const INDENT = 12;

export class Gantt {
  constructor(box, data, { onTask, onDate }) {
    this.box = box;
    this.tasks = data.tasks || [];
    this.from = Math.floor(data.from / MINUTES_PER_DAY) * MINUTES_PER_DAY;
    this.to = Math.max(Math.ceil(data.to / MINUTES_PER_DAY) * MINUTES_PER_DAY, this.from + MINUTES_PER_DAY);
    this.onTask = onTask;
    this.onDate = onDate;
    this.minute = this.from;
    this.statusDate = data.statusDate ?? null;
    this.selected = -1;
    this.scroll = 0;
    this.summary = this.tasks.map((t, i) => i + 1 < this.tasks.length && this.tasks[i + 1].level > t.level);
    this.canvas = document.createElement('canvas');
    this.canvas.className = 'bv-gantt-canvas';
    box.append(this.canvas);
    this.canvas.addEventListener('wheel', (ev) => {
      ev.preventDefault();
      this.scrollTo(this.scroll + Math.sign(ev.deltaY) * ROW * 3);
    }, { passive: false });
    this.canvas.addEventListener('click', (ev) => this.click(ev));
    new ResizeObserver(() => this.draw()).observe(box);
  }

  xOf(minute, width) {
    return NAMES + ((minute - this.from) / (this.to - this.from)) * (width - NAMES - 8);
  }

  scrollTo(y) {
    const visible = this.canvas.clientHeight - SCALE;
    this.scroll = Math.max(0, Math.min(y, this.tasks.length * ROW - visible));
    this.draw();
  }

  click(ev) {
    const rect = this.canvas.getBoundingClientRect();
    const x = ev.clientX - rect.left;
    const y = ev.clientY - rect.top;
    if (y < SCALE) {
      if (x > NAMES) {
        const share = (x - NAMES) / (rect.width - NAMES - 8);
        const day = Math.round((this.from + share * (this.to - this.from)) / MINUTES_PER_DAY);
        this.onDate(Math.min(Math.max(day * MINUTES_PER_DAY, this.from), this.to));
      }
      return;
    }
    const row = Math.floor((y - SCALE + this.scroll) / ROW);
    if (row >= 0 && row < this.tasks.length) this.onTask(row);
  }

  setDate(minute) { this.minute = minute; this.draw(); }

  select(index) {
    this.selected = index;
    if (index >= 0) {
      const top = index * ROW;
      const visible = this.canvas.clientHeight - SCALE;
      if (top < this.scroll || top + ROW > this.scroll + visible) this.scrollTo(top - visible / 2);
    }
    this.draw();
  }

  draw() {
    const ratio = window.devicePixelRatio || 1;
    const width = this.box.clientWidth;
    const height = this.box.clientHeight;
    if (!width || !height) return;
    if (this.canvas.width !== Math.round(width * ratio) || this.canvas.height !== Math.round(height * ratio)) {
      this.canvas.width = Math.round(width * ratio);
      this.canvas.height = Math.round(height * ratio);
      this.canvas.style.width = `${width}px`;
      this.canvas.style.height = `${height}px`;
    }
    const g = this.canvas.getContext('2d');
    g.setTransform(ratio, 0, 0, ratio, 0, 0);
    g.fillStyle = '#ffffff';
    g.fillRect(0, 0, width, height);
    g.font = '12px system-ui, sans-serif';
    g.textBaseline = 'middle';

    const first = Math.floor(this.scroll / ROW);
    const last = Math.min(this.tasks.length, Math.ceil((this.scroll + height - SCALE) / ROW));
    g.save();
    g.beginPath();
    g.rect(0, SCALE, width, height - SCALE);
    g.clip();
    for (let i = first; i < last; i++) this.drawRow(g, i, SCALE + i * ROW - this.scroll, width);
    g.restore();
    this.drawScale(g, width, height);
  }

  drawRow(g, i, y, width) {
    const t = this.tasks[i];
    if (i === this.selected) {
      g.fillStyle = '#ffe8c7';
      g.fillRect(0, y, width, ROW);
    } else if (i % 2) {
      g.fillStyle = '#f6f7f9';
      g.fillRect(0, y, width, ROW);
    }
    g.save();
    g.beginPath();
    g.rect(0, y, NAMES - 6, ROW);
    g.clip();
    g.fillStyle = '#1d2733';
    g.font = this.summary[i] ? 'bold 12px system-ui, sans-serif' : '12px system-ui, sans-serif';
    g.fillText(t.name, 6 + Math.max(0, (t.level || 1) - 1) * INDENT, y + ROW / 2);
    g.restore();
    if (t.start === null || t.finish === null || t.start === undefined || t.finish === undefined) return;
    const x0 = this.xOf(t.start, width);
    const x1 = Math.max(this.xOf(t.finish, width), x0 + 2);
    if (this.summary[i]) {
      g.fillStyle = '#1d2733';
      g.fillRect(x0, y + 6, x1 - x0, 4);
      g.fillRect(x0, y + 6, 3, 8);
      g.fillRect(x1 - 3, y + 6, 3, 8);
      return;
    }
    const hasActual = t.actualStart !== null && t.actualStart !== undefined;
    g.fillStyle = rgb(t.color);
    g.fillRect(x0, y + 4, x1 - x0, hasActual ? 8 : 12);
    g.strokeStyle = 'rgba(0, 0, 0, 0.35)';
    g.strokeRect(x0 + 0.5, y + 4.5, x1 - x0 - 1, hasActual ? 7 : 11);
    if (hasActual) {
      // Work begun and not finished is known up to the status date.
      const end = t.actualFinish ?? Math.max(Math.min(this.statusDate ?? this.minute, this.to), t.actualStart);
      const a0 = this.xOf(t.actualStart, width);
      const a1 = Math.max(this.xOf(end, width), a0 + 2);
      g.fillStyle = '#2b2f36';
      g.fillRect(a0, y + 14, a1 - a0, 3);
    }
  }

  drawScale(g, width, height) {
    g.fillStyle = '#e4e8ee';
    g.fillRect(0, 0, width, SCALE);
    g.fillStyle = '#1d2733';
    g.font = '11px system-ui, sans-serif';
    const pixelsPerMonth = ((30 * MINUTES_PER_DAY) / (this.to - this.from)) * (width - NAMES - 8);
    const every = pixelsPerMonth > 60 ? 1 : pixelsPerMonth > 30 ? 3 : 12;
    let m = monthStart(this.from);
    let n = 0;
    while (m < this.to) {
      const x = this.xOf(Math.max(m, this.from), width);
      if (n % every === 0) {
        g.fillStyle = '#c5ccd6';
        g.fillRect(x, 0, 1, height);
        g.fillStyle = '#1d2733';
        g.fillText(monthLabel(m), x + 3, SCALE / 2);
      }
      m = nextMonth(m);
      n++;
    }
    g.fillStyle = '#e4e8ee';
    g.fillRect(0, 0, NAMES, SCALE);
    g.fillStyle = '#c5ccd6';
    g.fillRect(NAMES - 1, 0, 1, height);
    if (this.statusDate !== null && this.statusDate >= this.from && this.statusDate <= this.to) {
      const xs = Math.round(this.xOf(this.statusDate, width)) + 0.5;
      g.strokeStyle = '#1f5fbf';
      g.setLineDash([4, 3]);
      g.beginPath();
      g.moveTo(xs, 0);
      g.lineTo(xs, height);
      g.stroke();
      g.setLineDash([]);
    }
    const x = this.xOf(Math.min(Math.max(this.minute, this.from), this.to), width);
    g.fillStyle = '#d11a1a';
    g.fillRect(x - 1, 0, 2, height);
  }
}
