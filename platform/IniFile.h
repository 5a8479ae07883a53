#pragma once
// An INI file of our own: sections in square brackets, key=value lines. Reading keeps every line,
// so writing back preserves the order of sections and keys, other sections and comments.
// Lines may end in CR LF, LF or CR alone; the file is written back with the line end it began
// with. Text is UTF-8 inside. The format's code page is Windows-1252: a new file, one that holds
// only ASCII and one that is not valid UTF-8 are written in it; a file that holds UTF-8 text
// beyond ASCII, or begins with a byte order mark, stays UTF-8 (the mark is skipped on reading and
// kept on writing; behind it, text that is not valid UTF-8 is still Windows-1252). New files end
// their lines in CR LF. Save() replaces the
// file atomically (temporary file beside it, flushed to disk, renamed), so a crash or a full disk
// leaves the old file whole.
//
// The file is held as its text plus eight bytes a line, so the memory it takes stays near its
// size; a file larger than kMaxBytes is not read at all.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class IniFile {
public:
    // Far beyond any real configuration (a few kilobytes); a larger file is damaged or hostile.
    static constexpr std::size_t kMaxBytes = 16u << 20;

    // How the file was read. A file that exists but was not read whole has a content this object
    // does not know: it is never written over, or every station in it would be lost.
    enum class Reading {
        Whole,       // read completely (or the text given to Parse)
        Missing,     // there was no file of that name: it reads empty and may be created
        Unreadable,  // no permission, a read error, or not a regular file
        TooLarge,    // larger than kMaxBytes
    };

    explicit IniFile(std::string path);  // reads the file if it exists

    const std::string& path() const { return path_; }
    Reading reading() const { return reading_; }
    bool mayBeWritten() const { return reading_ == Reading::Whole || reading_ == Reading::Missing; }

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
    void EraseSection(const std::string& section);  // every section of that name, in one pass

    // Writes the file if anything changed. False when it could not be written, or when it may
    // not be written over (see Reading); the old file then stays as it was.
    bool Save();

    bool readAsWindows1252() const { return cp1252_; }

    // Parses text held in memory (also the fuzzing entry point); more than kMaxBytes counts as
    // TooLarge and reads empty.
    void Parse(std::string bytes);

private:
    enum Kind : std::uint32_t { Other, Section, Key };
    // One line: where its text (without its line end) lies in text_, and what it is. Names and
    // values are found again in the text when asked for, so that a line costs no more than this.
    struct Line {
        std::uint32_t from = 0;
        std::uint32_t size : 30 = 0;
        std::uint32_t kind : 2 = Other;
    };
    static_assert(sizeof(Line) == 8);
    // What a line is, and the parts of it a reader asks for (views into the line's text).
    struct Parts {
        Kind kind = Other;
        std::string_view name;  // the section's or the key's name
        std::string_view value;
    };
    static Parts Classify(std::string_view text);

    std::string_view textOf(const Line& line) const;
    Line AddLine(std::string_view text);  // appends the text to text_; a changed line gets new text
    std::size_t findSection(std::string_view section) const;  // lines_.size() when missing
    std::size_t sectionEnd(std::size_t header) const;           // the next header, or the end
    std::size_t findKey(std::string_view section, std::string_view key) const;
    std::size_t findKeyIn(std::size_t header, std::string_view key) const;
    std::string Serialize() const;

    std::string path_;
    std::string text_;         // the lines' text, UTF-8; changed lines are appended behind
    std::vector<Line> lines_;
    Reading reading_ = Reading::Missing;
    bool cp1252_ = false;
    bool bom_ = false;
    std::string lineEnd_ = "\r\n";
    bool dirty_ = false;
    // The section found last: the exit writes a dozen keys into each section in turn, and each
    // would otherwise search the whole file again. Forgotten when sections are erased; a new key
    // is inserted behind this very header and a new section at the end, so neither moves it.
    mutable std::string lastSection_;
    mutable std::size_t lastHeader_ = SIZE_MAX;
};
