#include "records/RecordingReader.h"

#include <fstream>

bool ReadRecords(std::string_view bytes, const RecordSink& onRecord, ReadCount& count) {
    return ForEachRecord(bytes, onRecord, count);
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
