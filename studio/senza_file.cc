// The platform's file calls, for the studio's module: the page reads and
// saves the author's files itself, so nothing in the module may open one.
// A writer that does anyway is told so, as a failure to write.
#include <stdexcept>
#include <system_error>
#include <utility>

#include "platform/file.h"

namespace tracciato {
namespace {
[[noreturn]] void nessun_file(const std::filesystem::path& p) {
  throw std::system_error(std::make_error_code(std::errc::operation_not_supported),
                          p.string() + ": the studio has no files");
}
}  // namespace

file_nuovo::file_nuovo(std::filesystem::path percorso) : percorso_(std::move(percorso)) { nessun_file(percorso_); }
file_nuovo::file_nuovo(file_nuovo&& altro) noexcept : percorso_(std::move(altro.percorso_)) {}
file_nuovo::~file_nuovo() = default;
void file_nuovo::riserva(uint64_t) noexcept {}
void file_nuovo::scrivi(std::string_view, uint64_t) { nessun_file(percorso_); }
void file_nuovo::chiudi() { nessun_file(percorso_); }
void crea_file(const std::filesystem::path& percorso, std::string_view) { nessun_file(percorso); }
file_temporaneo::file_temporaneo(std::filesystem::path percorso)
    : percorso_(percorso), file_(std::move(percorso)) {}
void file_temporaneo::conferma() { nessun_file(percorso_); }
void sostituisci_file(const std::filesystem::path& percorso, std::string_view) { nessun_file(percorso); }
std::string leggi_file(const std::filesystem::path& percorso, std::size_t) { nessun_file(percorso); }
void verifica_leggibile(const std::filesystem::path& percorso, std::size_t) { nessun_file(percorso); }
file_in_lettura::file_in_lettura(std::filesystem::path percorso, std::size_t) : percorso_(std::move(percorso)) {
  nessun_file(percorso_);
}
file_in_lettura::file_in_lettura(file_in_lettura&& altro) noexcept : percorso_(std::move(altro.percorso_)) {}
file_in_lettura::~file_in_lettura() = default;
void file_in_lettura::leggi(char*, std::size_t, uint64_t) const { nessun_file(percorso_); }
bool esiste_file(const std::filesystem::path&) { return false; }
bool cancella_file(const std::filesystem::path&) noexcept { return false; }
}  // namespace tracciato
