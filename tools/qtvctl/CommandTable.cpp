#include "tools/qtvctl/CommandTable.h"

#include <cctype>
#include <cstdio>
#include <string>

#include "link/Sio.h"
#include "tools/qtvctl/ClockText.h"
#include "tools/qtvctl/ExchangeDiagnosis.h"

namespace {

using K = CommandKind;

// A read gives a number or fills an area (three bytes for the unit text); a write takes one
// byte, two, or a text, or no value at all (ResetQtv, ClearBFlag: named without "Write").
std::vector<CommandRow> MakeTable() {
    std::vector<CommandRow> table;
    for (const QtvParameter& p : QtvParameters()) {
        if (!std::holds_alternative<std::monostate>(p.read)) {
            const K kind = !ReadsArea(p) ? K::Number : p.form == ValueForm::Text ? K::Area3 : K::Area2;
            table.push_back({std::string("Read") + p.name, kind, &p, false});
        }
        if (std::holds_alternative<std::int32_t (*)()>(p.write)) {
            table.push_back({p.name, K::Status, &p, true});
        } else if (!std::holds_alternative<std::monostate>(p.write)) {
            const K kind = std::holds_alternative<std::int32_t (*)(std::uint8_t)>(p.write)        ? K::Byte
                           : std::holds_alternative<std::int32_t (*)(std::string_view)>(p.write) ? K::Text
                                                                                                   : K::Word;
            table.push_back({std::string("Write") + p.name, kind, &p, true});
        }
    }
    return table;
}

void PrintArea(const char* name, const std::uint8_t* area, int count) {
    std::string hex, text;
    for (int i = 0; i < count; ++i) {
        char digits[4];
        std::snprintf(digits, sizeof digits, "%s%02X", i ? " " : "", area[i]);
        hex += digits;
        text += std::isprint(area[i]) ? static_cast<char>(area[i]) : '.';
    }
    std::printf("%s: %s  \"%s\"", name, hex.c_str(), text.c_str());
    if (count == 2) {
        const unsigned word = area[0] * 256u + area[1];
        std::printf("  = %u (signed %d)", word, static_cast<int>(static_cast<std::int16_t>(word)));
        const std::string clock = ClockText(name, area[0], area[1]);
        if (!clock.empty()) std::printf("  %s", clock.c_str());
    }
    std::printf("\n");
}

std::string NoValidAnswer(const ExchangeWatch& watch) {
    const std::string why = watch.whyNoValidAnswer();
    return "no valid answer" + (why.empty() ? std::string() : ": " + why);
}

}  // namespace

const std::vector<CommandRow>& CommandTable() {
    static const std::vector<CommandRow> table = MakeTable();
    return table;
}

const CommandRow* FindCommand(std::string_view name) {
    for (const CommandRow& row : CommandTable())
        if (SameName(row.name, name)) return &row;
    return nullptr;
}

bool TakesValue(CommandKind kind) { return kind == K::Byte || kind == K::Word || kind == K::Text; }

const char* ValueRange(CommandKind kind) {
    switch (kind) {
        case K::Byte: return "0..255";
        case K::Word: return "-32768..65535";
        case K::Text: return "1 to 3 characters";
        default: return "";
    }
}

std::int32_t RunCommand(const CommandRow& row, const CommandValue& value, const ExchangeWatch& watch) {
    std::uint8_t area[4] = {};
    long result = 0;
    // ReadBroadcast asks one station even in broadcast mode; every other read gets no answer then.
    const bool unanswered = Broadcast && !TakesValue(row.kind) && row.kind != K::Status &&
                            !SameName(row.name, "ReadBroadcast");
    const auto word = static_cast<std::uint16_t>(value.number);
    if (!row.write) {
        result = RunQtvRead(*row.parameter, area);
    } else if (row.kind == K::Text) {
        result = std::get<std::int32_t (*)(std::string_view)>(row.parameter->write)(value.text);
    } else {
        result = WriteQtvNumber(*row.parameter, value.number);
    }
    const bool answered = SioErgebnis != 0;
    const bool reads = row.kind == K::Number || row.kind == K::Area2 || row.kind == K::Area3;
    if (row.kind == K::Word) {
        const std::string clock = ClockText(row.name, static_cast<std::uint8_t>(word >> 8),
                                            static_cast<std::uint8_t>(word & 0xFF));
        if (!clock.empty())
            std::printf("%s: %02X %02X  %s\n", row.name.c_str(), word >> 8, word & 0xFF, clock.c_str());
    }
    if (reads && !answered) {
        std::printf("%s: %s\n", row.name.c_str(), NoValidAnswer(watch).c_str());
    } else if (row.kind == K::Number) {
        std::printf("%s: %ld\n", row.name.c_str(), result);
    } else if (row.kind == K::Area2 || row.kind == K::Area3) {
        PrintArea(row.name.c_str(), area, row.kind == K::Area2 ? 2 : 3);
    } else if (!answered) {
        std::printf("%s: %s\n", row.name.c_str(), NoValidAnswer(watch).c_str());
    }
    if (unanswered)
        std::printf("(broadcast: no answer is awaited, the value above means nothing)\n");
    std::printf("SioErgebnis: %d\n", SioErgebnis);
    return SioErgebnis;
}
