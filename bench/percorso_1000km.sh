#!/bin/sh
# Writes the 1,000 km route of bench/compile_bench.cc into DIR as linea.txt
# and treno.txt: a curve every 3 km, a gradient change every 2 km, signs,
# stations, slowdowns and signals.
#
#   bench/percorso_1000km.sh DIR
set -eu
work=$1
lunghezza=1000000
awk -v L=$lunghezza -v linea="$work/linea.txt" -v treno="$work/treno.txt" '
function passo(l, quanti,   p) { p = int((int(l / quanti) + 9999) / 10000) * 10000; return p < 10000 ? 10000 : p }
function riga(f, t) { printf "%s\r\n", t > f }
BEGIN {
  riga(linea, "[generale]"); riga(linea, "lunghezza percorso, " L)
  riga(linea, "progressiva chilometrica uno, 0, 0, 0"); riga(linea, "progressiva chilometrica due, 0, 0, 0")
  riga(linea, "progressiva chilometrica tre, 0, 0, 0")
  riga(linea, "sfondo uno, 1"); riga(linea, "sfondo due, 2"); riga(linea, "sfondo tre, 3")
  riga(linea, "ripetizione segnali 4 codici, 0, 0"); riga(linea, "[curve]")
  for (p = 1000; p + 500 < L; p += 3000) riga(linea, ((i++ % 2) ? "curvas4, " : "curvad4, ") p ", 500")
  riga(linea, "[pendenze]")
  for (p = 0; p < L; p += 2000) riga(linea, "pendenza, " p ", " (j++ % 3) * 5 - 5)
  riga(linea, "[montagne]"); riga(linea, "[cartelli]"); riga(linea, "[indicazioni]")
  for (p = 3000; p < L; p += passo(L, 20)) riga(linea, "cartello_indicatore, " p ", (F)")
  riga(linea, "[fine]")

  riga(treno, "[generale]"); riga(treno, "numero vetture, 3"); riga(treno, "percentuale massa frenata, 105")
  riga(treno, "sabbia, 120"); riga(treno, "orologio, 13 59 45"); riga(treno, "[aderenze]")
  riga(treno, "aderenza, 0, 100"); riga(treno, "[vel_limite]")
  for (p = 0; p < L; p += 5000) riga(treno, "velocita, " p ", " ((k++ % 2) ? 90 : 120))
  riga(treno, "[stazioni]")
  for (b = 0; b + 10000 <= L; b += passo(L, 40))
    riga(treno, "stazione, " b + 5000 ", 12, 400, 0, 0, 0, 1,1,0, 4,1,1, 0, 0, 0, 0, STAZIONE " int(b / 10000))
  riga(treno, "[rallentamenti]")
  for (b = 0; b + 10000 <= L; b += 20000) riga(treno, "rallentamento, " b + 7000 ", 60, 800, 0, 0, 0")
  riga(treno, "[segnali]")
  split("1000 2500 4000 6500 8000 9500", d, " ")
  for (b = 0; b + 10000 <= L; b += 10000)
    for (n = 1; n <= 6; ++n) riga(treno, "segnale, " b + d[n] ", " ((d[n] % 1000) ? 2 : 1) ", 3, 4, 0, 0, 0, 0,0,0, 0")
  riga(treno, "[codici]"); riga(treno, "[fine]")
}'
