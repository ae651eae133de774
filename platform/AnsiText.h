#pragma once

#include <string>

// Windows only: the program holds its texts as UTF-8; the "A" calls of the system take them in
// the system's ANSI code page and the "W" calls in UTF-16, converted just before the call.
std::string ToAnsi(const std::string& utf8);
std::string FromAnsi(const std::string& ansi);
std::wstring ToWide(const std::string& utf8);
std::string FromWide(const std::wstring& wide);
