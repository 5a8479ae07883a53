#pragma once
// An argument list as getopt_long wants it: a program name in front, each argument a writable
// string (getopt_long may reorder them), the parser's own state reset so that every list is
// parsed from its start (the tests and the fuzzer parse many in one process), and getopt_long
// quiet: the tools say what is wrong in their own words.

#include <getopt.h>

#include <string>
#include <vector>

class GetoptArguments {
public:
    explicit GetoptArguments(const std::vector<std::string>& args) : strings_(args) {
        strings_.insert(strings_.begin(), "program");
        for (std::string& s : strings_) pointers_.push_back(s.data());
        pointers_.push_back(nullptr);
        optind = 0;  // a full new start, also of a half-read group of short options
        opterr = 0;
    }
    GetoptArguments(const GetoptArguments&) = delete;
    GetoptArguments& operator=(const GetoptArguments&) = delete;

    int argc() const { return static_cast<int>(strings_.size()); }
    char** argv() { return pointers_.data(); }
    // The argument getopt_long has just passed over (for a message about it).
    std::string last() const { return optind > 0 && optind <= argc() ? pointers_[optind - 1] : std::string(); }

private:
    std::vector<std::string> strings_;
    std::vector<char*> pointers_;
};
