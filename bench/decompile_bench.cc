// Reading the binary files back, beside the compile that wrote them, on the
// longest line the loader accepts (1000 km: a 20 MB track plan).
//
//   inspect_json_plan_1000km   the plan as JSON into a file; counters give the
//                              compile's time and the ratio
//   decompile_1000km           decompile (read three files, recover, check,
//                              write two), with the same counters
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>

#include "decompiler/decompila.h"
#include "decompiler/ispezione.h"
#include "driver/esecuzione.h"
#include "platform/file.h"

namespace tracciato {
namespace {

namespace fs = std::filesystem;
using orologio = std::chrono::steady_clock;

constexpr int32_t lunghezza = 1000000;

// A line with a curve every 3 km, a gradient change every 2 km, a tunnel
// every 25 km, a board and a sign every 50 km; a train with a speed change
// every 5 km, a station every 25 km, six signals every 10 km and a slowdown
// every 20 km.
void genera(const fs::path& linea, const fs::path& treno) {
  std::ostringstream l;
  l << "[generale]\r\nlunghezza percorso, " << lunghezza << "\r\nsfondo uno, 1\r\n"
    << "ripetizione segnali 4 codici, 0, 0\r\n[curve]\r\n";
  for (int32_t p = 1000, i = 0; p + 500 < lunghezza; p += 3000, ++i)
    l << "curva" << (i % 2 ? 's' : 'd') << 1 + i % 6 << ", " << p << ", 500\r\n";
  for (int32_t p = 0, i = 0; p < lunghezza; p += 2000, ++i) l << "pendenza, " << p << ", " << (i % 3) * 5 - 5 << "\r\n";
  for (int32_t p = 12000; p < lunghezza; p += 25000) l << "montagna, " << p << ", " << p + 1500 << ", 11\r\n";
  for (int32_t p = 20000; p < lunghezza; p += 50000) {
    l << "indicatori_vmax, " << p << ", 95, 100, 100, 0, , , , 0\r\n";
    l << "cartello_indicatore, " << p + 3000 << ", (F)\r\n";
  }
  l << "[fine]\r\n";
  std::ostringstream t;
  t << "[generale]\r\nnumero vetture, 3\r\npercentuale massa frenata, 105\r\nsabbia, 120\r\norologio, 13 59 45\r\n"
    << "aderenza, 0, 100\r\n";
  for (int32_t p = 0, i = 0; p < lunghezza; p += 5000, ++i) t << "velocita, " << p << ", " << (i % 2 ? 90 : 120) << "\r\n";
  for (int32_t p = 5000; p + 10000 <= lunghezza; p += 25000)
    t << "stazione, " << p << ", 12, 400, 0, 0, 0, 1,1,0, 4,1,1, 0, 0, 0, 0, STAZIONE " << p / 1000 << "\r\n";
  for (int32_t b = 0; b + 10000 <= lunghezza; b += 20000) t << "rallentamento, " << b + 7000 << ", 60, 800, 0, 0, 0\r\n";
  for (int32_t b = 0; b + 10000 <= lunghezza; b += 10000)
    for (int32_t d : {1000, 2500, 4000, 6500, 8000, 9500})
      t << "segnale, " << b + d << ", " << (d % 1000 ? 2 : 1) << ", 3, 4, 0, 0, 0, 0,0,0, 0\r\n";
  t << "[fine]\r\n";
  sostituisci_file(linea, l.str());
  sostituisci_file(treno, t.str());
}

struct banco {
  fs::path radice;
  opzioni_compile compile;
  opzioni_decompile decompile;
  opzioni_ispezione inspect;

  banco() {
    radice = fs::temp_directory_path() / ("tracciato-bench-decompile-" + std::to_string(::getpid()));
    fs::create_directories(radice / "bin");
    fs::create_directories(radice / "testo");
    genera(radice / "linea.txt", radice / "treno.txt");
    compile.linea = radice / "linea.txt";
    compile.treno = radice / "treno.txt";
    compile.nome = "Banco";
    compile.numero = "4715";
    compile.cartella = radice / "bin";
    decompile.cartella = radice / "bin";
    decompile.nome = "Banco";
    decompile.numero = "4715";
    decompile.uscita = radice / "testo";
    decompile.forza = true;
    inspect.file = radice / "bin" / "Banco_linea.dat";
    inspect.json = true;
  }
  ~banco() {
    std::error_code e;
    fs::remove_all(radice, e);
  }

  // Runs f with standard output and standard error silenced; aborts unless
  // it succeeds (a warning of decompile counts as a failure).
  template <class F>
  double muto(F f) {
    std::ostringstream o, e;
    auto* po = std::cout.rdbuf(o.rdbuf());
    auto* pe = std::cerr.rdbuf(e.rdbuf());
    const auto t0 = orologio::now();
    const int r = f();
    const auto t1 = orologio::now();
    std::cout.rdbuf(po);
    std::cerr.rdbuf(pe);
    if (r != uscita_ok || !e.str().empty()) {
      std::cerr << "failed: " << o.str() << e.str();
      std::abort();
    }
    return std::chrono::duration<double>(t1 - t0).count();
  }
  double compila() { return muto([&] { return esegui_compile(compile); }); }
};

banco& il_banco() {
  static banco b;
  return b;
}

// The plan as JSON into a file, as `tracciato inspect S_linea.dat --json > f`.
void inspect_json_plan_1000km(benchmark::State& state) {
  banco& b = il_banco();
  b.compila();
  const fs::path uscita = b.radice / "piano.json";
  double ispezione = 0, compilazione = 0;
  for (auto _ : state) {
    const auto t0 = orologio::now();
    {
      const std::string dati = leggi_file(b.inspect.file);
      std::ofstream f(uscita, std::ios::binary | std::ios::trunc);
      ispeziona(dati, b.inspect.file.string(), genere_binario::planimetria, b.inspect, f);
    }
    const double t = std::chrono::duration<double>(orologio::now() - t0).count();
    ispezione += t;
    compilazione += b.compila();
    state.SetIterationTime(t);
  }
  const double n = static_cast<double>(state.iterations());
  state.counters["inspect_ms"] = ispezione * 1e3 / n;
  state.counters["compile_ms"] = compilazione * 1e3 / n;
  state.counters["ratio"] = ispezione / compilazione;
  state.counters["json_MB"] = static_cast<double>(fs::file_size(uscita)) / 1e6;
}
BENCHMARK(inspect_json_plan_1000km)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(5);

void decompile_1000km(benchmark::State& state) {
  banco& b = il_banco();
  b.compila();
  double decompilazione = 0, compilazione = 0;
  for (auto _ : state) {
    const double t = b.muto([&] { return esegui_decompile(b.decompile); });
    decompilazione += t;
    compilazione += b.compila();
    state.SetIterationTime(t);
  }
  const double n = static_cast<double>(state.iterations());
  state.counters["decompile_ms"] = decompilazione * 1e3 / n;
  state.counters["compile_ms"] = compilazione * 1e3 / n;
  state.counters["ratio"] = decompilazione / compilazione;
}
BENCHMARK(decompile_1000km)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(5);

}  // namespace
}  // namespace tracciato
