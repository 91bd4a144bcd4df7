#include "exchange/CsvImport.h"

namespace exchange {

std::string ImportSummary(std::size_t imported, std::size_t duplicates, std::size_t refused) {
    return std::to_string(imported) + (imported == 1 ? " Eintrag" : " Eintr\u00E4ge") +
           " importiert, " + std::to_string(duplicates) +
           (duplicates == 1 ? " Duplikat" : " Duplikate") + " \u00FCbersprungen, " +
           std::to_string(refused) + (refused == 1 ? " Zeile" : " Zeilen") + " fehlerhaft";
}

} // namespace exchange
