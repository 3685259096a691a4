// The check and the language server on inputs that grow: each pass must stay
// linear, so that the time per byte or per record stays flat as they double.
//
//   check_pendenze_disordinate/N   check and its printed report of N gradients
//                                  written in falling order (a warning each)
//   check_avvisi_per_riga/N        N lines of a record with a field too many
//   check_64mib/k, compile_64mib/k the check and the compile of one 64 MiB
//                                  line file: k = 0 a record and 64 MiB of
//                                  commas, k = 1 one 64 MiB keyword field
//   lsp_apri_pendenze/N            the server's didOpen of the N gradients
//   lsp_cambia_treno_1000km        a didChange of the 1,000 km train file,
//                                  its line file on disk beside it
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>
#include <iostream>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>

#include "bench/genera.h"
#include "checker/controllo.h"
#include "checker/stampa.h"
#include "driver/esecuzione.h"
#include "driver/memorizza_percorso.h"
#include "lsp/servitore.h"
#include "platform/file.h"

namespace tracciato {
namespace {

namespace fs = std::filesystem;

std::string pendenze_disordinate(int64_t n) {
  std::string s = "[generale]\r\nlunghezza percorso, 1000000\r\n[pendenze]\r\n";
  for (int64_t i = 0; i < n; ++i) s += "pendenza, " + std::to_string((n - i) * 10) + ", 1\r\n";
  return s + "[fine]\r\n";
}

std::string avvisi_per_riga(int64_t n) {
  std::string s = "[generale]\r\nlunghezza percorso, 1000000\r\n[pendenze]\r\n";
  for (int64_t i = 0; i < n; ++i) s += "pendenza, " + std::to_string(i % 20000 * 50) + ", 1, 9\r\n";
  return s + "[fine]\r\n";
}

// A 64 MiB line file: one record and commas, or one keyword field.
std::string grande(int64_t tipo) {
  std::string s = "[generale]\r\nlunghezza percorso, 10000\r\n[pendenze]\r\n";
  s += tipo == 0 ? "pendenza" : "x";
  s.resize(std::size_t{64} << 20, tipo == 0 ? ',' : 'x');
  return s;
}

// The check as the command runs it, its report printed to nowhere.
void controlla_e_stampa(const testo_sorgente& linea) {
  std::ostringstream muto;
  const auto problemi = controlla(linea, std::nullopt);
  riporta_controllo(muto, problemi, {linea}, false, false);
  benchmark::DoNotOptimize(muto.str().size());
}

void check_pendenze_disordinate(benchmark::State& state) {
  const testo_sorgente linea{"l.txt", pendenze_disordinate(state.range(0)), ""};
  for (auto _ : state) controlla_e_stampa(linea);
  state.SetComplexityN(state.range(0));
}
BENCHMARK(check_pendenze_disordinate)->Arg(10000)->Arg(20000)->Arg(40000)->Unit(benchmark::kMillisecond)->Complexity();

void check_avvisi_per_riga(benchmark::State& state) {
  const testo_sorgente linea{"l.txt", avvisi_per_riga(state.range(0)), ""};
  for (auto _ : state) controlla_e_stampa(linea);
  state.SetComplexityN(state.range(0));
  state.counters["input_MB"] = static_cast<double>(linea.dati.size()) / 1e6;
}
BENCHMARK(check_avvisi_per_riga)->Arg(50000)->Arg(100000)->Arg(200000)->Unit(benchmark::kMillisecond)->Complexity();

// The 64 MiB files on disk, once, in a folder of their own.
struct cartella_grande {
  fs::path radice = fs::temp_directory_path() / ("tracciato-lineare-" + std::to_string(::getpid()));
  cartella_grande() {
    fs::create_directories(radice / "uscita");
    for (int k = 0; k < 2; ++k) sostituisci_file(linea(k), grande(k));
    sostituisci_file(radice / "t.txt", "[generale]\r\nnumero vetture, 3\r\n[fine]\r\n");
  }
  ~cartella_grande() {
    std::error_code e;
    fs::remove_all(radice, e);
  }
  fs::path linea(int64_t k) const { return radice / ("l" + std::to_string(k) + ".txt"); }
};
const cartella_grande& file_grandi() {
  static const cartella_grande c;
  return c;
}

void check_64mib(benchmark::State& state) {
  const fs::path l = file_grandi().linea(state.range(0));
  for (auto _ : state) controlla_e_stampa(leggi_sorgente(l, codifica_ingresso::windows_1252));
}
BENCHMARK(check_64mib)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(3);

void compile_64mib(benchmark::State& state) {
  opzioni_compile o;
  o.linea = file_grandi().linea(state.range(0));
  o.treno = file_grandi().radice / "t.txt";
  o.nome = "S";
  o.numero = "T";
  o.cartella = file_grandi().radice / "uscita";
  for (auto _ : state) {
    std::ostringstream muto;
    auto* prima = std::cout.rdbuf(muto.rdbuf());
    auto* prima_err = std::cerr.rdbuf(muto.rdbuf());
    try {
      benchmark::DoNotOptimize(esegui_compile(o));
    } catch (const std::exception&) {
    }
    std::cout.rdbuf(prima);
    std::cerr.rdbuf(prima_err);
  }
}
BENCHMARK(compile_64mib)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(3);

// A language server on strings, initialized.
struct server_muto {
  std::size_t inviati = 0;
  lsp::servitore s{[this](const nlohmann::json&) { ++inviati; }};
  server_muto() { s.ricevi(R"({"jsonrpc":"2.0","id":1,"method":"initialize","params":{}})"); }
  void manda(const std::string& metodo, const nlohmann::json& parametri) {
    s.ricevi(nlohmann::json{{"jsonrpc", "2.0"}, {"method", metodo}, {"params", parametri}}.dump());
  }
};

void lsp_apri_pendenze(benchmark::State& state) {
  const std::string testo = pendenze_disordinate(state.range(0));
  server_muto m;
  for (auto _ : state)
    m.manda("textDocument/didOpen",
            {{"textDocument", {{"uri", "file:///nessuna/x_linea.txt"}, {"languageId", "t"}, {"version", 1},
                               {"text", testo}}}});
  state.SetComplexityN(state.range(0));
}
BENCHMARK(lsp_apri_pendenze)->Arg(10000)->Arg(20000)->Arg(40000)->Unit(benchmark::kMillisecond)->Complexity();

void lsp_cambia_treno_1000km(benchmark::State& state) {
  const fs::path radice = fs::temp_directory_path() / ("tracciato-lsp-" + std::to_string(::getpid()));
  fs::create_directories(radice);
  sostituisci_file(radice / "Banco_linea.txt", genera_linea(1000000));
  const std::string treno = genera_treno(1000000);
  const std::string uri = "file://" + (radice / "Banco_4715-.txt").string();
  server_muto m;
  m.manda("textDocument/didOpen",
          {{"textDocument", {{"uri", uri}, {"languageId", "t"}, {"version", 1}, {"text", treno}}}});
  int versione = 1;
  for (auto _ : state)
    m.manda("textDocument/didChange", {{"textDocument", {{"uri", uri}, {"version", ++versione}}},
                                       {"contentChanges", nlohmann::json::array({{{"text", treno}}})}});
  state.counters["train_kB"] = static_cast<double>(treno.size()) / 1e3;
  std::error_code e;
  fs::remove_all(radice, e);
}
BENCHMARK(lsp_cambia_treno_1000km)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace tracciato
