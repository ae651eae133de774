#pragma once

#include <qwindowdefs.h>
#include <QString>

// As windows.h and uiautomationcore.h declare them (neither is included here: windows.h defines
// macros that clash with names of ours).
struct HWND__;
struct IRawElementProviderSimple;

/// What became of one notification handed to UI Automation.
enum class UiaNotification {
  Raised,      ///< the event went to UI Automation, which hands it to the screen readers
  NotOffered,  ///< this Windows has no notification event (before Windows 10 1709; Wine 8)
  NoProvider,  ///< no UI Automation element could be had for the window
  Failed,      ///< UI Automation refused the event
};

/// The two entry points of uiautomationcore.dll that a notification calls, bound by name; either
/// is null where the system lacks it. Tests give stand-ins.
struct UiaNotificationCalls {
  /// UiaHostProviderFromHwnd: the window's element, with a reference the caller releases.
  long(__stdcall* hostProviderFromHwnd)(HWND__*, IRawElementProviderSimple**) = nullptr;
  /// UiaRaiseNotificationEvent(element, kind, processing, text, activity id).
  long(__stdcall* raiseNotificationEvent)(IRawElementProviderSimple*, int, int, wchar_t*,
                                          wchar_t*) = nullptr;
};

/// The system's entry points: uiautomationcore.dll loaded at the first call, from the system
/// folder only, never from beside the program.
const UiaNotificationCalls& SystemUiaNotificationCalls();

/// The activity id every notification of this program carries, by which screen readers tell
/// its kind of message from others: the application's id and ".result".
QString UiaActivityId();

/// Raises UI Automation's notification event with `message` on the native window `window`, for
/// screen readers (Narrator, NVDA) to speak.
UiaNotification RaiseUiaNotification(
    WId window, const QString& message,
    const UiaNotificationCalls& calls = SystemUiaNotificationCalls());
