// The page's viewer on a small page made here: the states its test hook gives at dates and views,
// the address it opens at, what its pixels show, clicks, the search, hostile names shown as text
// and no request beyond the page itself.
//   node samplePageTest.mjs FRAME.html WORKDIR
import { mkdirSync, readFileSync, writeFileSync } from 'node:fs';
import { join } from 'node:path';
import { launchBrowser, openPage, skipUnlessBrowser } from './browser.mjs';
import { assert, pixelAt, runCases, test } from './check.mjs';
import { HOSTILE, samplePage } from './samplePage.mjs';

skipUnlessBrowser();
const [frameFile, workDir] = process.argv.slice(2);
mkdirSync(workDir, { recursive: true });
const pageFile = join(workDir, 'sample.html');
writeFileSync(pageFile, samplePage(readFileSync(frameFile, 'utf8')));

const E3 = `E3${HOSTILE}`;
const states = (tab) => tab.evaluate(() => window.bauvista.states());
const at = async (tab, date) => { await tab.evaluate((d) => window.bauvista.setDate(d), date); return states(tab); };
const hidden = 'hidden';

const browser = await launchBrowser();
let ok = false;
try {
  const { tab, log, url } = await openPage(browser, pageFile, { hash: '#date=2026-04-08T00:00&view=actual' });

  test('the address gives the date and view the page opens at', async () => {
    assert.equal((await states(tab)).E2, 'colour #00e600 grown 0.25');
    assert.deepEqual(await tab.$$eval('.bv-view.bv-on', (b) => b.map((x) => x.textContent)), ['Tény']);
  });

  test('planned states: work, ghosts, growth, fades, colours, hidden', async () => {
    await tab.evaluate(() => window.bauvista.setView('planned'));
    assert.deepEqual(await at(tab, '2026-04-04'), { E1: 'work', E2: 'ghost #c8c8c8 80', [E3]: hidden, E4: hidden, E5: hidden, E6: hidden });
    assert.deepEqual(await at(tab, '2026-04-08T00:00'),
      { E1: 'model', E2: 'colour #00e600 grown 0.50', [E3]: hidden, E4: hidden, E5: hidden, E6: hidden });
    assert.deepEqual(await at(tab, '2026-04-12T00:00'),
      { E1: 'model', E2: 'model', [E3]: 'ghost #0000ff 30', E4: hidden, E5: hidden, E6: hidden });
    assert.deepEqual(await at(tab, '2026-04-23T12:00'),
      { E1: 'model', E2: 'model', [E3]: 'model', E4: 'model', E5: 'model', E6: 'colour #cc0000' });
    assert.equal((await at(tab, '2026-04-26')).E6, hidden);
  });

  test('exact halves round to even in the growth and away from zero in a fade, as the program does', async () => {
    assert.equal((await at(tab, '2026-04-06T12:00')).E2, 'colour #00e600 grown 0.12');
    assert.equal((await at(tab, '2026-04-07T12:00')).E2, 'colour #00e600 grown 0.38');
    assert.equal((await at(tab, '2026-04-10T12:00'))[E3], 'ghost #0000ff 53');
  });

  test('the actual and compare views read their own timelines', async () => {
    await tab.evaluate(() => window.bauvista.setView('actual'));
    assert.equal((await at(tab, '2026-04-09T00:00')).E2, 'colour #00e600 grown 0.50');
    await tab.evaluate(() => window.bauvista.setView('compare'));
    assert.deepEqual(await at(tab, '2026-04-04'), { E1: 'colour #cc0000', E2: 'ghost #c8c8c8 80', [E3]: hidden, E4: hidden, E5: hidden, E6: hidden });
    await tab.evaluate(() => window.bauvista.setView('planned'));
  });

  test('the picture shows the looks: colours, instances, growth cut, hidden parts', async () => {
    await at(tab, '2026-04-23T12:00');
    const red = await pixelAt(tab, await tab.evaluate(() => window.bauvista.where('E6')));
    assert.ok(red[0] > 60 && red[1] < 30 && red[2] < 30, `E6 red, got ${red}`);
    await at(tab, '2026-04-08T00:00');
    const low = await pixelAt(tab, await tab.evaluate(() => window.bauvista.where('E2', [0.5, 0, 0.2])));
    const high = await pixelAt(tab, await tab.evaluate(() => window.bauvista.where('E2', [0.5, 0, 0.85])));
    assert.ok(low[1] > 80 && low[0] < 30 && low[2] < 30, `E2 grown part green, got ${low}`);
    assert.ok(!(high[1] > high[0] + 40), `above the growth plane what stands behind, got ${high}`);
    const gone = await pixelAt(tab, await tab.evaluate(() => window.bauvista.where('E4', [0.5, 0, 0.5])));
    assert.deepEqual(gone, [0xee, 0xf1, 0xf4], 'a hidden element leaves the background');
    await at(tab, '2026-04-04');
    const ghost = await pixelAt(tab, await tab.evaluate(() => window.bauvista.where('E2', [0.5, 0.5, 1])));
    assert.ok(Math.abs(ghost[0] - ghost[1]) < 12 && ghost[0] > 150 && ghost[0] < 0xee, `E2 a grey ghost, got ${ghost}`);
  });

  test('a click on an element shows its facts and tasks as text', async () => {
    await at(tab, '2026-04-16');
    const p = await tab.evaluate((id) => window.bauvista.where(id, [0.5, 0, 0.5]), E3);
    await tab.mouse.click(p.x, p.y);
    assert.equal(await tab.$eval('.bv-element-id', (e) => e.textContent), E3);
    const info = await tab.$eval('.bv-info', (e) => e.textContent);
    assert.ok(info.includes('IfcWall') && info.includes(HOSTILE), info);
  });

  test('a click on a Gantt bar selects its task and marks its elements', async () => {
    const box = await tab.$eval('.bv-gantt-canvas', (c) => { const r = c.getBoundingClientRect(); return { x: r.left, y: r.top }; });
    const p = await tab.evaluate(() => window.bauvista.where('E4', [0.5, 0, 0.5]));
    const before = await pixelAt(tab, p);
    await tab.mouse.click(box.x + 120, box.y + 22 + 3 * 20 + 10);
    assert.equal(await tab.$eval('.bv-task-name', (e) => e.textContent), 'Födém');
    assert.deepEqual(await tab.$$eval('.bv-element-list li', (l) => l.map((e) => e.textContent)), ['E4']);
    assert.notDeepEqual(await pixelAt(tab, p), before, 'the task\'s element is marked');
  });

  test('the search counts and marks the elements whose facts hold the words', async () => {
    await tab.type('.bv-search-input', 'IFCWALL onerror');
    await tab.waitForFunction(() => document.querySelector('.bv-search-count').textContent !== '');
    assert.equal(await tab.$eval('.bv-search-count', (e) => e.textContent), '1 találat');
  });

  test('play moves the date on at the chosen speed until stopped', async () => {
    await at(tab, '2026-04-01');
    await tab.select('.bv-speed', '7');
    await tab.click('.bv-play');
    await tab.waitForFunction(() => document.querySelector('.bv-date-code').textContent >= '2026-04-03', { timeout: 20000 });
    await tab.click('.bv-play');
    const stopped = await tab.$eval('.bv-date-code', (e) => e.textContent);
    await new Promise((r) => setTimeout(r, 300));
    assert.equal(await tab.$eval('.bv-date-code', (e) => e.textContent), stopped);
    assert.equal(await tab.$eval('.bv-play', (e) => e.textContent), 'Lejátszás');
  });

  test('hostile names stay text: no element made of them, no dialog, no error', async () => {
    assert.equal(await tab.title(), `Minta <b>ház</b> & ${HOSTILE}`);
    assert.equal(await tab.$eval('.bv-title', (e) => e.textContent), `Minta <b>ház</b> & ${HOSTILE}`);
    assert.equal(await tab.$$eval('img, b', (l) => l.length), 0);
    assert.deepEqual(log.dialogs, []);
    assert.deepEqual(log.errors, []);
  });

  test('the page asks for nothing but itself', async () => {
    assert.deepEqual(log.requests, [url.split('#')[0]]);
  });

  ok = await runCases();
} finally {
  await browser.close();
}
process.exit(ok ? 0 : 1);
