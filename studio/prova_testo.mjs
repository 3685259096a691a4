// The page's text conversions: files in as Windows-1252 or UTF-8, out as
// Windows-1252 with CR LF.
//
//   node prova_testo.mjs
import assert from 'node:assert/strict';
import { in_1252, leggi_testo, per_file } from './pagina/cp1252.js';

const casi = [
  // what is saved: editor text -> file bytes, characters without a form
  { testo: 'a\nb\r\nc\rd', byte: 'a\r\nb\r\nc\r\nd', mancanti: 0 },
  { testo: 'Località €5 — “x”\n', byte: 'Localit\xe0 \x805 \x97 \x93x\x94\r\n', mancanti: 0 },
  { testo: 'stazione 中\n', byte: 'stazione ?\r\n', mancanti: 1 },
  // Latin-1 text of the C1 range keeps its bytes
  { testo: '\x80\x81\x9f', byte: '\x80\x81\x9f', mancanti: 0 },
];
for (const c of casi) {
  const f = per_file(c.testo);
  assert.deepEqual(Buffer.from(f.byte), Buffer.from(c.byte, 'latin1'), JSON.stringify(c.testo));
  assert.equal(f.mancanti, c.mancanti, JSON.stringify(c.testo));
}

// Reading: Windows-1252 unless the bytes are well-formed UTF-8 (its
// byte-order mark dropped); every Windows-1252 byte survives a round trip.
const letture = [
  { byte: Buffer.from('Localit\xe0', 'latin1'), testo: 'Località', utf8: false },
  { byte: Buffer.from('Località', 'utf8'), testo: 'Località', utf8: true },
  { byte: Buffer.from('\ufeffsabbia', 'utf8'), testo: 'sabbia', utf8: true },
  { byte: Buffer.from('plain', 'latin1'), testo: 'plain', utf8: false },
  { byte: Buffer.from('\xc3\x28', 'latin1'), testo: 'Ã(', utf8: false },
];
for (const l of letture) assert.deepEqual(leggi_testo(new Uint8Array(l.byte)), { testo: l.testo, utf8: l.utf8 });
const tutti = Uint8Array.from({ length: 256 }, (_, i) => i);
assert.deepEqual(in_1252(leggi_testo(tutti).testo).byte, tutti);
console.log('text conversions: all passed');

// The archive of a compile: unzip reads back each file's bytes, and checks
// their CRC. (Names beyond ASCII are marked UTF-8, which Debian's unzip
// does not read; other tools do.)
import { zip } from './pagina/zip.js';
import { execFileSync } from 'node:child_process';
import { mkdtempSync, readFileSync, rmSync, writeFileSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
const files = {
  'Valmarena_linea.dat': Uint8Array.from({ length: 70000 }, (_, i) => (i * 7919) & 0xff),
  'Valmarena_2231.sim': new Uint8Array([1, 2, 3]),
  'Valmarena_2231.dat': new Uint8Array(0),
};
const cartella = mkdtempSync(join(tmpdir(), 'studio-zip-'));
writeFileSync(join(cartella, 'a.zip'), zip(files));
execFileSync('unzip', ['-tq', join(cartella, 'a.zip')]);
execFileSync('unzip', ['-q', join(cartella, 'a.zip'), '-d', join(cartella, 'x')]);
for (const [n, b] of Object.entries(files)) assert.deepEqual(new Uint8Array(readFileSync(join(cartella, 'x', n))), b, n);
rmSync(cartella, { recursive: true, force: true });
console.log('zip: all passed');
