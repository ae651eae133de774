// What a screen reader on Windows reads of another program's window, through UI Automation's
// client (IUIAutomation), as tab-separated UTF-8 lines: automation id, control type, name, and
// "focusable" or "-".
//
//   uia_tree tree TITLE    the window titled TITLE and every element below it, one a line
//   uia_tree focus TITLE   the element of that window that has the keyboard focus (none: nothing)
//
// Exits 3 when the system offers no UI Automation client, 4 when no window has the title, 5
// when a call fails.
#include <windows.h>

#include <ole2.h>
#include <uiautomationclient.h>

#include <cstdio>
#include <string>

namespace {

// Releases a COM reference when it goes out of scope.
template <typename T>
struct Ref {
  T* p = nullptr;
  Ref() = default;
  Ref(const Ref&) = delete;
  Ref& operator=(const Ref&) = delete;
  ~Ref() {
    if (p != nullptr) p->Release();
  }
  T** out() { return &p; }
  T* operator->() const { return p; }
};

void Write(const std::wstring& text) {
  const int size =
      WideCharToMultiByte(CP_UTF8, 0, text.data(), int(text.size()), nullptr, 0, nullptr, nullptr);
  std::string bytes(std::size_t(size), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), int(text.size()), bytes.data(), size, nullptr,
                      nullptr);
  DWORD written = 0;
  WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), bytes.data(), DWORD(bytes.size()), &written, nullptr);
}

std::wstring Take(BSTR text) {
  std::wstring taken = text != nullptr ? std::wstring(text, SysStringLen(text)) : std::wstring();
  SysFreeString(text);
  // A tab or line break in a name would split its line.
  for (wchar_t& c : taken)
    if (c == L'\t' || c == L'\n' || c == L'\r') c = L' ';
  return taken;
}

bool Print(IUIAutomationElement* element) {
  // The automation id and focusability through the general property call: in Wine 10 their
  // own getters and the plain GetCurrentPropertyValue are stubs.
  VARIANT id;
  VARIANT focusable;
  VariantInit(&id);
  VariantInit(&focusable);
  BSTR name = nullptr;
  CONTROLTYPEID type = 0;
  const bool read =
      SUCCEEDED(element->GetCurrentPropertyValueEx(UIA_AutomationIdPropertyId, FALSE, &id)) &&
      SUCCEEDED(element->GetCurrentPropertyValueEx(UIA_IsKeyboardFocusablePropertyId, FALSE,
                                                   &focusable)) &&
      SUCCEEDED(element->get_CurrentName(&name)) &&
      SUCCEEDED(element->get_CurrentControlType(&type));
  if (read) {
    const bool canFocus = focusable.vt == VT_BOOL && focusable.boolVal != VARIANT_FALSE;
    Write(std::wstring(id.vt == VT_BSTR ? id.bstrVal : L"") + L"\t" + std::to_wstring(type) +
          L"\t" + Take(name) + L"\t" + (canFocus ? L"focusable" : L"-") + L"\n");
  } else
    SysFreeString(name);
  VariantClear(&id);
  VariantClear(&focusable);
  return read;
}

// The element of the window titled TITLE: 0, or the exit status.
int WindowElement(IUIAutomation* automation, const wchar_t* title,
                  Ref<IUIAutomationElement>& root) {
  HWND window = FindWindowW(nullptr, title);
  if (window == nullptr) return 4;
  return FAILED(automation->ElementFromHandle(window, root.out())) || root.p == nullptr ? 5 : 0;
}

int Tree(IUIAutomation* automation, const wchar_t* title) {
  Ref<IUIAutomationElement> root;
  Ref<IUIAutomationCondition> all;
  Ref<IUIAutomationElementArray> found;
  if (const int status = WindowElement(automation, title, root)) return status;
  if (FAILED(automation->CreateTrueCondition(all.out())) ||
      FAILED(root->FindAll(TreeScope_Subtree, all.p, found.out())) || found.p == nullptr)
    return 5;
  int count = 0;
  if (FAILED(found->get_Length(&count))) return 5;
  for (int i = 0; i < count; ++i) {
    Ref<IUIAutomationElement> element;
    if (FAILED(found->GetElement(i, element.out())) || !Print(element.p)) return 5;
  }
  return 0;
}

// The element of the window that says it has the keyboard focus. (Wine 10's GetFocusedElement
// answers with a nameless pane, never the toolkit's element.)
int Focus(IUIAutomation* automation, const wchar_t* title) {
  Ref<IUIAutomationElement> root;
  Ref<IUIAutomationCondition> focused;
  Ref<IUIAutomationElement> found;
  if (const int status = WindowElement(automation, title, root)) return status;
  VARIANT yes;
  VariantInit(&yes);
  yes.vt = VT_BOOL;
  yes.boolVal = VARIANT_TRUE;
  if (FAILED(automation->CreatePropertyCondition(UIA_HasKeyboardFocusPropertyId, yes,
                                                 focused.out())) ||
      FAILED(root->FindFirst(TreeScope_Descendants, focused.p, found.out())))
    return 5;
  return found.p == nullptr || Print(found.p) ? 0 : 5;
}

}  // namespace

int wmain(int argc, wchar_t* argv[]) {
  const std::wstring command = argc > 1 ? argv[1] : L"";
  if ((command != L"tree" && command != L"focus") || argc != 3) {
    Write(L"usage: uia_tree tree TITLE | uia_tree focus TITLE\n");
    return 2;
  }
  if (FAILED(CoInitializeEx(nullptr, COINIT_MULTITHREADED))) return 3;
  int status = 3;
  {
    Ref<IUIAutomation> automation;
    const HRESULT made =
        CoCreateInstance(CLSID_CUIAutomation, nullptr, CLSCTX_INPROC_SERVER, IID_IUIAutomation,
                         reinterpret_cast<void**>(automation.out()));
    if (SUCCEEDED(made))
      status = command == L"tree" ? Tree(automation.p, argv[2]) : Focus(automation.p, argv[2]);
    else
      fwprintf(stderr, L"no UI Automation client: CoCreateInstance gave 0x%08lx\n",
               static_cast<unsigned long>(made));
  }
  CoUninitialize();
  return status;
}
