#include "platform/PlainFile.h"

// The portable part: what a refusal says. How a name is looked at and read is the backend's
// (PosixPlainFile.cpp, WinPlainFile.cpp).

std::string PlainFileRefusal(PlainFile state, const std::string& path, Speech speech) {
    const bool de = speech == Speech::German;
    const std::string name = "\"" + path + "\"";
    switch (state) {
    case PlainFile::Regular: return {};
    case PlainFile::Missing: return de ? "Die Datei " + name + " gibt es nicht." : name + " does not exist";
    case PlainFile::Link:
        return de ? name + " ist ein Verweis auf eine andere Datei und wird nicht verwendet."
                  : name + " is a symbolic link: not used";
    case PlainFile::Folder: return de ? name + " ist ein Ordner, keine Datei." : name + " is a folder, not a file";
    case PlainFile::Special:
        return de ? name + " ist keine gewöhnliche Datei (Pipe, Gerät oder Socket) und wird nicht verwendet."
                  : name + " is not a regular file (a pipe, a device or a socket): not used";
    case PlainFile::TooLarge:
        return de ? "Die Datei " + name + " ist zu groß." : name + " is too large";
    case PlainFile::Unreadable:
        return de ? "Die Datei " + name + " kann nicht gelesen werden." : "cannot read " + name;
    }
    return {};
}
