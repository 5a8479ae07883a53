#include "platform/SystemProcess.h"

#include "platform/WideText.h"

#include <windows.h>

namespace {

// One argument as the C runtime's parser (the rules of CommandLineToArgvW) gives it back to the
// started program unchanged: quoted when it holds a blank or a quote, or is empty; backslashes
// doubled only where a quote follows them.
std::wstring Quoted(const std::wstring& arg) {
    if (!arg.empty() && arg.find_first_of(L" \t\n\v\"") == std::wstring::npos) return arg;
    std::wstring out = L"\"";
    std::size_t backslashes = 0;
    for (const wchar_t c : arg) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        out.append(c == L'"' ? backslashes * 2 + 1 : backslashes, L'\\');
        backslashes = 0;
        out.push_back(c);
    }
    out.append(backslashes * 2, L'\\');  // before the closing quote
    out.push_back(L'"');
    return out;
}

std::string FolderOf(const std::string& file) {
    const auto slash = file.find_last_of("\\/");
    if (slash == std::string::npos) return ".";
    return file.substr(0, slash);
}

}  // namespace

// The program's own name goes first, in quotes without escapes (the runtime reads the program
// name by other rules, and a path cannot hold a quote). A bare name is looked up by
// CreateProcessW: the program's folder, the current one, the system's, then PATH.
int SystemRun(const ProcessRequest& request) {
    if (request.program.empty() || request.program.find('"') != std::string::npos) return -1;
    std::wstring commandLine = L"\"" + Widened(request.program) + L"\"";
    for (const std::string& arg : request.args) commandLine += L" " + Quoted(Widened(arg));
    const std::wstring folder = Widened(request.workingDirectory);

    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started{};
    // No handles inherited (the port stays ours); no console window of its own for a tool the
    // window starts.
    if (!::CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr,
                          folder.empty() ? nullptr : folder.c_str(), &startup, &started))
        return -1;
    ::CloseHandle(started.hThread);
    DWORD exitCode = 0;
    const bool ended = ::WaitForSingleObject(started.hProcess, INFINITE) == WAIT_OBJECT_0 &&
                       ::GetExitCodeProcess(started.hProcess, &exitCode);
    ::CloseHandle(started.hProcess);
    // A program that crashed ends with an exception code (0xC0000005 and the like): not normal.
    if (!ended || exitCode >= 0xC0000000u) return -1;
    return static_cast<int>(exitCode);
}

std::string ProgramFolder() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n = ::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (n == 0) return ".";
        if (n < path.size()) {
            path.resize(n);
            return FolderOf(Narrowed(path));
        }
        path.resize(path.size() * 2);  // a long path (\\?\ ...) was cut off
    }
}

std::string ProgramBesideOrName(const std::string& name) {
    const std::string beside = ProgramFolder() + "\\" + name;
    const DWORD attributes = ::GetFileAttributesW(Widened(beside).c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY)) return beside;
    return name;
}
