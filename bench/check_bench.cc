// A check of the built-in scenario beside its compile: the check must take no
// longer than the compile of the same two text files.
//
//   check_incorporato     controlla on the built-in line and train texts
//   compile_incorporato   the whole compile of the same files, binaries written
#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>

#include "checker/controllo.h"
#include "driver/esecuzione.h"
#include "driver/memorizza_percorso.h"
#include "platform/file.h"

namespace tracciato {
namespace {

namespace fs = std::filesystem;

// The built-in scenario's text files, written once into a folder of their own.
const fs::path& cartella_incorporato() {
  static const fs::path cartella = [] {
    const fs::path c = fs::temp_directory_path() / "tracciato-check-bench";
    fs::create_directories(c);
    esegui_sources(c);
    return c;
  }();
  return cartella;
}

fs::path file_linea() { return cartella_incorporato() / "VessolantaC_OrmelaC_linea.txt"; }
fs::path file_treno() { return cartella_incorporato() / "VessolantaC_OrmelaC_4715-.txt"; }

void check_incorporato(benchmark::State& state) {
  const testo_sorgente linea{file_linea().string(), leggi_file(file_linea()), ""};
  const testo_sorgente treno{file_treno().string(), leggi_file(file_treno()), ""};
  for (auto _ : state) benchmark::DoNotOptimize(controlla(linea, treno));
}
BENCHMARK(check_incorporato)->Unit(benchmark::kMillisecond);

void compile_incorporato(benchmark::State& state) {
  const ingresso_percorso ingresso{.linea = file_linea(), .treno = file_treno()};
  for (auto _ : state) {
    scenario s;
    s.nome_scenario = "Bench";
    s.numero_treno = "4715";
    benchmark::DoNotOptimize(memorizza_percorso(s, 1, ingresso, cartella_incorporato()));
  }
}
BENCHMARK(compile_incorporato)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace tracciato
