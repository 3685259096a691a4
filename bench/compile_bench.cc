// The whole compile of a generated scenario, beside the bare writing of the
// same output bytes into the same folder with one write per file.
//
//   compile/120000     a 120 km line with the built-in scenario's density
//   compile/1000000    the longest line the loader accepts
//                      each beside the bare write of the same bytes (counters)
//   memoria_1000000    peak resident memory of one compile of the 1000 km line,
//                      measured first, before anything else has grown the process
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "bench/genera.h"
#include "driver/esecuzione.h"
#include "platform/file.h"

namespace tracciato {
namespace {

namespace fs = std::filesystem;

// One folder per route length, with the author's files and the output.
struct banco {
  fs::path radice;
  opzioni_compile opzioni;

  explicit banco(int32_t lunghezza) {
    radice = fs::temp_directory_path() / ("tracciato-bench-" + std::to_string(::getpid()) + "-" + std::to_string(lunghezza));
    fs::create_directories(radice / "uscita");
    sostituisci_file(radice / "linea.txt", genera_linea(lunghezza));
    sostituisci_file(radice / "treno.txt", genera_treno(lunghezza));
    opzioni.linea = radice / "linea.txt";
    opzioni.treno = radice / "treno.txt";
    opzioni.nome = "Banco";
    opzioni.numero = "4715";
    opzioni.cartella = radice / "uscita";
  }
  ~banco() {
    std::error_code e;
    fs::remove_all(radice, e);
  }

  // The compile with its report line silenced.
  int compila() {
    std::ostringstream muto;
    auto* prima = std::cout.rdbuf(muto.rdbuf());
    const int r = esegui_compile(opzioni);
    std::cout.rdbuf(prima);
    if (r != uscita_ok || !muto.str().starts_with("no fault\n")) {  // warnings may follow
      std::cerr << "compile failed: " << muto.str();
      std::abort();
    }
    return r;
  }

  std::size_t dimensione_uscita() const {
    std::size_t n = 0;
    for (const auto& f : fs::directory_iterator(radice / "uscita")) n += f.file_size();
    return n;
  }
};

banco& banco_per(int32_t lunghezza) {
  static std::map<int32_t, std::unique_ptr<banco>> banchi;
  auto& b = banchi[lunghezza];
  if (!b) b = std::make_unique<banco>(lunghezza);
  return *b;
}

long picco_kib() {
  rusage u{};
  ::getrusage(RUSAGE_SELF, &u);
  return u.ru_maxrss;
}

void memoria_1000000(benchmark::State& state) {
  banco& b = banco_per(1000000);
  const long prima = picco_kib();
  for (auto _ : state) b.compila();
  const long dopo = picco_kib();
  const double uscita = static_cast<double>(b.dimensione_uscita());
  state.counters["output_MB"] = uscita / 1e6;
  state.counters["peak_rss_MB"] = dopo * 1024.0 / 1e6;
  state.counters["rss_before_MB"] = prima * 1024.0 / 1e6;
  state.counters["peak_over_output"] = dopo * 1024.0 / uscita;
}
BENCHMARK(memoria_1000000)->Iterations(1)->Unit(benchmark::kMillisecond);

// Each iteration compiles, then writes the same bytes straight into the same
// names (open, one write, close), so that both see the same machine load. The
// iteration time is the compile's; the counters give both and their ratio.
void compile(benchmark::State& state) {
  banco& b = banco_per(static_cast<int32_t>(state.range(0)));
  b.compila();
  std::vector<std::pair<fs::path, std::string>> file;
  for (const auto& f : fs::directory_iterator(b.radice / "uscita")) file.emplace_back(f.path(), leggi_file(f.path()));
  using orologio = std::chrono::steady_clock;
  std::chrono::duration<double> compilazione{}, scrittura{};
  for (auto _ : state) {
    const auto t0 = orologio::now();
    b.compila();
    const auto t1 = orologio::now();
    for (const auto& [percorso, byte] : file) {
      const int fd = ::open(percorso.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0666);
      if (fd < 0 || ::write(fd, byte.data(), byte.size()) != static_cast<ssize_t>(byte.size()) || ::close(fd) != 0)
        std::abort();
    }
    const auto t2 = orologio::now();
    compilazione += t1 - t0;
    scrittura += t2 - t1;
    state.SetIterationTime(std::chrono::duration<double>(t1 - t0).count());
  }
  const double n = static_cast<double>(state.iterations());
  state.counters["compile_ms"] = compilazione.count() * 1e3 / n;
  state.counters["bare_write_ms"] = scrittura.count() * 1e3 / n;
  state.counters["ratio"] = compilazione.count() / scrittura.count();
  state.counters["output_MB"] = static_cast<double>(b.dimensione_uscita()) / 1e6;
}
BENCHMARK(compile)->Arg(120000)->Arg(1000000)->Unit(benchmark::kMillisecond)->UseManualTime();

}  // namespace
}  // namespace tracciato
