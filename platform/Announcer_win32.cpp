// Speaking a result on Windows: UI Automation's notification event, raised on the window's own
// element. The library is bound at run time (it is not one of Windows' known DLLs, so a
// link-time import would be looked for beside the program first).
#include "Announcer_win32.h"

#include <QWidget>
#include <type_traits>

#include "Announcer.h"
#include "AppInfo.h"

// Last: they define macros of their own; the other two need windows.h's types first.
#include <windows.h>

#include <oleauto.h>
#include <uiautomationcore.h>

// The header's declarations are the system's types (uiautomationcoreapi.h, which declares the
// entry points, does not compile as C++).
static_assert(std::is_same_v<HRESULT(WINAPI*)(HWND, IRawElementProviderSimple**),
                             decltype(UiaNotificationCalls::hostProviderFromHwnd)>);
static_assert(std::is_same_v<BSTR, wchar_t*> && std::is_same_v<HRESULT, long>);

namespace {

// From UIAutomationCoreApi.h of Windows 10 1709, which Debian 12's mingw-w64 headers lack. A
// stop is a completed action; a newer stop's result takes the place of one not yet spoken (the
// reader keeps the most recent of this activity id), so a quick series ends on the latest.
constexpr int kNotificationKindActionCompleted = 2;
constexpr int kNotificationProcessingMostRecent = 3;

class UiaAnnouncer final : public Announcer {
public:
  void announce(QWidget& source, const QString& message) override {
    // The window's own element: the one screen readers already follow for this window.
    const WId window = source.window()->effectiveWinId();
    if (window != 0) RaiseUiaNotification(window, message);
  }
};

}  // namespace

const UiaNotificationCalls& SystemUiaNotificationCalls() {
  static const UiaNotificationCalls calls = [] {
    UiaNotificationCalls found;
    HMODULE library =
        LoadLibraryExW(L"uiautomationcore.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    if (library == nullptr) return found;
    found.hostProviderFromHwnd = reinterpret_cast<decltype(found.hostProviderFromHwnd)>(
        reinterpret_cast<void*>(GetProcAddress(library, "UiaHostProviderFromHwnd")));
    found.raiseNotificationEvent = reinterpret_cast<decltype(found.raiseNotificationEvent)>(
        reinterpret_cast<void*>(GetProcAddress(library, "UiaRaiseNotificationEvent")));
    return found;
  }();
  return calls;
}

QString UiaActivityId() { return QString::fromUtf8(AppInfo::kAppId) + ".result"; }

UiaNotification RaiseUiaNotification(WId window, const QString& message,
                                     const UiaNotificationCalls& calls) {
  if (calls.raiseNotificationEvent == nullptr || calls.hostProviderFromHwnd == nullptr)
    return UiaNotification::NotOffered;
  IRawElementProviderSimple* provider = nullptr;
  if (FAILED(calls.hostProviderFromHwnd(reinterpret_cast<HWND>(window), &provider)) ||
      provider == nullptr)
    return UiaNotification::NoProvider;
  BSTR text =
      SysAllocStringLen(reinterpret_cast<const OLECHAR*>(message.utf16()), UINT(message.size()));
  const QString activityId = UiaActivityId();
  BSTR activity = SysAllocStringLen(reinterpret_cast<const OLECHAR*>(activityId.utf16()),
                                    UINT(activityId.size()));
  HRESULT raised = E_OUTOFMEMORY;
  if (text != nullptr && activity != nullptr)
    raised = calls.raiseNotificationEvent(provider, kNotificationKindActionCompleted,
                                          kNotificationProcessingMostRecent, text, activity);
  SysFreeString(activity);
  SysFreeString(text);
  provider->Release();
  return SUCCEEDED(raised) ? UiaNotification::Raised : UiaNotification::Failed;
}

std::unique_ptr<Announcer> NewSystemAnnouncer() { return std::make_unique<UiaAnnouncer>(); }
