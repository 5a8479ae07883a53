#pragma once
// A scratch folder holding recording files written byte by byte as the program writes them.

#include <filesystem>
#include <fstream>
#include <random>
#include <string>

#include "records/RecordingFiles.h"

class RecordingFolder {
public:
    RecordingFolder() {
        std::random_device seed;
        path_ = std::filesystem::temp_directory_path() / ("tarvo-records-" + std::to_string(seed()));
        std::filesystem::create_directories(path_);
    }
    ~RecordingFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    std::string path() const { return path_.string(); }
    std::string file(const std::string& name) const { return (path_ / name).string(); }

    void write(const std::string& name, const std::string& bytes) const {
        std::ofstream out(file(name), std::ios::binary | std::ios::trunc);
        out << bytes;
    }
    void write(int address, const Date& d, const std::string& bytes) const { write(RecordingFileName(address, d), bytes); }
    std::string read(const std::string& name) const {
        std::ifstream in(file(name), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }

private:
    std::filesystem::path path_;
};
