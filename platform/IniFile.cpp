#include "platform/IniFile.h"

#include "platform/AtomicFile.h"
#include "platform/Windows1252.h"

#include <cerrno>
#include <charconv>
#include <fcntl.h>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace {

const std::string kBom = "\xEF\xBB\xBF";

std::string Trim(const std::string& s) {
    const auto first = s.find_first_not_of(" \t");
    if (first == std::string::npos) return {};
    return s.substr(first, s.find_last_not_of(" \t") - first + 1);
}

bool IsQuote(char c) { return c == '"' || c == '\''; }

bool EnclosedInQuotes(const std::string& s) {
    return s.size() >= 2 && IsQuote(s.front()) && s.front() == s.back();
}

// As the Windows profile functions read a value: blanks around it dropped, then one pair of
// quotes around the whole value.
std::string ValueAsRead(const std::string& raw) {
    std::string value = Trim(raw);
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

bool SameName(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; };
        if (lower(a[i]) != lower(b[i])) return false;
    }
    return true;
}

// Optional sign and decimal digits, nothing else, within 64 bits.
std::optional<std::int64_t> WholeDecimal(const std::string& raw) {
    std::string text = Trim(raw);
    if (!text.empty() && text.front() == '+') text.erase(0, 1);
    const std::size_t digitsFrom = !text.empty() && text.front() == '-' ? 1 : 0;
    if (text.size() == digitsFrom) return std::nullopt;
    std::int64_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
    return value;
}

// Only a regular file is read: a folder or a pipe of that name reads as an empty file and
// never throws or blocks.
std::string ReadWholeFile(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) return {};
    std::string bytes;
    struct stat info {};
    if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode)) {
        char chunk[65536];
        for (;;) {
            const ssize_t got = ::read(fd, chunk, sizeof chunk);
            if (got < 0 && errno == EINTR) continue;
            if (got <= 0) break;
            bytes.append(chunk, static_cast<std::size_t>(got));
        }
    }
    ::close(fd);
    return bytes;
}

}  // namespace

IniFile::IniFile(std::string path) : path_(std::move(path)) { Parse(ReadWholeFile(path_)); }

IniFile::Line IniFile::Classify(std::string text) {
    Line line;
    const std::string trimmed = Trim(text);
    if (!trimmed.empty() && trimmed.front() == '[') {
        const auto close = trimmed.find(']');
        if (close != std::string::npos) {
            line.kind = Line::Section;
            line.section = Trim(trimmed.substr(1, close - 1));
        }
    } else if (!trimmed.empty() && trimmed.front() != ';') {
        const auto equals = text.find('=');
        if (equals != std::string::npos && !Trim(text.substr(0, equals)).empty()) {
            line.kind = Line::Key;
            line.key = Trim(text.substr(0, equals));
            line.value = ValueAsRead(text.substr(equals + 1));
        }
    }
    line.text = std::move(text);
    return line;
}

void IniFile::Parse(const std::string& bytes) {
    lines_.clear();
    dirty_ = false;
    bom_ = bytes.compare(0, kBom.size(), kBom) == 0;
    std::string body = bom_ ? bytes.substr(kBom.size()) : bytes;
    cp1252_ = !IsValidUtf8(body);
    if (cp1252_) {
        bom_ = false;
        body = Windows1252ToUtf8(bytes);
    }
    const auto firstBreak = body.find('\n');
    crlf_ = firstBreak == std::string::npos || (firstBreak > 0 && body[firstBreak - 1] == '\r');

    std::size_t from = 0;
    while (from < body.size()) {
        auto end = body.find('\n', from);
        if (end == std::string::npos) end = body.size();
        std::string text = body.substr(from, end - from);
        if (!text.empty() && text.back() == '\r') text.pop_back();
        lines_.push_back(Classify(std::move(text)));
        from = end + 1;
    }
}

std::size_t IniFile::findSection(const std::string& section) const {
    for (std::size_t i = 0; i < lines_.size(); ++i)
        if (lines_[i].kind == Line::Section && SameName(lines_[i].section, section)) return i;
    return lines_.size();
}

std::size_t IniFile::sectionEnd(std::size_t header) const {
    std::size_t i = header + 1;
    while (i < lines_.size() && lines_[i].kind != Line::Section) ++i;
    return i;
}

std::size_t IniFile::findKey(const std::string& section, const std::string& key) const {
    const std::size_t header = findSection(section);
    if (header == lines_.size()) return lines_.size();
    const std::size_t end = sectionEnd(header);
    for (std::size_t i = header + 1; i < end; ++i)
        if (lines_[i].kind == Line::Key && SameName(lines_[i].key, key)) return i;
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
    return i == lines_.size() ? def : lines_[i].value;
}

// Stricter than Windows, which takes the leading digits of "12abc": a value that is not wholly a
// number (or does not fit 64 bits) is treated as missing, so a damaged file falls back to the
// defaults instead of to a part of what was there.
std::int64_t IniFile::ReadInteger(const std::string& section, const std::string& key,
                                  std::int64_t def) const {
    const std::size_t i = findKey(section, key);
    if (i == lines_.size()) return def;
    return WholeDecimal(lines_[i].value).value_or(def);
}

bool IniFile::ReadBool(const std::string& section, const std::string& key, bool def) const {
    return ReadInteger(section, key, def ? 1 : 0) != 0;
}

void IniFile::WriteString(const std::string& section, const std::string& key, const std::string& value) {
    const std::string name = Trim(OneLine(section));
    const std::string keyName = Trim(OneLine(key));
    const std::string text = OneLine(value);
    const std::string line = keyName + "=" + ValueAsWritten(text);

    const std::size_t header = findSection(name);
    if (header == lines_.size()) {
        if (!lines_.empty() && !Trim(lines_.back().text).empty()) lines_.push_back(Classify(""));
        lines_.push_back(Classify("[" + name + "]"));
        lines_.push_back(Classify(line));
        dirty_ = true;
        return;
    }
    const std::size_t found = findKey(name, keyName);
    if (found != lines_.size()) {
        if (lines_[found].value == text) return;
        lines_[found] = Classify(lines_[found].key + "=" + ValueAsWritten(text));
        dirty_ = true;
        return;
    }
    std::size_t after = header;  // behind the section's last key, before trailing blanks
    for (std::size_t i = header + 1; i < sectionEnd(header); ++i)
        if (lines_[i].kind == Line::Key) after = i;
    lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(after + 1), Classify(line));
    dirty_ = true;
}

void IniFile::WriteInteger(const std::string& section, const std::string& key, std::int64_t value) {
    WriteString(section, key, std::to_string(value));
}

void IniFile::WriteBool(const std::string& section, const std::string& key, bool value) {
    WriteString(section, key, value ? "1" : "0");
}

// Every section of that name goes, so that a second copy further down cannot take its place.
void IniFile::EraseSection(const std::string& section) {
    for (std::size_t header = findSection(section); header != lines_.size(); header = findSection(section)) {
        lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(header),
                     lines_.begin() + static_cast<std::ptrdiff_t>(sectionEnd(header)));
        dirty_ = true;
    }
}

std::string IniFile::Serialize() const {
    const char* lineEnd = crlf_ ? "\r\n" : "\n";
    std::string text = bom_ ? kBom : std::string();
    for (const Line& line : lines_) text += line.text + lineEnd;
    return cp1252_ ? Utf8ToWindows1252(text) : text;
}

bool IniFile::Save() {
    if (!dirty_) return true;
    if (!ReplaceFileAtomically(path_, Serialize())) return false;
    dirty_ = false;
    return true;
}
