#pragma once
// The one way the main window reads numbers from its configuration file: a missing key or a
// value that is not a whole number gives the default, and a value wider than its field keeps
// only the field's low bits (SIO 300 reads as 44), as the stored files have always been read.

#include <QString>
#include <cstdint>
#include <string>
#include <type_traits>

#include "platform/IniFile.h"

template <typename Field>
Field ReadField(const IniFile& ini, const std::string& section, const char* key, Field def) {
    static_assert(std::is_integral_v<Field>, "numeric fields only");
    if constexpr (std::is_same_v<Field, bool>) {
        return ini.ReadBool(section, key, def);
    } else {
        // Conversion to a narrower integer keeps the low bits (modular since C++20).
        return static_cast<Field>(ini.ReadInteger(section, key, static_cast<std::int64_t>(def)));
    }
}

inline QString ReadText(const IniFile& ini, const std::string& section, const char* key, const QString& def) {
    return QString::fromStdString(ini.ReadString(section, key, def.toStdString()));
}

inline void WriteText(IniFile& ini, const std::string& section, const char* key, const QString& value) {
    ini.WriteString(section, key, value.toStdString());
}

inline std::string StationSection(int n) { return "Geraet " + std::to_string(n); }
inline const std::string kFormSection = "Form";

// Not a real host: the name a fresh installation starts with until the operator sets one.
inline const QString kDefaultHostName = QStringLiteral("geraeteserver.invalid");
inline const QString kDefaultLokalIP = QStringLiteral("000.000.000.000");
inline const QString kDefaultTitel = QStringLiteral("Netz1");
