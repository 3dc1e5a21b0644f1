// Bundles the viewer with esbuild and inlines it into the page's frame, with the content
// security policy naming the script's hash, so the page runs that script and nothing else.
//   node build.mjs OUT.html
import { build } from 'esbuild';
import { createHash } from 'node:crypto';
import { readFileSync, writeFileSync, mkdirSync } from 'node:fs';
import { dirname, join } from 'node:path';
import { fileURLToPath } from 'node:url';

const here = dirname(fileURLToPath(import.meta.url));
const out = process.argv[2];
if (!out) {
  console.error('usage: node build.mjs OUT.html');
  process.exit(2);
}

const result = await build({
  entryPoints: [join(here, 'src/main.js')],
  bundle: true,
  minify: true,
  format: 'iife',
  target: ['chrome100', 'firefox100', 'safari15'],
  write: false,
  legalComments: 'none',
  logLevel: 'warning',
});
// A script element ends at the first "</script", whatever the script means by it.
const script = result.outputFiles[0].text.replace(/<\/(script)/gi, '<\\/$1');
const frame = readFileSync(join(here, 'src/frame.html'), 'utf8');

// The program fills the page by replacing each marker once; one that the script or the frame
// held twice would be filled in the wrong place.
for (const marker of ['@BV-TITLE@', '@BV-DATA@', '@BV-GLB@']) {
  const inFrame = frame.split(marker).length - 1;
  if (inFrame !== 1 || script.includes(marker)) {
    console.error(`build.mjs: the marker ${marker} must stand once in the frame and never in the script`);
    process.exit(1);
  }
}
const hash = createHash('sha256').update(script, 'utf8').digest('base64');
const page = frame.replace('@SCRIPT-HASH@', `sha256-${hash}`).replace('@SCRIPT@', () => script);
mkdirSync(dirname(out), { recursive: true });
writeFileSync(out, page);
