// The INI reader must survive any file an operator or a crashed editor may leave behind:
// arbitrary bytes are parsed, every key the program uses is read, and the file is changed the way
// the exit does, all without a crash or a sanitizer report.
#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/IniFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    IniFile ini("");
    ini.Parse(std::string(reinterpret_cast<const char*>(data), size));
    for (const char* key : {"Top", "Left", "Height", "Width", "SIO", "MaxGeraete", "Internet"})
        (void)ini.ReadInteger("Form", key, 1);
    (void)ini.ReadString("Form", "Titel", "Netz1");
    (void)ini.ReadBool("Geraet 1", "Speichern", false);
    (void)ini.ReadInteger("Geraet 1", "Zyklus", 0);
    ini.WriteString("Form", "Titel", "Netz \xC3\xA4");
    ini.WriteInteger("Geraet 3", "Adresse", 3);
    ini.EraseSection("Geraet 2");
    (void)ini.SectionExists("Geraet 3");
    return 0;
}
