#!/usr/bin/env python3
"""The tools against their goals, each measured side by side with a compile.

    bench/obiettivi.py TRACCIATO [--windows EXE] [--studio WASM_FOLDER] [--pairs N]

Each line gives the figure, the goal and PASS or MISS:
  check / compile on the built-in scenario      <= 1x
  view / compile on the 1,000 km route          <= 1.5x
  decompile / compile on the 1,000 km route     <= 1x
  lsp didChange on the 1,000 km train file      <= 20 ms of server cpu time
  the studio's check and redraw per keystroke   <= 50 ms (when the studio was built)
  the Windows build under wine: its start-up, and the built-in run less
    start-up against the native one less its own (when built; no goal, the figures)
  the wasm module under node / native less its start-up (when the studio was
    built; no goal, the figure)

A ratio is the median over N pairs of runs, the two of a pair back to back
(their order alternating), of the cpu time (user + system) each run's process
used: a busy machine slows both of a pair alike. The exit status is 0 whatever
the figures: a MISS is reported, not failed, since other work on the machine
moves them.
"""
import argparse
import json
import os
import statistics
import subprocess
import sys
import tempfile
import time

QUI = os.path.dirname(os.path.abspath(__file__))


def esegui(argv, cwd=None):
    """One run: (cpu seconds of the process, wall seconds). Fails on a crash."""
    inizio = time.perf_counter()
    p = subprocess.Popen(argv, cwd=cwd, stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                         stderr=subprocess.DEVNULL)
    _, stato, uso = os.wait4(p.pid, 0)
    parete = time.perf_counter() - inizio
    p.returncode = os.waitstatus_to_exitcode(stato)
    if p.returncode not in (0, 1):
        sys.exit(f"{' '.join(argv)}: exit status {p.returncode}")
    return uso.ru_utime + uso.ru_stime, parete


def a_coppie(a, b, coppie, parete=False):
    """The median ratio a / b over pairs of runs back to back."""
    esegui(a), esegui(b)  # warm the caches
    rapporti = []
    for i in range(coppie):
        primo, secondo = (a, b) if i % 2 == 0 else (b, a)
        x, y = esegui(primo), esegui(secondo)
        ta, tb = (x, y) if i % 2 == 0 else (y, x)
        k = 1 if parete else 0
        rapporti.append(ta[k] / max(tb[k], 1e-6))
    return statistics.median(rapporti)


def parete(argv, volte):
    """The median wall seconds of a run, after one to warm the caches."""
    esegui(argv)
    return statistics.median(esegui(argv)[1] for _ in range(volte))


def riga(nome, figura, obiettivo, unita="x"):
    esito = "" if obiettivo is None else ("PASS" if figura <= obiettivo else "MISS")
    meta = "no goal" if obiettivo is None else f"goal <= {obiettivo:g}{unita}"
    print(f"{nome:<64} {figura:8.2f}{unita:<3} {meta:<14} {esito}", flush=True)


def messaggio(corpo):
    b = json.dumps(corpo).encode()
    return b"Content-Length: %d\r\n\r\n" % len(b) + b


def leggi_messaggio(f):
    lunghezza = None
    while True:
        linea = f.readline()
        if not linea:
            raise EOFError("the server closed its output")
        linea = linea.strip()
        if not linea:
            break
        nome, _, valore = linea.partition(b":")
        if nome.lower() == b"content-length":
            lunghezza = int(valore)
    return json.loads(f.read(lunghezza))


def cpu_processo(pid):
    with open(f"/proc/{pid}/stat") as f:
        campi = f.read().rsplit(")", 1)[1].split()
    return (int(campi[11]) + int(campi[12])) / os.sysconf("SC_CLK_TCK")  # utime + stime


def lsp_did_change(tracciato, cartella, volte):
    """Server cpu seconds per didChange of the train file, up to its diagnostics."""
    treno = os.path.join(cartella, "Banco_4715-.txt")
    uri = "file://" + treno
    testo = open(treno, encoding="cp1252").read()
    p = subprocess.Popen([tracciato, "lsp"], stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                         stderr=subprocess.DEVNULL)

    def invia(corpo):
        p.stdin.write(messaggio(corpo))
        p.stdin.flush()

    def attendi(prova):
        while True:
            m = leggi_messaggio(p.stdout)
            if prova(m):
                return m

    invia({"jsonrpc": "2.0", "id": 1, "method": "initialize",
           "params": {"processId": None, "rootUri": "file://" + cartella, "capabilities": {}}})
    attendi(lambda m: m.get("id") == 1)
    invia({"jsonrpc": "2.0", "method": "initialized", "params": {}})
    diagnosi = lambda m: m.get("method") == "textDocument/publishDiagnostics" and m["params"]["uri"] == uri
    invia({"jsonrpc": "2.0", "method": "textDocument/didOpen",
           "params": {"textDocument": {"uri": uri, "languageId": "tracciato", "version": 1, "text": testo}}})
    attendi(diagnosi)
    # A keystroke each time: the number of carriages changes back and forth.
    varianti = [testo, testo.replace("numero vetture, 3", "numero vetture, 4", 1)]
    prima = cpu_processo(p.pid)
    for v in range(volte):
        invia({"jsonrpc": "2.0", "method": "textDocument/didChange",
               "params": {"textDocument": {"uri": uri, "version": v + 2},
                          "contentChanges": [{"text": varianti[v % 2]}]}})
        attendi(diagnosi)
    dopo = cpu_processo(p.pid)
    invia({"jsonrpc": "2.0", "id": 2, "method": "shutdown"})
    attendi(lambda m: m.get("id") == 2)
    invia({"jsonrpc": "2.0", "method": "exit"})
    p.wait(10)
    return (dopo - prima) / volte


def main():
    a = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    a.add_argument("tracciato")
    a.add_argument("--windows", help="the Windows build's tracciato.exe (run under wine)")
    a.add_argument("--studio", help="the folder of the studio's wasm module")
    a.add_argument("--pairs", type=int, default=21)
    o = a.parse_args()
    t = os.path.abspath(o.tracciato)

    with tempfile.TemporaryDirectory(prefix="tracciato-obiettivi.") as lavoro:
        inc, km = os.path.join(lavoro, "incorporato"), os.path.join(lavoro, "km")
        uscite = {n: os.path.join(lavoro, n) for n in ("out-inc", "out-km", "dec", "win")}
        for c in [inc, km, *uscite.values()]:
            os.mkdir(c)
        subprocess.run([t, "sources", "--dir", inc], check=True, stdout=subprocess.DEVNULL)
        subprocess.run([os.path.join(QUI, "percorso_1000km.sh"), km], check=True)
        os.rename(os.path.join(km, "linea.txt"), os.path.join(km, "Banco_linea.txt"))
        os.rename(os.path.join(km, "treno.txt"), os.path.join(km, "Banco_4715-.txt"))
        sorgenti_inc = ["--line", os.path.join(inc, "VessolantaC_OrmelaC_linea.txt"),
                        "--train", os.path.join(inc, "VessolantaC_OrmelaC_4715-.txt")]
        sorgenti_km = ["--line", os.path.join(km, "Banco_linea.txt"),
                       "--train", os.path.join(km, "Banco_4715-.txt")]
        compile_inc = [t, "compile", *sorgenti_inc, "--name", "VessolantaC_OrmelaC", "--train-number", "4715",
                       "--dir", uscite["out-inc"]]
        compile_km = [t, "compile", *sorgenti_km, "--name", "Banco", "--train-number", "4715",
                      "--dir", uscite["out-km"]]
        esegui(compile_km)
        n = o.pairs
        print(f"tracciato: {t}; {n} pairs each; load: {open('/proc/loadavg').read().split()[:3]}")

        riga("check / compile, built-in scenario (cpu)",
             a_coppie([t, "check", *sorgenti_inc], compile_inc, n), 1.0)
        riga("view / compile, 1,000 km (cpu)",
             a_coppie([t, "view", *sorgenti_km, "-o", os.path.join(lavoro, "km.html")], compile_km, n), 1.5)
        riga("decompile / compile, 1,000 km (cpu)",
             a_coppie([t, "decompile", "--dir", uscite["out-km"], "--name", "Banco", "--train-number", "4715",
                       "--out", uscite["dec"], "--force"], compile_km, n), 1.0)
        riga("lsp didChange, 1,000 km train (server cpu)", lsp_did_change(t, km, 30) * 1000, 20, " ms")

        # Start-up apart: wine's own start of a process takes far longer than
        # any run, and the module's calls are timed inside one process.
        avvio = parete([t, "--version"], 9)
        if o.windows and os.path.exists(o.windows):
            exe = ["wine", os.path.abspath(o.windows)]
            subprocess.run(["wineboot", "-i"], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            volte = max(5, n // 3)
            avvio_wine = parete([*exe, "--version"], volte)
            riga("Windows build under wine: start-up (wall)", avvio_wine * 1000, None, " ms")
            wine = parete([*exe, "--dir", uscite["win"]], volte) - avvio_wine
            nativo = parete([t, "--dir", uscite["out-inc"]], volte) - avvio
            riga("wine / native less start-up, built-in run (wall)", wine / max(nativo, 1e-6), None)
        else:
            print("the Windows build under wine: skipped, not built (make windows)")

        if o.studio and os.path.exists(os.path.join(o.studio, "tracciato_studio.wasm")):
            r = subprocess.run(["node", "--no-experimental-fetch", os.path.join(QUI, "studio.mjs"), o.studio,
                                inc, km], check=True, stdout=subprocess.PIPE, text=True).stdout.split()
            tasto, modulo_inc, modulo_km = (float(x) for x in r)
            riga("studio: check and redraw per keystroke, built-in", tasto, 50, " ms")
            # The native run less its start-up; it still writes its files, which the module keeps in memory.
            nativo = (parete(compile_inc, 9) - avvio) * 1000
            riga("wasm under node / native less start-up, built-in compile (wall)",
                 modulo_inc / max(nativo, 1e-3), None)
            nativo = (parete(compile_km, 5) - avvio) * 1000
            riga("wasm under node / native less start-up, 1,000 km compile (wall)",
                 modulo_km / max(nativo, 1e-3), None)
        else:
            print("the studio and the wasm build under node: skipped, not built (make studio)")


if __name__ == "__main__":
    main()
