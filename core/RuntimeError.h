#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

/// The run-time errors that end an event handler.
enum class ErrorKind {
  Overflow,             ///< a signed 16-bit result out of range
  SubscriptOutOfRange,  ///< an array index outside its bounds
  FloatingPoint,        ///< an invalid or non-finite floating-point result
  MissingElement,       ///< a control-array index with no member
  PropertyAccess,       ///< a control refused a property
  ProgramStart,         ///< another program could not be started
  LibraryLoad,          ///< a system library could not be loaded
  LibraryEntryPoint,    ///< a system library lacks a function called by name
};

/// A run-time error: which one it is and a readable (Japanese) message for the user.
class RuntimeError : public std::runtime_error {
public:
  /// The message is the kind's own text, followed by the detail on a line of its own if given.
  explicit RuntimeError(ErrorKind kind, const std::string& detail = {});

  ErrorKind kind() const { return m_kind; }

  /// The kind's own text, without any detail.
  static const char* kindText(ErrorKind kind);

private:
  ErrorKind m_kind;
};

// Signed 16-bit arithmetic that raises the overflow error instead of wrapping.
int16_t checkedAdd16(int16_t a, int16_t b);
int16_t checkedSub16(int16_t a, int16_t b);
/// Converts an already integral value; raises the overflow error when it does not fit.
int16_t checkedToInt16(double value);
