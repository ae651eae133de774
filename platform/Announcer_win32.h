#pragma once

#include <qwindowdefs.h>
#include <QString>

/// What became of one notification handed to UI Automation.
enum class UiaNotification {
  Raised,      ///< the event went to UI Automation, which hands it to the screen readers
  NotOffered,  ///< this Windows has no notification event (before Windows 10 1709)
  NoProvider,  ///< no UI Automation element could be had for the window
  Failed,      ///< UI Automation refused the event
};

/// Raises UI Automation's notification event with `message` on the native window `window`, for
/// screen readers (Narrator, NVDA) to speak. uiautomationcore.dll is loaded at the first call,
/// from the system folder only, never from beside the program.
UiaNotification RaiseUiaNotification(WId window, const QString& message);
