#include <windows.h>

#include "AnsiText.h"

namespace {

std::wstring toWide(const std::string& text, UINT from) {
  if (text.empty()) return {};
  const int length =
      MultiByteToWideChar(from, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring wide(static_cast<size_t>(length), L'\0');
  MultiByteToWideChar(from, 0, text.data(), static_cast<int>(text.size()), wide.data(), length);
  return wide;
}

std::string fromWide(const std::wstring& wide, UINT to) {
  if (wide.empty()) return {};
  const int wideLength = static_cast<int>(wide.size());
  const int length =
      WideCharToMultiByte(to, 0, wide.data(), wideLength, nullptr, 0, nullptr, nullptr);
  std::string text(static_cast<size_t>(length), '\0');
  WideCharToMultiByte(to, 0, wide.data(), wideLength, text.data(), length, nullptr, nullptr);
  return text;
}

}  // namespace

std::string ToAnsi(const std::string& utf8) { return fromWide(toWide(utf8, CP_UTF8), CP_ACP); }
std::string FromAnsi(const std::string& ansi) { return fromWide(toWide(ansi, CP_ACP), CP_UTF8); }
std::wstring ToWide(const std::string& utf8) { return toWide(utf8, CP_UTF8); }
std::string FromWide(const std::wstring& wide) { return fromWide(wide, CP_UTF8); }
