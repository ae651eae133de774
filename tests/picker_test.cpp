// The picker window: its layout, the reels' spin and stop, game starts, the blink, the menus,
// help and closing. Handlers are called directly where a test needs exact draws; real timers and
// keys are used where the toolkit's part is what is tested.
#include <QAccessible>
#include <QAction>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QGroupBox>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QSignalSpy>
#include <QWindow>
#include <QtTest>
#include <cmath>
#include <map>
#include <memory>
#include <set>

#include "AccessibleTree.h"
#include "CaptionsFit.h"
#include "FakeFileFinder.h"
#include "FakeRegistry.h"
#include "RecordingAnnouncer.h"
#include "RecordingMessageBox.h"
#include "RecordingProgramStarter.h"
#include "ScriptedRandom.h"
#include "frmMain.h"

namespace {

float rFor(int16_t value, int16_t kind) {
  const DrawBounds b = GameBounds(kind);
  return ScriptedRandom::forValue(value, b.lower, b.upper - b.lower + 1);
}

template <class T>
T* child(QObject* parent, const QString& name) {
  T* found = parent->findChild<T*>(name);
  if (found == nullptr)
    qWarning("no %s named %s", T::staticMetaObject.className(), qPrintable(name));
  return found;
}

// Which of the banks' pictures this is: "Image2(6)", "questionMark", ...; "none" for no picture.
QString EntryOf(const PictureBanks& banks, const QPixmap& picture) {
  if (picture.isNull()) return "none";
  const qint64 key = picture.cacheKey();
  if (key == banks.questionMark().cacheKey()) return "questionMark";
  if (key == banks.areYouReady().cacheKey()) return "areYouReady";
  QString found = "not a bank picture";
  auto look = [&](const ControlArray<const QPixmap>& bank) {
    bank.forEach([&](int16_t i, const QPixmap& entry) {
      if (entry.cacheKey() == key) found = QString("%1(%2)").arg(bank.name().c_str()).arg(i);
    });
  };
  look(banks.Image1());
  look(banks.Image2());
  look(banks.Image4());
  return found;
}

// Every picture button of the window with its designed picture size.
std::vector<std::pair<PictureButton*, QSize>> PictureButtons(const frmMain& window) {
  std::vector<std::pair<PictureButton*, QSize>> buttons;
  for (int16_t reel = 1; reel <= kReelCount; ++reel)
    buttons.emplace_back(&window.Command(reel), QSize(40, 40));
  window.CommandStart().forEach(
      [&](int16_t, PictureButton& start) { buttons.emplace_back(&start, QSize(100, 40)); });
  return buttons;
}

}  // namespace

class PickerTest : public QObject {
  Q_OBJECT

  std::unique_ptr<ScriptedRandom> random;
  std::unique_ptr<ClockRandom> fallback;
  std::unique_ptr<RecordingProgramStarter> programs;
  std::unique_ptr<RecordingMessageBox> messages;
  std::unique_ptr<FakeRegistry> registry;
  std::unique_ptr<FakeFileFinder> files;
  std::unique_ptr<RecordingAnnouncer> announcer;
  std::unique_ptr<frmMain> window;

  // Stops a reel on exactly this value.
  void stop(int16_t reel, int16_t value) {
    random->push(rFor(value, PanelOfReel(reel).kind));
    window->Command_Click(reel);
    QCOMPARE(window->drawEngine().slot(reel), value);
  }

  void stopAllReelTimers() {
    for (int16_t reel = 1; reel <= kReelCount; ++reel) window->Timer(reel).stop();
  }

private slots:
  void init() {
    random = std::make_unique<ScriptedRandom>();
    fallback = std::make_unique<ClockRandom>();
    fallback->seed(31);
    random->continueWith(fallback.get());
    programs = std::make_unique<RecordingProgramStarter>();
    messages = std::make_unique<RecordingMessageBox>();
    registry = std::make_unique<FakeRegistry>();
    files = std::make_unique<FakeFileFinder>();
    announcer = std::make_unique<RecordingAnnouncer>();
    newWindow();
  }

  void newWindow() {
    window.reset();
    window = std::make_unique<frmMain>(
        PickerServices{*random, *programs, *messages, *registry, *files, nullptr, announcer.get()});
  }

  void cleanup() { window.reset(); }

  void windowIsLaidOutAtTwelveTwipsPerPixel() {
    QWidget* client = window->centralWidget();
    QCOMPARE(client->size(), QSize(571, 410));
    QCOMPARE(window->windowTitle(), QStringLiteral("ﾀﾏﾋﾛｲ"));
    QVERIFY(!(window->windowFlags() & Qt::WindowMinimizeButtonHint));
    QVERIFY(!(window->windowFlags() & Qt::WindowMaximizeButtonHint));
    QVERIFY(window->windowFlags() & Qt::WindowCloseButtonHint);
    QVERIFY(!window->windowIcon().isNull());
    window->show();
    QCOMPARE(window->minimumSize(), window->maximumSize());  // fixed border

    struct Frame {
      int16_t index;
      const char* caption;
      QRect geometry;
      int reels;
      int16_t start;
      int firstReel;
    };
    const Frame frames[] = {{2, "ﾛﾄ6", {10, 10, 551, 81}, 6, 0, 1},
                            {3, "ﾐﾆﾛﾄ", {70, 100, 491, 81}, 5, 1, 7},
                            {0, "ﾅﾝﾊﾞｰｽﾞ4", {130, 190, 431, 81}, 4, 2, 12},
                            {1, "ﾅﾝﾊﾞｰｽﾞ3", {190, 280, 371, 81}, 3, 3, 16}};
    for (const Frame& f : frames) {
      QGroupBox& frame = window->Frame1()[f.index];
      QCOMPARE(frame.title(), QString::fromUtf8(f.caption));
      QCOMPARE(frame.geometry(), f.geometry);
      QCOMPARE(frame.geometry().right() + 1, 561);  // one right edge, 10 px inside the window
      for (int k = 0; k < f.reels; ++k) {
        PictureButton& reel = window->Command(static_cast<int16_t>(f.firstReel + k));
        QCOMPARE(reel.parentWidget(), &frame);
        QCOMPARE(reel.geometry(), QRect(10 + 60 * k, 20, 51, 51));
        QCOMPARE(reel.toolTip(), QStringLiteral("STOP"));
        QCOMPARE(reel.objectName(), QString("Command%1").arg(f.firstReel + k));
      }
      PictureButton& start = window->CommandStart()[f.start];
      QCOMPARE(start.parentWidget(), &frame);
      QCOMPARE(start.geometry(), QRect(10 + 60 * f.reels, 20, 171, 51));
      QCOMPARE(start.geometry().right() + 1, f.geometry.width() - 10);
      QVERIFY(start.toolTip().isEmpty());
    }
    auto* ok = child<QPushButton>(window.get(), "CommandOK");
    QVERIFY(ok);
    QCOMPARE(ok->text(), QStringLiteral("OK"));
    QCOMPARE(ok->geometry(), QRect(240, 370, 91, 31));
    QCOMPARE(ok->geometry().center().x() + 1, 571 / 2 + 1);
  }

  // Run on the default screen and again on others (see CMakeLists.txt); TH_ROOM_FOR_EVERY_FONT
  // says the screen holds the window at every font's own scale.
  void windowFitsItsScreenAtEveryFontAndCutsNoCaption_data() { AddDesktopFontRows(); }

  void windowFitsItsScreenAtEveryFontAndCutsNoCaption() {
    QFETCH(qreal, points);
    const DesktopFont font(points);
    newWindow();
    stopAllReelTimers();
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    const LayoutScale scale = window->layoutScale();
    const qreal fonts = LayoutScale::ForFont(QApplication::font()).factor();
    QVERIFY(scale.factor() <= fonts);
    if (qEnvironmentVariableIsSet("TH_ROOM_FOR_EVERY_FONT")) QCOMPARE(scale.factor(), fonts);
    QCOMPARE(window->centralWidget()->size(),
             QSize(qRound(571 * scale.factor()), qRound(410 * scale.factor())));
    // Wholly on the screen's free area, and made smaller only where the screen asks for it.
    const QRect available = window->screen()->availableGeometry(), frame = window->frameGeometry();
    QVERIFY2(available.contains(frame), qPrintable(Describe(frame, available)));
    if (scale.factor() < fonts)
      QVERIFY(frame.height() > available.height() * 3 / 4 ||
              frame.width() > available.width() * 3 / 4);
    const QStringList faults = CutOrOverlapping(*window);
    QVERIFY2(faults.isEmpty(), qPrintable(faults.join("; ")));

    // The pictures grow with the layout, each drawn for the screen's own density (never scaled
    // while painting), inside its button's bevel; the same after spin frames and a blink.
    for (int round = 0; round < 2; ++round) {
      for (const auto& [button, designed] : PictureButtons(*window)) {
        const QPixmap& shown = button->shownPicture();
        QCOMPARE(shown.devicePixelRatio(), button->devicePixelRatioF());
        QCOMPARE(shown.deviceIndependentSize().toSize(),
                 (QSizeF(designed) * scale.factor()).toSize());
        const int bevel = 2 * scale.lineWidth(1);
        const QSize inside = button->rect().adjusted(bevel, bevel, -bevel, -bevel).size();
        QVERIFY(shown.deviceIndependentSize().width() <= inside.width());
        QVERIFY(shown.deviceIndependentSize().height() <= inside.height());
      }
      for (int16_t reel = 1; reel <= kReelCount; ++reel) window->Timer_Timer(reel);
      window->TimerStart_Timer();
    }
  }

  void newRatioGivesEveryButtonItsEntrysNewPicture_data() {
    QTest::addColumn<qreal>("ratio");
    QTest::newRow("twice the pixels") << 2.0;
    QTest::newRow("one and a half") << 1.5;
  }

  void newRatioGivesEveryButtonItsEntrysNewPicture() {
    QFETCH(qreal, ratio);
    stopAllReelTimers();
    // Reel 18 still shows its question mark, the others a spin frame; three reels stopped; the
    // start buttons on the dim face.
    for (int16_t reel = 1; reel < kReelCount; ++reel) window->Timer_Timer(reel);
    stop(1, 7);
    stop(12, 0);
    stop(16, 9);
    window->TimerStart_Timer();
    window->TimerStart_Timer();
    const int16_t phase = window->blinkPhase();

    window->FollowDevicePixelRatio(ratio);
    const PictureBanks& banks = window->banks();
    QCOMPARE(banks.devicePixelRatio(), ratio);
    // Each picture again from the window's state: a stopped reel's number (which it also shows
    // when started again, until its first frame), a spinning reel's question mark until its
    // next frame, the blink's face last shown.
    const QMap<int, QString> stopped{{1, "Image2(6)"}, {12, "Image1(0)"}, {16, "Image1(9)"}};
    QStringList expected, after;
    for (int reel = 1; reel <= kReelCount; ++reel) {
      const QString entry = stopped.value(reel, "questionMark");
      expected << entry + "/" + entry;
    }
    for (int i = 0; i < kGameCount; ++i) expected << QString("Image4(%1)/none").arg(1 - phase);
    for (const auto& [button, designed] : PictureButtons(*window)) {
      after << EntryOf(banks, button->picture()) + "/" + EntryOf(banks, button->disabledPicture());
      for (const QPixmap& picture : {button->picture(), button->disabledPicture()}) {
        if (picture.isNull()) continue;
        QCOMPARE(picture.devicePixelRatio(), ratio);
        QCOMPARE(picture.deviceIndependentSize(), QSizeF(designed));
      }
    }
    QCOMPARE(after, expected);
    QCOMPARE(window->blinkPhase(), phase);
    QVERIFY(!window->Command(12).isEnabled());

    // Spinning and blinking go on from the new banks.
    window->Timer_Timer(2);
    QCOMPARE(window->Command(2).picture().devicePixelRatio(), ratio);
    window->TimerStart_Timer();
    QCOMPARE(window->CommandStart()[0].picture().cacheKey(), banks.Image4()[phase].cacheKey());
  }

  // Run again on two screens of different density (see CMakeLists.txt), where the window is
  // moved from one to the other; on one screen the banks follow it when it is first shown.
  void windowOnAnotherScreenRemakesItsPictures() {
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    QWindow* handle = window->windowHandle();
    QCOMPARE(window->banks().devicePixelRatio(), handle->devicePixelRatio());
    const QList<QScreen*> screens = QGuiApplication::screens();
    QCOMPARE(screens.size(), qEnvironmentVariableIntValue("TH_SCREENS") > 1 ? 2 : 1);
    for (QScreen* screen : screens) {
      if (screen == handle->screen()) continue;
      QVERIFY(screen->devicePixelRatio() != handle->devicePixelRatio());
      handle->setScreen(screen);
      QTRY_COMPARE(window->banks().devicePixelRatio(), screen->devicePixelRatio());
      QCOMPARE(window->Command(1).picture().devicePixelRatio(), screen->devicePixelRatio());
      QCOMPARE(window->Command(1).picture().cacheKey(), window->banks().questionMark().cacheKey());
    }
  }

  void menusCarryTheirCaptionsAndKeys() {
    auto* file = child<QMenu>(window.get(), "mnu_file");
    auto* help = child<QMenu>(window.get(), "mnu_help");
    QVERIFY(file && help);
    QCOMPARE(file->title(), QStringLiteral("ﾌｧｲﾙ(&F)"));
    QCOMPARE(help->title(), QStringLiteral("ﾍﾙﾌﾟ(&H)"));
    QCOMPARE(window->menuBar()->actions(),
             (QList<QAction*>{file->menuAction(), help->menuAction()}));
    auto* quit = child<QAction>(window.get(), "mnu_quit");
    auto* helpTh = child<QAction>(window.get(), "mnu_help_th");
    auto* version = child<QAction>(window.get(), "mnu_version");
    QVERIFY(quit && helpTh && version);
    QCOMPARE(file->actions(), QList<QAction*>{quit});
    QCOMPARE(help->actions(), (QList<QAction*>{helpTh, version}));
    QCOMPARE(quit->text(), QStringLiteral("終了(&X)"));
    QCOMPARE(quit->shortcut(), QKeySequence("Ctrl+Q"));
    QCOMPARE(helpTh->text(), QStringLiteral("ﾀﾏﾋﾛｲのﾍﾙﾌﾟ"));
    QCOMPARE(helpTh->shortcut(), QKeySequence(Qt::Key_F1));
    QCOMPARE(version->text(), QStringLiteral("ﾊﾞｰｼﾞｮﾝ情報(&A)"));
    QVERIFY(version->shortcut().isEmpty());
  }

  void tabCyclesThroughEveryPanelFromOk() {
    window->show();
    QVERIFY(QTest::qWaitForWindowActive(window.get()));
    QCOMPARE(QApplication::focusWidget()->objectName(), QStringLiteral("CommandOK"));
    QStringList expected;
    for (int n = 1; n <= 6; ++n) expected << QString("Command%1").arg(n);
    expected << "CommandStart_0";
    for (int n = 7; n <= 11; ++n) expected << QString("Command%1").arg(n);
    expected << "CommandStart_1";
    for (int n = 12; n <= 15; ++n) expected << QString("Command%1").arg(n);
    expected << "CommandStart_2";
    for (int n = 16; n <= 18; ++n) expected << QString("Command%1").arg(n);
    expected << "CommandStart_3"
             << "CommandOK";
    QStringList visited;
    for (int i = 0; i < expected.size(); ++i) {
      QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
      visited << QApplication::focusWidget()->objectName();
    }
    QCOMPARE(visited, expected);
  }

  void reelsAndStartButtonsHaveAccessibleNames() {
    QCOMPARE(window->Command(1).accessibleName(), QStringLiteral("ﾛﾄ6 1"));
    QCOMPARE(window->Command(11).accessibleName(), QStringLiteral("ﾐﾆﾛﾄ 5"));
    QCOMPARE(window->Command(18).accessibleName(), QStringLiteral("ﾅﾝﾊﾞｰｽﾞ3 3"));
    QCOMPARE(window->CommandStart()[2].accessibleName(), QStringLiteral("ﾅﾝﾊﾞｰｽﾞ4 スタート"));
    stop(3, 27);
    QCOMPARE(window->Command(3).accessibleDescription(), QStringLiteral("27"));
    window->CommandStart_Click(0);
    QVERIFY(window->Command(3).accessibleDescription().isEmpty());
  }

  void accessibleTreeIsWhatAScreenReaderNeeds() {
    const QStringList expected = ExpectedAccessibleTree(TH_ACCESSIBLE_TREE, "frmMain");
    QVERIFY2(expected.size() > 1, TH_ACCESSIBLE_TREE);
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    QCOMPARE(AccessibleTree(*window), expected);
  }

  void stopTellsTheScreenReaderWhichReelStoppedOnWhat_data() {
    QTest::addColumn<int>("reel");
    QTest::addColumn<int>("value");
    QTest::addColumn<QString>("said");
    QTest::newRow("first Loto 6 reel") << 1 << 12 << "ﾛﾄ6 1 は 12";
    QTest::newRow("last Mini Loto reel, its highest") << 11 << 31 << "ﾐﾆﾛﾄ 5 は 31";
    QTest::newRow("Numbers 4, digit 0") << 12 << 0 << "ﾅﾝﾊﾞｰｽﾞ4 1 は 0";
    QTest::newRow("last Numbers 3 reel") << 18 << 9 << "ﾅﾝﾊﾞｰｽﾞ3 3 は 9";
  }

  void stopTellsTheScreenReaderWhichReelStoppedOnWhat() {
    QFETCH(int, reel);
    QFETCH(int, value);
    QFETCH(QString, said);
    // Spin frames and a game's start say nothing; only the stop does, once, about its reel.
    for (int16_t each = 1; each <= kReelCount; ++each) window->Timer_Timer(each);
    window->CommandStart_Click(PanelOfReel(int16_t(reel)).startIndex);
    QVERIFY(announcer->said.empty());
    stop(int16_t(reel), int16_t(value));
    QCOMPARE(announcer->said.size(), std::size_t{1});
    QCOMPARE(announcer->said[0].source, QString("Command%1").arg(reel));
    QCOMPARE(announcer->said[0].message, said);
  }

  void lastStopOfAGameAlsoSaysItsSetInReelOrder_data() {
    QTest::addColumn<QList<int>>("stops");  // reel, value, ...: the last stop ends the game
    QTest::addColumn<QString>("set");
    QTest::newRow("Loto 6, from the right")
        << QList<int>{6, 9, 5, 39, 4, 24, 3, 17, 2, 7, 1, 3} << "ﾛﾄ6 は 3、7、17、24、39、9";
    QTest::newRow("Mini Loto, a Loto 6 reel between")
        << QList<int>{7, 31, 9, 1, 1, 5, 11, 12, 8, 2, 10, 30} << "ﾐﾆﾛﾄ は 31、2、1、30、12";
    QTest::newRow("Numbers 4, digits again, 0 kept")
        << QList<int>{12, 0, 13, 0, 15, 9, 14, 0} << "ﾅﾝﾊﾞｰｽﾞ4 は 0、0、0、9";
    QTest::newRow("Numbers 3") << QList<int>{17, 5, 16, 5, 18, 1} << "ﾅﾝﾊﾞｰｽﾞ3 は 5、5、1";
  }

  void lastStopOfAGameAlsoSaysItsSetInReelOrder() {
    QFETCH(QList<int>, stops);
    QFETCH(QString, set);
    // Each stop says its reel; the one that leaves no reel of its game spinning says the set
    // after it, in the same message, so that the set cannot cut the stop short.
    for (qsizetype i = 0; i + 1 < stops.size(); i += 2) {
      const auto reel = int16_t(stops[i]);
      stop(reel, int16_t(stops[i + 1]));
      const bool last = i + 2 == stops.size();
      QCOMPARE(announcer->said.back().source, QString("Command%1").arg(reel));
      QCOMPARE(announcer->said.back().message,
               window->stopAnnouncement(reel) + (last ? "。" + set : QString()));
    }
    // The copy command gives the same numbers in the same order.
    window->mnu_copy_Click();
    const QString copied = QGuiApplication::clipboard()->text();
    QVERIFY2(copied.split('\n').contains(QString(set).replace(" は ", " ").replace("、", " ")),
             qPrintable(copied));
    // Once: the game started again, its first stop says the reel alone.
    const GamePanel& game = PanelOfReel(int16_t(stops[stops.size() - 2]));
    window->CommandStart_Click(game.startIndex);
    stop(game.firstReel, int16_t(stops.back()));
    QCOMPARE(announcer->said.back().message, window->stopAnnouncement(game.firstReel));
  }

  void windowSeedsOnceAndStartsWithItsInitialPictures() {
    QCOMPARE(random->seedCount(), 1);
    QCOMPARE(random->consumed(), 0u);
    for (int16_t reel = 1; reel <= kReelCount; ++reel) {
      QCOMPARE(window->Command(reel).picture().cacheKey(),
               window->banks().questionMark().cacheKey());
      QVERIFY(window->Command(reel).isEnabled());
      QVERIFY(window->Timer(reel).isActive());
      QCOMPARE(window->Timer(reel).interval(), 50);
    }
    for (int16_t i = 0; i < kGameCount; ++i)
      QCOMPARE(window->CommandStart()[i].picture().cacheKey(),
               window->banks().areYouReady().cacheKey());
    auto* blink = child<QTimer>(window.get(), "TimerStart");
    QVERIFY(blink && blink->isActive());
    QCOMPARE(blink->interval(), 1000);
  }

  void tickShowsTheBankPictureOfTheDrawnValue_data() {
    QTest::addColumn<int>("reelColumn");
    QTest::addColumn<int>("valueColumn");
    QTest::addColumn<int>("bank");
    QTest::addColumn<int>("entry");
    QTest::newRow("Loto 6, lowest") << 1 << 1 << 2 << 0;
    QTest::newRow("Loto 6, highest") << 6 << 43 << 2 << 42;
    QTest::newRow("Mini Loto, highest") << 11 << 31 << 2 << 30;
    QTest::newRow("Numbers 4, zero") << 12 << 0 << 1 << 0;
    QTest::newRow("Numbers 3, nine") << 18 << 9 << 1 << 9;
  }

  void tickShowsTheBankPictureOfTheDrawnValue() {
    QFETCH(int, reelColumn);
    QFETCH(int, valueColumn);
    QFETCH(int, bank);
    QFETCH(int, entry);
    const auto reel = static_cast<int16_t>(reelColumn);
    const auto value = static_cast<int16_t>(valueColumn);
    const auto& pictures = bank == 2 ? window->banks().Image2() : window->banks().Image1();
    random->push(rFor(value, PanelOfReel(reel).kind));
    window->Timer_Timer(reel);
    QCOMPARE(window->Command(reel).picture().cacheKey(), pictures[entry].cacheKey());
    QCOMPARE(window->drawEngine().slot(reel), int16_t{0});  // a spin frame stores nothing

    random->push(rFor(value, PanelOfReel(reel).kind));
    window->Command_Click(reel);
    QCOMPARE(window->Command(reel).disabledPicture().cacheKey(), pictures[entry].cacheKey());
  }

  void stopMarksRecordsAndFreezesTheReel() {
    window->Timer_Timer(4);
    const qint64 lastFrame = window->Command(4).picture().cacheKey();
    stop(4, 17);
    PictureButton& button = window->Command(4);
    QVERIFY(!button.isEnabled());
    QVERIFY(!window->Timer(4).isActive());
    QCOMPARE(button.disabledPicture().cacheKey(), window->banks().Image2()[16].cacheKey());
    QCOMPARE(button.shownPicture().cacheKey(), window->banks().Image2()[16].cacheKey());
    QCOMPARE(button.picture().cacheKey(), lastFrame);  // the last spin frame stays as normal
    QCOMPARE(window->drawEngine().usedFlag(kLoto6, 17), int16_t{-1});
    for (int16_t n = 0; n < DrawEngine::kSlotCount; ++n)
      if (n != 4) QCOMPARE(window->drawEngine().slot(n), int16_t{0});

    // A click on the stopped reel does nothing at all: no draw, no message.
    window->show();
    const auto consumed = random->consumed();
    stopAllReelTimers();
    QTest::mouseClick(&button, Qt::LeftButton);
    QCOMPARE(random->consumed(), consumed);
    QCOMPARE(window->drawEngine().slot(4), int16_t{17});
    QVERIFY(messages->messages.empty());
  }

  void spinningReelsNeverShowAStoppedNumber() {
    stop(1, 5);
    stop(2, 20);
    stop(7, 9);
    const auto& numbers = window->banks().Image2();
    std::set<qint64> loto6Shown, miniShown;
    for (int i = 0; i < 2000; ++i) {
      for (int16_t reel = 3; reel <= 6; ++reel) {
        window->Timer_Timer(reel);
        loto6Shown.insert(window->Command(reel).picture().cacheKey());
      }
      window->Timer_Timer(8);
      miniShown.insert(window->Command(8).picture().cacheKey());
    }
    QVERIFY(!loto6Shown.count(numbers[4].cacheKey()));
    QVERIFY(!loto6Shown.count(numbers[19].cacheKey()));
    QVERIFY(!miniShown.count(numbers[8].cacheKey()));
    // Each game's marks are its own: the other game's stopped numbers still come up.
    QVERIFY(loto6Shown.count(numbers[8].cacheKey()));
    QVERIFY(miniShown.count(numbers[4].cacheKey()));
    QVERIFY(miniShown.count(numbers[19].cacheKey()));
    QCOMPARE(loto6Shown.size(), size_t{41});
    QCOMPARE(miniShown.size(), size_t{30});
  }

  void startRestoresSpinningAndReleasesOnlyItsGame() {
    stop(1, 5);
    stop(6, 43);
    stop(8, 9);
    stop(13, 4);
    const qint64 normal1 = window->Command(1).picture().cacheKey();
    const qint64 disabled1 = window->Command(1).disabledPicture().cacheKey();
    const int16_t phase = window->blinkPhase();

    window->CommandStart_Click(0);
    for (int16_t reel = 1; reel <= 6; ++reel) {
      QVERIFY(window->Command(reel).isEnabled());
      QVERIFY(window->Timer(reel).isActive());
    }
    for (int16_t n = 0; n < DrawEngine::kLoto6TableSize; ++n)
      QCOMPARE(window->drawEngine().usedFlag(kLoto6, n), int16_t{0});
    QCOMPARE(window->drawEngine().slot(1), int16_t{5});  // slots keep their values
    QCOMPARE(window->drawEngine().slot(6), int16_t{43});
    QCOMPARE(window->Command(1).picture().cacheKey(), normal1);
    QCOMPARE(window->Command(1).disabledPicture().cacheKey(), disabled1);
    QCOMPARE(window->Command(1).shownPicture().cacheKey(), normal1);  // last spin frame again
    QCOMPARE(window->blinkPhase(), phase);
    // The other games are untouched.
    QVERIFY(!window->Command(8).isEnabled());
    QCOMPARE(window->drawEngine().usedFlag(kMiniLoto, 9), int16_t{-1});
    QVERIFY(!window->Command(13).isEnabled());

    stop(1, 5);  // the released number can be drawn again
    window->CommandStart_Click(2);
    QVERIFY(window->Command(13).isEnabled());
    QVERIFY(window->Timer(13).isActive());
    QCOMPARE(window->drawEngine().usedFlag(kLoto6, 5), int16_t{-1});  // no table touched
    QCOMPARE(window->drawEngine().usedFlag(kMiniLoto, 9), int16_t{-1});

    for (int16_t other : {int16_t{-1}, int16_t{4}, int16_t{32767}})
      window->CommandStart_Click(other);
    QVERIFY(!window->Command(1).isEnabled());
    QVERIFY(!window->Command(8).isEnabled());
  }

  // A start sets its stopped reels spinning and leaves the spinning ones alone: a timer started
  // again would begin a whole new interval.
  void startLeavesSpinningReelsSpinning() {
    stop(17, 4);
    QTRY_VERIFY(window->Timer(16).remainingTime() < 25 && window->Timer(18).remainingTime() < 25);
    window->CommandStart_Click(3);
    QVERIFY(window->Timer(17).isActive());
    QVERIFY(window->Command(17).isEnabled());
    QVERIFY(window->Timer(16).remainingTime() < 40);
    QVERIFY(window->Timer(18).remainingTime() < 40);
  }

  void blinkAlternatesAllFourStartButtons() {
    const QPixmap& bright = window->banks().Image4()[0];
    const QPixmap& dim = window->banks().Image4()[1];
    QList<qint64> sequence;
    for (int i = 0; i < 5; ++i) {
      window->TimerStart_Timer();
      const qint64 shown = window->CommandStart()[0].picture().cacheKey();
      for (int16_t s = 1; s < kGameCount; ++s)
        QCOMPARE(window->CommandStart()[s].picture().cacheKey(), shown);
      sequence << shown;
    }
    QCOMPARE(sequence, (QList<qint64>{bright.cacheKey(), dim.cacheKey(), bright.cacheKey(),
                                      dim.cacheKey(), bright.cacheKey()}));
    QCOMPARE(window->blinkPhase(), int16_t{1});
  }

  void realTimersSpinAndBlinkFromTheStart() {
    window->show();
    const qint64 question = window->banks().questionMark().cacheKey();
    const qint64 ready = window->banks().areYouReady().cacheKey();
    QTRY_VERIFY(window->Command(1).picture().cacheKey() != question);
    QTRY_VERIFY(window->Command(18).picture().cacheKey() != question);
    QTRY_VERIFY_WITH_TIMEOUT(window->CommandStart()[3].picture().cacheKey() != ready, 3000);
    QCOMPARE(window->CommandStart()[3].picture().cacheKey(),
             window->banks().Image4()[0].cacheKey());
    QVERIFY(messages->messages.empty());
  }

  void okCtrlQEscAndQuitCloseTheWindow_data() {
    QTest::addColumn<QString>("how");
    QTest::newRow("OK button") << "ok";
    QTest::newRow("Ctrl+Q") << "ctrl+q";
    QTest::newRow("Esc") << "esc";
    QTest::newRow("quit item") << "quit";
  }

  void okCtrlQEscAndQuitCloseTheWindow() {
    QFETCH(QString, how);
    window->show();
    QVERIFY(QTest::qWaitForWindowActive(window.get()));
    if (how == "ok")
      QTest::mouseClick(child<QPushButton>(window.get(), "CommandOK"), Qt::LeftButton);
    else if (how == "ctrl+q")
      QTest::keyClick(QApplication::focusWidget(), Qt::Key_Q, Qt::ControlModifier);
    else if (how == "esc")
      QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    else
      child<QAction>(window.get(), "mnu_quit")->trigger();
    QTRY_VERIFY(!window->isVisible());
    QVERIFY(messages->messages.empty());
  }

  // A held key: one press, the key's auto-repeats (delivered wherever the focus is by then),
  // one release. Only the button the press began on is pressed, and only once. The window
  // system flags its repeats (each with a time of its own, so that only the flag tells them),
  // or, when it fails to, stamps each repeat's release and press with one time.
  void heldKeyPressesTheFocusedButtonOnce_data() {
    QTest::addColumn<QString>("button");
    QTest::addColumn<int>("key");
    QTest::addColumn<bool>("flagged");
    for (const char* button : {"Command1", "CommandStart_0", "CommandOK"})
      for (int key : {int(Qt::Key_Space), int(Qt::Key_Return), int(Qt::Key_Enter)})
        for (bool flagged : {true, false})
          QTest::addRow("%s, key %x, %s", button, key, flagged ? "flagged" : "stamped")
              << button << key << flagged;
  }

  void heldKeyPressesTheFocusedButtonOnce() {
    QFETCH(QString, button);
    QFETCH(int, key);
    QFETCH(bool, flagged);
    window->show();
    QVERIFY(QTest::qWaitForWindowActive(window.get()));
    stop(2, 7);  // so the start button has a reel to set spinning
    QList<QAbstractButton*> buttons = window->findChildren<QAbstractButton*>();
    std::vector<std::unique_ptr<QSignalSpy>> clicks;
    for (QAbstractButton* b : buttons)
      clicks.push_back(std::make_unique<QSignalSpy>(b, &QAbstractButton::clicked));
    auto* target = child<QAbstractButton>(window.get(), button);
    target->setFocus();
    QTRY_COMPARE(QApplication::focusWidget(), target);

    quint64 time = 1000;
    auto send = [key, &time](QEvent::Type type, bool autoRepeat) {
      QKeyEvent event(type, key, Qt::NoModifier, QString(), autoRepeat);
      event.setTimestamp(time);
      // OK closes the window: its repeats then reach no widget at all.
      if (QWidget* focus = QApplication::focusWidget()) QApplication::sendEvent(focus, &event);
    };
    send(QEvent::KeyPress, false);
    for (int i = 0; i < 30; ++i) {
      time += 40;
      send(QEvent::KeyRelease, flagged);
      if (flagged) ++time;
      send(QEvent::KeyPress, flagged);
    }
    time += 40;
    send(QEvent::KeyRelease, false);

    for (qsizetype i = 0; i < buttons.size(); ++i)
      QVERIFY2(clicks[i]->count() == (buttons[i] == target ? 1 : 0),
               qPrintable(buttons[i]->objectName() + " clicked " +
                          QString::number(clicks[i]->count()) + " times"));
    QVERIFY(messages->messages.empty());
  }

  void helpStartsTheViewerWithoutWaiting() {
    window->show();
    QVERIFY(QTest::qWaitForWindowActive(window.get()));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_F1);
    child<QAction>(window.get(), "mnu_help_th")->trigger();
    QCOMPARE(programs->starts.size(), size_t{2});
    for (const auto& start : programs->starts) {
      QCOMPARE(QString::fromStdString(start.text), QStringLiteral("winhlp32.exe TH.hlp"));
      QCOMPARE(start.windowStyle, 1);
      QVERIFY(!start.exactProgram);
    }
    QVERIFY(messages->messages.empty());
  }

  void failedHelpStartIsReportedAndTheWindowGoesOn() {
    programs->failStarts = true;
    window->show();
    child<QAction>(window.get(), "mnu_help_th")->trigger();
    QCOMPARE(messages->messages.size(), size_t{1});
    QVERIFY(QString::fromStdString(messages->messages[0].text).contains("winhlp32.exe"));
    QVERIFY(window->isVisible());
    const qint64 before = window->Command(2).picture().cacheKey();
    QTRY_VERIFY(window->Command(2).picture().cacheKey() != before);  // still spinning
  }

  void copyTextListsEveryGameWithAStoppedReel_data() {
    QTest::addColumn<QList<int>>("stops");  // reel, value, reel, value, ...
    QTest::addColumn<QString>("text");
    QTest::newRow("none stopped") << QList<int>{} << "";
    QTest::newRow("one reel, spinning ones as ?") << QList<int>{3, 17} << "ﾛﾄ6 ? ? 17 ? ? ?";
    QTest::newRow("a whole game") << QList<int>{1, 3, 2, 12, 3, 19, 4, 27, 5, 35, 6, 41}
                                  << "ﾛﾄ6 3 12 19 27 35 41";
    QTest::newRow("some games, in panel order, zero kept")
        << QList<int>{18, 9, 7, 31, 12, 0} << "ﾐﾆﾛﾄ 31 ? ? ? ?\nﾅﾝﾊﾞｰｽﾞ4 0 ? ? ?\nﾅﾝﾊﾞｰｽﾞ3 ? ? 9";
    QList<int> all;
    for (int reel = 1; reel <= kReelCount; ++reel) all << reel << reel;
    QTest::newRow("every game, all stopped")
        << all << "ﾛﾄ6 1 2 3 4 5 6\nﾐﾆﾛﾄ 7 8 9 10 11\nﾅﾝﾊﾞｰｽﾞ4 12 13 14 15\nﾅﾝﾊﾞｰｽﾞ3 16 17 18";
  }

  void copyTextListsEveryGameWithAStoppedReel() {
    QFETCH(QList<int>, stops);
    QFETCH(QString, text);
    std::map<int16_t, int16_t> reels;
    for (qsizetype i = 0; i + 1 < stops.size(); i += 2)
      reels[int16_t(stops[i])] = int16_t(stops[i + 1]);
    const auto stopped = [&reels](int16_t reel) -> std::optional<int16_t> {
      if (const auto it = reels.find(reel); it != reels.end()) return it->second;
      return std::nullopt;
    };
    QCOMPARE(QString::fromStdString(ChosenNumbersText(stopped)), text);
  }

  void ctrlCAndTheContextMenuCopyOnlyStoppedNumbers() {
    auto* menu = child<QMenu>(window.get(), "mnu_context");
    auto* copy = child<QAction>(window.get(), "mnu_copy");
    QVERIFY(menu && copy);
    QCOMPARE(menu->actions(), QList<QAction*>{copy});
    QVERIFY(!menu->accessibleName().isEmpty());
    QCOMPARE(copy->text(), QStringLiteral("番号をｺﾋﾟｰ(&C)"));
    QCOMPARE(copy->shortcut(), QKeySequence("Ctrl+C"));
    const QString copied = QStringLiteral("ﾛﾄ6 ? 40 ? ? ? ?\nﾅﾝﾊﾞｰｽﾞ3 ? 0 ?");
    window->show();
    QVERIFY(QTest::qWaitForWindowActive(window.get()));
    QClipboard* clipboard = QGuiApplication::clipboard();
    clipboard->setText("earlier");
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(clipboard->text(), QStringLiteral("earlier"));  // nothing stopped

    stop(2, 40);
    stop(17, 0);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(clipboard->text(), copied);

    // Right button on a stopped reel, then the access key; and Shift+F10 from the keyboard.
    clipboard->clear();
    QContextMenuEvent right(QContextMenuEvent::Mouse, QPoint(5, 5), QPoint(5, 5));
    QApplication::sendEvent(&window->Command(2), &right);
    QTRY_VERIFY(menu->isVisible());
    QTest::keyClick(menu, Qt::Key_C);
    QTRY_VERIFY(!menu->isVisible());
    QCOMPARE(clipboard->text(), copied);
    clipboard->clear();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_F10, Qt::ShiftModifier);
    QTRY_VERIFY(menu->isVisible());
    QTest::keyClick(menu, Qt::Key_Return);  // the command is selected already
    QTRY_VERIFY(!menu->isVisible());
    QCOMPARE(clipboard->text(), copied);
  }

  void errorInAReelHandlerIsReportedThroughTheGuard() {
    // A source gone wrong (not a number) ends the click with the floating-point error; the reel
    // is left as the handler left it: still spinning, nothing recorded.
    random->push(std::nanf(""));
    window->show();
    stopAllReelTimers();
    QTest::mouseClick(&window->Command(9), Qt::LeftButton);
    QCOMPARE(messages->messages.size(), size_t{1});
    QVERIFY(QString::fromStdString(messages->messages[0].text)
                .startsWith(QString::fromUtf8(RuntimeError::kindText(ErrorKind::FloatingPoint))));
    QVERIFY(window->Command(9).isEnabled());
    QCOMPARE(window->drawEngine().slot(9), int16_t{0});
  }
};

QTEST_MAIN(PickerTest)
#include "picker_test.moc"
