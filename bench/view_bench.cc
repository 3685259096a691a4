// The page of the view beside the compile it draws, in memory:
//
//   vista/120000      the built-in scenario's density over 120 km
//   vista/1000000     the longest line the loader accepts
//   vista_da_sorgenti/1000000   the whole of `tracciato view` from the sources,
//                               in memory, on the route of bench/genera.h
//                               (bench/percorso_1000km.sh writes the same)
//
// Each iteration loads and compacts the line (the compile without its files),
// encodes the three binary files in memory (the rest of a compile but the
// disk), and writes the page. The counters give the times, the ratios of the
// page to the bare load and to load plus encoding, and the page's size.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <iostream>
#include <string>
#include <vector>

#include "bench/genera.h"
#include "compactor/compattatore.h"
#include "viewer/da_sorgenti.h"
#include "viewer/pagina.h"
#include "viewer/viewer_prova.h"
#include "viewer/vista.h"

namespace tracciato {
namespace {

void vista(benchmark::State& state) {
  const int32_t lunghezza = static_cast<int32_t>(state.range(0));
  const testo_sorgente linea = test::linea_lunga(lunghezza), treno = test::treno_lungo(lunghezza);
  using orologio = std::chrono::steady_clock;
  std::chrono::duration<double> compilazione{}, codifica{}, pagina{};
  std::size_t byte = 0;
  for (auto _ : state) {
    std::vector<std::string> note;
    const auto t0 = orologio::now();
    const scenario s = scenario_da_sorgenti(linea, treno, "Banco", "1", note);
    const auto t1 = orologio::now();
    benchmark::DoNotOptimize(codifica_planimetria(calcola_planimetria(s)).dimensione + codifica_tabella(s.tabella).dimensione +
                             codifica_celle(s.celle).dimensione);
    const auto tc = orologio::now();
    const std::string p = pagina_scenario(s, calcola_planimetria(s), {});
    const auto t2 = orologio::now();
    if (!s.guasti.empty() || !note.empty()) {
      std::cerr << "the generated scenario has faults\n";
      std::abort();
    }
    byte = p.size();
    compilazione += t1 - t0;
    codifica += tc - t1;
    pagina += t2 - tc;
    state.SetIterationTime(std::chrono::duration<double>(t2 - tc).count());
  }
  const double n = static_cast<double>(state.iterations());
  state.counters["compile_ms"] = compilazione.count() * 1e3 / n;
  state.counters["page_ms"] = pagina.count() * 1e3 / n;
  state.counters["encode_ms"] = codifica.count() * 1e3 / n;
  state.counters["page_over_load"] = pagina.count() / compilazione.count();
  state.counters["page_over_compile"] = pagina.count() / (compilazione + codifica).count();
  state.counters["page_MB"] = static_cast<double>(byte) / 1e6;
}
BENCHMARK(vista)->Arg(120000)->Arg(1000000)->Unit(benchmark::kMillisecond)->UseManualTime();

// The compile in memory, the check, the fastest run and the page, as view
// runs them; the counter gives the page's size.
void vista_da_sorgenti(benchmark::State& state) {
  const int32_t lunghezza = static_cast<int32_t>(state.range(0));
  const testo_sorgente linea{"linea.txt", genera_linea(lunghezza), ""}, treno{"treno.txt", genera_treno(lunghezza), ""};
  std::size_t byte = 0;
  for (auto _ : state) {
    const std::string p = pagina_da_sorgenti(linea, treno, "Banco", "4715", "the sources", {});
    byte = p.size();
    benchmark::DoNotOptimize(p.data());
  }
  state.counters["page_MB"] = static_cast<double>(byte) / 1e6;
}
BENCHMARK(vista_da_sorgenti)->Arg(1000000)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace tracciato
