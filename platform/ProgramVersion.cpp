#include "platform/ProgramVersion.h"

#include <cstdio>
#include <cstring>

const char* ProgramVersion() { return TARVO_VERSION; }

bool PrintVersionWhenAsked(int argc, char** argv, const char* program) {
    if (argc < 2 || std::strcmp(argv[1], "--version") != 0) return false;
    std::printf("%s %s\n", program, ProgramVersion());
    return true;
}
