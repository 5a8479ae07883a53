#include "records/RecordingReader.h"

#include <fstream>

bool ReadRecords(std::string_view bytes, const RecordSink& onRecord, ReadCount& count) {
    std::size_t start = 0;
    int lineNumber = 0;
    auto malformed = [&] {
        ++count.malformed;
        if (count.firstMalformedLine == 0) count.firstMalformedLine = lineNumber;
    };
    while (start < bytes.size()) {
        ++lineNumber;
        const std::size_t end = bytes.find('\n', start);
        if (end == std::string_view::npos) {
            malformed();  // no line end: the record was cut off
            break;
        }
        std::string_view line = bytes.substr(start, end - start);
        start = end + 1;
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        const auto record = ParseRecordLine(line);
        if (!record) {
            malformed();
            continue;
        }
        ++count.records;
        if (!onRecord(*record, line)) return false;
    }
    return true;
}

bool ReadWholeFile(const std::string& path, std::string& bytes) {
    bytes.clear();
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    in.seekg(0, std::ios::end);
    const std::streamoff size = in.tellg();
    in.seekg(0, std::ios::beg);
    if (size > 0) bytes.reserve(std::size_t(size));
    char buffer[1 << 16];
    while (in.read(buffer, sizeof buffer) || in.gcount() > 0) bytes.append(buffer, std::size_t(in.gcount()));
    return !in.bad();
}
