// The taskbar's group on Windows: the process's explicit application user model id, and a
// window that cannot be pinned. Both are niceties: where the system refuses them (Wine has no
// taskbar), the window works as before.
#include <windows.h>
// After windows.h, which these need.
#include <propkey.h>
#include <propvarutil.h>
#include <shellapi.h>
#include <shobjidl.h>

#include <QWidget>

#include "TaskbarGroup.h"

namespace {

class WindowsTaskbarGroup final : public TaskbarGroup {
public:
  void join(const QString& appId) override {
    SetCurrentProcessExplicitAppUserModelID(reinterpret_cast<PCWSTR>(appId.utf16()));
  }

  void preventPinning(QWidget& window) override {
    IPropertyStore* store = nullptr;
    const auto hwnd = reinterpret_cast<HWND>(window.winId());
    if (FAILED(SHGetPropertyStoreForWindow(hwnd, IID_IPropertyStore,
                                           reinterpret_cast<void**>(&store))))
      return;
    PROPVARIANT value;
    if (SUCCEEDED(InitPropVariantFromBoolean(TRUE, &value))) {
      store->SetValue(PKEY_AppUserModel_PreventPinning, value);
      PropVariantClear(&value);
    }
    store->Release();
  }
};

}  // namespace

std::unique_ptr<TaskbarGroup> NewSystemTaskbarGroup() {
  return std::make_unique<WindowsTaskbarGroup>();
}
