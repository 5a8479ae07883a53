#include "tools/qtvexport/Options.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <set>

#include "platform/GetoptArguments.h"

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
    enum { kDir = 256, kFrom, kTo, kStations, kConfig };
    static const option kOptions[] = {
        {"help", no_argument, nullptr, 'h'},       {"dir", required_argument, nullptr, kDir},
        {"from", required_argument, nullptr, kFrom}, {"to", required_argument, nullptr, kTo},
        {"stations", required_argument, nullptr, kStations}, {"config", required_argument, nullptr, kConfig},
        {nullptr, 0, nullptr, 0}};
    ExportOptions o;
    auto fail = [](std::string message) { return ParsedOptions{std::nullopt, std::move(message)}; };
    // The option as given, without a value after '='.
    const auto given = [](const std::string& arg) { return arg.substr(0, arg.find('=')); };
    GetoptArguments a(args, ":h");
    for (int c; (c = getopt_long(a.argc(), a.argv(), ":h", kOptions, nullptr)) != -1;) {
        const std::string value = optarg ? optarg : "";
        switch (c) {
        case 'h':
            o.help = true;
            return ParsedOptions{o, {}};
        case kDir:
            if (value.empty()) return fail("--dir braucht einen Ordner");
            o.folder = value;
            break;
        case kFrom:
        case kTo: {
            const std::string name = c == kFrom ? "--from" : "--to";
            const auto date = ParseGermanDate(value);
            if (!date) return fail("ungültiges Datum für " + name + ": \"" + value + "\" (TT.MM.JJJJ)");
            (c == kFrom ? o.filter.from : o.filter.to) = *date;
            break;
        }
        case kStations:
            if (!ParseStations(value, o.filter.stations))
                return fail("ungültige Stationsliste: \"" + value + "\" (Adressen 0 bis 31, durch Komma getrennt)");
            break;
        case kConfig:
            if (value.empty()) return fail("--config braucht eine Datei");
            o.config = value;
            break;
        case ':': return fail("Option " + given(a.last()) + " braucht einen Wert");
        default: return fail("unbekannte Option " + given(a.last()));
        }
    }
    const std::vector<std::string> positional(a.argv() + optind, a.argv() + a.argc());
    if (positional.empty()) return fail("keine Zieldatei angegeben");
    if (positional.size() > 1) return fail("mehr als eine Zieldatei angegeben: \"" + positional[1] + "\"");
    o.target = positional.front();
    if (EndsWithQtv(o.target)) return fail("die Zieldatei darf keine Aufzeichnungsdatei (.QTV) sein");
    if (o.filter.from && o.filter.to && *o.filter.to < *o.filter.from)
        return fail("--to liegt vor --from");
    return ParsedOptions{o, {}};
}
