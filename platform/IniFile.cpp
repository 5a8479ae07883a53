#include "platform/IniFile.h"

#include "platform/AtomicFile.h"
#include "platform/PlainFile.h"
#include "platform/Windows1252.h"

#include <algorithm>
#include <cstdint>
#include <charconv>
#include <optional>
#include <utility>

namespace {

constexpr std::string_view kBom = "\xEF\xBB\xBF";

std::string_view Trim(std::string_view s) {
    const auto first = s.find_first_not_of(" \t");
    if (first == std::string_view::npos) return {};
    return s.substr(first, s.find_last_not_of(" \t") - first + 1);
}

bool IsQuote(char c) { return c == '"' || c == '\''; }

bool EnclosedInQuotes(std::string_view s) {
    return s.size() >= 2 && IsQuote(s.front()) && s.front() == s.back();
}

// As the Windows profile functions read a value: blanks around it dropped, then one pair of
// quotes around the whole value.
std::string_view ValueAsRead(std::string_view raw) {
    std::string_view value = Trim(raw);
    if (EnclosedInQuotes(value)) value = value.substr(1, value.size() - 2);
    return value;
}

// The value as written, such that ValueAsRead gives it back exactly: a value with blanks at
// its ends (a unit text of three blanks) or in quotes of its own is put in double quotes.
std::string ValueAsWritten(const std::string& value) {
    const bool blankEnds = !value.empty() && (value != Trim(value));
    return blankEnds || EnclosedInQuotes(value) ? '"' + value + '"' : value;
}

// A line break inside a name or value would start a line of its own (a forged section or key).
std::string OneLine(std::string s) {
    for (char& c : s)
        if (c == '\r' || c == '\n') c = ' ';
    return RepairUtf8(s);
}

bool SameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; };
        if (lower(a[i]) != lower(b[i])) return false;
    }
    return true;
}

// Optional sign and decimal digits, nothing else, within 64 bits.
std::optional<std::int64_t> WholeDecimal(std::string_view raw) {
    std::string_view text = Trim(raw);
    if (!text.empty() && text.front() == '+') text.remove_prefix(1);
    const std::size_t digitsFrom = !text.empty() && text.front() == '-' ? 1 : 0;
    if (text.size() == digitsFrom) return std::nullopt;
    std::int64_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
    return value;
}

struct FileBytes {
    std::string bytes;
    IniFile::Reading reading = IniFile::Reading::Whole;
};

// Only a regular file is read (platform/PlainFile), but through a link: the operator may keep
// the configuration elsewhere. Whatever keeps the file from being read whole is told apart from
// a file that is not there.
FileBytes ReadWholeFile(const std::string& path) {
    FileBytes file;
    switch (ReadPlainFile(path, file.bytes, IniFile::kMaxBytes, Links::Follow)) {
    case PlainFile::Regular: break;
    case PlainFile::Missing: file.reading = IniFile::Reading::Missing; break;
    case PlainFile::TooLarge: file.reading = IniFile::Reading::TooLarge; break;
    default: file.reading = IniFile::Reading::Unreadable; break;
    }
    return file;
}

// The line end a file begins with: CR LF, LF or CR; CR LF for a file of one line.
std::string FirstLineEnd(std::string_view text) {
    const auto at = text.find_first_of("\r\n");
    if (at == std::string_view::npos) return "\r\n";
    if (text[at] == '\n') return "\n";
    return at + 1 < text.size() && text[at + 1] == '\n' ? "\r\n" : "\r";
}

// Calls take(from, size) for every line of the text; a line ends at CR LF, LF or CR.
template <typename Take>
void ForEachLine(std::string_view text, Take take) {
    std::size_t from = 0;
    while (from < text.size()) {
        std::size_t end = from;
        while (end < text.size() && text[end] != '\n' && text[end] != '\r') ++end;
        take(from, end - from);
        if (end < text.size() && text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n') ++end;
        from = end + 1;
    }
}

}  // namespace

IniFile::Parts IniFile::Classify(std::string_view text) {
    Parts parts;
    const std::string_view trimmed = Trim(text);
    if (!trimmed.empty() && trimmed.front() == '[') {
        const auto close = trimmed.find(']');
        if (close != std::string_view::npos) {
            parts.kind = Section;
            parts.name = Trim(trimmed.substr(1, close - 1));
        }
    } else if (!trimmed.empty() && trimmed.front() != ';') {
        const auto equals = text.find('=');
        if (equals != std::string_view::npos && !Trim(text.substr(0, equals)).empty()) {
            parts.kind = Key;
            parts.name = Trim(text.substr(0, equals));
            parts.value = ValueAsRead(text.substr(equals + 1));
        }
    }
    return parts;
}

IniFile::IniFile(std::string path) : path_(std::move(path)) {
    FileBytes file = ReadWholeFile(path_);
    Parse(std::move(file.bytes));
    reading_ = file.reading;
}

void IniFile::Parse(std::string bytes) {
    lines_.clear();
    text_.clear();
    lastHeader_ = SIZE_MAX;
    dirty_ = false;
    reading_ = Reading::Whole;
    cp1252_ = bom_ = false;
    lineEnd_ = "\r\n";
    if (bytes.size() > kMaxBytes) {
        reading_ = Reading::TooLarge;
        return;
    }
    bom_ = std::string_view(bytes).substr(0, kBom.size()) == kBom;
    const std::string_view body = std::string_view(bytes).substr(bom_ ? kBom.size() : 0);
    // Pure ASCII reads the same in either code page; it is the format's own code page then, so
    // that a title with an umlaut written into it later is read as such by every other reader.
    const bool ascii = std::all_of(body.begin(), body.end(), [](char c) { return (c & 0x80) == 0; });
    cp1252_ = !IsValidUtf8(body) || (!bom_ && ascii);
    if (cp1252_) {
        text_ = Windows1252ToUtf8(body);
    } else {
        text_ = std::move(bytes);
        if (bom_) text_.erase(0, kBom.size());
    }
    bytes = std::string();
    text_.shrink_to_fit();
    lineEnd_ = FirstLineEnd(text_);

    std::size_t count = 0;
    ForEachLine(text_, [&](std::size_t, std::size_t) { ++count; });
    lines_.reserve(count);
    ForEachLine(text_, [&](std::size_t from, std::size_t size) {
        const Kind kind = Classify(std::string_view(text_).substr(from, size)).kind;
        lines_.push_back(Line{static_cast<std::uint32_t>(from), static_cast<std::uint32_t>(size), kind});
    });
}

std::string_view IniFile::textOf(const Line& line) const {
    return std::string_view(text_).substr(line.from, line.size);
}

IniFile::Line IniFile::AddLine(std::string_view text) {
    const Line line{static_cast<std::uint32_t>(text_.size()), static_cast<std::uint32_t>(text.size()),
                    Classify(text).kind};
    text_.append(text);
    return line;
}

std::size_t IniFile::findSection(std::string_view section) const {
    if (lastHeader_ < lines_.size() && SameName(lastSection_, section)) return lastHeader_;
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        if (lines_[i].kind == Section && SameName(Classify(textOf(lines_[i])).name, section)) {
            lastSection_ = section;
            lastHeader_ = i;
            return i;
        }
    }
    return lines_.size();
}

std::size_t IniFile::sectionEnd(std::size_t header) const {
    std::size_t i = header + 1;
    while (i < lines_.size() && lines_[i].kind != Section) ++i;
    return i;
}

std::size_t IniFile::findKey(std::string_view section, std::string_view key) const {
    const std::size_t header = findSection(section);
    return header == lines_.size() ? header : findKeyIn(header, key);
}

std::size_t IniFile::findKeyIn(std::size_t header, std::string_view key) const {
    const std::size_t end = sectionEnd(header);
    for (std::size_t i = header + 1; i < end; ++i)
        if (lines_[i].kind == Key && SameName(Classify(textOf(lines_[i])).name, key)) return i;
    return lines_.size();
}

bool IniFile::SectionExists(const std::string& section) const {
    return findSection(section) != lines_.size();
}

bool IniFile::ValueExists(const std::string& section, const std::string& key) const {
    return findKey(section, key) != lines_.size();
}

std::string IniFile::ReadString(const std::string& section, const std::string& key,
                                const std::string& def) const {
    const std::size_t i = findKey(section, key);
    return i == lines_.size() ? def : std::string(Classify(textOf(lines_[i])).value);
}

// Stricter than Windows, which takes the leading digits of "12abc": a value that is not wholly a
// number (or does not fit 64 bits) is treated as missing, so a damaged file falls back to the
// defaults instead of to a part of what was there.
std::int64_t IniFile::ReadInteger(const std::string& section, const std::string& key,
                                  std::int64_t def) const {
    const std::size_t i = findKey(section, key);
    if (i == lines_.size()) return def;
    return WholeDecimal(Classify(textOf(lines_[i])).value).value_or(def);
}

bool IniFile::ReadBool(const std::string& section, const std::string& key, bool def) const {
    return ReadInteger(section, key, def ? 1 : 0) != 0;
}

void IniFile::WriteString(const std::string& section, const std::string& key, const std::string& value) {
    const std::string name(Trim(OneLine(section)));
    const std::string keyName(Trim(OneLine(key)));
    const std::string text = OneLine(value);
    const std::string line = keyName + "=" + ValueAsWritten(text);

    const std::size_t header = findSection(name);
    if (header == lines_.size()) {
        if (!lines_.empty() && !Trim(textOf(lines_.back())).empty()) lines_.push_back(AddLine(""));
        lines_.push_back(AddLine("[" + name + "]"));
        lines_.push_back(AddLine(line));
        dirty_ = true;
        return;
    }
    const std::size_t found = findKeyIn(header, keyName);
    if (found != lines_.size()) {
        const Parts old = Classify(textOf(lines_[found]));
        if (old.value == text) return;
        lines_[found] = AddLine(std::string(old.name) + "=" + ValueAsWritten(text));
        dirty_ = true;
        return;
    }
    std::size_t after = header;  // behind the section's last key, before trailing blanks
    const std::size_t end = sectionEnd(header);
    for (std::size_t i = header + 1; i < end; ++i)
        if (lines_[i].kind == Key) after = i;
    // Behind the header just found, which is the one remembered: no remembered header moves.
    lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(after + 1), AddLine(line));
    dirty_ = true;
}

void IniFile::WriteInteger(const std::string& section, const std::string& key, std::int64_t value) {
    WriteString(section, key, std::to_string(value));
}

void IniFile::WriteBool(const std::string& section, const std::string& key, bool value) {
    WriteString(section, key, value ? "1" : "0");
}

// Every section of that name goes, so that a second copy further down cannot take its place.
// One pass that keeps the other lines in place: a file with thousands of copies of a section
// costs no more than one with a single copy.
void IniFile::EraseSection(const std::string& section) {
    std::size_t kept = 0;
    bool erasing = false;
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        if (lines_[i].kind == Section) erasing = SameName(Classify(textOf(lines_[i])).name, section);
        if (!erasing) lines_[kept++] = lines_[i];
    }
    if (kept == lines_.size()) return;
    lines_.resize(kept);
    lastHeader_ = SIZE_MAX;
    dirty_ = true;
}

std::string IniFile::Serialize() const {
    std::string text;
    std::size_t size = 0;
    for (const Line& line : lines_) size += line.size + lineEnd_.size();
    text.reserve(size);
    for (const Line& line : lines_) {
        text.append(textOf(line));
        text.append(lineEnd_);
    }
    if (cp1252_) text = Utf8ToWindows1252(text);
    return bom_ ? std::string(kBom) + text : text;
}

bool IniFile::Save() {
    if (!mayBeWritten()) return false;
    if (!dirty_) return true;
    if (!ReplaceFileAtomically(path_, Serialize(), Links::Follow)) return false;
    dirty_ = false;
    return true;
}
