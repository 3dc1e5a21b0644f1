// The page's viewer: reads the model and the schedule the program wrote into the page and plays
// the job.
import { decodeBase64 } from './base64.js';
import { readAddress } from './address.js';
import { parseDateText } from './dates.js';
import { loadModel } from './loadModel.js';
import { readPageData } from './pageData.js';
import { SharedPage } from './sharedPage.js';
import { installTestHook } from './testHook.js';
import { buildLayout } from './ui/layout.js';
import { WORDS } from './ui/names.js';

function followAddress(page) {
  const { date, view } = readAddress(location.hash);
  if (view && page.data.views.includes(view)) page.setView(view);
  const minute = date ? parseDateText(date) : null;
  if (minute !== null) page.setDate(minute);
}

function start() {
  const parts = buildLayout(document.body);
  let data;
  try {
    data = readPageData(document.getElementById('bv-data').textContent);
  } catch (error) {
    parts.status.textContent = `${WORDS.failed}: ${error.message}`;
    const failed = Promise.reject(error);
    failed.catch(() => {});
    window.bauvista = { ready: failed };
    return;
  }
  parts.title.textContent = data.title || WORDS.schedule;
  parts.written.textContent = data.written ? `${WORDS.written}: ${String(data.written).replace('T', ' ')}` : '';
  const page = new SharedPage(data, parts);
  const ready = (async () => {
    parts.status.textContent = WORDS.loading;
    followAddress(page);
    const scene = await loadModel(decodeBase64(document.getElementById('bv-glb').textContent));
    page.setModel(scene);
    page.renderNow();
    await new Promise((resolve) => requestAnimationFrame(resolve));
    performance.mark('bv-first-picture');
    parts.status.textContent = '';
  })();
  ready.catch((error) => { parts.status.textContent = `${WORDS.failed}: ${error.message}`; });
  installTestHook(page, ready);
  window.addEventListener('hashchange', () => followAddress(page));
}

start();
