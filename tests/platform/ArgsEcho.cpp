// For the process test of the Windows build: writes the arguments after the first, as the C
// runtime parsed them, into the file named by the first (UTF-8, one per line), and ends with 7.
#include <cstdio>
#include <string>
#include <windows.h>

int wmain(int argc, wchar_t** argv) {
    if (argc < 2) return 2;
    FILE* out = ::_wfopen(argv[1], L"wb");
    if (!out) return 2;
    for (int i = 2; i < argc; ++i) {
        char utf8[1024];
        const int n = ::WideCharToMultiByte(CP_UTF8, 0, argv[i], -1, utf8, sizeof utf8, nullptr, nullptr);
        std::fprintf(out, "%s\n", n > 0 ? utf8 : "?");
    }
    std::fclose(out);
    return 7;
}
