// tracciato watch: compile and check again each time a file is saved.
#include <ctime>
#include <iostream>
#include <memory>

#include "checker/controllo.h"
#include "platform/sorveglia.h"
#include "checker/stampa.h"
#include "driver/comandi.h"
#include "driver/memorizza_percorso.h"

namespace tracciato {

namespace {
constexpr size_t primi_problemi = 5;  // problems shown after each compile
}

comando registra_watch(CLI::App& app, opzioni_globali& g) {
  auto o = std::make_shared<opzioni_compile>();
  o->cartella.clear();
  auto* c = app.add_subcommand(
      "watch",
      "Compile your line and train files, then compile again each time either is saved, each time with the "
      "check's totals and first problems. Ends on Ctrl-C");
  aggiungi_opzioni_compile(c, *o);
  aggiungi_opzioni_documenti(c, *o);
  // Both files must be there to be watched.
  c->get_option("--line")->check(file_esistente());
  c->get_option("--train")->check(file_esistente());
  return {c, [o, &g] {
            if (g.rapporto.json) throw std::invalid_argument("--json does not apply to watch");
            opzioni_compile opzioni = *o;
            opzioni.cartella = una_cartella(g, o->cartella);
            if (opzioni.cartella.empty()) opzioni.cartella = ".";
            const auto giro = [opzioni] {
              const std::time_t ora = std::time(nullptr);
              char quando[16];
              std::strftime(quando, sizeof quando, "%H:%M:%S", std::localtime(&ora));
              std::cout << "[" << quando << "] compile\n";
              std::cout.flush();
              // An input that cannot be read after a save (gone, a folder, a
              // FIFO, grown too big) is reported like a fault in the text:
              // the watch goes on, and the next save is compiled again.
              try {
                esegui_compile(opzioni);
                std::cerr.flush();
                const std::vector<testo_sorgente> testi = {leggi_sorgente(opzioni.linea, opzioni.codifica),
                                                           leggi_sorgente(opzioni.treno, opzioni.codifica)};
                std::map<std::string, std::string_view> mappa;
                for (const testo_sorgente& t : testi) mappa.emplace(t.nome, t.dati);
                stampa_problemi(std::cout, controlla(testi[0], testi[1]), mappa, primi_problemi);
              } catch (const std::bad_alloc&) {
                std::cout.flush();
                std::cerr << "tracciato: error: out of memory" << std::endl;
              } catch (const std::exception& e) {
                std::cout.flush();
                std::cerr << "tracciato: error: " << per_terminale(e.what()) << std::endl;
              }
              std::cout << "watching " << per_terminale(opzioni.linea.string()) << " and "
                        << per_terminale(opzioni.treno.string()) << " (Ctrl-C ends)" << std::endl;
            };
            return sorveglia({opzioni.linea, opzioni.treno}, giro);
          }};
}

}  // namespace tracciato
