// Speaking a result on Windows: what reaches UI Automation's notification event (through
// stand-ins for its two calls), and the system's own answer, which differs by system: Wine 8 has
// no notification event, Wine 10 a stub that takes it (uia_windows_test reads what it was given
// from Wine's log), Windows 10 1709 and later the event.
#include <QtTest>

#include "Announcer_win32.h"

// Last: it defines macros of its own.
#include <windows.h>

#include <oleauto.h>
#include <uiautomationcore.h>

namespace {

// A window's element that counts the references it hands out and gets back.
class FakeElement final : public IRawElementProviderSimple {
public:
  ULONG references = 1;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** object) override {
    *object = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++references; }
  ULONG STDMETHODCALLTYPE Release() override { return --references; }
  HRESULT STDMETHODCALLTYPE get_ProviderOptions(ProviderOptions*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetPatternProvider(PATTERNID, IUnknown**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetPropertyValue(PROPERTYID, VARIANT*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE get_HostRawElementProvider(IRawElementProviderSimple**) override {
    return E_NOTIMPL;
  }
};

// What the stand-ins answer, and what they were given.
struct StandIn {
  HRESULT elementResult = S_OK;
  bool givesElement = true;
  HRESULT raiseResult = S_OK;

  FakeElement element;
  HWND window = nullptr;
  int raises = 0;
  IRawElementProviderSimple* raisedOn = nullptr;
  int kind = -1;
  int processing = -1;
  QString text;
  QString activity;
};
StandIn* g_standIn = nullptr;

// A text as UI Automation reads it: by the length the BSTR carries.
QString FromBstr(BSTR text) {
  return text == nullptr ? QString() : QString::fromWCharArray(text, int(SysStringLen(text)));
}

HRESULT STDMETHODCALLTYPE StandInElement(HWND window, IRawElementProviderSimple** element) {
  g_standIn->window = window;
  *element = g_standIn->givesElement ? &g_standIn->element : nullptr;
  if (*element != nullptr) (*element)->AddRef();
  return g_standIn->elementResult;
}

HRESULT STDMETHODCALLTYPE StandInRaise(IRawElementProviderSimple* element, int kind, int processing,
                                       BSTR text, BSTR activity) {
  ++g_standIn->raises;
  g_standIn->raisedOn = element;
  g_standIn->kind = kind;
  g_standIn->processing = processing;
  g_standIn->text = FromBstr(text);
  g_standIn->activity = FromBstr(activity);
  return g_standIn->raiseResult;
}

// A native window of the system's own, never shown (the headless test platform makes none):
// a message-only one, which needs no display either.
HWND NewNativeWindow() {
  return CreateWindowExW(0, L"STATIC", L"announcer_win32_test", 0, 0, 0, 0, 0, HWND_MESSAGE,
                         nullptr, GetModuleHandleW(nullptr), nullptr);
}

// "Wine 10" under Wine 10.0 (its ntdll tells its version), else "Windows".
QString ThisSystem() {
  using WineVersion = const char*(CDECL*)();
  const auto version = reinterpret_cast<WineVersion>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version")));
  if (version == nullptr) return "Windows";
  return "Wine " + QString::fromLatin1(version()).section('.', 0, 0);
}

}  // namespace

Q_DECLARE_METATYPE(UiaNotification)

class AnnouncerWin32Test : public QObject {
  Q_OBJECT

private slots:
  void whatReachesUiAutomation_data() {
    QTest::addColumn<bool>("offered");
    QTest::addColumn<long>("elementResult");
    QTest::addColumn<bool>("givesElement");
    QTest::addColumn<long>("raiseResult");
    QTest::addColumn<UiaNotification>("expected");
    QTest::addColumn<int>("raises");
    QTest::newRow("raised") << true << S_OK << true << S_OK << UiaNotification::Raised << 1;
    QTest::newRow("refused") << true << S_OK << true << E_FAIL << UiaNotification::Failed << 1;
    QTest::newRow("no element") << true << E_INVALIDARG << false << S_OK
                                << UiaNotification::NoProvider << 0;
    QTest::newRow("success without an element")
        << true << S_OK << false << S_OK << UiaNotification::NoProvider << 0;
    QTest::newRow("not offered") << false << S_OK << true << S_OK << UiaNotification::NotOffered
                                 << 0;
  }

  void whatReachesUiAutomation() {
    QFETCH(bool, offered);
    StandIn standIn;
    QFETCH(long, elementResult);
    QFETCH(long, raiseResult);
    QFETCH(bool, givesElement);
    standIn.elementResult = elementResult;
    standIn.givesElement = givesElement;
    standIn.raiseResult = raiseResult;
    g_standIn = &standIn;
    UiaNotificationCalls calls;
    calls.hostProviderFromHwnd = StandInElement;
    if (offered) calls.raiseNotificationEvent = StandInRaise;

    const QString message = QString::fromUtf8("ﾛﾄ6 1 は 12");
    const WId window = 0x1234;
    QTEST(RaiseUiaNotification(window, message, calls), "expected");
    QTEST(standIn.raises, "raises");
    // Every reference to the element that was handed out is given back.
    QCOMPARE(standIn.element.references, ULONG(1));
    if (standIn.raises == 0) return;
    QCOMPARE(standIn.window, reinterpret_cast<HWND>(window));
    QCOMPARE(standIn.raisedOn, &standIn.element);
    QCOMPARE(standIn.text, message);
    QCOMPARE(standIn.activity, UiaActivityId());
    QCOMPARE(standIn.kind, 2);        // NotificationKind_ActionCompleted
    QCOMPARE(standIn.processing, 3);  // NotificationProcessing_MostRecent
  }

  void systemAnswers() {
    // What each system answers for a window and for one destroyed.
    struct Answer {
      const char* system;
      UiaNotification onWindow;
      UiaNotification onDestroyedWindow;
    };
    const Answer answers[] = {
        {"Wine 8", UiaNotification::NotOffered, UiaNotification::NotOffered},
        {"Wine 10", UiaNotification::Raised, UiaNotification::NoProvider},
        {"Windows", UiaNotification::Raised, UiaNotification::NoProvider},
    };
    const QString here = ThisSystem();
    const Answer* answer = nullptr;
    for (const Answer& each : answers)
      if (here == QLatin1String(each.system)) answer = &each;
    QVERIFY2(answer != nullptr, qPrintable("no answer known for " + here + ": see and add it"));
    QCOMPARE(SystemUiaNotificationCalls().raiseNotificationEvent != nullptr,
             answer->onWindow != UiaNotification::NotOffered);

    HWND window = NewNativeWindow();
    QVERIFY(window != nullptr);
    const QString message = QString::fromUtf8("ﾛﾄ6 1 は 12");
    QCOMPARE(RaiseUiaNotification(WId(window), message), answer->onWindow);
    DestroyWindow(window);
    QCOMPARE(RaiseUiaNotification(WId(window), message), answer->onDestroyedWindow);

    // The library came from the system folder.
    HMODULE library = GetModuleHandleW(L"uiautomationcore.dll");
    QVERIFY(library != nullptr);
    wchar_t path[MAX_PATH] = {};
    wchar_t system[MAX_PATH] = {};
    QVERIFY(GetModuleFileNameW(library, path, MAX_PATH) > 0);
    QVERIFY(GetSystemDirectoryW(system, MAX_PATH) > 0);
    QCOMPARE(QFileInfo(QString::fromWCharArray(path)).absolutePath().toLower(),
             QDir::fromNativeSeparators(QString::fromWCharArray(system)).toLower());
  }
};

QTEST_MAIN(AnnouncerWin32Test)
#include "announcer_win32_test.moc"
