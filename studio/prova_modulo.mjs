// The module against the native program: on the built-in scenario and on
// each example, the check's JSON, the three binary files and the page must
// be the same bytes.
//
//   node --no-experimental-fetch prova_modulo.mjs <tracciato> <module folder>
import { execFileSync, spawnSync } from 'node:child_process';
import { mkdirSync, mkdtempSync, readFileSync, readdirSync, rmSync, writeFileSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join, resolve, dirname } from 'node:path';
import { fileURLToPath, pathToFileURL } from 'node:url';
import assert from 'node:assert/strict';
import { createRequire } from 'node:module';

const qui = dirname(fileURLToPath(import.meta.url));
const [programma, cartella_modulo] = process.argv.slice(2).map((p) => resolve(p));
// The module is an ES module for the page; under node its loader still
// looks for CommonJS's two names.
globalThis.__dirname = cartella_modulo;
globalThis.require = createRequire(import.meta.url);
const { default: crea } = await import(pathToFileURL(join(cartella_modulo, 'tracciato_studio.js')));
const modulo = await crea({ wasmBinary: readFileSync(join(cartella_modulo, 'tracciato_studio.wasm')) });

const lavoro = mkdtempSync(join(tmpdir(), 'studio-'));
const nativo = (...a) => spawnSync(programma, a, { cwd: lavoro, encoding: 'buffer' });

// The built-in scenario's files as the native program writes them.
execFileSync(programma, ['sources', '--dir', join(lavoro, 'incorporato')]);
const incorporato = modulo.builtin();
const scenari = [
  { nome: 'VessolantaC_OrmelaC', numero: '4715', cartella: join(lavoro, 'incorporato') },
  { nome: 'Valmarena', numero: '2231', cartella: join(qui, '..', 'examples') },
];
assert.deepEqual(
  Buffer.from(incorporato.line),
  readFileSync(join(lavoro, 'incorporato', 'VessolantaC_OrmelaC_linea.txt')),
  'built-in line file',
);
assert.deepEqual(
  Buffer.from(incorporato.train),
  readFileSync(join(lavoro, 'incorporato', 'VessolantaC_OrmelaC_4715-.txt')),
  'built-in train file',
);

// A damaged copy of the example too: a misspelt keyword and a signal twice
// at its place, so that the check's warnings and errors and the compile's
// faults are compared, not only their silence.
for (const s of [...scenari, { ...scenari[1], guasto: true }]) {
  const l = join(s.cartella, `${s.nome}_linea.txt`);
  let t = join(s.cartella, `${s.nome}_${s.numero}-.txt`);
  let treno = readFileSync(t);
  if (s.guasto) {
    treno = Buffer.from(
      treno
        .toString('latin1')
        .replace(/^segnale,.*\r\n/m, (r) => r.replace('segnale', 'segnalle') + r + r),
      'latin1',
    );
    t = join(lavoro, `${s.nome}_${s.numero}-.txt`);
    writeFileSync(t, treno);
  }
  const linea = readFileSync(l);
  const caso = `${s.nome}${s.guasto ? ' (misspelt)' : ''}`;

  const check = nativo('check', '--json', '--line', l, '--train', t);
  assert.equal(modulo.check(l, linea, t, treno) + '\n', check.stdout.toString('utf8'), `${caso}: check --json`);

  const uscita = join(lavoro, 'bin-' + caso.replace(/\W/g, ''));
  mkdirSync(uscita);
  nativo('compile', '--line', l, '--train', t, '--name', s.nome, '--train-number', s.numero, '--dir', uscita);
  const r = modulo.compile(l, linea, t, treno, s.nome, s.numero);
  const scritti = readdirSync(uscita).sort();
  assert.deepEqual(Object.keys(r.files).sort(), scritti, `${caso}: the files written`);
  for (const f of scritti) assert.ok(Buffer.from(r.files[f]).equals(readFileSync(join(uscita, f))), `${caso}: ${f}`);
  if (s.guasto) assert.ok(r.faults.length > 0, `${caso}: the compile's faults`);

  // view links the timetable card and slowdown order found beside the line
  // file, and the built-in run writes them there: the page has no files, so
  // the native view reads copies of the two texts alone.
  const sole = join(lavoro, 'vista-' + caso.replace(/\W/g, ''));
  mkdirSync(sole);
  const ls = join(sole, `${s.nome}_linea.txt`), ts = join(sole, `${s.nome}_${s.numero}-.txt`);
  writeFileSync(ls, linea);
  writeFileSync(ts, treno);
  const html = join(lavoro, 'pagina.html');
  nativo('view', '--line', ls, '--train', ts, '--name', s.nome, '--train-number', s.numero, '-o', html);
  const mia = modulo.page(ls, linea, ts, treno, s.nome, s.numero);
  assert.ok(Buffer.from(mia, 'utf8').equals(readFileSync(html)), `${caso}: view's page`);
  console.log(`ok ${caso}`);
}

// Names that cannot name the files are refused, with the reason, and a
// name without a Windows-1252 form gives a page that says so.
const b = modulo.builtin();
for (const [nome, numero] of [['a/b', '1'], ['', '1'], ['S', 'linea'], ['S', '\x01'], ['中', '1']]) {
  const r = modulo.compile('l', b.line, 't', b.train, nome, numero);
  assert.deepEqual(Object.keys(r.files), [], `compile as ${JSON.stringify([nome, numero])}`);
  assert.ok(r.error, `compile as ${JSON.stringify([nome, numero])}: the reason`);
}
assert.match(modulo.page('l', b.line, 't', b.train, '中', '1'), /^<!DOCTYPE html>.*No drawing: .*Windows-1252/s);
console.log('ok names that cannot name the files');

rmSync(lavoro, { recursive: true, force: true });
console.log('module: check, compile and page match the native program');
