#include "records/RecordingReader.h"

bool ReadRecords(std::string_view bytes, const RecordSink& onRecord, ReadCount& count) {
    return ForEachRecord(bytes, onRecord, count);
}

PlainFile ReadRecordingFile(const std::string& path, std::string& bytes) {
    return ReadPlainFile(path, bytes, kMaxRecordingBytes);
}
