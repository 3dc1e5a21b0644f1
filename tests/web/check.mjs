// A small runner: each case runs even when an earlier one failed, and the run fails if any did.
import assert from 'node:assert/strict';

export { assert };
const cases = [];

export function test(name, body) { cases.push({ name, body }); }

export async function runCases() {
  let failed = 0;
  for (const { name, body } of cases) {
    try {
      await body();
      console.log(`ok   ${name}`);
    } catch (error) {
      failed++;
      console.log(`FAIL ${name}\n${error.stack || error}`);
    }
  }
  console.log(`${cases.length - failed}/${cases.length} passed`);
  return failed === 0;
}

// The colour of the 3D view's pixel at a window point.
// Waits for the frame a change asked for first.
export async function pixelAt(tab, point) {
  await tab.evaluate(() => new Promise((r) => requestAnimationFrame(() => requestAnimationFrame(r))));
  return tab.evaluate(({ x, y }) => {
    const gl = document.querySelector('.bv-canvas canvas');
    const rect = gl.getBoundingClientRect();
    const copy = document.createElement('canvas');
    copy.width = gl.width;
    copy.height = gl.height;
    const g = copy.getContext('2d');
    g.drawImage(gl, 0, 0);
    const px = Math.round(((x - rect.left) / rect.width) * gl.width);
    const py = Math.round(((y - rect.top) / rect.height) * gl.height);
    return Array.from(g.getImageData(px, py, 1, 1).data.slice(0, 3));
  }, point);
}
