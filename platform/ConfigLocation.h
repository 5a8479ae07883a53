#pragma once
// Where the program's configuration file lies. It is named after the program file: the program
// file's path with its extension replaced by ".INI" (tarvo.exe gives tarvo.INI, and tarvo, which
// has none, tarvo.INI too). A copy in a folder of its own keeps the file beside the program. An
// installed program, whose folder takes no new file (/usr/bin, C:\Program Files; nothing under
// /usr, even for root), keeps it per user instead: $XDG_CONFIG_HOME/tarvo/ (~/.config/tarvo/) or
// %APPDATA%\Tarvo\. A file that already lies beside the program is always the one used. Plain
// C++, the same rule on every platform.

#include <filesystem>

// The program file's path with its extension replaced by ".INI".
std::filesystem::path ConfigFileBesideProgram(const std::filesystem::path& programFile);

// The per-user folder for the configuration (not created here), or an empty path when the
// environment names none (no HOME, no APPDATA).
std::filesystem::path PerUserConfigFolder();

// The configuration file the program uses when no --config names one: beside the program if a
// file is there or the folder can take one, else in the per-user folder, which is then created.
// Falls back to beside the program when there is no per-user folder.
std::filesystem::path ConfigFileForProgram(const std::filesystem::path& programFile);
