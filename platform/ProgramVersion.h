#pragma once
// The version of every program of Tarvo. Its one home is the project version in the top
// CMakeLists.txt; the build hands it to ProgramVersion.cpp alone.

// "1.2"
const char* ProgramVersion();

// When the first argument is --version: prints "<program> <version>" on standard output and
// returns true; the program then ends with status 0 before it looks at anything else.
bool PrintVersionWhenAsked(int argc, char** argv, const char* program);
