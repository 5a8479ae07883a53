#pragma once
// The one rule for every file the program and its tools read or write on the operator's behalf:
// parameter sets, pictures and CSV files of the trend, export targets, the recording files as the
// trend and the export read them, the event log, the redirector tool's pid files.
//
// Such a name lies in a folder where anyone may have put something of that name. Only a regular
// file reached without a link is read or replaced: a link is never followed (a link planted there
// would make the operator's process read or overwrite any file it may), and a pipe, a device, a
// socket or a folder is never opened in a way that could block, and is never replaced. Whatever
// is refused is left as it is.
//
// The configuration file keeps its own rule (IniFile): a link to it is followed, as the operator
// may keep it elsewhere; everything else holds for it too.

#include <cstdint>
#include <string>

enum class PlainFile {
    Regular,     // a regular file (read whole, when reading)
    Missing,     // nothing of that name; a link to nowhere is a Link, not missing
    Link,
    Folder,
    Special,     // a pipe, a device or a socket
    TooLarge,    // larger than the reader's limit
    Unreadable,  // no permission, a read error
};

enum class Links { Refuse, Follow };

// What stands under the name, looked at without opening it.
PlainFile InspectPlainFile(const std::string& path, Links links = Links::Refuse);

// Reads a regular file whole, at most maxBytes (a larger one, also one that grows past the limit
// while being read, is TooLarge). Opened without blocking; bytes stay empty unless Regular.
PlainFile ReadPlainFile(const std::string& path, std::string& bytes, std::uint64_t maxBytes,
                        Links links = Links::Refuse);

// A name that may be replaced as a whole: nothing there yet, or a regular file.
inline bool MayReplace(PlainFile state) { return state == PlainFile::Regular || state == PlainFile::Missing; }

// The file a link at path would reach (absolute, as far as it resolves); empty for no link.
std::string LinkDestination(const std::string& path);

// Why a file is not used, one sentence naming it: German for the windows, English for the tools.
enum class Speech { German, English };
std::string PlainFileRefusal(PlainFile state, const std::string& path, Speech speech);
