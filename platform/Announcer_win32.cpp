// Speaking a result on Windows: UI Automation's notification event, raised on the window's own
// element. The library is bound at run time (it is not one of Windows' known DLLs, so a
// link-time import would be looked for beside the program first).
#include "Announcer_win32.h"

#include <QWidget>

#include "Announcer.h"

// Last: they define macros of their own; windows.h first, which the others need.
// clang-format off
#include <windows.h>
#include <oleauto.h>
#include <uiautomationcore.h>
// clang-format on

namespace {

// From UIAutomationCoreApi.h of Windows 10 1709, which mingw-w64's headers lack.
constexpr int kNotificationKindActionCompleted = 2;
constexpr int kNotificationProcessingAll = 2;

using HostProviderFromHwnd = HRESULT(WINAPI*)(HWND, IRawElementProviderSimple**);
using RaiseNotificationEvent = HRESULT(WINAPI*)(IRawElementProviderSimple*, int, int, BSTR, BSTR);

struct UiaCore {
  HostProviderFromHwnd hostProviderFromHwnd = nullptr;
  RaiseNotificationEvent raiseNotificationEvent = nullptr;
};

const UiaCore& LoadUiaCore() {
  static const UiaCore core = [] {
    UiaCore found;
    HMODULE library =
        LoadLibraryExW(L"uiautomationcore.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    if (library == nullptr) return found;
    found.hostProviderFromHwnd = reinterpret_cast<HostProviderFromHwnd>(
        reinterpret_cast<void*>(GetProcAddress(library, "UiaHostProviderFromHwnd")));
    found.raiseNotificationEvent = reinterpret_cast<RaiseNotificationEvent>(
        reinterpret_cast<void*>(GetProcAddress(library, "UiaRaiseNotificationEvent")));
    return found;
  }();
  return core;
}

class UiaAnnouncer final : public Announcer {
public:
  void announce(QWidget& source, const QString& message) override {
    // The window's own element: the one screen readers already follow for this window.
    const WId window = source.window()->effectiveWinId();
    if (window != 0) RaiseUiaNotification(window, message);
  }
};

}  // namespace

UiaNotification RaiseUiaNotification(WId window, const QString& message) {
  const UiaCore& core = LoadUiaCore();
  if (core.raiseNotificationEvent == nullptr || core.hostProviderFromHwnd == nullptr)
    return UiaNotification::NotOffered;
  IRawElementProviderSimple* provider = nullptr;
  if (FAILED(core.hostProviderFromHwnd(reinterpret_cast<HWND>(window), &provider)) ||
      provider == nullptr)
    return UiaNotification::NoProvider;
  BSTR text =
      SysAllocStringLen(reinterpret_cast<const OLECHAR*>(message.utf16()), UINT(message.size()));
  BSTR activity = SysAllocString(L"jp.tamahiroi.TH.result");
  const HRESULT raised = core.raiseNotificationEvent(provider, kNotificationKindActionCompleted,
                                                     kNotificationProcessingAll, text, activity);
  SysFreeString(activity);
  SysFreeString(text);
  provider->Release();
  return SUCCEEDED(raised) ? UiaNotification::Raised : UiaNotification::Failed;
}

std::unique_ptr<Announcer> NewSystemAnnouncer() { return std::make_unique<UiaAnnouncer>(); }
