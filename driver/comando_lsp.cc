// tracciato lsp: the language server, on standard input and output.
#include <unistd.h>

#include <cerrno>
#include <iostream>
#include <string_view>
#include <system_error>

#include "driver/comandi.h"
#include "lsp/servitore.h"

namespace tracciato {

comando registra_lsp(CLI::App& app, opzioni_globali& g) {
  auto* c = app.add_subcommand(
      "lsp", "Serve the Language Server Protocol on standard input and output, for editors");
  return {c, [&g] {
            if (g.rapporto.json || g.rapporto.strict || !g.cartella.empty())
              throw std::invalid_argument("--dir, --json and --strict do not apply to lsp");
            // Standard output carries the protocol alone: the messages go to a
            // private copy of it, and anything else written to it (by this
            // program or a library) goes to standard error instead.
            const int protocollo = ::dup(STDOUT_FILENO);
            if (protocollo < 0 || ::dup2(STDERR_FILENO, STDOUT_FILENO) < 0)
              throw std::system_error(errno, std::generic_category(), "lsp: standard output");
            auto scrivi = [protocollo](std::string_view m) {
              while (!m.empty()) {
                const ssize_t n = ::write(protocollo, m.data(), m.size());
                if (n < 0 && errno == EINTR) continue;
                if (n <= 0)
                  throw std::system_error(errno, std::generic_category(), "lsp: writing a message");
                m.remove_prefix(static_cast<size_t>(n));
              }
            };
            std::ios::sync_with_stdio(false);
            const int stato = lsp::esegui_servitore(std::cin, scrivi);
            ::close(protocollo);
            return stato;
          }};
}

}  // namespace tracciato
