#pragma once

#include <exception>
#include <utility>

#include "MessageBoxService.h"
#include "RuntimeError.h"

/// Runs one event handler to its end. A run-time error that ends it is shown to the user and
/// goes no further, so no exception ever reaches the toolkit's event loop; the program goes on
/// with its state as the handler left it.
template <class Handler>
void RunHandler(MessageBoxService& messages, Handler&& handler) noexcept {
  try {
    std::forward<Handler>(handler)();
  } catch (const RuntimeError& error) {
    messages.showMessage(error.what(), kMessageCritical);
  } catch (const std::exception& error) {
    messages.showMessage(std::string("予期しないエラーが発生しました。\n") + error.what(),
                         kMessageCritical);
  }
}
