// The studio page in headless Chromium, opened from disk with every network
// request refused: typing shows and clears a problem at its line, a dropped
// file lands in its editor, the page's compile gives the native program's
// bytes, and a reload keeps the work.
//
//   node prova_pagina.mjs <tracciato> <page>
import puppeteer from 'puppeteer-core';
import { execFileSync, spawnSync } from 'node:child_process';
import { existsSync, mkdtempSync, readFileSync, readdirSync, rmSync, statSync, writeFileSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join, resolve, dirname } from 'node:path';
import { fileURLToPath, pathToFileURL } from 'node:url';
import assert from 'node:assert/strict';

const qui = dirname(fileURLToPath(import.meta.url));
const [programma, pagina] = process.argv.slice(2).map((p) => resolve(p));
const lavoro = mkdtempSync(join(tmpdir(), 'studio-pagina-'));
const esempi = join(qui, '..', 'examples');

const mega = statSync(pagina).size / 1e6;
assert.ok(mega <= 3, `the page is ${mega.toFixed(2)} MB, more than 3 MB`);

const browser = await puppeteer.launch({
  executablePath: process.env.CHROMIUM || '/usr/bin/chromium',
  headless: true,
  args: ['--no-sandbox', '--disable-gpu', `--user-data-dir=${join(lavoro, 'profilo')}`],
});
let fallito = false;
try {
  const p = await browser.newPage();
  await p.setViewport({ width: 1400, height: 900 });
  const errori = [];
  p.on('pageerror', (e) => errori.push(String(e)));
  // Nothing may come from the network: only the file itself and what it makes.
  await p.setRequestInterception(true);
  const rete = [];
  p.on('request', (r) => {
    if (/^(file|data|blob|about):/.test(r.url())) return r.continue();
    rete.push(r.url());
    r.abort();
  });
  const pronto = () => p.waitForSelector('body[data-pronto="1"]', { timeout: 20000 });
  await p.goto(pathToFileURL(pagina).href);
  await pronto();

  // The native program's files of a scenario, for the comparisons.
  const compila_nativo = (linea, treno, nome, numero) => {
    const d = mkdtempSync(join(lavoro, 'bin-'));
    // A fault gives a non-zero status; the files are what counts.
    spawnSync(programma, ['compile', '--line', linea, '--train', treno, '--name', nome, '--train-number', numero, '--dir', d]);
    return Object.fromEntries(readdirSync(d).map((f) => [f, readFileSync(join(d, f))]));
  };
  const compila_pagina = async (nome, numero) =>
    p.evaluate((n, t) => {
      const r = window.tracciato.compile(n, t);
      return { files: Object.fromEntries(Object.entries(r.files).map(([k, v]) => [k, Array.from(v)])), faults: r.faults };
    }, nome, numero);
  const uguali = (mie, native, caso) => {
    assert.deepEqual(Object.keys(mie.files).sort(), Object.keys(native).sort(), `${caso}: the files`);
    for (const [f, b] of Object.entries(native)) assert.ok(Buffer.from(mie.files[f]).equals(b), `${caso}: ${f} differs`);
  };

  // 1. The built-in scenario opens first; its compile is the native one.
  execFileSync(programma, ['sources', '--dir', join(lavoro, 'incorporato')]);
  const inc = (f) => join(lavoro, 'incorporato', f);
  uguali(
    await compila_pagina('VessolantaC_OrmelaC', '4715'),
    compila_nativo(inc('VessolantaC_OrmelaC_linea.txt'), inc('VessolantaC_OrmelaC_4715-.txt'), 'VessolantaC_OrmelaC', '4715'),
    'built-in scenario',
  );
  console.log('ok built-in scenario compiled through the page');

  // The buttons: the binaries as one zip, the train file saved as it was
  // written (Windows-1252, CR LF).
  const scaricati = join(lavoro, 'scaricati');
  const cdp = await p.createCDPSession();
  await cdp.send('Browser.setDownloadBehavior', { behavior: 'allow', downloadPath: scaricati });
  const arrivato = async (nome) => {
    for (let i = 0; i < 100 && !existsSync(join(scaricati, nome)); i++) await new Promise((r) => setTimeout(r, 100));
    return readFileSync(join(scaricati, nome));
  };
  await p.click('#compila');
  await arrivato('VessolantaC_OrmelaC_4715.zip');
  execFileSync('unzip', ['-q', join(scaricati, 'VessolantaC_OrmelaC_4715.zip'), '-d', join(scaricati, 'zip')]);
  const nativi = compila_nativo(inc('VessolantaC_OrmelaC_linea.txt'), inc('VessolantaC_OrmelaC_4715-.txt'), 'VessolantaC_OrmelaC', '4715');
  assert.deepEqual(readdirSync(join(scaricati, 'zip')).sort(), Object.keys(nativi).sort());
  for (const [f, b] of Object.entries(nativi)) assert.ok(readFileSync(join(scaricati, 'zip', f)).equals(b), `zip: ${f}`);
  await p.click('#salva-train');
  assert.ok((await arrivato('VessolantaC_OrmelaC_4715-.txt')).equals(readFileSync(inc('VessolantaC_OrmelaC_4715-.txt'))));
  console.log('ok downloads: the binaries as a zip, the train file as it was written');

  // A click on a signal in the drawing selects its line in the train editor.
  const disegno = await (await p.$('#disegno')).contentFrame();
  await disegno.waitForSelector('[data-item="signal"]', { timeout: 10000 });
  await disegno.evaluate(() =>
    document.querySelector('[data-item="signal"]').dispatchEvent(new MouseEvent('click', { bubbles: true })),
  );
  await p.waitForFunction(
    () => /^segnale,/.test(document.querySelector('[data-editor="train"] .cm-activeLine')?.textContent || ''),
    { timeout: 5000 },
  );
  console.log('ok a click on a signal in the drawing selects its line');

  // 2. Typing: a misspelt keyword in the train editor shows a problem at
  // its line, in the editor and in the panel; mending it clears it.
  const treno = readFileSync(inc('VessolantaC_OrmelaC_4715-.txt'), 'latin1').split('\r\n');
  const riga = treno.findIndex((r) => r.startsWith('segnale,')) + 1;
  const al_problema = `#problemi li[data-editor="train"][data-line="${riga}"]`;
  assert.equal(await p.$(al_problema), null, 'a problem before typing');
  // To the start of the line at riga in the train editor.
  const alla_riga = async () => {
    await p.click('[data-editor="train"] .cm-line');
    await p.keyboard.down('Control');
    await p.keyboard.press('Home');
    await p.keyboard.up('Control');
    for (let i = 1; i < riga; i++) await p.keyboard.press('ArrowDown');
    await p.keyboard.press('Home');
  };
  await alla_riga();
  for (let i = 0; i < 6; i++) await p.keyboard.press('ArrowRight');
  const t0 = Date.now();
  await p.keyboard.type('l');
  await p.waitForSelector(al_problema, { timeout: 5000 });
  const ms = Date.now() - t0;
  assert.match(await p.$eval(al_problema, (e) => e.textContent), /segnalle/);
  assert.ok(await p.$('[data-editor="train"] .cm-lintRange-warning, [data-editor="train"] .cm-lintRange-error'), 'no underline');
  assert.ok(
    (await p.evaluate(() => window.tracciato.problems())).some((q) => q.line === riga && /segnalle/.test(q.message)),
    'problems() lacks the misspelt keyword',
  );
  console.log(`ok the problem shows at line ${riga}, ${ms} ms after the keystroke (${await p.$eval('#tempo', (e) => e.textContent)})`);
  // A click on it selects its field; typing the keyword over it mends it.
  await p.click(al_problema);
  await p.keyboard.type('segnale');
  await p.keyboard.press('Escape');
  await p.waitForFunction((s) => !document.querySelector(s), { timeout: 5000 }, al_problema);
  assert.equal((await p.evaluate(() => window.tracciato.text('train'))).split('\n')[riga - 1], treno[riga - 1], 'the fix');
  console.log('ok mended, the problem clears');
  // The hint's quick fix, from the problems panel of the editor (Ctrl+Shift+M).
  await alla_riga();
  for (let i = 0; i < 6; i++) await p.keyboard.press('ArrowRight');
  await p.keyboard.type('l');
  await p.waitForSelector(al_problema, { timeout: 5000 });
  await p.keyboard.down('Control');
  await p.keyboard.down('Shift');
  await p.keyboard.press('KeyM');
  await p.keyboard.up('Shift');
  await p.keyboard.up('Control');
  await p.waitForSelector('[data-editor="train"] .cm-diagnosticAction', { timeout: 5000 });
  assert.match(await p.$eval('[data-editor="train"] .cm-diagnosticAction', (e) => e.textContent), /Replace with segnale/);
  await p.click('[data-editor="train"] .cm-diagnosticAction');
  await p.waitForFunction((s) => !document.querySelector(s), { timeout: 5000 }, al_problema);
  assert.equal((await p.evaluate(() => window.tracciato.text('train'))).split('\n')[riga - 1], treno[riga - 1], 'the quick fix');
  console.log('ok the quick fix mends it too');

  // What a pause in typing costs: check, diagnostics, drawing (median of 7).
  const tempi = [];
  for (let i = 0; i < 7; i++)
    tempi.push(await p.evaluate(() => {
      window.tracciato.setText('train', window.tracciato.text('train'));
      return Number(document.querySelector('#tempo').textContent.match(/(\d+) ms/)[1]);
    }));
  tempi.sort((a, b) => a - b);
  console.log(`ok check and redraw of the built-in scenario: median ${tempi[3]} ms (${tempi.join(', ')})`);

  // Hover over a keyword gives its record's fields; completion offers the
  // keywords of the section the line stands in.
  await p.click('[data-editor="train"] .cm-line');
  await p.keyboard.down('Control');
  await p.keyboard.press('Home');
  await p.keyboard.up('Control');
  const seconda = await (await p.$$('[data-editor="train"] .cm-line'))[1].boundingBox();
  await p.mouse.move(seconda.x + 15, seconda.y + seconda.height / 2);
  await p.waitForSelector('.aiuto', { timeout: 5000 });
  assert.match(await p.$eval('.aiuto', (e) => e.textContent), /vetture/i);
  await p.click('[data-editor="train"] .cm-line');
  await p.keyboard.press('End');
  await p.keyboard.press('Enter');
  await p.keyboard.type('sabb');
  await p.keyboard.down('Control');
  await p.keyboard.press('Space');
  await p.keyboard.up('Control');
  await p.waitForSelector('.cm-tooltip-autocomplete', { timeout: 5000 });
  // In [generale] only the general records are offered.
  const offerti = await p.$eval('.cm-tooltip-autocomplete', (e) => e.textContent);
  assert.match(offerti, /sabbia/);
  assert.doesNotMatch(offerti, /segnale/);
  await p.keyboard.press('Escape');
  console.log('ok hover and completion');

  // 3. A dropped file lands in its editor: the example's line file saved as
  // UTF-8 is converted, with a notice; then the train file as it stands.
  const trascina = async (nome, byte) =>
    p.evaluate(
      (n, b) => {
        const dt = new DataTransfer();
        dt.items.add(new File([new Uint8Array(b)], n));
        document.querySelector('main').dispatchEvent(new DragEvent('drop', { dataTransfer: dt, bubbles: true, cancelable: true }));
      },
      nome,
      Array.from(byte),
    );
  const linea_utf8 = Buffer.from(
    readFileSync(join(esempi, 'Valmarena_linea.txt'), 'latin1').replace('[generale]', '[generale] Località'),
    'utf8',
  );
  await trascina('Valmarena_linea.txt', linea_utf8);
  await p.waitForFunction(() => /UTF-8/.test(document.querySelector('#avviso').textContent), { timeout: 5000 });
  assert.ok((await p.evaluate(() => window.tracciato.text('line'))).includes('Località'), 'UTF-8 read as such');
  await trascina('Valmarena_2231-.txt', readFileSync(join(esempi, 'Valmarena_2231-.txt')));
  await p.waitForFunction(() => document.querySelector('#file-train').textContent === 'Valmarena_2231-.txt', { timeout: 5000 });
  assert.equal(await p.$eval('#nome', (e) => e.value), 'Valmarena');
  assert.equal(await p.$eval('#numero', (e) => e.value), '2231');
  console.log('ok dropped files');

  // 4. The example through the page: as a comment line does not reach the
  // compile, the example's own bytes give the native program's files.
  await p.evaluate((t) => window.tracciato.setText('line', t), readFileSync(join(esempi, 'Valmarena_linea.txt'), 'latin1'));
  uguali(
    await compila_pagina('Valmarena', '2231'),
    compila_nativo(join(esempi, 'Valmarena_linea.txt'), join(esempi, 'Valmarena_2231-.txt'), 'Valmarena', '2231'),
    'example',
  );
  assert.match(await p.evaluate(() => window.tracciato.page()), /^<!DOCTYPE html>/i);
  console.log('ok example compiled through the page');

  // Generated scenarios: the example with its numbers moved at random, lines
  // dropped, line ends mixed and bytes of the upper half in a station's name,
  // given to setText as Latin-1 text; each compiles to the native bytes,
  // faults and all.
  let seme = 2654435761;
  const caso = (n) => ((seme = (seme * 1103515245 + 12345) >>> 0) % n);
  const varia = (byte) =>
    Buffer.from(
      byte
        .toString('latin1')
        .split('\r\n')
        .filter(() => caso(25) !== 0)
        .map((r) => r.replace(/\b\d{3,6}\b/g, (m) => (caso(4) === 0 ? String(Number(m) + caso(400) - 200) : m)))
        .map((r) => (r.startsWith('stazione') && caso(3) === 0 ? r + '\x80\xc8\x9f' : r))
        .map((r, i) => r + (i % 7 === 3 ? '\n' : '\r\n'))
        .join(''),
      'latin1',
    );
  for (let i = 0; i < 5; i++) {
    const l = join(lavoro, `Gen${i}_linea.txt`);
    const t = join(lavoro, `Gen${i}_${i}-.txt`);
    writeFileSync(l, varia(readFileSync(join(esempi, 'Valmarena_linea.txt'))));
    writeFileSync(t, varia(readFileSync(join(esempi, 'Valmarena_2231-.txt'))));
    await p.evaluate(
      (a, b) => (window.tracciato.setText('line', a), window.tracciato.setText('train', b)),
      readFileSync(l, 'latin1'),
      readFileSync(t, 'latin1'),
    );
    const mie = await compila_pagina(`Gen${i}`, String(i));
    uguali(mie, compila_nativo(l, t, `Gen${i}`, String(i)), `generated scenario ${i}`);
    console.log(`ok generated scenario ${i}: ${Object.keys(mie.files).length} files, ${mie.faults.length} faults`);
  }

  // 5. A reload keeps the work.
  await p.evaluate(() => window.tracciato.setText('train', window.tracciato.text('train') + '\nsegnale,  9999'));
  await p.reload();
  await pronto();
  assert.ok((await p.evaluate(() => window.tracciato.text('train'))).endsWith('\nsegnale,  9999'), 'the work after a reload');
  assert.equal(await p.$eval('#nome', (e) => e.value), 'Valmarena');
  console.log('ok the work is still there after a reload');
  // What the storage holds may be damaged, or from another page: the page
  // still opens.
  for (const tenuto of ['{"testi":{"line":5},"nomi":null}', 'not json']) {
    await p.evaluate((v) => localStorage.setItem('tracciato-studio', v), tenuto);
    await p.reload();
    await pronto();
  }
  assert.match(await p.evaluate(() => window.tracciato.text('line')), /lunghezza percorso/);
  console.log('ok damaged storage: the page opens on the built-in scenario');

  assert.deepEqual(rete, [], 'network requests');
  assert.deepEqual(errori, [], 'errors in the page');
  if (process.env.STUDIO_SCREENSHOT) {
    await p.setViewport({ width: 1500, height: 900 });
    for (let i = 0; i < 3; i++) await p.click('#incorporato');
    await new Promise((r) => setTimeout(r, 500));
    await p.screenshot({ path: process.env.STUDIO_SCREENSHOT });
  }
} catch (e) {
  fallito = true;
  console.error(e);
} finally {
  await browser.close();
  rmSync(lavoro, { recursive: true, force: true });
}
if (fallito) process.exit(1);
console.log(`studio page: all passed (${mega.toFixed(2)} MB)`);
