// Our help viewer with the program's help as built (help_f1_test checks its title and heading):
// it scrolls, every link leads to an anchor, every picture loads at the screen's density, and
// Esc closes it; a help file it cannot show is reported in its own window; links and pictures
// stay with the help; Qt's own texts are Japanese. Run at 1x and, as help_viewer_test_2x, at 2x.
#include <QDesktopServices>
#include <QImageReader>
#include <QMenu>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QtTest>

#include "CaptionsFit.h"
#include "HelpFile.h"
#include "HelpViewer.h"
#include "HelpWindow.h"

namespace {
const QString kHelpFolder = QStringLiteral(TH_HELP_BUILD_DIR);

// Stands in for the desktop's programs that open addresses.
class UrlRecorder : public QObject {
  Q_OBJECT

public:
  QList<QUrl> opened;

public slots:
  void open(const QUrl& url) { opened << url; }
};

// Notes what the taskbar was told, and how many windows there were then.
class RecordingTaskbar final : public TaskbarGroup {
public:
  QString appId;
  qsizetype windowsAtJoin = -1;
  const QWidget* unpinnable = nullptr;
  bool unpinnableWasShown = false;

  void join(const QString& id) override {
    appId = id;
    windowsAtJoin = QApplication::topLevelWidgets().size();
  }
  void preventPinning(QWidget& window) override {
    unpinnable = &window;
    unpinnableWasShown = window.isVisible();
  }
};
}  // namespace

class HelpViewerTest : public QObject {
  Q_OBJECT

  std::unique_ptr<HelpWindow> window;

private slots:
  void init() { window = std::make_unique<HelpWindow>(); }
  void cleanup() { window.reset(); }

  // Run on a screen with room for the widest picture at every font's own scale, at 1x and 2x,
  // and on a small one (see CMakeLists.txt).
  void programHelpScrollsFollowsItsLinksShowsItsPicturesAndClosesWithEsc_data() {
    AddDesktopFontRows();
  }

  void programHelpScrollsFollowsItsLinksShowsItsPicturesAndClosesWithEsc() {
    QFETCH(qreal, points);
    const DesktopFont font(points);
    window = std::make_unique<HelpWindow>();  // at that font
    window->showHelp(FindHelpFile("TH.hlp", kHelpFolder));
    window->show();
    QVERIFY(QTest::qWaitForWindowActive(window.get()));
    QScrollBar* scroll = window->browser().verticalScrollBar();
    QVERIFY(scroll->value() == 0 && scroll->maximum() > 0);
    // The window takes its width from the text and stays within nine tenths of the screen; the
    // widest picture fits in it.
    QVERIFY(window->width() <= (window->screen()->availableSize() * 9 / 10).width());
    QCOMPARE(window->browser().horizontalScrollBar()->maximum(), 0);
    // The pictures grow with the text, as far as the screen holds them.
    const qreal scale = window->browser().layoutScale().factor();
    const qreal fonts = LayoutScale::ForFont(QApplication::font()).factor();
    QVERIFY(scale <= fonts);
    if (qEnvironmentVariableIsSet("TH_ROOM_FOR_EVERY_FONT")) QCOMPARE(scale, fonts);

    QSet<QString> anchors;
    QStringList links, pictures;
    for (QTextBlock block = window->browser().document()->begin(); block.isValid();
         block = block.next()) {
      for (auto it = block.begin(); !it.atEnd(); ++it) {
        const QTextCharFormat format = it.fragment().charFormat();
        for (const QString& name : format.anchorNames()) anchors.insert(name);
        if (!format.anchorHref().isEmpty()) links << format.anchorHref();
        if (format.isImageFormat()) pictures << format.toImageFormat().name();
      }
    }
    QVERIFY(links.size() >= 9 && pictures.size() >= 6);
    for (const QString& link : links)
      QVERIFY2(link.startsWith('#') && anchors.contains(link.mid(1)), qPrintable(link));
    for (const QString& picture : pictures) {
      const QVariant loaded =
          window->browser().loadResource(QTextDocument::ImageResource, QUrl(picture));
      const QImage image = loaded.canConvert<QImage>() ? loaded.value<QImage>()
                                                       : QImage::fromData(loaded.toByteArray());
      QVERIFY2(!image.isNull(), qPrintable(picture));
      // At 2x the drawing with twice the pixels: sharp, and the same size in the page; its
      // designed size (its 1x file's) times the scale, within a pixel of rounding.
      QCOMPARE(image.devicePixelRatio(), window->devicePixelRatio());
      const QSizeF expected = QSizeF(QImageReader(kHelpFolder + "/" + picture).size()) * scale;
      const QSizeF size = image.deviceIndependentSize();
      QVERIFY2(qAbs(size.width() - expected.width()) <= 1 &&
                   qAbs(size.height() - expected.height()) <= 1,
               qPrintable(picture));
    }

    QTest::keyClick(&window->browser(), Qt::Key_Escape);
    QTRY_VERIFY(!window->isVisible());
  }

  void unusableHelpFileIsReportedInItsWindow_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("lookedAt");  // under the help folder
    QTest::addColumn<QString>("problem");
    QTest::newRow("a name the help folder lacks") << "NONE.hlp"
                                                  << "/NONE.html"
                                                  << "ﾍﾙﾌﾟﾌｧｲﾙ「NONE.hlp」が見つかりません。";
    QTest::newRow("a path, taken as it stands") << "/th-none/TH.hlp"
                                                << ""
                                                << "ﾍﾙﾌﾟﾌｧｲﾙ「/th-none/TH.hlp」が見つかりません。";
    QTest::newRow("a folder in the page's place")
        << "DIR.hlp"
        << "/DIR.html"
        << "ﾍﾙﾌﾟﾌｧｲﾙ「DIR.hlp」はﾌｫﾙﾀﾞで、ﾌｧｲﾙではありません。";
    QTest::newRow("a page over the largest size")
        << "BIG.hlp"
        << "/BIG.html"
        << "ﾍﾙﾌﾟﾌｧｲﾙ「BIG.hlp」は大きすぎて表示できません "
           "(5 MB まで)。";
  }

  void unusableHelpFileIsReportedInItsWindow() {
    QFETCH(QString, name);
    QFETCH(QString, lookedAt);
    QFETCH(QString, problem);
    QTemporaryDir folder;
    QVERIFY(QDir(folder.path()).mkdir("DIR.html"));
    QFile big(folder.filePath("BIG.html"));
    QVERIFY(big.open(QIODevice::WriteOnly) && big.resize(kLargestHelpFile + 1));
    const HelpFile help = FindHelpFile(name, folder.path());
    QCOMPARE(help.path, lookedAt.isEmpty() ? name : folder.path() + lookedAt);
    QCOMPARE(help.problem, problem);

    window->showHelp(help);
    window->show();
    QCOMPARE(window->windowTitle(), QStringLiteral("ﾀﾏﾋﾛｲのﾍﾙﾌﾟ"));
    QCOMPARE(window->firstHeading(), QStringLiteral("ﾍﾙﾌﾟを表示できません"));
    const QString shown = window->browser().toPlainText();
    QVERIFY2(shown.contains(problem) && shown.contains(help.path), qPrintable(shown));
    // Room for lines of text, not a sliver.
    QVERIFY(window->width() >= 25 * window->fontMetrics().horizontalAdvance(QChar(0x3042)));
  }

  // Links and pictures of a page: web pages and mail go to the desktop, the help's own files
  // show here, and nothing from elsewhere is followed or read, not even through a link in the
  // file system or as a picture.
  void linksAndPicturesStayWithTheHelp_data() {
    QTest::addColumn<QString>("address");  // as a page would write it
    QTest::addColumn<int>("action");
    const int here = int(LinkAction::ShowHere), desktop = int(LinkAction::HandToDesktop),
              refused = int(LinkAction::Refuse);
    QTest::newRow("web page") << "https://example.org/lotto" << desktop;
    QTest::newRow("plain web page") << "HTTP://example.org/" << desktop;
    QTest::newRow("mail") << "mailto:team@tamahiroi.invalid" << desktop;
    QTest::newRow("anchor") << "#use" << here;
    QTest::newRow("page of the help") << "more/other.html" << here;
    QTest::newRow("picture of the help") << "pic.png" << here;
    QTest::newRow("file transfer") << "ftp://example.org/x" << refused;
    QTest::newRow("script") << "javascript:alert(1)" << refused;
    QTest::newRow("other folder") << "../outside.png" << refused;
    QTest::newRow("folder whose name starts with the help's") << "../help-other/pic.png" << refused;
    QTest::newRow("absolute path") << "file:///etc/passwd" << refused;
    QTest::newRow("link out of the folder") << "out.png" << refused;
    QTest::newRow("too large") << "big.png" << refused;
    QTest::newRow("missing") << "none.html" << refused;
  }

  void linksAndPicturesStayWithTheHelp() {
    QFETCH(QString, address);
    QFETCH(int, action);
    QTemporaryDir top;
    const QDir dir(top.path());
    QVERIFY(dir.mkpath("help/more") && dir.mkpath("help-other"));
    const QString page = dir.filePath("help/TH.html");
    for (const QString& name : {page, dir.filePath("help/more/other.html")}) {
      QFile file(name);
      QVERIFY(file.open(QIODevice::WriteOnly));
      file.write("<h1 id=\"use\">x</h1><p>" + QByteArray(4000, 'y') + "</p><a name=\"use\"></a>");
    }
    QImage picture(4, 4, QImage::Format_RGB32);
    picture.fill(Qt::red);
    QVERIFY(picture.save(dir.filePath("help/pic.png")) &&
            picture.save(dir.filePath("outside.png")) &&
            picture.save(dir.filePath("help-other/pic.png")));
    QVERIFY(QFile::link(dir.filePath("outside.png"), dir.filePath("help/out.png")));
    QFile big(dir.filePath("help/big.png"));
    QVERIFY(big.open(QIODevice::WriteOnly) && big.resize(kLargestHelpFile + 1));

    window->showHelp(FindHelpFile(page, {}));
    HelpBrowser& browser = window->browser();
    const QUrl link = browser.source().resolved(QUrl(address));
    QCOMPARE(int(ActionForLink(link, dir.filePath("help"))), action);

    // Followed, the link goes where its action says, and nowhere else.
    UrlRecorder desktop;
    for (const char* scheme : {"http", "https", "mailto", "ftp", "file", "javascript"})
      QDesktopServices::setUrlHandler(scheme, &desktop, "open");
    browser.followLink(QUrl(address));
    for (const char* scheme : {"http", "https", "mailto", "ftp", "file", "javascript"})
      QDesktopServices::unsetUrlHandler(scheme);
    QCOMPARE(desktop.opened,
             action == int(LinkAction::HandToDesktop) ? QList<QUrl>{link} : QList<QUrl>{});
    QCOMPARE(browser.source(),
             action == int(LinkAction::ShowHere) ? link : QUrl::fromLocalFile(page));
    browser.setSource(QUrl::fromLocalFile(page));
    const QVariant loaded = browser.loadResource(QTextDocument::ImageResource, QUrl(address));
    QCOMPARE(loaded.isValid(), action == int(LinkAction::ShowHere));
  }

  // TH is the viewer only when its first argument is exactly the marker; anything else is the
  // picker's command line, which it does not read.
  void commandLineChoosesTheMode_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<bool>("viewer");
    const QString marker = kHelpViewerMarker;
    QTest::newRow("no argument") << QStringList{"TH.exe"} << false;
    QTest::newRow("the marker and a file") << QStringList{"TH.exe", marker, "TH.hlp"} << true;
    QTest::newRow("the marker alone") << QStringList{"TH.exe", marker} << true;
    QTest::newRow("a file named like the marker")
        << QStringList{"TH.exe", marker + ".hlp"} << false;
    QTest::newRow("the marker in capitals") << QStringList{"TH.exe", marker.toUpper()} << false;
    QTest::newRow("the marker after a file") << QStringList{"TH.exe", "TH.hlp", marker} << false;
    QTest::newRow("stray arguments") << QStringList{"TH.exe", "-x", "TH.hlp"} << false;
  }

  void commandLineChoosesTheMode() {
    QFETCH(QStringList, arguments);
    QFETCH(bool, viewer);
    std::vector<QByteArray> bytes;
    std::vector<const char*> argv;
    for (const QString& argument : arguments) bytes.push_back(argument.toUtf8());
    for (const QByteArray& argument : bytes) argv.push_back(argument.constData());
    QCOMPARE(AsksForHelpViewer(int(argv.size()), argv.data()), viewer);
  }

  // The help's windows are filed under its own id before the first of them exists, and its
  // window cannot be pinned (it would come back as the picker).
  void helpJoinsItsTaskbarGroupBeforeItsWindow() {
    // A help of its own: the test's other runs claim the built help's channel.
    QTemporaryDir folder;
    QFile page(folder.filePath("TH.html"));
    QVERIFY(page.open(QIODevice::WriteOnly) && page.write("<h1>x</h1>") > 0);
    page.close();
    RecordingTaskbar taskbar;
    const qsizetype before = QApplication::topLevelWidgets().size();
    const HelpViewerSession session =
        OpenHelpViewer("TH.hlp", folder.path(), taskbar, "jp.example.Help");
    QVERIFY(session.window != nullptr);
    QCOMPARE(taskbar.appId, QStringLiteral("jp.example.Help"));
    QCOMPARE(taskbar.windowsAtJoin, before);
    QCOMPARE(taskbar.unpinnable, session.window.get());
    QVERIFY(!taskbar.unpinnableWasShown);
    QCOMPARE(session.window->firstHeading(), QStringLiteral("x"));
  }

  void qtOwnTextsAreJapanese() {
    if (!InstallQtTranslations()) QSKIP("Qt's translations are not installed");
    window->showHelp(FindHelpFile("TH.hlp", kHelpFolder));
    const std::unique_ptr<QMenu> menu(window->browser().createStandardContextMenu());
    QStringList texts;
    for (const QAction* action : menu->actions()) texts << action->text();
    QVERIFY2(texts.join(' ').contains("すべてを選択"), qPrintable(texts.join(' ')));
  }
};

QTEST_MAIN(HelpViewerTest)
#include "help_viewer_test.moc"
