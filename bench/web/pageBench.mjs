// How fast shared pages open and play in headless Chromium (SwiftShader's WebGL on this machine's
// processors): the page's size, the time from opening its file to the first picture, slider steps
// a second (each a new date's looks worked out and handed to the graphics; the picture follows at
// the pace the graphics draw) and frames a second (each step waited for until it is drawn).
//   node pageBench.mjs PAGE.html...
// Targets: 10,000 elements loaded in at most 5 s and at least 30 steps a second; 100,000 products
// loaded in at most 30 s.
import { statSync } from 'node:fs';
import { resolve } from 'node:path';
import { launchBrowser, openPage, skipUnlessBrowser } from '../../tests/web/browser.mjs';

skipUnlessBrowser();
const pages = process.argv.slice(2);
if (!pages.length) {
  console.error('usage: node pageBench.mjs PAGE.html...');
  process.exit(2);
}

const browser = await launchBrowser();
try {
  console.log('page                                      MB   elements  load s  first picture s  steps/s  frames/s');
  for (const page of pages) {
    const file = resolve(page);
    const started = Date.now();
    const { tab } = await openPage(browser, file, { width: 1280, height: 800, requests: false });
    const loaded = (Date.now() - started) / 1000;
    const firstPicture = (await tab.evaluate(() => performance.getEntriesByName('bv-first-picture')[0].startTime)) / 1000;
    const figures = await tab.evaluate(async () => {
      const data = JSON.parse(document.getElementById('bv-data').textContent);
      const dates = [];
      for (let m = data.from; m <= data.to; m += 1440) {
        const d = new Date(m * 60000);
        dates.push(d.toISOString().slice(0, 16));
      }
      const frame = () => new Promise((r) => requestAnimationFrame(r));
      await frame();
      const rate = async (seconds, step) => {
        const t0 = performance.now();
        let n = 0;
        while (performance.now() - t0 < seconds * 1000) await step(n++);
        return n / ((performance.now() - t0) / 1000);
      };
      const steps = await rate(2, (n) => window.bauvista.setDate(dates[n % dates.length]));
      await frame();
      const frames = await rate(4, (n) => { window.bauvista.setDate(dates[n % dates.length]); return frame(); });
      return { elements: data.elements.length, steps, frames };
    });
    const mb = statSync(file).size / 1e6;
    console.log(`${page.slice(-40).padEnd(40)} ${mb.toFixed(1).padStart(5)} ${String(figures.elements).padStart(10)} ${loaded.toFixed(2).padStart(7)} ${firstPicture.toFixed(2).padStart(16)} ${figures.steps.toFixed(1).padStart(8)} ${figures.frames.toFixed(1).padStart(9)}`);
    await tab.close();
  }
} finally {
  await browser.close();
}
