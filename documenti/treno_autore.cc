// The train file's records for the documents, and the cells they are drawn with.
#include <algorithm>
#include <cstdio>

#include "checker/vista.h"
#include "documenti/interno.h"
#include "model/regole.h"
#include "platform/testo.h"

namespace tracciato {

treno_autore leggi_treno_autore(std::string_view treno) {
  std::vector<problema> scarto;  // the check tells these; the documents need only the records
  const vista v = leggi_vista(tipo_file::treno, "train file", treno, scarto);
  treno_autore t;
  for (const voce& x : v.voci) {
    if (!x.completa()) continue;
    switch (x.tipo) {
      case genere_voce::massa: t.massa_frenata = x.n(0); break;
      case genere_voce::vetture: t.vetture = x.n(0); break;
      case genere_voce::velocita: t.limiti.emplace_back(x.n(0), x.n(1)); break;
      case genere_voce::rallentamento: t.rallentamenti.push_back({x.n(0), x.n(1), x.n(2)}); break;
      case genere_voce::stazione: {
        namespace c = campo_stazione;
        stazione_autore st;
        st.posizione = x.n(c::posizione);
        st.tipo = x.n(c::tipo);
        st.lunghezza = x.n(c::lunghezza);
        st.terzo_flag = x.n(c::flag3) != 0;
        st.fermata = x.n(c::fermata);
        const int64_t h = x.n(c::ore), m = x.n(c::minuti), s = x.n(c::secondi);
        if (h != 0 || m != 0 || s != 0) st.ora = (h * 60 + m) * 60 + s;
        st.nome = x.testo;
        while (!st.nome.empty() && (st.nome.back() == ' ' || st.nome.back() == '\t')) st.nome.pop_back();
        t.stazioni.push_back(std::move(st));
        break;
      }
      default: break;
    }
  }
  std::stable_sort(t.rallentamenti.begin(), t.rallentamenti.end(),
                   [](const rallentamento_autore& a, const rallentamento_autore& b) { return a.inizio < b.inizio; });
  return t;
}

bool nella_stazione(const stazione_autore& st, int64_t p) {
  const estensione e = estensione_stazione(st.tipo, st.posizione, st.lunghezza, st.terzo_flag);
  return e.inizio <= p && p <= e.fine;
}

std::string disegno::cella(std::string_view t, size_t w, allinea a, std::string_view cosa) {
  if (t.size() > w) {
    avvisi_.push_back(std::string(cosa) + " \"" + a_utf8(t) + "\" is " + std::to_string(t.size()) +
                      " characters long and its cell holds " + std::to_string(w) + ": cut to \"" +
                      a_utf8(t.substr(0, w)) + "\"");
    t = t.substr(0, w);
  }
  const size_t resto = w - t.size();
  // Centred as on the built-in forms: the odd blank goes to the left.
  const size_t prima = a == allinea::sinistra ? 0 : a == allinea::destra ? resto : (resto + 1) / 2;
  return std::string(prima, ' ') + std::string(t) + std::string(resto - prima, ' ');
}

std::string chilometri(int64_t metri, char separatore) {
  const bool negativo = metri < 0;
  const int64_t m = negativo ? -metri : metri;
  char b[48];
  std::snprintf(b, sizeof b, "%s%lld%c%03lld", negativo ? "-" : "", static_cast<long long>(m / 1000), separatore,
                static_cast<long long>(m % 1000));
  return b;
}

std::string con_fine_riga(const std::vector<std::string>& righe) {
  std::string s;
  for (const std::string& r : righe) s += r + "\r\n";
  return s;
}

}  // namespace tracciato
