// A recording file is read as the export reads it, into CSV rows: arbitrary bytes (units in any
// code page, control characters, cut-off lines) give rows a spreadsheet reads back with the
// same number of fields, and never a cell it would take as a formula.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "platform/Windows1252.h"
#include "records/Csv.h"
#include "records/RecordingReader.h"

namespace {
// The text cells (title, unit) of one row, split as a spreadsheet would.
int FieldsOf(std::string_view row) {
    int fields = 1;
    bool quoted = false;
    for (char c : row) {
        if (c == '"') quoted = !quoted;
        if (c == ';' && !quoted) ++fields;
        if ((c == '\r' || c == '\n') && !quoted) return -1;
    }
    return fields;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    ReadCount count;
    ReadRecords(bytes, [](const RecordLine& r, std::string_view) {
        std::string row;
        const std::string unit = Windows1252ToUtf8(std::string(r.value.unit));
        AppendCsvRow(row, "06.12.2026", "14:03:27", 5, unit, r.value, unit);
        if (row.size() < 2 || row.compare(row.size() - 2, 2, "\r\n") != 0) std::abort();
        if (FieldsOf(std::string_view(row).substr(0, row.size() - 2)) != 7) std::abort();
        std::string cell;
        AppendCsvField(cell, unit);
        if (cell.find_first_of("\r\n\t", 0) != std::string::npos) std::abort();
        std::string shown;  // what the spreadsheet has in the cell: quotes taken off
        if (!cell.empty() && cell.front() == '"') {
            for (std::size_t i = 1; i + 1 < cell.size(); ++i) {
                shown.push_back(cell[i]);
                if (cell[i] == '"') ++i;
            }
        } else {
            shown = cell;
        }
        const std::size_t first = shown.find_first_not_of(' ');
        if (first != std::string::npos && std::string_view("=+-@").find(shown[first]) != std::string_view::npos)
            std::abort();
        return true;
    }, count);
    return 0;
}
