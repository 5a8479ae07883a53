#pragma once
// The program's texts and paths are UTF-8; the wide Windows functions take UTF-16.

#include <string>

std::wstring Widened(const std::string& utf8);
std::string Narrowed(const std::wstring& utf16);
