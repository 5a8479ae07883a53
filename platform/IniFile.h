#pragma once
// An INI file of our own: sections in square brackets, key=value lines. Reading keeps every line,
// so writing back preserves the order of sections and keys, other sections and comments.
// Text is UTF-8 inside; a file that is not valid UTF-8 is read as Windows-1252 and written back
// in that code page. New files are UTF-8. Save() replaces the file atomically (temporary file
// beside it, flushed to disk, renamed), so a crash or a full disk leaves the old file whole.

#include <cstdint>
#include <string>
#include <vector>

class IniFile {
public:
    explicit IniFile(std::string path);  // reads the file if it exists

    const std::string& path() const { return path_; }
    bool SectionExists(const std::string& section) const;
    bool ValueExists(const std::string& section, const std::string& key) const;

    // Section and key names match without regard to case (ASCII), as the Windows profile
    // functions match them; the first section and the first key of a name count.
    // A value reads without the blanks around it and without one pair of quotes around it.
    std::string ReadString(const std::string& section, const std::string& key, const std::string& def) const;
    // A missing key, or a value that is not a whole decimal number within 64 bits
    // (optional sign, digits, nothing else), reads as def.
    std::int64_t ReadInteger(const std::string& section, const std::string& key, std::int64_t def) const;
    bool ReadBool(const std::string& section, const std::string& key, bool def) const;  // integer != 0

    // A new key goes behind the last key of its section, a new section to the end of the file.
    // A value with blanks at its ends is written in quotes, so that it reads back unchanged;
    // line breaks in names and values become blanks.
    void WriteString(const std::string& section, const std::string& key, const std::string& value);
    void WriteInteger(const std::string& section, const std::string& key, std::int64_t value);
    void WriteBool(const std::string& section, const std::string& key, bool value);  // 0 or 1
    void EraseSection(const std::string& section);

    // Writes the file if anything changed. False when it could not be written (the old file stays).
    bool Save();

    bool readAsWindows1252() const { return cp1252_; }

    // Parses text held in memory (also the fuzzing entry point).
    void Parse(const std::string& bytes);

private:
    struct Line {
        std::string text;     // the line as read (UTF-8), without its end of line
        std::string section;  // for a section header: its name
        std::string key;      // for a key line: its key
        std::string value;
        enum Kind { Other, Section, Key } kind = Other;
    };
    static Line Classify(std::string text);
    std::size_t findSection(const std::string& section) const;  // lines_.size() when missing
    std::size_t sectionEnd(std::size_t header) const;             // the next header, or the end
    std::size_t findKey(const std::string& section, const std::string& key) const;
    std::string Serialize() const;

    std::string path_;
    std::vector<Line> lines_;
    bool cp1252_ = false;
    bool bom_ = false;  // a UTF-8 file that began with a byte order mark keeps it
    bool crlf_ = true;
    bool dirty_ = false;
};
