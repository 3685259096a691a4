// How every run of every command ends, in one place: the exit statuses
// (platform/uscita.h), the one JSON object of a --json run, and the one form
// of a failure.
#pragma once

#include <nlohmann/json.hpp>
#include <string_view>

#include "platform/uscita.h"

namespace tracciato {

// stampa_json: prints a run's one JSON object on standard output. Texts that
// are not UTF-8 (the scenario files are Windows-1252) are replaced, never a
// reason to fail at the very end of a run.
void stampa_json(const nlohmann::json& j);

// Whether this run has printed its JSON object.
bool json_stampato();

// fallimento: reports a failure and returns stato: "tracciato: error:
// <messaggio>" on standard error and, with json and unless the run has
// printed its object already, {"error": <messaggio>, "exit_status": stato}
// on standard output.
int fallimento(std::string_view messaggio, int stato, bool json);

// errore_interno: a fault of tracciato itself (exit 3), reported as a failure
// that asks to be reported.
int errore_interno(std::string_view cosa, bool json);

}  // namespace tracciato
