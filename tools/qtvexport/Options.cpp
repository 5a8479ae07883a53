#include "tools/qtvexport/Options.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <set>

namespace {
constexpr int kHighestAddress = 31;

bool ParseStations(const std::string& text, std::set<int>& stations) {
    std::size_t start = 0;
    while (start <= text.size()) {
        const std::size_t comma = std::min(text.find(',', start), text.size());
        int address = -1;
        const char* first = text.data() + start;
        const char* last = text.data() + comma;
        const auto r = std::from_chars(first, last, address);
        if (first == last || r.ec != std::errc() || r.ptr != last || address < 0 || address > kHighestAddress) return false;
        stations.insert(address);
        start = comma + 1;
    }
    return !stations.empty();
}

bool EndsWithQtv(const std::string& path) {
    if (path.size() < 4) return false;
    std::string ext = path.substr(path.size() - 4);
    for (char& c : ext) c = char(std::toupper(static_cast<unsigned char>(c)));
    return ext == ".QTV";
}
}  // namespace

std::string ExportUsage() {
    return "Aufruf: qtvexport [--dir ORDNER] [--from TT.MM.JJJJ] [--to TT.MM.JJJJ] [--stations 1,5,7]\n"
           "                 [--config DATEI] ZIEL.csv\n"
           "\n"
           "Schreibt die Aufzeichnungsdateien (AADDMMJJ.QTV) eines Ordners als CSV-Datei für\n"
           "Tabellenkalkulationen: UTF-8 mit Byte-Order-Mark, Trennzeichen ';', Dezimalkomma,\n"
           "Spalten Datum;Uhrzeit;Station;Titel;Wert;Einheit;Status.\n"
           "\n"
           "  --dir ORDNER        Ordner der Aufzeichnungen (Vorgabe: der aktuelle Ordner)\n"
           "  --from TT.MM.JJJJ   erster Tag (Vorgabe: der früheste)\n"
           "  --to TT.MM.JJJJ     letzter Tag (Vorgabe: der späteste)\n"
           "  --stations LISTE    nur diese Stationsadressen (0 bis 31), durch Komma getrennt\n"
           "  --config DATEI      Konfigurationsdatei, aus der die Titel der Stationen stammen\n"
           "  --help              diese Hilfe\n"
           "\n"
           "Die Aufzeichnungsdateien werden nur gelesen. Fehlerhafte Zeilen werden übersprungen,\n"
           "gezählt und am Ende gemeldet. Die Zieldatei wird erst am Ende ersetzt.\n"
           "Rückgabewert: 0 exportiert, 1 nichts gefunden oder Zieldatei nicht schreibbar,\n"
           "2 fehlerhafter Aufruf.\n";
}

ParsedOptions ParseExportOptions(const std::vector<std::string>& args) {
    ExportOptions o;
    std::vector<std::string> positional;
    auto fail = [](std::string message) { return ParsedOptions{std::nullopt, std::move(message)}; };
    for (std::size_t i = 0; i < args.size(); ++i) {
        std::string arg = args[i];
        if (arg == "--help" || arg == "-h") {
            o.help = true;
            return ParsedOptions{o, {}};
        }
        if (arg.rfind("--", 0) != 0 || arg == "--") {
            if (arg == "--") {
                positional.insert(positional.end(), args.begin() + long(i) + 1, args.end());
                break;
            }
            positional.push_back(arg);
            continue;
        }
        std::string value;
        const auto equals = arg.find('=');
        if (equals != std::string::npos) {
            value = arg.substr(equals + 1);
            arg = arg.substr(0, equals);
        } else if (arg == "--dir" || arg == "--from" || arg == "--to" || arg == "--stations" || arg == "--config") {
            if (i + 1 >= args.size()) return fail("Option " + arg + " braucht einen Wert");
            value = args[++i];
        }
        if (arg == "--dir") {
            if (value.empty()) return fail("--dir braucht einen Ordner");
            o.folder = value;
        } else if (arg == "--from" || arg == "--to") {
            const auto date = ParseGermanDate(value);
            if (!date) return fail("ungültiges Datum für " + arg + ": \"" + value + "\" (TT.MM.JJJJ)");
            (arg == "--from" ? o.filter.from : o.filter.to) = *date;
        } else if (arg == "--stations") {
            if (!ParseStations(value, o.filter.stations))
                return fail("ungültige Stationsliste: \"" + value + "\" (Adressen 0 bis 31, durch Komma getrennt)");
        } else if (arg == "--config") {
            if (value.empty()) return fail("--config braucht eine Datei");
            o.config = value;
        } else {
            return fail("unbekannte Option " + arg);
        }
    }
    if (positional.empty()) return fail("keine Zieldatei angegeben");
    if (positional.size() > 1) return fail("mehr als eine Zieldatei angegeben: \"" + positional[1] + "\"");
    o.target = positional.front();
    if (EndsWithQtv(o.target)) return fail("die Zieldatei darf keine Aufzeichnungsdatei (.QTV) sein");
    if (o.filter.from && o.filter.to && *o.filter.to < *o.filter.from)
        return fail("--to liegt vor --from");
    return ParsedOptions{o, {}};
}
