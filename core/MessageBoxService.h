#pragma once

#include <string>

/// Message-box styles, as the program passes them.
enum MessageStyle : int {
  kMessageOkOnly = 0,     ///< an OK button alone, no icon
  kMessageCritical = 16,  ///< an OK button with the error icon
};

/// A modal message box titled with the application title.
/// Abstract so tests can record what would be shown; the real one is QtMessageBox.
class MessageBoxService {
public:
  virtual ~MessageBoxService() = default;
  /// Shows the UTF-8 text and returns when the user has answered.
  virtual void showMessage(const std::string& text, int style) = 0;
};
