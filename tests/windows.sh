#!/usr/bin/env bash
# The Windows build under wine, against the Linux build: the built-in run,
# the example's compile, view, decompile, check and inspect must give the
# same bytes on both; the language server's messages must go out unaltered.
#   tests/windows.sh build-windows/tracciato.exe build/tracciato
set -euo pipefail
exe=$(realpath "$1")
linux=$(realpath "$2")
radice=$(realpath "$(dirname "$0")/..")
export WINEPREFIX=${WINEPREFIX:-$(dirname "$exe")/wine}
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
wine=$(command -v wine64 || command -v wine)
[ -d "$WINEPREFIX" ] || "$wine" wineboot --init >/dev/null 2>&1
lavoro=$(mktemp -d)
trap 'rm -rf "$lavoro"' EXIT
falliti=0
esito() {  # name, then the command that must succeed
  local nome=$1; shift
  if "$@"; then echo "ok   $nome"; else echo "FAIL $nome"; falliti=$((falliti + 1)); fi
}
uguali() { diff -r "$1" "$2" >/dev/null; }

# The built-in run writes beside the program.
mkdir -p "$lavoro/w" "$lavoro/l"
cp "$exe" "$lavoro/w/"; cp "$linux" "$lavoro/l/"
( cd "$lavoro/w" && "$wine" ./tracciato.exe >/dev/null 2>&1 )
( cd "$lavoro/l" && ./tracciato >/dev/null 2>&1 )
rm "$lavoro/w/tracciato.exe" "$lavoro/l/tracciato"
esito "built-in run: the same files, byte-identical" \
  bash -c "[ -n \"\$(ls '$lavoro/w')\" ] && diff -r '$lavoro/w' '$lavoro/l' >/dev/null"

# The example, compiled, drawn, read back and checked.
for s in w l; do mkdir -p "$lavoro/es-$s/out" "$lavoro/es-$s/dec"; cp "$radice"/examples/*.txt "$lavoro/es-$s/"; done
corri() {  # w|l, then the arguments; in the example's folder
  local s=$1; shift
  if [ "$s" = w ]; then (cd "$lavoro/es-w" && "$wine" "$exe" "$@"); else (cd "$lavoro/es-l" && "$linux" "$@"); fi
}
for s in w l; do
  corri $s compile --line Valmarena_linea.txt --train Valmarena_2231-.txt --name Valmarena --train-number 2231 --dir out >"$lavoro/compile-$s" 2>&1 || true
  corri $s view --dir out --name Valmarena --train-number 2231 -o out/vista.html >/dev/null 2>&1 || true
  corri $s decompile --dir out --name Valmarena --train-number 2231 --out dec >/dev/null 2>&1 || true
  corri $s check --line Valmarena_linea.txt --train Valmarena_2231-.txt --json >"$lavoro/check-$s" 2>&1 || true
  corri $s inspect out/Valmarena_2231.sim --json >"$lavoro/inspect-$s" 2>&1 || true
done
esito "compile of the example: the same files" bash -c "[ -s '$lavoro/es-w/out/Valmarena_2231.sim' ] && diff -r '$lavoro/es-w/out' '$lavoro/es-l/out' >/dev/null"
esito "decompile: the same text files" bash -c "[ -n \"\$(ls '$lavoro/es-w/dec')\" ] && diff -r '$lavoro/es-w/dec' '$lavoro/es-l/dec' >/dev/null"
esito "compile's summary: the same bytes" cmp -s "$lavoro/compile-w" "$lavoro/compile-l"
esito "check --json: the same bytes" cmp -s "$lavoro/check-w" "$lavoro/check-l"
esito "inspect --json: the same bytes" bash -c "[ -s '$lavoro/inspect-w' ] && cmp -s '$lavoro/inspect-w' '$lavoro/inspect-l'"

# Names that are not ASCII: the same files under the same names.
for s in w l; do
  mkdir -p "$lavoro/acc-$s/Città/uscita"
  cp "$radice"/examples/Valmarena_linea.txt "$lavoro/acc-$s/Città/Linea_Più.txt"
  cp "$radice"/examples/Valmarena_2231-.txt "$lavoro/acc-$s/Città/Treno_Più-.txt"
  if [ "$s" = w ]; then in_acc() { (cd "$lavoro/acc-w" && "$wine" "$exe" "$@"); }; else in_acc() { (cd "$lavoro/acc-l" && "$linux" "$@"); }; fi
  in_acc compile --line Città/Linea_Più.txt --train Città/Treno_Più-.txt --name Più --train-number 2231 --dir Città/uscita >/dev/null 2>&1 || true
  in_acc view --dir Città/uscita --name Più --train-number 2231 -o Città/Vista_Più.html >/dev/null 2>&1 || true
  in_acc decompile --dir Città/uscita --name Più --train-number 2231 --out Città/testi >/dev/null 2>&1 || true
  mkdir -p "$lavoro/acc-$s/Città/Già" && in_acc --dir Città/Già >/dev/null 2>&1 || true
done
esito "accented folders and files: the same names and bytes" \
  bash -c "[ -s '$lavoro/acc-w/Città/uscita/Più_2231.sim' ] && [ -s '$lavoro/acc-w/Città/Vista_Più.html' ] && diff -r '$lavoro/acc-w' '$lavoro/acc-l' >/dev/null"

# The language server: headers end in CR LF CR LF, never CR CR LF.
messaggio() { printf 'Content-Length: %d\r\n\r\n%s' "${#1}" "$1"; }
{
  messaggio '{"jsonrpc":"2.0","id":1,"method":"initialize","params":{"capabilities":{}}}'
  messaggio '{"jsonrpc":"2.0","method":"initialized","params":{}}'
  messaggio '{"jsonrpc":"2.0","id":2,"method":"shutdown"}'
  messaggio '{"jsonrpc":"2.0","method":"exit"}'
} >"$lavoro/lsp-in"
(cd "$lavoro" && "$wine" "$exe" lsp <lsp-in >lsp-out 2>/dev/null) || true
esito "lsp: binary standard output" bash -c "grep -q \$'^Content-Length: [0-9]*\r\$' '$lavoro/lsp-out' && ! grep -q \$'\r\r' '$lavoro/lsp-out'"

echo "$falliti failed"
[ "$falliti" = 0 ]
