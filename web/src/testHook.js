// window.bauvista: what a test drives and reads the page by.
import { parseDateText } from './dates.js';

export function installTestHook(page, ready) {
  window.bauvista = {
    ready,
    setDate(text) {
      const minute = parseDateText(text);
      if (minute === null) throw new Error(`not a date: ${text}`);
      page.setDate(minute);
    },
    setView(name) {
      if (!page.data.views.includes(name)) throw new Error(`no view ${name}`);
      page.setView(name);
    },
    states() { return page.stateTexts(); },
    // Where a point of an element's box lies in the window (shares 0-1 of its model x, y, z).
    where(id, share = [0.5, 0.5, 0.5]) { return page.whereIs(id, share); },
  };
}
