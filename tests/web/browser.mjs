// Debian's Chromium, headless, driven by puppeteer-core from the page's own npm packages, with
// WebGL drawn by SwiftShader. A run without either exits 77, which CTest counts as skipped.
import { createRequire } from 'node:module';
import { existsSync } from 'node:fs';
import { dirname, join } from 'node:path';
import { fileURLToPath, pathToFileURL } from 'node:url';

export const SKIPPED = 77;
export const sourceRoot = join(dirname(fileURLToPath(import.meta.url)), '../..');
const webDir = join(sourceRoot, 'web');
const chromium = process.env.BV_CHROMIUM || '/usr/bin/chromium';

export function skipUnlessBrowser() {
  if (!existsSync(chromium) || !existsSync(join(webDir, 'node_modules/puppeteer-core'))) {
    console.log(`skipped: needs ${chromium} and web/node_modules (scripts/setup.sh)`);
    process.exit(SKIPPED);
  }
}

export async function launchBrowser() {
  const puppeteer = createRequire(join(webDir, 'package.json'))('puppeteer-core');
  return puppeteer.launch({
    executablePath: chromium,
    headless: true,
    args: ['--no-sandbox', '--use-angle=swiftshader', '--enable-unsafe-swiftshader', '--disable-gpu-sandbox',
      '--no-first-run', '--disable-extensions', '--disable-background-networking', '--disable-component-update',
      '--disable-default-apps', '--disable-sync', '--metrics-recording-only', '--no-default-browser-check'],
  });
}

// Opens a page file, noting every request it makes (unless `requests` is false: watching the
// network makes Chromium keep every byte it loads, which slows a large page's opening many
// times over), every dialog it opens and every error.
export async function openPage(browser, file, { hash = '', width = 1280, height = 800, requests = true } = {}) {
  const tab = await browser.newPage();
  await tab.setViewport({ width, height });
  const log = { requests: [], dialogs: [], errors: [] };
  if (requests) tab.on('request', (r) => log.requests.push(r.url()));
  tab.on('dialog', async (d) => { log.dialogs.push(d.message()); await d.dismiss(); });
  tab.on('pageerror', (e) => log.errors.push(String(e.message || e)));
  tab.on('console', (m) => { if (m.type() === 'error') log.errors.push(m.text()); });
  const url = pathToFileURL(file).href + hash;
  await tab.goto(url, { waitUntil: 'load', timeout: 0 });
  await tab.evaluate(() => window.bauvista.ready);
  return { tab, log, url };
}
