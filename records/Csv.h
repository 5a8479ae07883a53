#pragma once
// Comma-separated values as German spreadsheet programs read them: UTF-8 with a byte-order
// mark, ';' between fields, decimal comma, CR LF line ends, a field quoted when it holds ';' or
// '"' (its quotes doubled).
// Columns: Datum;Uhrzeit;Station;Titel;Wert;Einheit;Status.

#include <string>
#include <string_view>

#include "records/ValueText.h"

inline constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";
std::string CsvHeader();  // the column names and the line end, without the byte-order mark

// A text cell (title, unit): control characters (NUL, tab, line breaks) become blanks, and one
// that a spreadsheet would take as a formula (it begins with '=', '+', '-' or '@', also behind
// blanks) gets a leading apostrophe. The value columns never pass through here.
void AppendCsvField(std::string& out, std::string_view field);

// The value with the station's decimals and a decimal comma ("-123,4", "0,05", "12345");
// empty for out-of-range values.
std::string GermanNumber(const ValueText& v);
// "Ueber" or "Unter" for out-of-range values, else empty.
std::string_view StatusOf(const ValueText& v);

// One line; date "dd.mm.yyyy", time "hh:mm:ss"; title and unit are UTF-8.
void AppendCsvRow(std::string& out, std::string_view date, std::string_view time, int station,
                  std::string_view title, const ValueText& v, std::string_view unit);
