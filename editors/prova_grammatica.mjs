// The grammar, tokenized by a real TextMate engine (vscode-textmate with
// oniguruma), on the built-in files (written by `tracciato sources`), the
// example and a few mistakes: keywords, numbers, texts, commas and invalid
// fields get their scopes.
//   node editors/prova_grammatica.mjs TRACCIATO_EXE
import { execFileSync } from 'node:child_process';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import { createRequire } from 'node:module';
import tm from 'vscode-textmate';
import onig from 'vscode-oniguruma';

const qui = path.dirname(new URL(import.meta.url).pathname);
const require = createRequire(import.meta.url);
await onig.loadWASM(fs.readFileSync(require.resolve('vscode-oniguruma/release/onig.wasm')).buffer);
const registro = new tm.Registry({
  onigLib: Promise.resolve({
    createOnigScanner: (p) => new onig.OnigScanner(p),
    createOnigString: (s) => new onig.OnigString(s),
  }),
  loadGrammar: async () =>
    tm.parseRawGrammar(fs.readFileSync(path.join(qui, 'tracciato.tmLanguage.json'), 'utf8'), 'tracciato.json'),
});
const grammatica = await registro.loadGrammar('source.tracciato');

// The records whose last field is a text; every other record holds numbers only.
const con_testo = new Set(['stazione', 'cartello_indicatore']);
const K = 'keyword.other.record.tracciato', N = 'constant.numeric.integer.tracciato';
const T = 'string.unquoted.text.tracciato', V = 'punctuation.separator.field.tracciato';
const I = 'invalid.illegal.not-a-number.tracciato', H = 'entity.name.section.tracciato';

// Each line's non-blank tokens as [text, last scope].
function tokens(testo) {
  let stato = tm.INITIAL;
  return testo.split(/\r\n|\n|\r/).map((riga) => {
    const r = grammatica.tokenizeLine(riga, stato);
    stato = r.ruleStack;
    return r.tokens
      .map((t) => [riga.slice(t.startIndex, t.endIndex), t.scopes.at(-1)])
      .filter(([x]) => x.trim() !== '');
  });
}

let guasti = 0;
function atteso(cosa, riga, dato, scope) {
  if (dato?.[1] === scope) return;
  guasti++;
  console.error(`${cosa}: ${JSON.stringify(riga)}: ${JSON.stringify(dato)} should be ${scope}`);
}

// Every record line of the built-in files and the example.
const cartella = fs.mkdtempSync(path.join(os.tmpdir(), 'grammatica-'));
execFileSync(process.argv[2], ['sources', '--dir', cartella]);
const file = [
  ...fs.readdirSync(cartella).filter((f) => /(_linea|-)\.txt$/.test(f)).map((f) => path.join(cartella, f)),
  path.join(qui, '..', 'examples', 'Valmarena_linea.txt'),
  path.join(qui, '..', 'examples', 'Valmarena_2231-.txt'),
];
let righe = 0;
for (const f of file) {
  const testo = fs.readFileSync(f, 'latin1');
  const linee = testo.split(/\r\n|\n|\r/);
  tokens(testo).forEach((t, i) => {
    const riga = linee[i];
    if (riga.trim() === '') return;
    righe++;
    if (riga.trim().startsWith('[')) return atteso('header', riga, t[0], H);
    atteso('keyword', riga, t[0], K);
    const testo_finale = con_testo.has(t[0][0].toLowerCase());
    t.slice(1).forEach((x, j) => {
      const ultimo = j === t.length - 2;
      atteso('field', riga, x, x[0] === ',' ? V : testo_finale && ultimo ? T : N);
    });
  });
}

// Mistakes and edge cases: the scopes of the last line's tokens.
const S = 'source.tracciato';
const casi = [
  ['SFONDO UNO,    1', [S, V, N]],  // the reader tests `sfondo uno` with its case
  ['Stazione di testa,  100, 11', [K, V, N, V, T]],  // any field holding the word, in any case
  ['stazione,  100, 11,  600,  0, 0, 0,  1,1,0,  4,1,1,    1,  14, 0\n, 0,  VESSOLANTA C.', [V, N, V, T]],  // runs on
  ['pendenza,  100, x', [K, V, N, V, I]],  // a non-number in a record of numbers
  ['stazione,  100, 11,  600,  0, 0, 0,  1,1,0,  4,1,1,    1,  14, 0, 0, 1900', [K, ...Array(16).fill([V, N]).flat(), V, T]],
  ['cartello_indicatore,  8400, (F)', [K, V, N, V, T]],  // the comma before a text is a separator
];
for (const [riga, scopes] of casi) {
  const t = tokens(riga).at(-1);
  scopes.forEach((s, j) => atteso('case', riga, t[j], s));
  if (t.length !== scopes.length) guasti++, console.error(`${riga}: ${t.length} tokens, not ${scopes.length}`);
}
fs.rmSync(cartella, { recursive: true });
console.log(`grammar: ${righe} lines of ${file.length} files and ${casi.length} cases, ${guasti} wrong scopes`);
process.exit(guasti ? 1 : 0);
