#pragma once
// An argument list as getopt_long wants it: a program name in front, each argument a writable
// string (getopt_long may reorder them), the parser's own state reset so that every list is
// parsed from its start (the tests and the fuzzer parse many in one process), and getopt_long
// quiet: the tools say what is wrong in their own words. Afterwards optind is 1, the first
// argument, as a parser that looks at an argument before getopt_long takes it needs.

#include <getopt.h>

#include <string>
#include <vector>

class GetoptArguments {
public:
    // optstring: the one every call of this parse passes (its order, "+" or "-", is taken now).
    GetoptArguments(const std::vector<std::string>& args, const char* optstring) : strings_(args) {
        strings_.insert(strings_.begin(), "program");
        for (std::string& s : strings_) pointers_.push_back(s.data());
        pointers_.push_back(nullptr);
        // A full new start, also of a half-read group of short options, made on the program
        // name alone: it reads no argument.
        optind = 0;
        opterr = 0;
        getopt(1, pointers_.data(), optstring);
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
