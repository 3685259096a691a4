// Builds the studio's one page: the editor component and the page's script
// bundled with esbuild, the WebAssembly module inlined (base64), the style
// and the script set into the HTML. Nothing in it is fetched when it opens.
//
//   node costruisci.mjs <module folder> <page to write>
import * as esbuild from 'esbuild';
import { readFileSync, writeFileSync, mkdirSync } from 'node:fs';
import { dirname, join, resolve } from 'node:path';
import { fileURLToPath } from 'node:url';

const qui = dirname(fileURLToPath(import.meta.url));
const [modulo, uscita] = process.argv.slice(2).map((p) => resolve(p));
if (!modulo || !uscita) {
  console.error('usage: node costruisci.mjs <module folder> <page to write>');
  process.exit(2);
}

// The module's factory and its wasm are found in the module folder.
const dal_modulo = {
  name: 'modulo',
  setup(b) {
    b.onResolve({ filter: /^tracciato_studio\.(js|wasm)$/ }, (a) => ({ path: join(modulo, a.path) }));
  },
};

const r = await esbuild.build({
  entryPoints: [join(qui, 'pagina/main.js')],
  bundle: true,
  format: 'esm',
  target: 'chrome110',
  minify: true,
  write: false,
  legalComments: 'none',
  // The module's code for node is never reached in a browser.
  external: ['fs', 'path', 'module', 'url', 'crypto', 'worker_threads'],
  loader: { '.wasm': 'binary', '.txt': 'binary' },
  plugins: [dal_modulo],
  logLevel: 'warning',
});
// Inside the inline script no "</script" may stand.
const codice = r.outputFiles[0].text.replaceAll('</script', '<\\/script');
const html = readFileSync(join(qui, 'pagina/index.html'), 'utf8')
  .replace('/*STILE*/', () => readFileSync(join(qui, 'pagina/studio.css'), 'utf8'))
  .replace('/*CODICE*/', () => codice);
mkdirSync(dirname(uscita), { recursive: true });
writeFileSync(uscita, html);
console.log(`wrote ${uscita} (${Buffer.byteLength(html)} bytes)`);
