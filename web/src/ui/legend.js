// What the colours mean: each look a swatch over a checker that shows through as far as the look
// is see-through.
import { el, rgb } from './dom.js';
import { WORDS } from './names.js';

export function buildLegend(box, legend) {
  box.append(el('h2', null, WORDS.legend));
  const list = el('ul', 'bv-legend-list');
  for (const item of legend || []) {
    const row = el('li');
    const swatch = el('span', 'bv-swatch');
    const fill = el('span', 'bv-swatch-fill');
    fill.style.background = rgb(item.color, 1 - (item.transparency || 0) / 100);
    swatch.append(fill);
    row.append(swatch, el('span', null, item.label));
    list.append(row);
  }
  box.append(list);
}
