#include "RuntimeError.h"

#include <cmath>
#include <limits>

namespace {

std::string composeMessage(ErrorKind kind, const std::string& detail) {
  std::string message = RuntimeError::kindText(kind);
  if (!detail.empty()) message += "\n" + detail;
  return message;
}

int16_t narrow(int32_t value) {
  if (value < std::numeric_limits<int16_t>::min() || value > std::numeric_limits<int16_t>::max())
    throw RuntimeError(ErrorKind::Overflow);
  return static_cast<int16_t>(value);
}

}  // namespace

RuntimeError::RuntimeError(ErrorKind kind, const std::string& detail)
    : std::runtime_error(composeMessage(kind, detail)), m_kind(kind) {}

const char* RuntimeError::kindText(ErrorKind kind) {
  switch (kind) {
    case ErrorKind::Overflow:
      return "オーバーフローしました。";
    case ErrorKind::SubscriptOutOfRange:
      return "インデックスが有効範囲にありません。";
    case ErrorKind::FloatingPoint:
      return "浮動小数点演算でエラーが発生しました。";
    case ErrorKind::MissingElement:
      return "コントロール配列の要素が存在しません。";
    case ErrorKind::PropertyAccess:
      return "コントロールのプロパティを設定できません。";
    case ErrorKind::ProgramStart:
      return "プログラムを起動できません。";
    case ErrorKind::LibraryLoad:
      return "ライブラリを読み込めません。";
    case ErrorKind::LibraryEntryPoint:
      return "ライブラリに関数が見つかりません。";
  }
  return "実行時エラーが発生しました。";
}

int16_t checkedAdd16(int16_t a, int16_t b) { return narrow(int32_t{a} + int32_t{b}); }

int16_t checkedSub16(int16_t a, int16_t b) { return narrow(int32_t{a} - int32_t{b}); }

int16_t checkedToInt16(double value) {
  if (!std::isfinite(value)) throw RuntimeError(ErrorKind::FloatingPoint);
  if (value < std::numeric_limits<int16_t>::min() || value > std::numeric_limits<int16_t>::max())
    throw RuntimeError(ErrorKind::Overflow);
  return static_cast<int16_t>(value);
}
