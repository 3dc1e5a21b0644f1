// Pages the program writes, in a real browser: the example house (its demo links, profiles that
// ghost, fade, grow and stagger, progress that gives the actual and compare views, a task named
// like markup) and the IFC house linked by rules. At every date and view the page's states equal
// what `print states` says the program shows; the address opens a date and view; nothing is
// requested but the page; the hostile name stays text; pictures at three dates are kept.
//   node realPagesTest.mjs QUORVEL WORKDIR
import { execFileSync } from 'node:child_process';
import { mkdirSync, readFileSync, writeFileSync } from 'node:fs';
import { join } from 'node:path';
import { launchBrowser, openPage, skipUnlessBrowser, sourceRoot } from './browser.mjs';
import { assert, runCases, test } from './check.mjs';

skipUnlessBrowser();
const [quorvel, workDir] = process.argv.slice(2);
mkdirSync(workDir, { recursive: true });
const HOSTILE = '<img src=x onerror=alert(1)>';
const VIEWS = ['planned', 'actual', 'compare'];

// Runs a script in quorvel and gives its transcript; the schedule is not saved at the end.
function runScript(name, lines, options) {
  const file = join(workDir, `${name}.qvs`);
  writeFileSync(file, `${[...lines, 'answer 2'].join('\n')}\n`);
  return execFileSync(quorvel, [...options, '--prefs', join(workDir, 'prefs'), '--now', '2009-03-01', file],
    { encoding: 'utf8', maxBuffer: 64 << 20 });
}

const STATE = /^state (.+) (hidden|model|work|colour #[0-9a-f]{6}|ghost #[0-9a-f]{6} \d+)( grown \d+\.\d\d)?$/;

// Each run of `state` lines in a transcript, as {ID: TEXT}.
function stateBlocks(transcript) {
  const blocks = [];
  let current = null;
  for (const line of transcript.split('\n')) {
    const m = STATE.exec(line);
    if (!m) { current = null; continue; }
    if (!current) blocks.push((current = {}));
    current[m[1]] = m[2] + (m[3] || '');
  }
  return blocks;
}

// The lines that show each date in each view and print what the elements show.
function showings(views, dates) {
  const lines = [];
  for (const view of views) {
    lines.push(`schedule view ${view}`);
    for (const date of dates) lines.push(`palette date ${date}`, 'palette click 9', 'print states');
  }
  return lines;
}

function housePage() {
  const demo = readFileSync(join(sourceRoot, 'examples/demo/demo.qvs'), 'utf8').split('\n');
  const linked = demo.slice(0, demo.findIndex((l) => l.startsWith('# The schedule as a project file')))
    .map((l) => l.replaceAll('@SOURCE@', sourceRoot));
  const dates = ['2009-03-04', '2009-03-20', '2009-04-01', '2009-04-20', '2009-05-10', '2009-06-20'];
  const page = join(workDir, 'house.html');
  const transcript = runScript('house', [
    ...linked,
    `choose "${join(sourceRoot, 'tests/web/data/profiles.json')}"`, 'menu 15',
    'palette dblclick 2', `palette name "${HOSTILE}"`, 'palette focus 10',
    'schedule status-date 2009-03-20',
    'palette select 1', 'palette click 27', 'palette select 3', 'palette click 27', 'palette select 6', 'palette click 27',
    'palette date 2009-03-20', 'palette click 9',
    `choose "${page}"`, 'menu 17',
    ...showings(VIEWS, dates),
  ], ['--model', join(sourceRoot, 'examples/house/house.qvp')]);
  return { page, dates, views: VIEWS, blocks: stateBlocks(transcript) };
}

function ifcPage() {
  const data = join(sourceRoot, 'tests/scripts/data');
  const dates = ['2009-03-04', '2009-03-13', '2009-03-27', '2009-04-10'];
  const page = join(workDir, 'ifc-house.html');
  const transcript = runScript('ifc-house', [
    `open "${join(sourceRoot, 'tests/data/ifc/IfcOpenHouse.ifc')}"`,
    'menu 1', `choose "${join(data, 'ifc_house_schedule.txt')}" 1`, 'menu 3',
    `choose "${join(data, 'ifc_house_rules.json')}"`, 'menu 7',
    `choose "${join(sourceRoot, 'tests/web/data/profiles.json')}"`, 'menu 15',
    `choose "${page}"`, 'menu 17',
    ...showings(['planned'], dates),
  ], []);
  return { page, dates, views: ['planned'], blocks: stateBlocks(transcript) };
}

const cases = { house: housePage(), 'IFC house': ifcPage() };
const browser = await launchBrowser();
let ok = false;
try {
  for (const [name, c] of Object.entries(cases)) {
    const { tab, log, url } = await openPage(browser, c.page);

    test(`${name}: the states at every date and view are the program's`, async () => {
      assert.equal(c.blocks.length, c.views.length * c.dates.length, 'a block of states a date');
      let k = 0;
      for (const view of c.views) {
        await tab.evaluate((v) => window.bauvista.setView(v), view);
        for (const date of c.dates) {
          const states = await tab.evaluate((d) => { window.bauvista.setDate(d); return window.bauvista.states(); }, date);
          assert.deepEqual(states, c.blocks[k++], `${view} ${date}`);
        }
      }
    });

    test(`${name}: the address opens the page at its date and view`, async () => {
      const last = c.views.length - 1;
      const opened = await openPage(browser, c.page, { hash: `#date=${c.dates[1]}&view=${c.views[last]}` });
      assert.deepEqual(await opened.tab.evaluate(() => window.bauvista.states()), c.blocks[last * c.dates.length + 1]);
      await opened.tab.close();
    });

    test(`${name}: no request but the page, no dialog, no error`, async () => {
      assert.deepEqual(log.requests, [url]);
      assert.deepEqual(log.dialogs, []);
      assert.deepEqual(log.errors, []);
    });

    if (name === 'house') {
      test('house: a task named like markup shows its characters and makes no element', async () => {
        await tab.evaluate(() => window.bauvista.setView('planned'));
        const box = await tab.$eval('.bv-gantt-canvas', (e) => { const r = e.getBoundingClientRect(); return { x: r.left, y: r.top }; });
        await tab.mouse.click(box.x + 100, box.y + 22 + 20 + 10);
        assert.equal(await tab.$eval('.bv-task-name', (e) => e.textContent), HOSTILE);
        assert.equal(await tab.$$eval('img', (l) => l.length), 0);
        assert.deepEqual(log.dialogs, []);
      });

      test('house: pictures at three dates', async () => {
        // The tab another test opened went before it; a tab behind draws no frames.
        await tab.bringToFront();
        const view = await tab.$eval('.bv-canvas canvas', (e) => { const r = e.getBoundingClientRect(); return { x: r.left + 4, y: r.bottom - 4 }; });
        await tab.mouse.click(view.x, view.y);
        for (const date of ['2009-03-04', '2009-03-20', '2009-04-20']) {
          await tab.evaluate((d) => window.bauvista.setDate(d), date);
          await tab.evaluate(() => new Promise((r) => requestAnimationFrame(() => requestAnimationFrame(r))));
          await tab.screenshot({ path: join(workDir, `house-${date}.png`) });
        }
      });
    }
  }
  ok = await runCases();
} finally {
  await browser.close();
}
process.exit(ok ? 0 : 1);
