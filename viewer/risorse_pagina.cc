#include "viewer/risorse_pagina.h"

namespace tracciato {

const std::string_view stile_pagina = R"~~(
:root { --inchiostro: #1d2430; --tenue: #6b7480; --griglia: #e3e6ea; --carta: #fff;
  --segnale: #c62828; --avviso: #f9a825; --indicatore: #1565c0; --cartello: #6a1b9a;
  --rallentamento: #ef6c00; --codice: #00838f; --montagna: #795548; --stazione: #2e7d32; --linea: #1d3557; }
* { box-sizing: border-box; }
body { margin: 0; font: 13px/1.35 system-ui, "DejaVu Sans", Arial, sans-serif; color: var(--inchiostro); background: var(--carta); }
header { padding: 10px 16px 6px; border-bottom: 1px solid var(--griglia); }
h1 { font-size: 20px; margin: 0 0 2px; }
h1 .treno { font-weight: normal; color: var(--tenue); }
h2 { font-size: 13px; margin: 0; padding: 6px 0 0 4px; text-transform: uppercase; letter-spacing: .06em; color: var(--tenue); }
.sommario { margin: 0 0 4px; }
.ok { color: var(--stazione); font-weight: 600; }
.guasto { color: var(--segnale); font-weight: 600; }
.tenue { color: var(--tenue); }
details { margin: 2px 0 4px; } details ol { margin: 4px 0; padding-left: 22px; }
.legenda { display: flex; flex-wrap: wrap; gap: 4px 14px; color: var(--tenue); }
.legenda span { white-space: nowrap; } .legenda svg { vertical-align: -2px; margin-right: 3px; }
nav { position: sticky; top: 0; z-index: 2; display: flex; flex-wrap: wrap; align-items: center; gap: 6px 16px;
  padding: 6px 16px; background: #f6f7f9; border-bottom: 1px solid var(--griglia); }
nav input[type=range] { width: 220px; vertical-align: middle; }
nav output { font-variant-numeric: tabular-nums; font-weight: 600; }
nav .aiuto { color: var(--tenue); }
main { padding: 0 16px 16px; }
section { break-inside: avoid; }
svg.vista { display: block; width: 100%; height: auto; cursor: grab; user-select: none; touch-action: none; }
svg.vista.trascina { cursor: grabbing; }
svg text { font-size: 11px; fill: var(--inchiostro); }
svg .tenue { fill: var(--tenue); } svg .piccolo { font-size: 10px; }
svg .griglia { stroke: var(--griglia); stroke-width: 1; }
svg .asse { stroke: #b8bec6; stroke-width: 1; }
svg .nota { fill: var(--tenue); font-style: italic; font-size: 13px; }
[data-tip]:hover { filter: brightness(1.25) drop-shadow(0 0 1.5px #000); }
#tip { position: fixed; z-index: 5; max-width: 420px; padding: 5px 8px; border-radius: 4px; pointer-events: none;
  background: rgba(29,36,48,.94); color: #fff; font-size: 12px; box-shadow: 0 2px 6px rgba(0,0,0,.25); }
#problemi { margin: 4px 0; } #problemi ol { margin: 4px 0; padding-left: 22px; max-height: 180px; overflow: auto; }
#problemi li.errore .livello { color: var(--segnale); font-weight: 600; } #problemi li.avviso .livello { color: #a86b00; font-weight: 600; }
#problemi .dove { color: var(--tenue); font-variant-numeric: tabular-nums; } #problemi a { margin-left: 6px; }
svg .infattibile { stroke: var(--segnale); stroke-width: 4; }
svg text.conta { fill: var(--tenue); font-style: italic; }
@page { size: A4 landscape; margin: 8mm; }
@media print {
  nav, #tip, #problemi a { display: none !important; }
  #problemi ol { max-height: none; overflow: visible; }
  header { padding: 0 0 4px; } main { padding: 0; }
  body { font-size: 11px; -webkit-print-color-adjust: exact; print-color-adjust: exact; }
}
)~~";

const std::string_view corpo_pagina = R"~~(<details id="elenco-guasti" hidden><summary>every fault</summary><ol id="lista-guasti"></ol></details>
<div class="legenda">
<span><svg width="22" height="10"><line x1="0" y1="5" x2="22" y2="5" stroke="#1d3557" stroke-width="1.2"/></svg>line speed limit</span>
<span><svg width="22" height="10"><line x1="0" y1="5" x2="22" y2="5" stroke="#ef6c00" stroke-width="1.5" stroke-dasharray="4 2"/></svg>slowdown limit</span>
<span><svg width="22" height="10"><line x1="0" y1="5" x2="22" y2="5" stroke="#1d2430" stroke-width="3.5"/></svg>lowest limit in force</span>
<span><svg width="22" height="10"><line x1="0" y1="5" x2="22" y2="5" stroke="#795548" stroke-width="5"/></svg>tunnel</span>
<span><svg width="22" height="12"><rect x="0" y="3" width="22" height="6" fill="#2e7d32" fill-opacity=".35"/><circle cx="11" cy="6" r="4" fill="#2e7d32"/></svg>station: extent, position</span>
<span><svg width="12" height="12"><circle cx="6" cy="6" r="4" fill="#fff" stroke="#2e7d32" stroke-width="2"/></svg>point without a station cell</span>
<span><svg width="12" height="12"><circle cx="6" cy="6" r="4" fill="#c62828"/></svg>home signal</span>
<span><svg width="12" height="12"><circle cx="6" cy="6" r="4" fill="#f9a825" stroke="#8d6e00"/></svg>distant signal</span>
<span><svg width="12" height="12"><rect x="2" y="2" width="8" height="8" fill="#1565c0"/></svg>speed board</span>
<span><svg width="12" height="12"><rect x="2" y="3" width="8" height="6" fill="#6a1b9a"/></svg>lineside sign</span>
<span><svg width="22" height="12"><rect x="0" y="2" width="22" height="8" fill="#ef6c00" fill-opacity=".35" stroke="#ef6c00"/></svg>slowdown</span>
<span><svg width="12" height="12"><path d="M6 1 L11 10 L1 10 Z" fill="#ef6c00"/></svg>slowdown warning board</span>
<span><svg width="12" height="12"><path d="M6 1 L11 6 L6 11 L1 6 Z" fill="#00838f"/></svg>code point</span>
<span><svg width="22" height="10"><line x1="0" y1="5" x2="22" y2="5" stroke="#1d3557" stroke-width="2"/></svg>scheduled times</span>
<span id="legenda-veloce" hidden><svg width="22" height="10"><line x1="0" y1="5" x2="22" y2="5" stroke="#2e7d32" stroke-width="2"/></svg>fastest possible run</span>
<span><svg width="22" height="10"><line x1="0" y1="5" x2="22" y2="5" stroke="#c62828" stroke-width="4"/></svg>timetable faster than possible</span>
<span><svg width="22" height="10"><line x1="0" y1="5" x2="22" y2="5" stroke="#8a94a0" stroke-width="1.5" stroke-dasharray="6 3"/></svg>starting clock <output id="orologio"></output></span>
</div>
<details id="problemi" hidden><summary id="sommario-problemi"></summary><ol id="lista-problemi"></ol></details>
</header>
<nav>
<button id="tutto" type="button">Whole line</button>
<span>from <output id="da">-</output> to <output id="a">-</output></span>
<label>position <input type="range" id="centro" min="0" max="1000" value="500"></label>
<label>zoom <input type="range" id="zoom" min="0" max="1000" value="0"></label>
<span class="aiuto">wheel: zoom &middot; drag: pan &middot; hover: details</span>
</nav>
<main id="viste">
<section><h2>Plan</h2><svg class="vista" id="v-piano"></svg></section>
<section><h2>Profile</h2><svg class="vista" id="v-profilo"></svg></section>
<section><h2>Speed</h2><svg class="vista" id="v-velocita"></svg></section>
<section><h2>Line diagram</h2><svg class="vista" id="v-linea"></svg></section>
<section><h2>Train graph</h2><svg class="vista" id="v-grafico"></svg></section>
</main>
<div id="tip" hidden></div>
)~~";

const std::string_view script_pagina = R"~~(
"use strict";
(function () {
const D = JSON.parse(document.getElementById("dati").textContent);
const NS = "http://www.w3.org/2000/svg";
const SX = 120, DX = 14;                      // left and right margins of the route views
const estensione = Math.max(D.celle * 50, 1000);
const lunghezza = D.lunghezza > 0 && D.lunghezza <= estensione ? D.lunghezza : estensione;
const MINIMA = 200;                           // narrowest window, m
// The first window: the route and every item and station, some of which may stand past the route's end.
let a = 0, b = lunghezza;
for (const v of D.el) b = Math.max(b, v[3]);
for (const v of D.stazioni) b = Math.max(b, v[0], v[4]);
b = Math.min(estensione, b + 500);
// A window given in the address, as #from-to in metres, opens the page there.
const chiesta = /^#(\d+)-(\d+)$/.exec(location.hash);
if (chiesta && +chiesta[2] > +chiesta[1]) { a = Math.min(+chiesta[1], estensione - MINIMA); b = Math.min(+chiesta[2], estensione); if (b - a < MINIMA) b = a + MINIMA; }
let W = 1200;
const $ = id => document.getElementById(id);

function el(tag, at, padre, testo) {
  const e = document.createElementNS(NS, tag);
  for (const k in at) e.setAttribute(k, at[k]);
  if (testo !== undefined) e.textContent = testo;
  if (padre) padre.appendChild(e);
  return e;
}
const f1 = v => Math.round(v * 10) / 10;
function progressiva(p) {
  let s = null, f = null;
  for (const r of D.rif) { if (r[0] <= p && (!s || r[0] > s[0])) s = r; if (!f || r[0] < f[0]) f = r; }
  s = s || f;
  return s ? s[1] + (p - s[0]) : p;
}
function km(m) {
  const n = m < 0; m = Math.abs(Math.round(m));
  return "km " + (n ? "-" : "") + Math.floor(m / 1000) + "+" + String(m % 1000).padStart(3, "0");
}
const luogo = p => Math.round(p) + " m, " + km(progressiva(p));
function ora(t, secondi) {
  t = ((Math.round(t) % 86400) + 86400) % 86400;
  const d = x => String(x).padStart(2, "0");
  return d(Math.floor(t / 3600)) + ":" + d(Math.floor(t / 60) % 60) + (secondi ? ":" + d(t % 60) : "");
}
function durata(s) {
  s = Math.ceil(s);
  return s < 60 ? s + " s" : Math.floor(s / 60) + " min " + (s % 60) + " s";
}
const X = m => SX + (m - a) * (W - SX - DX) / (b - a);
const M = px => a + (px - SX) * (b - a) / (W - SX - DX);
function passo(ampiezza, quanti, passi) {
  for (const p of passi) if (ampiezza / p <= quanti) return p;
  return passi[passi.length - 1];
}
const PASSI_M = [50, 100, 200, 500, 1000, 2000, 5000, 10000, 20000, 50000, 100000, 200000, 500000];

// A view: its svg emptied and sized, with a clip for the route axis.
function vista(id, h) {
  const svg = $(id);
  svg.textContent = "";
  svg.setAttribute("viewBox", "0 0 " + W + " " + h);
  const c = el("clipPath", {id: "clip-" + id}, el("defs", {}, svg));
  el("rect", {x: SX, y: 0, width: W - SX - DX, height: h}, c);
  return svg;
}
const ritaglio = (svg, padre) => el("g", {"clip-path": "url(#clip-" + svg.id + ")"}, padre || svg);
function nota(svg, testo, y) { el("text", {x: W / 2, y: y || 40, "text-anchor": "middle", class: "nota"}, svg, testo); }

// Vertical grid lines at the route ticks, with the route km and the chainage
// written at y when etichette is set.
function griglia(svg, y0, y1, etichette) {
  const p = passo(b - a, Math.max(4, (W - SX - DX) / 110), PASSI_M);
  const g = ritaglio(svg);
  for (let m = Math.ceil(a / p) * p; m <= b; m += p) {
    const x = f1(X(m));
    el("line", {x1: x, x2: x, y1: y0, y2: y1, class: "griglia"}, g);
    if (etichette !== undefined) {
      const ancora = x < SX + 30 ? "start" : x > W - DX - 30 ? "end" : "middle";
      el("text", {x: x, y: etichette, "text-anchor": ancora, class: "piccolo"}, g,
         p >= 1000 ? (m / 1000) + " km" : (m >= 1000 ? (m / 1000).toFixed(p >= 100 ? 1 : 2) + " km" : m + " m"));
      if (D.rif.length) el("text", {x: x, y: etichette + 12, "text-anchor": ancora, class: "piccolo tenue"}, g, km(progressiva(m)));
    }
  }
}
function nomeAsse(svg, y, testo) { el("text", {x: 6, y: y, class: "piccolo tenue"}, svg, testo); }

// A label placer: each label is measured where it would stand, moved inside
// the route axis rather than cut, and dropped when it would overlap a label
// the placer already set. Returns the text element, or null.
function etichettatore() {
  const occupati = [];
  const libero = r => !occupati.some(o => r.x < o.x + o.w + 3 && o.x < r.x + r.w + 3 && r.y < o.y + o.h && o.y < r.y + r.h);
  const metti = (padre, x, y, testo, cls, prova) => {
    if (x > W - DX || !testo) return null;
    const t = el("text", {x: f1(Math.max(x, SX)), y: f1(y), class: ((cls || "") + " etichetta").trim()}, padre, testo);
    let r = t.getBBox();
    if (r.x + r.width > W - DX) { t.setAttribute("x", f1(Math.max(SX, W - DX - r.width))); r = t.getBBox(); }
    const box = {x: r.x, y: r.y, w: r.width, h: r.height};
    if (!libero(box)) { t.remove(); return null; }
    if (prova) { t.remove(); return box; }
    occupati.push(box);
    t.box = box;
    return t;
  };
  metti.togli = t => { const i = occupati.indexOf(t.box); if (i >= 0) occupati.splice(i, 1); t.remove(); };
  return metti;
}

const elementi = D.el.map(v => ({tipo: v[0], cella: v[1], inizio: v[2], fine: v[3], valore: v[4], etichetta: v[5], tip: v[6]}));
const diTipo = t => elementi.filter(e => e.tipo === t);
const visibile = e => e.fine >= a && e.inizio <= b;

// Value of a run series (cell, value, cell, value, ...) at route position p.
function inSerie(serie, p) {
  const c = Math.floor(p / 50);
  let v = null;
  for (let i = 0; i < serie.length && serie[i] <= c; i += 2) v = serie[i + 1];
  return v;
}
const fineDati = Math.max(0, D.celle - 2) * 50;     // the last three cells carry no line data

// Elevation at the start of each gradient run, integrated from 0 at the start of the line.
const quote = (function () {
  const q = []; let h = 0;
  for (let i = 0; i < D.pend.length; i += 2) {
    const p0 = D.pend[i] * 50, p1 = i + 2 < D.pend.length ? D.pend[i + 2] * 50 : fineDati;
    q.push({p0: p0, p1: p1, g: D.pend[i + 1], h0: h, h1: h + D.pend[i + 1] * (p1 - p0) / 1000});
    h = q[q.length - 1].h1;
  }
  return q;
})();
function quota(p) {
  for (const r of quote) if (p >= r.p0 && p <= r.p1) return r.h0 + r.g * (p - r.p0) / 1000;
  return quote.length ? (p < quote[0].p0 ? quote[0].h0 : quote[quote.length - 1].h1) : 0;
}

function profilo() {
  const H = 210, su = 14, giu = 168;
  const svg = vista("v-profilo", H);
  griglia(svg, su, giu, giu + 16);
  if (!quote.length) { nota(svg, "no gradients in this scenario"); return; }
  const g = ritaglio(svg);
  const vis = quote.filter(r => r.p1 >= a && r.p0 <= b);
  let hmin = Infinity, hmax = -Infinity;
  for (const r of vis) { const x0 = Math.max(a, r.p0), x1 = Math.min(b, r.p1); for (const h of [quota(x0), quota(x1)]) { hmin = Math.min(hmin, h); hmax = Math.max(hmax, h); } }
  if (!isFinite(hmin)) { hmin = 0; hmax = 1; }
  const vero = [hmin, hmax];
  if (hmax - hmin < 10) { const c = (hmax + hmin) / 2; hmin = c - 5; hmax = c + 5; }
  const pad = (hmax - hmin) * 0.12;
  hmin -= pad; hmax += pad;
  const Y = h => su + 16 + (hmax - h) * (giu - su - 16) / (hmax - hmin);
  for (const t of diTipo("tunnel").filter(visibile))
    el("rect", {x: f1(X(t.inizio)), y: su, width: f1(Math.max(2, X(t.fine) - X(t.inizio))), height: giu - su,
                fill: "#795548", "fill-opacity": .18, "data-tip": t.tip}, g);
  let d = "", area = "";
  for (const r of vis) {
    const s = (d ? "L" : "M") + f1(X(r.p0)) + " " + f1(Y(r.h0)) + "L" + f1(X(r.p1)) + " " + f1(Y(r.h1));
    d += s;
  }
  if (vis.length) area = d + "L" + f1(X(vis[vis.length - 1].p1)) + " " + giu + "L" + f1(X(vis[0].p0)) + " " + giu + "Z";
  el("path", {d: area, fill: "#1d3557", "fill-opacity": .08, class: "sonda"}, g);
  el("path", {d: d, fill: "none", stroke: "#1d3557", "stroke-width": 2}, g);
  const metti = etichettatore();
  for (const r of vis) {
    const x0 = Math.max(X(r.p0), SX), x1 = Math.min(X(r.p1), W - DX);
    const testo = (r.g > 0 ? "+" : r.g < 0 ? "\u2212" : "") + Math.abs(r.g) + "\u2030";
    if (x1 - x0 < testo.length * 6.2 + 6) continue;
    const xm = (x0 + x1) / 2 - testo.length * 3.1;
    metti(g, xm, Math.min(Y(quota((M(xm) + M(xm + testo.length * 6.2)) / 2)) - 6, giu - 4), testo, "piccolo", 0);
  }
  const segno = h => (h > 0 ? "+" : h < 0 ? "\u2212" : "") + Math.abs(f1(h)) + " m";
  for (const h of vero) {
    el("line", {x1: SX - 4, x2: SX, y1: f1(Y(h)), y2: f1(Y(h)), class: "asse"}, svg);
    el("text", {x: SX - 6, y: f1(Y(h)) + 4, "text-anchor": "end", class: "piccolo tenue"}, svg, segno(h));
  }
  nomeAsse(svg, (su + giu) / 2, "height relative");
  nomeAsse(svg, (su + giu) / 2 + 12, "to the start");
}
// The limits in force: the line's runs and the slowdowns, each a stretch
// [p0, p1) at a speed; limiteMinimo gives the lowest of them over each
// stretch between two of their ends.
const limitiLinea = (function () {
  const v = [];
  for (let i = 0; i < D.vel.length; i += 2)
    v.push({p0: D.vel[i] * 50, p1: i + 2 < D.vel.length ? D.vel[i + 2] * 50 : fineDati, v: D.vel[i + 1]});
  return v;
})();
const limiteMinimo = (function () {
  const tutti = limitiLinea.filter(l => l.v > 0).concat(diTipo("slowdown").filter(r => r.valore > 0).map(r => ({p0: r.inizio, p1: r.fine, v: r.valore})));
  const cuciture = [...new Set(tutti.flatMap(l => [l.p0, l.p1]))].sort((x, y) => x - y);
  const v = [];
  for (let i = 0; i + 1 < cuciture.length; i++) {
    const p0 = cuciture[i], p1 = cuciture[i + 1];
    let m = Infinity;
    for (const l of tutti) if (l.p0 <= p0 && l.p1 >= p1) m = Math.min(m, l.v);
    if (!isFinite(m)) continue;
    if (v.length && v[v.length - 1].p1 === p0 && v[v.length - 1].v === m) v[v.length - 1].p1 = p1;
    else v.push({p0: p0, p1: p1, v: m});
  }
  return v;
})();
// The fastest run: position, km/h, time.
const corsa = D.corsa.map(v => ({p: v[0], v: v[1], t: v[2]}));

function velocita() {
  const H = 240, su = 12, giu = 184, riga_codici = 204;
  const svg = vista("v-velocita", H);
  griglia(svg, su, riga_codici + 6);
  const tabelloni = diTipo("board"), rall = diTipo("slowdown");
  let vmax = 40;
  for (let i = 1; i < D.vel.length; i += 2) vmax = Math.max(vmax, D.vel[i]);
  for (const t of tabelloni) vmax = Math.max(vmax, parseInt(t.etichetta) || 0);
  for (const r of rall) vmax = Math.max(vmax, r.valore);
  for (const q of corsa) vmax = Math.max(vmax, q.v);
  vmax = Math.ceil((vmax + 10) / 20) * 20;
  const Y = v => giu - v * (giu - su) / vmax;
  const pv = passo(vmax, 6, [10, 20, 40, 50, 100, 200]);
  for (let v = 0; v <= vmax; v += pv) {
    el("line", {x1: SX, x2: W - DX, y1: f1(Y(v)), y2: f1(Y(v)), class: "griglia"}, svg);
    el("text", {x: SX - 6, y: f1(Y(v)) + 4, "text-anchor": "end", class: "piccolo tenue"}, svg, v);
  }
  nomeAsse(svg, su + 10, "km/h");
  const g = ritaglio(svg);
  el("rect", {x: SX, y: su, width: W - SX - DX, height: giu - su, fill: "transparent", class: "sonda"}, g);
  const metti = etichettatore();
  const fuori = b + (b - a);
  const gradini = (tratti, at) => {
    let d = "", fine = null;
    for (const l of tratti) {
      if (l.p1 < a || l.p0 > b) continue;
      const x0 = f1(X(Math.max(l.p0, a - (b - a)))), y = f1(Y(l.v));
      d += (fine !== null && fine === l.p0 ? "V" + y : "M" + x0 + " " + y) + "H" + f1(X(Math.min(l.p1, fuori)));
      fine = l.p1;
    }
    return el("path", Object.assign({d: d, fill: "none"}, at), g);
  };
  // The lowest limit in force, strongest; over it each limit as its own thin line.
  gradini(limiteMinimo, {stroke: "#1d2430", "stroke-width": 3.5, "stroke-opacity": .85, "stroke-linejoin": "round"});
  gradini(limitiLinea, {stroke: "#1d3557", "stroke-width": 1.2});
  for (const r of rall.filter(visibile)) {
    const x0 = X(r.inizio);
    const linea = inSerie(D.vel, r.inizio) || 0, dopo = inSerie(D.vel, Math.max(r.inizio, r.fine - 1)) || 0;
    el("path", {d: "M" + f1(x0) + " " + f1(Y(linea)) + "V" + f1(Y(r.valore)) + "H" + f1(Math.max(x0 + 3, X(r.fine))) + "V" + f1(Y(dopo)),
                fill: "none", stroke: "#ef6c00", "stroke-width": 1.8, "stroke-dasharray": "5 2", "data-tip": r.tip}, g);
    metti(svg, x0 + 2, Y(r.valore) + 12, r.valore + " km/h", "piccolo");
  }
  if (corsa.length) {
    let d = "";
    for (let i = 0; i < corsa.length; i++) {
      const q = corsa[i];
      if (q.p < a - (b - a) || q.p > fuori) { if (d && q.p > fuori) break; continue; }
      d += (d ? "L" : "M") + f1(X(q.p)) + " " + f1(Y(q.v));
    }
    el("path", {d: d, fill: "none", stroke: "#2e7d32", "stroke-width": 1.8, "stroke-linejoin": "round",
                "data-tip": "fastest possible run: " + D.ritmi}, g);
  }
  for (const v of D.avvisi) {
    const p = v[0] * 50; if (p < a || p > b) continue;
    const x = f1(X(p));
    if (v[1] >= 0) {
      const y = f1(Y(v[1]));
      el("path", {d: "M" + x + " " + (y - 7) + "l6 10h-12z", fill: "#ef6c00", "data-tip": v[2]}, g);
    } else {
      el("line", {x1: x, x2: x, y1: giu - 8, y2: giu, stroke: "#ef6c00", "stroke-width": 2, "data-tip": v[2]}, g);
    }
  }
  for (const t of tabelloni.filter(visibile)) {
    const v = parseInt(t.etichetta) || 0, x = X(t.inizio), y = Y(v);
    el("rect", {x: f1(x - 4), y: f1(y - 4), width: 8, height: 8, fill: "#1565c0", "data-tip": t.tip}, g);
    metti(svg, x + 6, y - 6, t.etichetta, "piccolo");
  }
  for (const c of diTipo("code-point").filter(visibile)) {
    const x = f1(X(c.inizio));
    el("path", {d: "M" + x + " " + (riga_codici - 5) + "l5 5l-5 5l-5 -5z", fill: "#00838f", "data-tip": c.tip}, g);
  }
  nomeAsse(svg, riga_codici + 4, "code points");
}

const STRISCE = [["station", "stations", "station"], ["signal", "signals", "signal"], ["board", "speed boards", "board"],
                 ["sign", "lineside signs", "sign"], ["slowdown", "slowdowns", "slowdown"], ["code-point", "code points", "code point"],
                 ["tunnel", "tunnels", "tunnel"]];
// The station records, every one an item, points without a station cell (kind 25 and above) among them.
const stazioni = D.stazioni.map(v => ({p: v[0], t: v[1], fermata: v[2], inizio: Math.min(v[3], v[4]), fine: Math.max(v[3], v[4]),
                                       nome: v[5], genere: v[6], tip: v[7]}));
function linea() {
  const R = 46, su = 6, H = su + STRISCE.length * R + 34;
  const svg = vista("v-linea", H);
  griglia(svg, su, su + STRISCE.length * R, su + STRISCE.length * R + 14);
  const g = ritaglio(svg), scritte = el("g", {}, svg);
  STRISCE.forEach(([tipo, nome, uno], k) => {
    const y0 = su + k * R, ym = y0 + R - 12, corsie = [y0 + 13, y0 + 25];
    el("text", {x: 6, y: ym + 4}, svg, nome);
    el("line", {x1: SX, x2: W - DX, y1: y0 + R, y2: y0 + R, class: "griglia"}, svg);
    const etichette = [];  // [x, text] of the items in view
    const voci = tipo === "station" ? stazioni.map(s => ({tipo: "station", inizio: s.inizio, fine: s.fine, p: s.p, etichetta: s.nome, tip: s.tip,
                                                           genere: s.genere, cella: Math.floor(s.p / 50)}))
                                    : diTipo(tipo);
    for (const e of voci) {
      // Every item is one element, drawn whether or not it is in view.
      const it = el("g", {"data-item": tipo, "data-cell": e.cella, "data-tip": e.tip}, g);
      const x = X(e.inizio), xc = f1(X(e.cella * 50));
      let testo = "", xt = x;
      if (tipo === "station") {
        if (e.fine > e.inizio) el("rect", {x: f1(x), y: ym - 3, width: f1(Math.max(2, X(e.fine) - x)), height: 6, fill: "#2e7d32", "fill-opacity": .35}, it);
        const xp = f1(X(e.p));
        el("circle", e.genere >= 25 ? {cx: xp, cy: ym, r: 3.5, fill: "#fff", stroke: "#2e7d32", "stroke-width": 2}
                                    : {cx: xp, cy: ym, r: 4.5, fill: "#2e7d32"}, it);
        testo = e.etichetta; xt = X(e.p) - 4;
        if (e.p < a || e.p > b) testo = "";
      } else if (tipo === "signal") {
        const casa = e.etichetta === "home";
        el("circle", {cx: xc, cy: ym, r: 4, fill: casa ? "#c62828" : "#f9a825", stroke: casa ? "none" : "#8d6e00"}, it);
      } else if (tipo === "board") {
        el("rect", {x: xc - 4, y: ym - 6, width: 8, height: 8, fill: "#1565c0"}, it); testo = e.etichetta; xt = xc - 4;
      } else if (tipo === "sign") {
        el("rect", {x: xc - 4, y: ym - 3, width: 8, height: 6, fill: "#6a1b9a"}, it); testo = e.etichetta; xt = xc - 4;
      } else if (tipo === "slowdown") {
        el("rect", {x: f1(x), y: ym - 4, width: f1(Math.max(3, X(e.fine) - x)), height: 8, fill: "#ef6c00", "fill-opacity": .35, stroke: "#ef6c00"}, it);
        testo = e.etichetta;
      } else if (tipo === "code-point") {
        el("path", {d: "M" + xc + " " + (ym - 5) + "l5 5l-5 5l-5 -5z", fill: "#00838f"}, it); testo = e.etichetta; xt = xc - 5;
      } else {
        el("rect", {x: f1(x), y: ym - 5, width: f1(Math.max(2, X(e.fine) - x)), height: 10, fill: "#795548"}, it);
      }
      if (testo && visibile(e)) etichette.push([Math.max(xt, SX), testo]);
    }
    // Board stripes under their board, tunnel marks in the tunnels' strip.
    if (tipo === "board")
      for (const [c, sx, dx] of D.strisce) {
        const p = c * 50; if (p < a || p > b) continue;
        const x = f1(X(p));
        for (let n = 0; n < Math.min(sx + dx, 4); n++)
          el("line", {x1: x - 4, x2: x + 4, y1: ym + 4 + 2 * n, y2: ym + 4 + 2 * n, stroke: n < sx ? "#1565c0" : "#90caf9", "stroke-width": 1.2}, g);
      }
    if (tipo === "tunnel")
      for (const [c, , tip] of D.segni) {
        const p = c * 50; if (p < a || p > b) continue;
        el("path", {d: "M" + f1(X(p)) + " " + (ym + 6) + "l4 6h-8z", fill: "#3e2723", "data-tip": tip}, g);
      }
    // Labels in two lanes above the marks; when some would not fit, the
    // strip's labels give way to counts of the items in each stretch.
    let metti = etichettatore(), posti = [];
    const prova = (x, testo) => { for (const y of corsie) { const t = metti(scritte, x, y, testo, "piccolo"); if (t) return t; } return null; };
    for (const [x, testo] of etichette) {
      const t = prova(x, testo);
      if (!t) { for (const q of posti) q.remove(); posti = null; break; }
      posti.push(t);
    }
    if (posti) return;
    metti = etichettatore();
    const largo = 110;
    let gruppo = [], ultimo = null;
    const conta = n => n + " " + (n === 1 ? uno : uno + "s");
    // A stretch whose labels all fit shows them; else its count, and a
    // count that finds no room joins the count before it.
    const chiudi = () => {
      if (!gruppo.length) return;
      const messe = [];
      for (const [x, testo] of gruppo) { const q = prova(x, testo); if (!q) break; messe.push(q); }
      if (messe.length === gruppo.length) { ultimo = null; gruppo = []; return; }
      for (const q of messe) metti.togli(q);
      let t = prova(gruppo[0][0], conta(gruppo.length));
      if (t) { t.classList.add("conta"); ultimo = {t: t, n: gruppo.length, x: gruppo[0][0]}; }
      else if (ultimo) {
        metti.togli(ultimo.t);
        const n = ultimo.n + gruppo.length;
        t = prova(ultimo.x, conta(n));
        if (t) { t.classList.add("conta"); ultimo = {t: t, n: n, x: ultimo.x}; } else ultimo = null;
      }
      gruppo = [];
    };
    let inizio = null;
    for (const q of etichette) {
      if (inizio !== null && q[0] - inizio > largo) chiudi();
      if (!gruppo.length) inizio = q[0];
      gruppo.push(q);
    }
    chiudi();
  });
}

function grafico() {
  const H = 330, su = 34, giu = 290;
  const svg = vista("v-grafico", H);
  griglia(svg, su, giu, giu + 16);
  const st = stazioni;
  const sotto = el("g", {}, svg);             // the time grid, under the paths
  const g = ritaglio(svg);
  const metti = etichettatore();
  for (const s of st) {
    if (s.p < a || s.p > b) continue;
    const x = f1(X(s.p));
    el("line", {x1: x, x2: x, y1: su - 4, y2: giu, stroke: "#cfd4da", "stroke-dasharray": "2 3"}, g);
    metti(g, x + 2, su - 8, s.nome, "piccolo tenue", 0);
  }
  // Times of the scheduled path, carried past midnight.
  const programmato = []; let giorno = 0, prima = -1;
  for (const s of st) {
    if (!s.t) continue;
    if (s.t + giorno < prima) giorno += 86400;
    prima = s.t + giorno;
    programmato.push({p: s.p, t: prima, s: s});
  }
  // The fastest possible run, leaving the first timed station at its time.
  const veloce = corsa;
  if (!programmato.length) { nota(svg, "no station has a scheduled time", (su + giu) / 2); return; }
  // The time axis fits the paths within the window: their points in it and
  // their times where they cross its edges.
  const nelTempo = (punti, p) => {
    for (let i = 1; i < punti.length; i++) {
      const q0 = punti[i - 1], q1 = punti[i];
      if (p >= Math.min(q0.p, q1.p) && p <= Math.max(q0.p, q1.p))
        return q1.p === q0.p ? q0.t : q0.t + (q1.t - q0.t) * (p - q0.p) / (q1.p - q0.p);
    }
    return null;
  };
  let t0 = Infinity, t1 = -Infinity;
  for (const punti of [programmato, veloce])
    for (const t of punti.filter(q => q.p >= a && q.p <= b).map(q => q.t).concat([nelTempo(punti, a), nelTempo(punti, b)]))
      if (t !== null) { t0 = Math.min(t0, t); t1 = Math.max(t1, t); }
  if (!isFinite(t0)) for (const q of programmato.concat(veloce)) { t0 = Math.min(t0, q.t); t1 = Math.max(t1, q.t); }
  if (D.orologio > 0 && programmato[0].p >= a && D.orologio < t0 && t0 - D.orologio < 3600) t0 = D.orologio;
  if (t1 - t0 < 300) { const c = (t0 + t1) / 2; t0 = c - 150; t1 = c + 150; }
  const pad = (t1 - t0) * 0.04; t0 -= pad; t1 += pad;
  const Y = t => su + (t - t0) * (giu - su) / (t1 - t0);
  const pt = passo(t1 - t0, 9, [60, 120, 300, 600, 900, 1800, 3600, 7200, 14400]);
  for (let t = Math.ceil(t0 / pt) * pt; t <= t1; t += pt) {
    el("line", {x1: SX, x2: W - DX, y1: f1(Y(t)), y2: f1(Y(t)), class: "griglia"}, sotto);
    el("text", {x: SX - 6, y: f1(Y(t)) + 4, "text-anchor": "end", class: "piccolo tenue"}, sotto, ora(t));
  }
  el("rect", {x: SX, y: su, width: W - SX - DX, height: giu - su, fill: "transparent", class: "sonda"}, g);
  if (D.orologio > 0 && D.orologio >= t0 && D.orologio <= t1) {
    el("line", {x1: SX, x2: W - DX, y1: f1(Y(D.orologio)), y2: f1(Y(D.orologio)), stroke: "#8a94a0", "stroke-dasharray": "6 3",
                "data-tip": "clock at the start of the scenario: " + ora(D.orologio, true)}, svg);
    el("text", {x: W - DX - 2, y: f1(Y(D.orologio)) - 3, "text-anchor": "end", class: "piccolo tenue"}, svg, "starting clock " + ora(D.orologio, true));
  }
  const traccia = (punti, at) => el("path", Object.assign({d: punti.map((q, i) => (i ? "L" : "M") + f1(X(q.p)) + " " + f1(Y(q.t))).join(""), fill: "none"}, at), g);
  if (veloce.length) traccia(veloce, {stroke: "#2e7d32", "stroke-width": 2, "data-tip": "fastest possible run: " + D.ritmi});
  traccia(programmato, {stroke: "#1d3557", "stroke-width": 2});
  // Where the timetable asks for less than the fastest run can make, its stretch is red.
  for (const [p0, p1, o0, o1, minimo, impossibile, n0, n1] of D.tratti) {
    if (!impossibile) continue;
    el("line", {x1: f1(X(p0)), y1: f1(Y(o0)), x2: f1(X(p1)), y2: f1(Y(o1)), class: "infattibile", "data-infeasible": "",
                "data-tip": "the timetable gives " + durata(o1 - o0) + " from " + n0 + " (" + ora(o0, true) + ") to " + n1 + " (" + ora(o1, true) +
                            "); the fastest possible run needs " + durata(minimo) + " (" + D.ritmi + ")"}, g);
  }
  programmato.forEach((q, i) => {
    const ruolo = i === 0 ? "departure" : i === programmato.length - 1 ? "arrival" : q.s.fermata ? "stop" : "passing point";
    const pieno = i === 0 || i === programmato.length - 1 || q.s.fermata;
    el("circle", {cx: f1(X(q.p)), cy: f1(Y(q.t)), r: 4, fill: pieno ? "#1d3557" : "#fff", stroke: "#1d3557", "stroke-width": 1.5,
                  "data-tip": q.s.nome + ": " + ruolo + " " + ora(q.t, true) + (q.s.fermata ? ", stop value " + q.s.fermata : "") + "; at " + luogo(q.p)}, g);
  });
  nomeAsse(svg, su + 4, "time");
}

// The track plan: the whole line faint, the window's stretch bold, at one
// scale on both axes, turned so that the line runs from left to right across
// the panel (the north arrow shows where north lies), the panel as tall as
// the stretch needs.
const pianoRuotato = (function () {
  if (!D.piano) return null;
  // The direction of the plan's longest extent: its points' principal axis.
  const n = D.piano.m.length;
  let mx = 0, my = 0, sxx = 0, syy = 0, sxy = 0;
  for (let i = 0; i < n; i++) { mx += D.piano.x[i] / n; my += D.piano.y[i] / n; }
  for (let i = 0; i < n; i++) {
    const dx = D.piano.x[i] - mx, dy = D.piano.y[i] - my;
    sxx += dx * dx; syy += dy * dy; sxy += dx * dy;
  }
  let th = 0.5 * Math.atan2(2 * sxy, sxx - syy);
  // The line's start stays on the left.
  if ((D.piano.x[n - 1] - D.piano.x[0]) * Math.cos(th) + (D.piano.y[n - 1] - D.piano.y[0]) * Math.sin(th) < 0) th += Math.PI;
  const c = Math.cos(th), s = Math.sin(th);
  return {th: th, m: D.piano.m, x: D.piano.x.map((x, i) => x * c + D.piano.y[i] * s), y: D.piano.x.map((x, i) => -x * s + D.piano.y[i] * c)};
})();
function piano() {
  let H = 360;
  const m0 = 10;
  if (!pianoRuotato) {
    const svg = vista("v-piano", H);
    nota(svg, "no track plan: the scenario was compiled without one", H / 2);
    return;
  }
  const pm = pianoRuotato.m, px = pianoRuotato.x, py = pianoRuotato.y, n = pm.length;
  function punto(m) {
    if (m <= pm[0]) return [px[0] / 10, py[0] / 10];
    if (m >= pm[n - 1]) return [px[n - 1] / 10, py[n - 1] / 10];
    let lo = 0, hi = n - 1;
    while (hi - lo > 1) { const c = (lo + hi) >> 1; if (pm[c] <= m) lo = c; else hi = c; }
    const f = (m - pm[lo]) / (pm[hi] - pm[lo]);
    return [(px[lo] + f * (px[hi] - px[lo])) / 10, (py[lo] + f * (py[hi] - py[lo])) / 10];
  }
  const tratto = [punto(a)];
  for (let i = 0; i < n; i++) if (pm[i] > a && pm[i] < b) tratto.push([px[i] / 10, py[i] / 10]);
  tratto.push(punto(b));
  let x0 = Infinity, x1 = -Infinity, y0 = Infinity, y1 = -Infinity;
  for (const [x, y] of tratto) { x0 = Math.min(x0, x); x1 = Math.max(x1, x); y0 = Math.min(y0, y); y1 = Math.max(y1, y); }
  const minimo = 100;
  if (x1 - x0 < minimo) { const c = (x0 + x1) / 2; x0 = c - minimo / 2; x1 = c + minimo / 2; }
  if (y1 - y0 < minimo) { const c = (y0 + y1) / 2; y0 = c - minimo / 2; y1 = c + minimo / 2; }
  H = Math.round(Math.max(220, Math.min(420, (y1 - y0) / (x1 - x0) * (W - 2 * m0 - 60) / 0.92 + 2 * m0 + 30)));
  const svg = vista("v-piano", H);
  svg.querySelector("clipPath rect").setAttribute("x", 0);
  svg.querySelector("clipPath rect").setAttribute("width", W);
  const k = Math.min((W - 2 * m0 - 60) / (x1 - x0), (H - 2 * m0 - 30) / (y1 - y0)) * 0.92;
  const cx = W / 2, cy = H / 2 - 4, mx = (x0 + x1) / 2, my = (y0 + y1) / 2;
  const P = q => [f1(cx + (q[0] - mx) * k), f1(cy - (q[1] - my) * k)];
  const percorso = punti => punti.map((q, i) => (i ? "L" : "M") + P(q).join(" ")).join("");
  const g = ritaglio(svg);
  const tutti = [];
  for (let i = 0; i < n; i++) tutti.push([px[i] / 10, py[i] / 10]);
  el("path", {d: percorso(tutti), fill: "none", stroke: "#c3c9d1", "stroke-width": 1.5}, g);
  el("path", {d: percorso(tratto), fill: "none", stroke: "#1d3557", "stroke-width": 3, "stroke-linejoin": "round"}, g);
  const pezzo = (i0, i1) => { const v = [punto(i0)]; for (let i = 0; i < n; i++) if (pm[i] > i0 && pm[i] < i1) v.push([px[i] / 10, py[i] / 10]); v.push(punto(i1)); return v; };
  for (const t of diTipo("tunnel").filter(visibile))
    el("path", {d: percorso(pezzo(Math.max(a, t.inizio), Math.min(b, t.fine))), fill: "none", stroke: "#795548", "stroke-width": 6,
                "stroke-linecap": "butt", "data-tip": t.tip}, g);
  // Kilometre ticks across the line, labelled with the route km.
  const p = passo(b - a, 14, [100, 200, 500, 1000, 2000, 5000, 10000, 20000, 50000, 100000]);
  const scritteKm = [];
  for (let m = Math.ceil(a / p) * p; m <= b; m += p) {
    const q = P(punto(m)), r = P(punto(Math.min(m + 20, pm[n - 1]))), s = P(punto(Math.max(m - 20, pm[0])));
    let dx = r[0] - s[0], dy = r[1] - s[1]; const l = Math.hypot(dx, dy) || 1; dx /= l; dy /= l;
    el("line", {x1: f1(q[0] - dy * 6), y1: f1(q[1] + dx * 6), x2: f1(q[0] + dy * 6), y2: f1(q[1] - dx * 6), stroke: "#1d3557", "stroke-width": 1.5}, g);
    scritteKm.push([{x: f1(q[0] + dy * 9), y: f1(q[1] - dx * 9 + 4), class: "piccolo tenue", "text-anchor": dy >= 0 ? "start" : "end"},
                    (p >= 1000 ? m / 1000 : (m / 1000).toFixed(1)) + " km"]);
  }
  const segnali = diTipo("signal").filter(visibile);
  if (segnali.length < 400)
    for (const s of segnali) {
      const q = P(punto(s.inizio));
      el("circle", {cx: q[0], cy: q[1], r: 3, fill: s.etichetta === "home" ? "#c62828" : "#f9a825", stroke: "#fff", "stroke-width": .8, "data-tip": s.tip}, g);
    }
  // Names of the stations in view at their positions, then the kilometre
  // labels, each set where it overlaps no text already set.
  const occupati = [];
  const posa = t => {
    const r = t.getBBox();
    if (occupati.some(o => r.x < o.x + o.width + 2 && o.x < r.x + r.width + 2 && r.y < o.y + o.height && o.y < r.y + r.height)) { t.remove(); return; }
    occupati.push(r);
  };
  for (const s of stazioni.filter(s => s.p >= a && s.p <= b)) {
    const q = P(punto(s.p));
    el("circle", s.genere >= 25 ? {cx: q[0], cy: q[1], r: 4, fill: "#fff", stroke: "#2e7d32", "stroke-width": 2, "data-tip": s.tip}
                                : {cx: q[0], cy: q[1], r: 5, fill: "#2e7d32", stroke: "#fff", "stroke-width": 1, "data-tip": s.tip}, g);
    posa(el("text", {x: f1(q[0] + 7), y: f1(q[1] - 5), style: "font-weight:600", "paint-order": "stroke", stroke: "#fff", "stroke-width": 3}, g, s.nome));
  }
  for (const [at, testo] of scritteKm) posa(el("text", at, g, testo));
  // The window's middle, where the position slider stands.
  const centro = P(punto((a + b) / 2));
  el("circle", {cx: centro[0], cy: centro[1], r: 9, fill: "#f9a825", "fill-opacity": .35, stroke: "#f9a825", "stroke-width": 2.5,
                id: "segno-centro", "data-tip": "the middle of the window, where the position slider stands: " + luogo((a + b) / 2)}, g);
  // North arrow (turned with the plan) and scale bar.
  const gradi = f1(pianoRuotato.th * 180 / Math.PI);
  const nord = el("g", {transform: "translate(" + (W - 28) + " 34) rotate(" + gradi + ")"}, svg);
  el("path", {d: "M-7 10l7 -20l7 20l-7 -5z", fill: "#1d3557"}, nord);
  el("text", {x: 0, y: 24, "text-anchor": "middle", class: "piccolo"}, nord, "N");
  const barra = passo(120 / k, 1, [10, 20, 50, 100, 200, 500, 1000, 2000, 5000, 10000, 20000, 50000, 100000]);
  el("line", {x1: 14, x2: f1(14 + barra * k), y1: H - 14, y2: H - 14, stroke: "#1d3557", "stroke-width": 3}, svg);
  el("text", {x: 14, y: H - 20, class: "piccolo"}, svg, barra >= 1000 ? barra / 1000 + " km" : barra + " m");
}

function disegna() {
  W = Math.max(760, Math.round($("viste").clientWidth || 1200));
  piano(); profilo(); velocita(); linea(); grafico();
  $("da").textContent = (a / 1000).toFixed(2) + " km";
  $("a").textContent = (b / 1000).toFixed(2) + " km";
  const ampiezza = b - a;
  $("zoom").value = Math.round(1000 * Math.log(estensione / ampiezza) / Math.log(estensione / MINIMA)) || 0;
  $("centro").value = Math.round(1000 * (a + ampiezza / 2) / estensione);
}
let attesa = 0;
function ridisegna() { if (!attesa) attesa = requestAnimationFrame(() => { attesa = 0; disegna(); }); }
function subito() { if (attesa) { cancelAnimationFrame(attesa); attesa = 0; } disegna(); }

// The window [a, b] kept inside the line and at least MINIMA wide.
function finestra(na, nb) {
  let w = Math.min(estensione, Math.max(MINIMA, nb - na));
  na = Math.max(0, Math.min(na, estensione - w));
  a = na; b = na + w;
  ridisegna();
}
function versoVista(svg, ev) {
  const r = svg.getBoundingClientRect();
  return (ev.clientX - r.left) * W / (r.width || W);
}
for (const id of ["v-piano", "v-profilo", "v-velocita", "v-linea", "v-grafico"]) {
  const svg = $(id);
  svg.addEventListener("wheel", ev => {
    ev.preventDefault();
    const f = Math.exp(Math.max(-300, Math.min(300, ev.deltaY)) * 0.0015);
    const m = id === "v-piano" ? (a + b) / 2 : Math.max(a, Math.min(b, M(versoVista(svg, ev))));
    const w = Math.min(estensione, Math.max(MINIMA, (b - a) * f));
    finestra(m - (m - a) * w / (b - a), m - (m - a) * w / (b - a) + w);
  }, {passive: false});
  let presa = null;
  svg.addEventListener("pointerdown", ev => { presa = {x: versoVista(svg, ev), a: a, b: b}; svg.setPointerCapture(ev.pointerId); svg.classList.add("trascina"); });
  svg.addEventListener("pointermove", ev => {
    if (!presa) return;
    const dm = (versoVista(svg, ev) - presa.x) * (presa.b - presa.a) / (W - SX - DX);
    finestra(presa.a - dm, presa.b - dm);
  });
  const lascia = () => { presa = null; svg.classList.remove("trascina"); };
  svg.addEventListener("pointerup", lascia);
  svg.addEventListener("pointercancel", lascia);
}
$("tutto").addEventListener("click", () => finestra(0, estensione));
$("zoom").addEventListener("input", () => {
  const w = estensione * Math.pow(MINIMA / estensione, $("zoom").value / 1000), c = (a + b) / 2;
  finestra(c - w / 2, c + w / 2);
});
$("centro").addEventListener("input", () => {
  const c = $("centro").value / 1000 * estensione, w = b - a;
  finestra(c - w / 2, c + w / 2);
});
window.addEventListener("resize", ridisegna);

// Tooltips: an element's own words, or the line at the pointer in the route views.
const tip = $("tip");
document.addEventListener("mousemove", ev => {
  const t = ev.target instanceof Element ? ev.target : null;
  let testo = null;
  const conTip = t && t.closest("[data-tip]");
  if (conTip) testo = conTip.getAttribute("data-tip");
  else if (t && t.classList.contains("sonda")) {
    const p = M(versoVista(t.ownerSVGElement, ev));
    const v = inSerie(D.vel, p), g = inSerie(D.pend, p), ad = inSerie(D.ader, p);
    const minimo = limiteMinimo.find(l => l.p0 <= p && p < l.p1);
    let corre = null;
    for (let i = 1; i < corsa.length; i++)
      if (corsa[i - 1].p <= p && p <= corsa[i].p && corsa[i].p > corsa[i - 1].p) {
        const f = (p - corsa[i - 1].p) / (corsa[i].p - corsa[i - 1].p);
        corre = [corsa[i - 1].v + f * (corsa[i].v - corsa[i - 1].v), corsa[i - 1].t + f * (corsa[i].t - corsa[i - 1].t)];
        break;
      }
    testo = luogo(p) + (minimo && v !== null && minimo.v < v ? " \u00b7 limit in force " + minimo.v + " km/h (line " + v + " km/h)" : "") +
            (corre ? " \u00b7 fastest run " + Math.round(corre[0]) + " km/h at " + ora(corre[1], true) : "") +
            (p <= fineDati && v !== null ? " \u00b7 limit " + v + " km/h \u00b7 gradient " + g + "\u2030 \u00b7 elevation " + f1(quota(p)) + " m \u00b7 adhesion " + ad + "%" : "");
  }
  if (!testo) { tip.hidden = true; return; }
  tip.textContent = testo;
  tip.hidden = false;
  const x = Math.min(ev.clientX + 14, window.innerWidth - tip.offsetWidth - 6);
  const y = ev.clientY + 16 + tip.offsetHeight > window.innerHeight ? ev.clientY - tip.offsetHeight - 10 : ev.clientY + 16;
  tip.style.left = x + "px"; tip.style.top = y + "px";
});

$("legenda-veloce").hidden = !corsa.length;
$("orologio").textContent = ora(D.orologio, true);
// The check's errors and warnings, each with its line and a link to its place.
if (D.problemi) {
  const errori = D.problemi.filter(q => q[0]).length, avvisi = D.problemi.length - errori;
  $("problemi").hidden = false;
  $("sommario-problemi").textContent = "check: " + errori + (errori === 1 ? " error, " : " errors, ") + avvisi + (avvisi === 1 ? " warning" : " warnings");
  if (D.problemi.length) $("problemi").open = true;
  for (const [errore, dove, p, testo] of D.problemi) {
    const li = document.createElement("li");
    li.className = errore ? "errore" : "avviso";
    li.setAttribute("data-problem", errore ? "error" : "warning");
    li.append(Object.assign(document.createElement("span"), {className: "livello", textContent: errore ? "error " : "warning "}),
              Object.assign(document.createElement("span"), {className: "dove", textContent: dove ? dove + ": " : ""}), testo);
    if (p !== null) {
      const q = Math.max(0, Math.min(p, estensione)), da = Math.max(0, q - 1000), fino = Math.min(estensione, q + 1000);
      const link = Object.assign(document.createElement("a"), {href: "#" + da + "-" + fino, textContent: "show at " + luogo(q)});
      // The same link twice zooms twice: the click sets the window itself.
      link.addEventListener("click", ev => {
        ev.preventDefault();
        history.replaceState(null, "", "#" + da + "-" + fino);
        finestra(da, fino);
        subito();
        $("viste").scrollIntoView({block: "start"});
      });
      li.append(link);
    }
    $("lista-problemi").appendChild(li);
  }
} else {
  $("problemi").hidden = false;
  $("sommario-problemi").textContent = "check: the binary files keep no problems; view the sources (--line, --train) to list the check's errors and warnings";
}
// A window named in the address after the page opened (a problem's link).
window.addEventListener("hashchange", () => {
  const w = /^#(\d+)-(\d+)$/.exec(location.hash);
  if (w && +w[2] > +w[1]) { finestra(+w[1], +w[2]); $("viste").scrollIntoView({block: "start"}); }
});
if (D.guasti.length) {
  $("elenco-guasti").hidden = false;
  for (const r of D.guasti) $("lista-guasti").appendChild(Object.assign(document.createElement("li"), {textContent: r}));
}
disegna();
})();
)~~";

}  // namespace tracciato
