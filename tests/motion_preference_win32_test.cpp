// Less motion on Windows: "Show animations in Windows" read through a seam and again on every
// WM_SETTINGCHANGE, the picker window following it; and the system's own answer under Wine.
#include <QtTest>

#include "FakeFileFinder.h"
#include "FakeRegistry.h"
#include "MotionPreference_win32.h"
#include "RecordingMessageBox.h"
#include "RecordingProgramStarter.h"
#include "ScriptedRandom.h"
#include "frmMain.h"

// Last, so that its macros reach none of the declarations above.
#include <windows.h>

namespace {

// What Windows announces to the program's windows after a program changed the setting with
// SPIF_SENDCHANGE, as the toolkit hands it to the native event filters. (The headless test
// platform has no native windows for the system to send it to.)
void AnnounceSettingChange(WindowsMotionPreference& motion) {
  MSG message{};
  message.message = WM_SETTINGCHANGE;
  message.wParam = SPI_SETCLIENTAREAANIMATION;
  qintptr result = 0;
  QVERIFY(!motion.nativeEventFilter("windows_generic_MSG", &message, &result));
}

}  // namespace

class MotionPreferenceWin32Test : public QObject {
  Q_OBJECT

private slots:
  void windowFollowsTheSettingWhenWindowsAnnouncesIt() {
    bool shown = false;
    WindowsMotionPreference motion([&shown] { return shown; });
    QVERIFY(motion.lessMotion());
    ClockRandom random;
    RecordingProgramStarter programs;
    RecordingMessageBox messages;
    FakeRegistry registry;
    FakeFileFinder files;
    frmMain window({random, programs, messages, registry, files, &motion});
    auto* blink = window.findChild<QTimer*>("TimerStart");
    QVERIFY(!blink->isActive());

    shown = true;
    AnnounceSettingChange(motion);
    QTRY_VERIFY(blink->isActive());
    shown = false;
    AnnounceSettingChange(motion);
    QTRY_VERIFY(!blink->isActive());
    QVERIFY(window.Timer(1).isActive());  // the reels still spin
  }

  void systemParametersAnswer() {
    // Changed for this session only (neither saved nor announced), and put back.
    const bool before = SystemAnimationsShown();
    for (const bool setting : {!before, before}) {
      QVERIFY(SystemParametersInfoW(SPI_SETCLIENTAREAANIMATION, 0,
                                    reinterpret_cast<void*>(static_cast<uintptr_t>(setting)), 0));
      QCOMPARE(SystemAnimationsShown(), setting);
    }
  }
};

QTEST_MAIN(MotionPreferenceWin32Test)
#include "motion_preference_win32_test.moc"
