// The studio's wasm module under node, timed in its own calls, for
// bench/obiettivi.py. Prints three figures, in milliseconds, medians:
//   what one keystroke costs the page on the built-in scenario (the check of
//   both files, as the editor's diagnostics, then the redrawn page);
//   the compile of the built-in scenario; the compile of the 1,000 km route.
//
//   node --no-experimental-fetch bench/studio.mjs <module folder> <built-in folder> <1,000 km folder>
import { readFileSync } from 'node:fs';
import { join, resolve } from 'node:path';
import { pathToFileURL } from 'node:url';
import { createRequire } from 'node:module';

const [cartella_modulo, incorporato, km] = process.argv.slice(2).map((p) => resolve(p));
// The module is an ES module for the page; under node its loader still looks
// for CommonJS's two names.
globalThis.__dirname = cartella_modulo;
globalThis.require = createRequire(import.meta.url);
const { default: crea } = await import(pathToFileURL(join(cartella_modulo, 'tracciato_studio.js')));
const modulo = await crea({ wasmBinary: readFileSync(join(cartella_modulo, 'tracciato_studio.wasm')) });

const mediana = (v) => v.sort((a, b) => a - b)[Math.floor(v.length / 2)];
const misura = (volte, f) => {
  f();
  const t = [];
  for (let i = 0; i < volte; ++i) {
    const inizio = process.hrtime.bigint();
    f(i);
    t.push(Number(process.hrtime.bigint() - inizio) / 1e6);
  }
  return mediana(t);
};

const linea = new Uint8Array(readFileSync(join(incorporato, 'VessolantaC_OrmelaC_linea.txt')));
const treno = new Uint8Array(readFileSync(join(incorporato, 'VessolantaC_OrmelaC_4715-.txt')));
// A keystroke: the train file with one more or one fewer blank at its end.
const varianti = [treno, Uint8Array.from([...treno, 0x20])];
const tasto = misura(21, (i = 0) => {
  const t = varianti[i % 2];
  JSON.parse(modulo.diagnostics(linea, t));
  modulo.page('l', linea, 't', t, 'VessolantaC_OrmelaC', '4715');
});
const compila_inc = misura(21, () => modulo.compile('l', linea, 't', treno, 'VessolantaC_OrmelaC', '4715'));
const linea_km = new Uint8Array(readFileSync(join(km, 'Banco_linea.txt')));
const treno_km = new Uint8Array(readFileSync(join(km, 'Banco_4715-.txt')));
const compila_km = misura(5, () => modulo.compile('l', linea_km, 't', treno_km, 'Banco', '4715'));
console.log(tasto.toFixed(3), compila_inc.toFixed(3), compila_km.toFixed(3));
