// Planned, actual or both compared, offered only where the schedule has actual data.
import { el } from './dom.js';
import { formatMoment } from '../dates.js';
import { VIEW_NAMES, WORDS } from './names.js';

export function buildViewChoice(box, views, current, statusDate, onView) {
  if (!views || views.length < 2) return { show() {} };
  if (statusDate !== null && statusDate !== undefined) box.append(el('span', 'bv-status-date', `${WORDS.statusDate}: ${formatMoment(statusDate)}`));
  const label = el('span', 'bv-views-label', `${WORDS.view}:`);
  box.append(label);
  const buttons = new Map();
  for (const name of views) {
    const b = el('button', 'bv-view', VIEW_NAMES[name] || name);
    b.type = 'button';
    b.addEventListener('click', () => onView(name));
    buttons.set(name, b);
    box.append(b);
  }
  const show = (name) => { for (const [n, b] of buttons) b.classList.toggle('bv-on', n === name); };
  show(current);
  return { show };
}
