#pragma once
// A strict reader of CSV as spreadsheet programs expect it (RFC 4180 with ';'): every record
// ends with CR LF, a quote may only open a field and must be closed, a closing quote must be
// followed by the separator or the line end, and every record has as many fields as the header.
// Anything else is an error, so that a test sees what a lenient reader would hide.

#include <optional>
#include <string>
#include <vector>

struct StrictCsv {
    bool bom = false;
    std::vector<std::vector<std::string>> rows;  // the header first
    std::string error;                           // empty when the text is well-formed
};

inline StrictCsv ReadStrictCsv(std::string text) {
    StrictCsv csv;
    if (text.rfind("\xEF\xBB\xBF", 0) == 0) {
        csv.bom = true;
        text.erase(0, 3);
    }
    std::vector<std::string> row;
    std::string field;
    std::size_t i = 0;
    auto fail = [&](const std::string& why) {
        csv.error = why + " at byte " + std::to_string(i);
        return csv;
    };
    while (i < text.size()) {
        if (text[i] == '"') {
            if (!field.empty()) return fail("quote inside an unquoted field");
            ++i;
            bool closed = false;
            while (i < text.size()) {
                if (text[i] == '"') {
                    if (i + 1 < text.size() && text[i + 1] == '"') {
                        field += '"';
                        i += 2;
                        continue;
                    }
                    closed = true;
                    ++i;
                    break;
                }
                field += text[i++];
            }
            if (!closed) return fail("unclosed quote");
            if (i < text.size() && text[i] != ';' && text[i] != '\r') return fail("text after a closing quote");
            continue;
        }
        if (text[i] == ';') {
            row.push_back(field);
            field.clear();
            ++i;
            continue;
        }
        if (text[i] == '\r') {
            if (i + 1 >= text.size() || text[i + 1] != '\n') return fail("CR without LF");
            row.push_back(field);
            field.clear();
            if (!csv.rows.empty() && row.size() != csv.rows.front().size()) return fail("wrong number of fields");
            csv.rows.push_back(row);
            row.clear();
            i += 2;
            continue;
        }
        if (text[i] == '\n') return fail("LF without CR");
        field += text[i++];
    }
    if (!field.empty() || !row.empty()) return fail("last record without line end");
    return csv;
}
