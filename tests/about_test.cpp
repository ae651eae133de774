// The About box: its layout, the texts built at load, the keys that close it or press its
// system-information button, and its modal show from the picker window.
#include <QAccessible>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QtTest>
#include <memory>

#include "AccessibleTree.h"
#include "CaptionsFit.h"
#include "FakeFileFinder.h"
#include "FakeRegistry.h"
#include "PictureBanks.h"
#include "RecordingMessageBox.h"
#include "RecordingProgramStarter.h"
#include "ScriptedRandom.h"
#include "WindowFit.h"
#include "frmAbout.h"
#include "frmMain.h"

namespace {

const char kUnavailable[] = "現時点ではｼｽﾃﾑ情報を使用できません";
const char kMsinfoKey[] = "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO";

}  // namespace

class AboutTest : public QObject {
  Q_OBJECT

  FakeRegistry registry;
  FakeFileFinder files;
  RecordingProgramStarter programs;
  RecordingMessageBox messages;
  std::unique_ptr<frmAbout> about;

  AboutServices services() { return {registry, files, programs, messages}; }

  template <class T>
  T* child(const char* name) {
    T* found = about->findChild<T*>(name);
    if (found == nullptr) qWarning("no control named %s", name);
    return found;
  }

  void showAbout() {
    about->show();
    QVERIFY(QTest::qWaitForWindowActive(about.get()));
  }

private slots:
  void init() {
    registry = FakeRegistry();
    files = FakeFileFinder();
    programs = RecordingProgramStarter();
    messages = RecordingMessageBox();
    QPixmap banner(40, 150);
    banner.fill(Qt::black);
    about = std::make_unique<frmAbout>(services(), banner);
  }

  void cleanup() { about.reset(); }

  void loadBuildsTheTextsFromTheApplicationInformation() {
    QCOMPARE(about->windowTitle(), QStringLiteral("ﾀﾏﾋﾛｲのﾊﾞｰｼﾞｮﾝ情報"));
    QCOMPARE(child<QLabel>("lblTitle")->text(), QStringLiteral("ﾀﾏﾋﾛｲ"));
    // The project's version as CMake writes it ("1.0.0" for 1.0.0).
    QCOMPARE(child<QLabel>("lblVersion")->text(), QStringLiteral("ﾊﾞｰｼﾞｮﾝ " TH_VERSION));
    QCOMPARE(child<QLabel>("lblDescription")->text(),
             QStringLiteral("数字選択型宝くじの申し込み番号の決定をアシストします。"));
    QCOMPARE(child<QPushButton>("cmdSysInfo")->text(), QStringLiteral("ｼｽﾃﾑ情報(&S)..."));
    // Plain decimal, never widened.
    QCOMPARE(frmAbout::VersionText(1, 5, 0), QStringLiteral("ﾊﾞｰｼﾞｮﾝ 1.5.0"));
    QCOMPARE(frmAbout::VersionText(2, 10, 123), QStringLiteral("ﾊﾞｰｼﾞｮﾝ 2.10.123"));

    child<QLabel>("lblTitle")->setText("changed");
    about->setWindowTitle("changed");
    about->Form_Load();
    QCOMPARE(about->windowTitle(), QStringLiteral("ﾀﾏﾋﾛｲのﾊﾞｰｼﾞｮﾝ情報"));
    QCOMPARE(child<QLabel>("lblTitle")->text(), QStringLiteral("ﾀﾏﾋﾛｲ"));
  }

  void layoutFollowsTheDesign() {
    showAbout();
    QCOMPARE(about->size(), QSize(478, 297));
    QCOMPARE(about->geometry().topLeft(), QPoint(195, 161));
    QCOMPARE(about->minimumSize(), about->maximumSize());
    QVERIFY(!(about->windowFlags() & Qt::WindowMinMaxButtonsHint));
    QVERIFY(!about->windowIcon().isNull());
    QCOMPARE(child<QPushButton>("cmdOK")->geometry(), QRect(355, 219, 109, 29));
    QCOMPARE(child<QPushButton>("cmdSysInfo")->geometry(), QRect(355, 256, 109, 29));
    auto* picIcon = child<QLabel>("picIcon");
    QCOMPARE(picIcon->geometry(), QRect(20, 20, 44, 154));
    QCOMPARE(picIcon->contentsRect().size(), QSize(40, 150));  // the banner inside a 2 px border
    QCOMPARE(child<QLabel>("lblTitle")->geometry(), QRect(88, 20, 324, 40));
    QCOMPARE(child<QLabel>("lblVersion")->geometry(), QRect(88, 65, 324, 19));
    QCOMPARE(about->lblDisclaimer()[0].geometry(), QRect(21, 219, 323, 19));
    QCOMPARE(about->lblDisclaimer()[1].geometry(), QRect(20, 250, 323, 19));
    // The credits name the maker and the release's year; the address is the product's.
    const QString credits = about->lblDisclaimer()[0].text();
    QVERIFY2(credits.contains(QStringLiteral(TH_VENDOR)) &&
                 credits.contains(QStringLiteral(TH_RELEASE_YEAR)),
             qPrintable(credits));
    QCOMPARE(about->lblDisclaimer()[1].text(), QStringLiteral(TH_HOMEPAGE));

    // The etched separator: grey over white, across the box.
    const QImage shot = about->grab().toImage();
    QCOMPARE(QColor(shot.pixel(240, 204)), QColor(128, 128, 128));
    QCOMPARE(QColor(shot.pixel(240, 206)), QColor(255, 255, 255));
  }

  // Run on the default screen and again on others (see CMakeLists.txt): the box takes the
  // picker's scale, which fits the picker's screen.
  void boxFitsThePickersScreenAtEveryFontAndCutsNoCaption_data() { AddDesktopFontRows(); }

  void boxFitsThePickersScreenAtEveryFontAndCutsNoCaption() {
    QFETCH(qreal, points);
    const DesktopFont font(points);
    ClockRandom random;
    frmMain picker({random, programs, messages, registry, files});
    const LayoutScale scale = picker.layoutScale();
    const PictureBanks banks(1.0, scale.factor());
    frmAbout box(services(), banks.banner(), scale, &picker);
    picker.show();
    box.show();
    QVERIFY(QTest::qWaitForWindowExposed(&box));
    QCOMPARE(box.size(), QSize(qRound(478 * scale.factor()), qRound(297 * scale.factor())));
    const QRect available = picker.screen()->availableGeometry(), frame = box.frameGeometry();
    QVERIFY2(available.contains(frame), qPrintable(Describe(frame, available)));
    const QStringList faults = CutOrOverlapping(box);
    QVERIFY2(faults.isEmpty(), qPrintable(faults.join("; ")));
    // The banner fills its box inside the border, as at the design's size.
    auto* picIcon = box.findChild<QLabel*>("picIcon");
    QCOMPARE(picIcon->contentsRect().size(), banks.banner().deviceIndependentSize().toSize());
  }

  void fixedBlackTextGivesWayToThePalettesOnADarkWindow_data() {
    QTest::addColumn<QColor>("window");
    QTest::addColumn<QColor>("text");
    QTest::addColumn<QColor>("labels");
    QTest::newRow("light, as designed")
        << QColor(0xef, 0xef, 0xef) << QColor(0x20, 0x20, 0x60) << QColor(Qt::black);
    QTest::newRow("white window") << QColor(Qt::white) << QColor(0, 0, 0x80) << QColor(Qt::black);
    QTest::newRow("high contrast") << QColor(Qt::black) << QColor(Qt::white) << QColor(Qt::white);
    QTest::newRow("dark") << QColor(0x35, 0x35, 0x35) << QColor(0xe0, 0xe0, 0xe0)
                          << QColor(0xe0, 0xe0, 0xe0);
  }

  void fixedBlackTextGivesWayToThePalettesOnADarkWindow() {
    QFETCH(QColor, window);
    QFETCH(QColor, text);
    QFETCH(QColor, labels);
    const QPalette before = QApplication::palette();
    QPalette palette(text, window);  // window text and window
    palette.setColor(QPalette::WindowText, text);
    QApplication::setPalette(palette);
    QPixmap banner(40, 150);
    about = std::make_unique<frmAbout>(services(), banner);
    for (const char* name : {"lblTitle", "lblDescription", "lblDisclaimer_0", "lblDisclaimer_1"})
      QCOMPARE(child<QLabel>(name)->palette().color(QPalette::WindowText), labels);
    QCOMPARE(child<QLabel>("lblVersion")->palette().color(QPalette::WindowText), text);
    // The separator: the design's grey over white on a light window, else the palette's own
    // shadow and light.
    const bool designed = labels == QColor(Qt::black);
    const QImage shot = about->grab().toImage();
    QCOMPARE(shot.pixel(240, 204),
             (designed ? QColor(128, 128, 128) : palette.color(QPalette::Dark)).rgb());
    QCOMPARE(shot.pixel(240, 206),
             (designed ? QColor(Qt::white) : palette.color(QPalette::Light)).rgb());
    QApplication::setPalette(before);
  }

  void focusMovesFromOkToTheBannerAndTheSystemButton() {
    showAbout();
    // Each stop has a name a screen reader says: the banner the word it shows.
    const std::pair<const char*, const char*> stops[] = {
        {"cmdOK", "OK"}, {"picIcon", "TAMALUX"}, {"cmdSysInfo", "ｼｽﾃﾑ情報(S)..."}, {"cmdOK", "OK"}};
    for (std::size_t i = 0; i < std::size(stops); ++i) {
      if (i > 0) QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
      QWidget* focus = QApplication::focusWidget();
      QCOMPARE(focus->objectName(), QString(stops[i].first));
      QCOMPARE(QAccessible::queryAccessibleInterface(focus)->text(QAccessible::Name),
               QString::fromUtf8(stops[i].second));
    }
  }

  void accessibleTreeIsWhatAScreenReaderNeeds() {
    const QStringList expected = ExpectedAccessibleTree(TH_ACCESSIBLE_TREE, "frmAbout");
    QVERIFY2(expected.size() > 1, TH_ACCESSIBLE_TREE);
    showAbout();
    QCOMPARE(AccessibleTree(*about), expected);
  }

  void escEnterAndTheCloseCommandCloseTheBox_data() {
    QTest::addColumn<QString>("how");
    QTest::newRow("Esc") << "esc";
    QTest::newRow("Enter") << "enter";
    QTest::newRow("OK clicked") << "ok";
    QTest::newRow("close command") << "close";
  }

  void escEnterAndTheCloseCommandCloseTheBox() {
    QFETCH(QString, how);
    showAbout();
    if (how == "esc")
      QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    else if (how == "enter")
      QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    else if (how == "ok")
      QTest::mouseClick(child<QPushButton>("cmdOK"), Qt::LeftButton);
    else
      about->close();
    QTRY_VERIFY(!about->isVisible());
    QVERIFY(messages.messages.empty());
    QVERIFY(programs.starts.empty());
  }

  void enterOnTheSystemButtonPressesIt() {
    showAbout();
    child<QPushButton>("cmdSysInfo")->setFocus();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QCOMPARE(messages.messages.size(), size_t{1});
    QCOMPARE(messages.messages[0].text, std::string(kUnavailable));
    QCOMPARE(messages.messages[0].style, 0);
    QVERIFY(about->isVisible());  // the box stays open

    child<QPushButton>("cmdOK")->setFocus();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_S, Qt::AltModifier);
    QTRY_COMPARE(messages.messages.size(), size_t{2});  // an access key presses after a moment
    QVERIFY(about->isVisible());
  }

  void systemButtonStartsTheToolFoundInTheRegistry() {
    registry.setText(kHkeyLocalMachine, kMsinfoKey, "PATH",
                     "C:\\Program Files\\Common Files\\MSINFO32.EXE");
    showAbout();
    QTest::mouseClick(child<QPushButton>("cmdSysInfo"), Qt::LeftButton);
    QTest::mouseClick(child<QPushButton>("cmdSysInfo"), Qt::LeftButton);
    QCOMPARE(programs.starts.size(), size_t{2});  // each press starts it again
    QCOMPARE(programs.starts[0].text, std::string("C:\\Program Files\\Common Files\\MSINFO32.EXE"));
    QVERIFY(programs.starts[0].exactProgram);
    QCOMPARE(programs.starts[0].windowStyle, 1);
    QVERIFY(messages.messages.empty());
    QVERIFY(about->isVisible());
  }

  // Run on the default screen and again on a small one at a high scale (see CMakeLists.txt).
  void boxStandsWhereDesignedOrWhollyOnThePickersScreen() {
    ClockRandom random;
    frmMain picker({random, programs, messages, registry, files});
    picker.show();
    QPixmap banner(40, 150);
    frmAbout box(services(), banner, picker.layoutScale(), &picker);
    box.show();
    QVERIFY(QTest::qWaitForWindowExposed(&box));
    const QRect available = picker.screen()->availableGeometry();
    const QRect frame = box.frameGeometry();
    QVERIFY2(available.contains(frame), qPrintable(Describe(frame, available)));
    const QRect client = box.geometry();
    const QRect designed =
        QRect(195, 161, 478, 297)
            .marginsAdded(QMargins(client.left() - frame.left(), client.top() - frame.top(),
                                   frame.right() - client.right(),
                                   frame.bottom() - client.bottom()));
    QCOMPARE(frame.topLeft(), KeptOnScreen(designed, available));
  }

  void versionItemShowsAFreshBoxModallyWhileTheReelsSpin() {
    ClockRandom random;
    random.seed(3);
    frmMain window({random, programs, messages, registry, files});
    window.show();
    QVERIFY(QTest::qWaitForWindowActive(&window));

    int openings = 0;
    QString lastTitle;
    bool spunBehind = false;
    auto inspectAndClose = [&] {
      auto* box = qobject_cast<frmAbout*>(QApplication::activeModalWidget());
      QVERIFY(box);
      ++openings;
      lastTitle = box->findChild<QLabel*>("lblTitle")->text();
      QCOMPARE(box->parentWidget(), &window);  // no taskbar button of its own
      const qint64 before = window.Command(1).picture().cacheKey();
      QTRY_VERIFY(window.Command(1).picture().cacheKey() != before);
      spunBehind = true;
      box->findChild<QLabel*>("lblTitle")->setText("changed");
      QTest::keyClick(box, Qt::Key_Escape);
    };
    for (int opening = 0; opening < 2; ++opening) {
      spunBehind = false;
      QTimer::singleShot(0, inspectAndClose);
      window.mnu_version_Click();  // returns only once the box is closed
      QVERIFY(spunBehind);
      QCOMPARE(lastTitle, QStringLiteral("ﾀﾏﾋﾛｲ"));         // load ran again on the second opening
      QVERIFY(window.findChildren<frmAbout*>().isEmpty());  // discarded when closed
    }
    QCOMPARE(openings, 2);
  }
};

QTEST_MAIN(AboutTest)
#include "about_test.moc"
