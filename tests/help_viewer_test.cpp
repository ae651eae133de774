// Our help viewer with the program's help as built (help_f1_test checks its title and heading):
// it scrolls, every link leads to an anchor, every picture loads at the screen's density, and
// Esc closes it; a help file it cannot show is reported in its own window. Run at 1x and, as
// help_viewer_test_2x, at 2x.
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QtTest>

#include "HelpFile.h"
#include "HelpWindow.h"

namespace {
const QString kHelpFolder = QStringLiteral(TH_HELP_BUILD_DIR);
}  // namespace

class HelpViewerTest : public QObject {
  Q_OBJECT

  std::unique_ptr<HelpWindow> window;

private slots:
  void init() { window = std::make_unique<HelpWindow>(); }
  void cleanup() { window.reset(); }

  void programHelpScrollsFollowsItsLinksShowsItsPicturesAndClosesWithEsc() {
    window->showHelp(FindHelpFile("TH.hlp", kHelpFolder));
    window->show();
    QVERIFY(QTest::qWaitForWindowActive(window.get()));
    QScrollBar* scroll = window->browser().verticalScrollBar();
    QVERIFY(scroll->value() == 0 && scroll->maximum() > 0);
    if (window->width() < window->screen()->availableSize().width() * 9 / 10)
      QCOMPARE(window->browser().horizontalScrollBar()->maximum(), 0);  // the widest picture fits

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
      // At 2x the drawing with twice the pixels: sharp, and the same size in the page.
      QCOMPARE(image.devicePixelRatio(), window->devicePixelRatio());
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
  }

  void unusableHelpFileIsReportedInItsWindow() {
    QFETCH(QString, name);
    QFETCH(QString, lookedAt);
    QFETCH(QString, problem);
    QTemporaryDir folder;
    QVERIFY(QDir(folder.path()).mkdir("DIR.html"));
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
};

QTEST_MAIN(HelpViewerTest)
#include "help_viewer_test.moc"
