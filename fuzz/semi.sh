#!/bin/sh
# Seeds for the fuzz targets, from the examples and the built-in files.
#   fuzz/semi.sh TRACCIATO BUILD_FUZZ
# writes BUILD_FUZZ/corpus-<target>/ for each target (kept between runs, so
# what a run found is the next run's start).
set -eu
tracciato=$1
uscita=$2
radice=$(cd "$(dirname "$0")/.." && pwd)
lavoro=$(mktemp -d)
trap 'rm -rf "$lavoro"' EXIT

mkdir -p "$uscita/corpus-campi_fuzzer" "$uscita/corpus-compile_fuzzer" "$uscita/corpus-decodifica_fuzzer" \
  "$uscita/corpus-decompila_fuzzer"
"$tracciato" sources --dir "$lavoro/incorporato" >/dev/null
linea_i="$lavoro/incorporato/VessolantaC_OrmelaC_linea.txt"
treno_i="$lavoro/incorporato/VessolantaC_OrmelaC_4715-.txt"
linea_e="$radice/examples/Valmarena_linea.txt"
treno_e="$radice/examples/Valmarena_2231-.txt"

# The field reader: a byte of read order (here: none, so texts) and a file.
for f in "$linea_i" "$treno_i" "$linea_e" "$treno_e"; do
  { printf '\000'; cat "$f"; } > "$uscita/corpus-campi_fuzzer/$(basename "$f")"
  { printf '\004\000\003\003\001'; cat "$f"; } > "$uscita/corpus-campi_fuzzer/misto-$(basename "$f")"
done

# The whole compile: line file, NUL, train file.
cp "$radice/fuzz/corpus/"* "$uscita/corpus-compile_fuzzer/"
{ cat "$linea_i"; printf '\000'; cat "$treno_i"; } > "$uscita/corpus-compile_fuzzer/incorporato"
{ cat "$linea_e"; printf '\000'; cat "$treno_e"; } > "$uscita/corpus-compile_fuzzer/valmarena"

# The decoders: a byte choosing the file (0 cells, 1 record table, 2 track
# plan) and the file, from a compile of the small test scenario.
"$tracciato" compile --line "$radice/tests/fixtures/linea.txt" --train "$radice/tests/fixtures/treno.txt" \
  --name S --train-number T --dir "$lavoro" >/dev/null
{ printf '\000'; cat "$lavoro/S_T.dat"; } > "$uscita/corpus-decodifica_fuzzer/celle"
{ printf '\001'; cat "$lavoro/S_T.sim"; } > "$uscita/corpus-decodifica_fuzzer/tabella"
{ printf '\002'; head -c 3988 "$lavoro/S_linea.dat"; } > "$uscita/corpus-decodifica_fuzzer/planimetria"

# The round trip of generated scenarios: eight bytes of seed.
for seme in 1 2 3 39 142 149 217 241; do
  printf "\\$(printf '%03o' "$seme")\000\000\000\000\000\000\000" > "$uscita/corpus-decompila_fuzzer/seme-$seme"
done
# And the seeds it found that decompile once got wrong (little-endian).
printf '\001\000\000\000\000\000\000\001' > "$uscita/corpus-decompila_fuzzer/seme-0100000000000001"
printf '\001\033\241\116\000\000\001\001' > "$uscita/corpus-decompila_fuzzer/seme-010100004ea11b01"
# Stations over a slowdown from 1501 m, over a sign while another hides a
# speed board, over a slowdown's start while another start has no end.
printf '\212\012\000\000\000\000\000\000' > "$uscita/corpus-decompila_fuzzer/seme-2698"
printf '\264\023\000\000\000\000\000\000' > "$uscita/corpus-decompila_fuzzer/seme-5044"
printf '\277\076\000\000\000\000\000\000' > "$uscita/corpus-decompila_fuzzer/seme-16063"
