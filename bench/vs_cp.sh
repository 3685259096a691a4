#!/bin/sh
# Whole runs of tracciato against cp of their outputs, with hyperfine:
#   the built-in run (tracciato --dir D) against cp of its three binary files,
#   the compile of a 1,000 km route against cp of its three outputs,
# and the peak resident memory of that compile (GNU time's %M).
#
#   bench/vs_cp.sh [TRACCIATO] [ROUNDS] [RUNS]
#
# Each round times the program and cp back to back (RUNS runs each, after a
# warm-up) and gives their ratio; the rounds' ratios are printed with their
# median, so that a busy machine shows as spread rather than hiding in a mean.
# Ratios are of median wall time and of mean cpu time (user + system; hyperfine
# gives no per-run cpu times). Needs hyperfine and GNU time (make bench
# installs both).
set -eu

tracciato=$(realpath "${1:-build/tracciato}")
rounds=${2:-5}
runs=${3:-30}

work=$(mktemp -d "${TMPDIR:-/tmp}/tracciato-vs-cp.XXXXXX")
trap 'rm -rf "$work"' EXIT INT TERM
mkdir -p "$work/incorporato" "$work/incorporato-cp" "$work/percorso" "$work/percorso-cp"

# The 1,000 km route of bench/compile_bench.cc.
"$(dirname "$0")/percorso_1000km.sh" "$work"

incorporato="$tracciato --dir $work/incorporato"
percorso="$tracciato compile --line $work/linea.txt --train $work/treno.txt --name Banco --train-number 4715 --dir $work/percorso"

# One run of each first: both must succeed, and their outputs are what cp copies.
$incorporato > /dev/null
esito=$($percorso | head -n 1)  # the warnings of the check may follow
[ "$esito" = "no fault" ] || { echo "the 1,000 km compile did not run clean: $esito" >&2; exit 1; }
cp_incorporato="cp $(ls "$work"/incorporato/*.dat "$work"/incorporato/*.sim | tr '\n' ' ')$work/incorporato-cp"
cp_percorso="cp $(ls "$work"/percorso/* | tr '\n' ' ')$work/percorso-cp"

# ratio NAME PROGRAM COPY: prints one line per round and the medians.
ratio() {
  nome=$1
  : > "$work/rapporti"
  r=1
  while [ $r -le "$rounds" ]; do
    hyperfine -N --warmup 3 --runs "$runs" --style none --export-csv "$work/h.csv" "$2" "$3" \
      > /dev/null 2> "$work/h.err" || { cat "$work/h.err" >&2; exit 1; }
    # csv: command,mean,stddev,median,user,system,min,max
    awk -F, -v nome="$nome" -v r=$r 'NR == 2 { pm = $4; pc = $5 + $6 } NR == 3 { cm = $4; cc = $5 + $6 }
      END { printf "%s round %d: median wall %.2f ms vs cp %.2f ms = %.2fx; mean cpu %.2f ms vs cp %.2f ms = %.2fx\n",
                   nome, r, pm * 1000, cm * 1000, pm / cm, pc * 1000, cc * 1000, pc / cc
            printf "%f %f\n", pm / cm, pc / cc >> "'"$work/rapporti"'" }' "$work/h.csv"
    r=$((r + 1))
  done
  sort -n -k1,1 "$work/rapporti" | awk -v nome="$nome" '{ w[NR] = $1 } END { m = w[int((NR + 1) / 2)]; printf "%s: median of %d rounds, wall ratio %.2fx (goal <= 1.25x) %s\n", nome, NR, m, m <= 1.25 ? "PASS" : "MISS" }'
  sort -n -k2,2 "$work/rapporti" | awk -v nome="$nome" '{ c[NR] = $2 } END { m = c[int((NR + 1) / 2)]; printf "%s: median of %d rounds, cpu ratio %.2fx (goal <= 1.25x) %s\n", nome, NR, m, m <= 1.25 ? "PASS" : "MISS" }'
}

echo "tracciato: $tracciato; $rounds rounds of $runs runs each; load: $(cut -d' ' -f1-3 /proc/loadavg)"
ratio "built-in run" "$incorporato" "$cp_incorporato"
ratio "1,000 km compile" "$percorso" "$cp_percorso"

picco=$(/usr/bin/time -f %M $percorso 2>&1 >/dev/null)
echo "1,000 km compile: peak resident memory $picco KiB (goal <= 4096 KiB) $([ "$picco" -le 4096 ] && echo PASS || echo MISS)"

# The check of a 64 MiB line file (one record, then commas) beside the compile
# of the same file: wall time and peak resident memory, against the input's size.
grande="$work/grande_linea.txt"
{ printf '[generale]\r\nlunghezza percorso, 10000\r\n[pendenze]\r\npendenza'
  head -c $((64 * 1024 * 1024 - 64)) /dev/zero | tr '\0' ','; } > "$grande"
printf '[generale]\r\nnumero vetture, 3\r\n[fine]\r\n' > "$work/piccolo-.txt"
misura() { /usr/bin/time -f '%e %M' "$@" > /dev/null 2> "$work/t.err" || true; tail -n 1 "$work/t.err"; }
c=$(misura $tracciato check --line "$grande" --train "$work/piccolo-.txt")
k=$(misura $tracciato compile --line "$grande" --train "$work/piccolo-.txt" --name Banco --train-number 1 --dir "$work/percorso")
echo "$c $k $(wc -c < "$grande")" | awk '{ printf "64 MiB check: %.2f s, peak %.0f MiB; compile %.2f s, peak %.0f MiB; check/compile time %.2fx, check peak/input %.2fx\n",
  $1, $2 / 1024, $3, $4 / 1024, $1 / $3, $2 * 1024 / $5 }'
