#include "records/Csv.h"

#include <algorithm>
#include <charconv>

std::string CsvHeader() { return "Datum;Uhrzeit;Station;Titel;Wert;Einheit;Status\r\n"; }

namespace {
// A spreadsheet takes a cell that begins with one of these as a formula, also behind blanks
// (" =1+1" is a formula to some). A title typed as "=HYPERLINK(...)" must stay a title.
bool ReadAsFormula(std::string_view text) {
    const std::size_t first = text.find_first_not_of(' ');
    return first != std::string_view::npos && std::string_view("=+-@").find(text[first]) != std::string_view::npos;
}

// Control characters (a NUL, a tab, a line break, which would hide a formula behind them or cut
// the row) become blanks; they have no place in a title or a unit.
bool IsControl(char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7F; }
}  // namespace

void AppendCsvField(std::string& out, std::string_view raw) {
    std::string cleaned;
    std::string_view field = raw;
    if (std::find_if(raw.begin(), raw.end(), IsControl) != raw.end()) {
        cleaned.assign(raw);
        std::replace_if(cleaned.begin(), cleaned.end(), IsControl, ' ');
        field = cleaned;
    }
    // The apostrophe makes the spreadsheet show the rest as text; it shows no apostrophe itself.
    const std::string_view guard = ReadAsFormula(field) ? "'" : "";
    if (field.find_first_of(";\"") == std::string_view::npos) {
        out.append(guard);
        out.append(field);
        return;
    }
    out.push_back('"');
    out.append(guard);
    for (char c : field) {
        if (c == '"') out.push_back('"');
        out.push_back(c);
    }
    out.push_back('"');
}

std::string GermanNumber(const ValueText& v) {
    if (v.kind != ValueKind::Number) return {};
    char digits[16];
    const auto r = std::to_chars(std::begin(digits), std::end(digits), v.scaled);
    std::string text(digits, r.ptr);
    // Leading zeros of the four-digit format go; one stays in front of the comma.
    const std::size_t width = std::size_t(v.decimals) + 1;
    if (text.size() < width) text.insert(0, width - text.size(), '0');
    if (v.decimals > 0) text.insert(text.size() - v.decimals, 1, ',');
    if (v.negative && v.scaled != 0) text.insert(0, 1, '-');
    return text;
}

std::string_view StatusOf(const ValueText& v) {
    switch (v.kind) {
    case ValueKind::Over: return "Ueber";
    case ValueKind::Under: return "Unter";
    case ValueKind::Number: break;
    }
    return {};
}

void AppendCsvRow(std::string& out, std::string_view date, std::string_view time, int station,
                  std::string_view title, const ValueText& v, std::string_view unit) {
    out.append(date);
    out.push_back(';');
    out.append(time);
    out.push_back(';');
    char number[16];
    const auto r = std::to_chars(std::begin(number), std::end(number), station);
    out.append(number, r.ptr);
    out.push_back(';');
    AppendCsvField(out, title);
    out.push_back(';');
    out.append(GermanNumber(v));
    out.push_back(';');
    AppendCsvField(out, unit);
    out.push_back(';');
    out.append(StatusOf(v));
    out.append("\r\n");
}
