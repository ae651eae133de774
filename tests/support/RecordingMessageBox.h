#pragma once

#include <string>
#include <vector>

#include "MessageBoxService.h"

/// Records every message instead of showing it.
class RecordingMessageBox final : public MessageBoxService {
public:
  struct Message {
    std::string text;
    int style = 0;
  };

  void showMessage(const std::string& text, int style) override {
    messages.push_back({text, style});
  }

  std::vector<Message> messages;
};
