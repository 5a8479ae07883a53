#pragma once
// Recording files are read by Windows tools, which expect Windows-1252 text.

#include <QString>
#include <string>

// Every character that Windows-1252 lacks becomes '?'.
std::string ToWindows1252(const QString& text);
