// What an element shows at a moment: the look its timeline gives, its fade and growth run on to
// that moment, and its own colour where the look is its own.
import { lookAt } from './timeline.js';

const HIDDEN = Object.freeze({ show: 'hidden', color: [0, 0, 0], transparency: 0, grow: 'none', drawn: 1 });

export function elementLookAt(data, timeline, element, t) {
  const { look, next, share } = lookAt(timeline, t);
  const a = data.looks[look];
  if (!a || a.show === 'hidden') return HIDDEN;
  let transparency = a.transparency ?? 0;
  let drawn = a.drawn ?? 1;
  const b = next >= 0 ? data.looks[next] : null;
  if (b) {
    const tb = b.transparency ?? 0;
    const db = b.drawn ?? 1;
    transparency = transparency + (tb - transparency) * share;
    drawn = drawn + (db - drawn) * share;
  }
  // A fade's looks hold the percent before rounding; shown, it is rounded as the program rounds it.
  transparency = Math.round(transparency);
  if (a.show === 'model') {
    return { show: 'model', color: element.color || [200, 200, 200], transparency: element.transparency || 0,
      grow: a.grow || 'none', drawn };
  }
  return { show: a.show, color: a.color || [200, 200, 200], transparency, grow: a.grow || 'none', drawn };
}
