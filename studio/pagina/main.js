// The studio: two editors, the problems as you type, the drawing beside them,
// the author's files in and out, all from the compiler's own code built into
// a WebAssembly module inlined in this page.
import { EditorView, basicSetup } from 'codemirror';
import { EditorState, Compartment } from '@codemirror/state';
import { hoverTooltip, keymap } from '@codemirror/view';
import { StreamLanguage } from '@codemirror/language';
import { linter, lintGutter, forceLinting, setDiagnostics } from '@codemirror/lint';
import { autocompletion, snippet } from '@codemirror/autocomplete';
import crea_tracciato from 'tracciato_studio.js';
import wasm from 'tracciato_studio.wasm';
import esempio_linea from '../../examples/Valmarena_linea.txt';
import esempio_treno from '../../examples/Valmarena_2231-.txt';
import { da_1252, leggi_testo, per_file } from './cp1252.js';
import { zip } from './zip.js';

const modulo = await crea_tracciato({ wasmBinary: wasm });
const tipi = ['line', 'train'];
const $ = (s) => document.querySelector(s);

// What the page holds: the two texts, their file names, the names of the
// compile. Kept in the browser's storage so that a reload loses nothing.
const chiave = 'tracciato-studio';
const stato = { nomi: { line: 'Scenario_linea.txt', train: 'Scenario_1-.txt' }, nome: 'Scenario', numero: '1' };

// ---- The module's answers -------------------------------------------------

const byte_di = (k) => per_file(editori[k].state.doc.toString()).byte;

function problemi() {
  return JSON.parse(modulo.check(stato.nomi.line, byte_di('line'), stato.nomi.train, byte_di('train'))).problems;
}

function compila(nome = stato.nome, numero = stato.numero) {
  const r = modulo.compile(stato.nomi.line, byte_di('line'), stato.nomi.train, byte_di('train'), nome, numero);
  return { files: r.files, faults: r.faults, ...(r.error ? { error: r.error } : {}) };
}

function pagina(nome = stato.nome, numero = stato.numero) {
  return modulo.page(stato.nomi.line, byte_di('line'), stato.nomi.train, byte_di('train'), nome, numero);
}

// ---- Highlighting, from the record table's keywords -------------------------

function parole_chiave(di_treno) {
  const voci = JSON.parse(modulo.completion(new Uint8Array(), di_treno, 0, 0));
  return voci.filter((v) => v.kind === 14).map((v) => v.label.toLowerCase()).sort((a, b) => b.length - a.length);
}
const parole = { line: parole_chiave(false), train: parole_chiave(true) };

function lingua(k) {
  return StreamLanguage.define({
    name: 'tracciato-' + k,
    startState: () => ({ campo: 0 }),
    token(s, st) {
      if (s.sol()) st.campo = 0;
      if (s.eatSpace()) return null;
      if (st.campo === 0 && s.sol() && s.match(/^\[[^\]]*\]/)) return 'heading';
      if (s.eat(',')) {
        st.campo++;
        return 'punctuation';
      }
      if (st.campo === 0) {
        const resto = s.string.slice(s.pos).toLowerCase();
        const p = parole[k].find((w) => resto.startsWith(w));
        s.match(/^[^,]*/);
        return p ? 'keyword' : 'invalid';
      }
      if (s.match(/^-?\d+(\.\d+)?(?=[\s,]|$)/)) return 'number';
      s.match(/^[^,]*/);
      return 'string';
    },
  });
}

// ---- Hover and completion, as the language server gives them ---------------

function aiuto(k) {
  return hoverTooltip((view, pos) => {
    const riga = view.state.doc.lineAt(pos);
    const dati = byte_di(k);
    const r = JSON.parse(modulo.hover(dati, k === 'train', byte_di('line'), riga.number - 1, pos - riga.from));
    if (!r || !r.contents) return null;
    return {
      pos,
      create() {
        const d = document.createElement('div');
        d.className = 'aiuto';
        d.textContent = r.contents.value.replace(/\*\*/g, '').replace(/`/g, '');
        return { dom: d };
      },
    };
  });
}

const posizione = (doc, p) => doc.line(p.line + 1).from + p.character;

function completamento(k) {
  return (ctx) => {
    const riga = ctx.state.doc.lineAt(ctx.pos);
    const voci = JSON.parse(modulo.completion(byte_di(k), k === 'train', riga.number - 1, ctx.pos - riga.from));
    if (!voci.length) return null;
    const da = posizione(ctx.state.doc, voci[0].textEdit.range.start);
    return {
      from: da,
      to: ctx.pos,
      options: voci.map((v) => ({
        label: v.label,
        detail: v.detail,
        type: v.kind === 14 ? 'keyword' : 'namespace',
        apply: v.insertTextFormat === 2 ? snippet(v.textEdit.newText.replace(/\$(\d+)/g, '${$1}')) : v.textEdit.newText,
      })),
    };
  };
}

// ---- The editors -------------------------------------------------------------

let attesa = 0;
function cambiato() {
  clearTimeout(attesa);
  attesa = setTimeout(aggiorna, 120);
}

const editori = {};
for (const k of tipi) {
  editori[k] = new EditorView({
    parent: document.querySelector(`[data-editor="${k}"]`),
    state: EditorState.create({
      doc: '',
      extensions: [
        basicSetup,
        lingua(k),
        lintGutter(),
        aiuto(k),
        autocompletion({ override: [completamento(k)] }),
        EditorView.updateListener.of((u) => u.docChanged && cambiato()),
      ],
    }),
  });
}

function imposta(k, testo) {
  const v = editori[k];
  v.dispatch({ changes: { from: 0, to: v.state.doc.length, insert: testo.replace(/\r\n?/g, '\n') } });
}

// ---- Problems, drawing, storage, after each pause in typing ------------------

let ultimi = { line: [], train: [] };
function aggiorna() {
  clearTimeout(attesa);
  const t0 = performance.now();
  const d = JSON.parse(modulo.diagnostics(byte_di('line'), byte_di('train')));
  ultimi = d;
  for (const k of tipi) {
    const doc = editori[k].state.doc;
    const lista = d[k].map((p) => {
      const da = Math.min(posizione(doc, clamp(doc, p.range.start)), doc.length);
      const a = Math.min(Math.max(posizione(doc, clamp(doc, p.range.end)), da), doc.length);
      return { from: da, to: a, severity: p.severity === 1 ? 'error' : 'warning', message: p.message, actions: rimedi(p) };
    });
    editori[k].dispatch(setDiagnostics(editori[k].state, lista));
  }
  mostra_problemi(d);
  disegna();
  conserva();
  $('#tempo').textContent = `checked and drawn in ${Math.round(performance.now() - t0)} ms`;
}

// The quick fix a hint names: "did you mean `segnale`?" puts that word in
// place of the field at fault.
function rimedi(p) {
  const m = /did you mean `([^`]+)`\?/.exec(p.message);
  if (!m) return [];
  return [{ name: `Replace with ${m[1]}`, apply: (view, from, to) => view.dispatch({ changes: { from, to, insert: m[1] } }) }];
}

function clamp(doc, p) {
  const line = Math.min(p.line, doc.lines - 1);
  return { line, character: Math.min(p.character, doc.line(line + 1).length) };
}

function mostra_problemi(d) {
  const ul = $('#problemi');
  ul.replaceChildren();
  let n = 0;
  for (const k of tipi) {
    for (const p of d[k]) {
      const li = document.createElement('li');
      li.dataset.line = String(p.range.start.line + 1);
      li.dataset.editor = k;
      li.className = p.severity === 1 ? 'errore' : 'avviso';
      li.textContent = `${stato.nomi[k]}:${p.range.start.line + 1}: ${p.message.split('\n')[0]}`;
      li.title = p.message;
      li.onclick = () => vai(k, p.range);
      ul.append(li);
      n++;
    }
  }
  $('#conta').textContent = n === 0 ? 'no problem' : `${n} problem${n === 1 ? '' : 's'}`;
}

// Selects the field a problem stands at.
function vai(k, r) {
  const v = editori[k];
  const da = posizione(v.state.doc, clamp(v.state.doc, r.start));
  const a = Math.max(da, posizione(v.state.doc, clamp(v.state.doc, r.end)));
  v.dispatch({ selection: { anchor: da, head: a }, scrollIntoView: true });
  v.focus();
}

function disegna() {
  let html;
  try {
    html = pagina();
  } catch (e) {
    html = `<p>no drawing: ${String(e)}</p>`;
  }
  $('#disegno').srcdoc = html.replace(/<\/body>/i, () => `<script>${segnala}</script></body>`);
}

// In the drawing, a click on an item tells the page its kind and cell
// (the drawing lives in a sandbox of its own, so it can only say so).
const segnala = `document.addEventListener('click', (e) => {
  const t = e.target.closest('[data-item]');
  if (t) parent.postMessage({ tracciato: 'voce', tipo: t.dataset.item, cella: Number(t.dataset.cell) }, '*');
});`;

// The keyword of each kind of item the drawing shows.
const parola_di = {
  station: 'stazione', signal: 'segnale', board: 'indicat', sign: 'cartello',
  slowdown: 'rallent', 'code-point': 'codic', tunnel: 'montagna',
};

// The line of the item of that kind nearest to the cell, in either editor.
window.addEventListener('message', (e) => {
  if (e.source !== $('#disegno').contentWindow || !e.data || e.data.tracciato !== 'voce') return;
  const parola = parola_di[e.data.tipo];
  if (!parola) return;
  let migliore = null;
  for (const k of tipi) {
    const doc = editori[k].state.doc;
    for (let n = 1; n <= doc.lines; n++) {
      const campi = doc.line(n).text.split(',');
      if (campi.length < 2 || !campi[0].toLowerCase().includes(parola)) continue;
      const p = Number(campi[1].trim());
      if (!Number.isFinite(p)) continue;
      const scarto = Math.abs(p / 50 + 1 - e.data.cella);
      if (!migliore || scarto < migliore.scarto) migliore = { k, n, scarto };
    }
  }
  if (migliore) {
    const riga = editori[migliore.k].state.doc.line(migliore.n);
    vai(migliore.k, { start: { line: migliore.n - 1, character: 0 }, end: { line: migliore.n - 1, character: riga.length } });
  }
});

function conserva() {
  try {
    localStorage.setItem(
      chiave,
      JSON.stringify({ ...stato, testi: { line: editori.line.state.doc.toString(), train: editori.train.state.doc.toString() } }),
    );
  } catch (_) {
    avviso('the browser refused to keep the work in its storage: save your files');
  }
}

function avviso(testo) {
  $('#avviso').textContent = testo;
}

// ---- Names ------------------------------------------------------------------

function nomi_campi() {
  $('#nome').value = stato.nome;
  $('#numero').value = stato.numero;
  $('#file-line').textContent = stato.nomi.line;
  $('#file-train').textContent = stato.nomi.train;
}
$('#nome').oninput = () => ((stato.nome = $('#nome').value), conserva());
$('#numero').oninput = () => ((stato.numero = $('#numero').value), conserva());

function carica(scenario, nome, numero, linea, treno) {
  stato.nome = nome;
  stato.numero = numero;
  stato.nomi = { line: `${nome}_linea.txt`, train: `${nome}_${numero}-.txt` };
  nomi_campi();
  imposta('line', linea);
  imposta('train', treno);
  avviso(scenario);
  aggiorna();
}

$('#incorporato').onclick = () => {
  const b = modulo.builtin();
  carica('the built-in scenario', 'VessolantaC_OrmelaC', '4715', da_1252(b.line), da_1252(b.train));
};
$('#esempio').onclick = () =>
  carica('the example Valmarena', 'Valmarena', '2231', da_1252(esempio_linea), da_1252(esempio_treno));
$('#nuovo').onclick = () => {
  if (!confirm('Start a new scenario? The texts in the editors are cleared (your files on disk are not touched).')) return;
  carica('a new scenario', 'Scenario', '1', '[generale]\n', '[generale]\n');
};

// ---- Files in -----------------------------------------------------------------

// Which editor a file goes to: by its name (S_linea.txt, S_T-.txt), else
// by whether it gives the route length.
function genere_di(nome, testo) {
  if (/_linea\.txt$/i.test(nome)) return 'line';
  if (/-\.txt$/i.test(nome)) return 'train';
  return /lunghezza percorso/i.test(testo) ? 'line' : 'train';
}

async function apri(files) {
  const note = [];
  for (const f of files) {
    const { testo, utf8 } = leggi_testo(new Uint8Array(await f.arrayBuffer()));
    const k = genere_di(f.name, testo);
    stato.nomi[k] = f.name;
    if (k === 'line' && /_linea\.txt$/i.test(f.name)) stato.nome = f.name.replace(/_linea\.txt$/i, '');
    if (k === 'train') {
      const m = f.name.replace(/-?\.txt$/i, '');
      if (m.startsWith(stato.nome + '_')) stato.numero = m.slice(stato.nome.length + 1);
    }
    imposta(k, testo);
    note.push(`${f.name} opened as the ${k} file` + (utf8 ? ' (it was saved as UTF-8: converted; saving writes Windows-1252)' : ''));
  }
  nomi_campi();
  avviso(note.join('; '));
  aggiorna();
}

$('#apri').onchange = (e) => apri([...e.target.files]);
document.addEventListener('dragover', (e) => e.preventDefault());
document.addEventListener('drop', (e) => {
  e.preventDefault();
  if (e.dataTransfer && e.dataTransfer.files.length) apri([...e.dataTransfer.files]);
});

// ---- Files out ----------------------------------------------------------------

function scarica(nome, byte) {
  const a = document.createElement('a');
  a.href = URL.createObjectURL(new Blob([byte], { type: 'application/octet-stream' }));
  a.download = nome;
  document.body.append(a);
  a.click();
  a.remove();
  setTimeout(() => URL.revokeObjectURL(a.href), 10000);
}

for (const k of tipi) {
  $(`#salva-${k}`).onclick = () => {
    const f = per_file(editori[k].state.doc.toString());
    scarica(stato.nomi[k], f.byte);
    if (f.mancanti > 0)
      avviso(`${stato.nomi[k]}: ${f.mancanti} character(s) have no Windows-1252 form and were saved as "?"`);
  };
}

$('#compila').onclick = () => {
  const r = compila();
  const nomi = Object.keys(r.files);
  if (r.error || nomi.length === 0) {
    avviso(`no binary file: ${r.error || 'the load left no cell grid, or a reserved place stopped the compile'}; see the problems`);
    return;
  }
  // One archive: a browser asks before a page downloads several files.
  const archivio = `${stato.nome}_${stato.numero}.zip`;
  if ($('#come-zip').checked) scarica(archivio, zip(r.files));
  else for (const n of nomi) scarica(n, r.files[n]);
  avviso(
    `downloaded ${$('#come-zip').checked ? `${archivio} with ` : ''}${nomi.join(', ')}` +
      (r.faults.length ? `; ${r.faults.length} fault(s) recorded, see the problems` : ''),
  );
};

// ---- Start: the work kept, or the built-in scenario ---------------------------

let tenuto = null;
try {
  tenuto = JSON.parse(localStorage.getItem(chiave) || 'null');
} catch (_) {
  tenuto = null;
}
// What another version of the page kept may lack a part: what is missing
// takes its default.
const testo_o = (v, d) => (typeof v === 'string' ? v : d);
if (tenuto && tenuto.testi && typeof tenuto.testi === 'object') {
  stato.nomi = {
    line: testo_o(tenuto.nomi?.line, stato.nomi.line),
    train: testo_o(tenuto.nomi?.train, stato.nomi.train),
  };
  stato.nome = testo_o(tenuto.nome, stato.nome);
  stato.numero = testo_o(tenuto.numero, stato.numero);
  tenuto.testi = { line: testo_o(tenuto.testi.line, ''), train: testo_o(tenuto.testi.train, '') };
  nomi_campi();
  imposta('line', tenuto.testi.line);
  imposta('train', tenuto.testi.train);
  avviso('your work as you left it');
  aggiorna();
} else {
  $('#incorporato').onclick();
}

// The scripting surface.
window.tracciato = {
  setText(kind, text) {
    if (!tipi.includes(kind)) throw new Error(`kind must be "line" or "train", not ${kind}`);
    imposta(kind, text);
    aggiorna();
  },
  text(kind) {
    return editori[kind].state.doc.toString();
  },
  problems: problemi,
  compile: compila,
  page: pagina,
};
document.body.dataset.pronto = '1';
