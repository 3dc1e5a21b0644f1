// window.bauvista: what a test drives and reads the page by.
import { parseDateText } from './dates.js';

export function installTestHook(page, ready) {
  window.bauvista = {
    ready,
    setDate(text) {
      const minute = parseDateText(text);
      if (minute === null) throw new Error(`not a date: ${text}`);
      page.setDate(minute);
      page.renderNow();
    },
    setView(name) {
      if (!page.data.views.includes(name)) throw new Error(`no view ${name}`);
      page.setView(name);
      page.renderNow();
    },
    states() { return page.stateTexts(); },
  };
}
