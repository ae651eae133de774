// Our help viewer with the program's own help as built: it opens at the page's first heading,
// every link leads somewhere and every picture loads at the screen's pixel density, links move
// the page and Alt+Left comes back, a help file it cannot show is reported in its own window,
// and Esc closes it. Run at 1x and, as help_viewer_test_2x, at 2x.
#include <unistd.h>
#include <QFile>
#include <QRegularExpression>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QtTest>

#include "HelpFile.h"
#include "HelpWindow.h"

namespace {

const QString kHelpFolder = QStringLiteral(TH_HELP_BUILD_DIR);

// The text of the first <h1> of the help's source, tags removed.
QString FirstHeadingOfSource() {
  QFile file(kHelpFolder + "/TH.html");
  if (!file.open(QIODevice::ReadOnly)) return {};
  const QString html = QString::fromUtf8(file.readAll());
  const QRegularExpressionMatch h1 = QRegularExpression("<h1>(.*?)</h1>").match(html);
  return QString(h1.captured(1)).remove(QRegularExpression("<[^>]*>"));
}

// Every fragment of the shown page, in order.
template <class Visit>
void ForEachFragment(QTextDocument* document, Visit visit) {
  for (QTextBlock block = document->begin(); block.isValid(); block = block.next())
    for (auto it = block.begin(); !it.atEnd(); ++it) visit(it.fragment());
}

}  // namespace

class HelpViewerTest : public QObject {
  Q_OBJECT

  std::unique_ptr<HelpWindow> window;

  void showProgramHelp() {
    const HelpFile help = FindHelpFile("TH.hlp", kHelpFolder);
    QVERIFY2(help.problem.isEmpty(), qPrintable(help.problem));
    window->showHelp(help);
    window->show();
    QVERIFY(QTest::qWaitForWindowActive(window.get()));
  }

private slots:
  void init() { window = std::make_unique<HelpWindow>(); }
  void cleanup() { window.reset(); }

  void programHelpOpensAtItsFirstHeading() {
    showProgramHelp();
    QCOMPARE(window->windowTitle(), QStringLiteral("ﾀﾏﾋﾛｲのﾍﾙﾌﾟ"));
    QVERIFY(window->isWindow());
    QVERIFY(!FirstHeadingOfSource().isEmpty());
    QCOMPARE(window->firstHeading(), FirstHeadingOfSource());
    QCOMPARE(window->browser().source().fileName(), QStringLiteral("TH.html"));
    // From the top, and more than one screenful: the page scrolls.
    QCOMPARE(window->browser().verticalScrollBar()->value(), 0);
    QVERIFY(window->browser().verticalScrollBar()->maximum() > 0);
    // Within the screen, and where the screen leaves room, wide enough for the widest picture.
    const QSize screen = window->screen()->availableGeometry().size();
    QVERIFY(window->width() <= screen.width() && window->height() <= screen.height());
    if (window->width() < screen.width() * 9 / 10)
      QCOMPARE(window->browser().horizontalScrollBar()->maximum(), 0);
  }

  void everyLinkLeadsToAnAnchorAndEveryPictureLoads() {
    showProgramHelp();
    QSet<QString> anchors;
    QStringList links;
    QStringList pictures;
    ForEachFragment(window->browser().document(), [&](const QTextFragment& fragment) {
      const QTextCharFormat format = fragment.charFormat();
      for (const QString& name : format.anchorNames()) anchors.insert(name);
      if (format.isAnchor() && !format.anchorHref().isEmpty()) links << format.anchorHref();
      if (format.isImageFormat()) pictures << format.toImageFormat().name();
    });
    QVERIFY(links.size() >= 9);
    for (const QString& link : links) {
      QVERIFY2(link.startsWith('#'), qPrintable("a link out of the page: " + link));
      QVERIFY2(anchors.contains(link.mid(1)), qPrintable("no anchor for " + link));
    }
    QVERIFY(pictures.size() >= 6);
    const qreal ratio = window->devicePixelRatio();
    for (const QString& picture : pictures) {
      const QVariant loaded =
          window->browser().loadResource(QTextDocument::ImageResource, QUrl(picture));
      const QImage image = loaded.canConvert<QImage>() ? loaded.value<QImage>()
                                                       : QImage::fromData(loaded.toByteArray());
      QVERIFY2(!image.isNull(), qPrintable("no picture " + picture));
      // At 2x the drawing with twice the pixels, so the picture is sharp and keeps its size.
      QCOMPARE(image.devicePixelRatio(), ratio);
    }
  }

  void linkMovesThePageAndAltLeftComesBack() {
    showProgramHelp();
    HelpBrowser& browser = window->browser();
    // The contents entry for the last section, clicked where it is drawn.
    int at = -1;
    ForEachFragment(browser.document(), [&](const QTextFragment& fragment) {
      if (at < 0 && fragment.charFormat().anchorHref() == "#help")
        at = fragment.position() + fragment.length() / 2;
    });
    QVERIFY(at >= 0);
    QTextCursor cursor(browser.document());
    cursor.setPosition(at);
    browser.setTextCursor(cursor);
    browser.ensureCursorVisible();
    const int before = browser.verticalScrollBar()->value();
    QTest::mouseClick(browser.viewport(), Qt::LeftButton, {}, browser.cursorRect(cursor).center());
    QTRY_COMPARE(browser.source().fragment(), QStringLiteral("help"));
    QVERIFY(browser.verticalScrollBar()->value() > before);

    QTest::keyClick(&browser, Qt::Key_Left, Qt::AltModifier);
    QTRY_COMPARE(browser.source().fragment(), QString());
    QCOMPARE(browser.verticalScrollBar()->value(), before);
  }

  void unusableHelpFileIsReportedInTheWindow_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("folder");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<QString>("lookedAt");
    const QString elsewhere = QDir::tempPath() + "/th-no-such-folder";
    QTest::newRow("a help name the folder lacks")
        << "NONE.hlp" << kHelpFolder << "ﾍﾙﾌﾟﾌｧｲﾙ「NONE.hlp」が見つかりません。"
        << kHelpFolder + "/NONE.html";
    QTest::newRow("a path to nothing, taken as it stands")
        << elsewhere + "/TH.hlp" << kHelpFolder
        << "ﾍﾙﾌﾟﾌｧｲﾙ「" + elsewhere + "/TH.hlp」が見つかりません。" << elsewhere + "/TH.hlp";
    QTest::newRow("a folder where the page should be")
        << "FOLDER.hlp" << QString() << "ﾍﾙﾌﾟﾌｧｲﾙ「FOLDER.hlp」はﾌｫﾙﾀﾞで、ﾌｧｲﾙではありません。"
        << "FOLDER.html";
    QTest::newRow("a page that may not be read")
        << "LOCKED.hlp" << QString() << "ﾍﾙﾌﾟﾌｧｲﾙ「LOCKED.hlp」を読み込めません"
        << "LOCKED.html";
  }

  void unusableHelpFileIsReportedInTheWindow() {
    QFETCH(QString, name);
    QFETCH(QString, folder);
    QFETCH(QString, expected);
    QFETCH(QString, lookedAt);
    QTemporaryDir scratch;
    if (folder.isEmpty()) {
      // A folder of its own, holding a folder named like a page and a page nobody may read.
      folder = scratch.path();
      lookedAt = folder + "/" + lookedAt;
      QVERIFY(QDir(folder).mkdir("FOLDER.html"));
      QFile locked(folder + "/LOCKED.html");
      QVERIFY(locked.open(QIODevice::WriteOnly));
      locked.write("<h1>x</h1>");
      locked.setPermissions({});
      if (name == "LOCKED.hlp" && geteuid() == 0) QSKIP("root reads every file");
    }

    const HelpFile help = FindHelpFile(name, folder);
    QCOMPARE(help.path, lookedAt);
    QVERIFY2(help.problem.startsWith(expected), qPrintable(help.problem));

    window->showHelp(help);
    window->show();
    QCOMPARE(window->windowTitle(), QStringLiteral("ﾀﾏﾋﾛｲのﾍﾙﾌﾟ"));
    // Room for lines of text, not a sliver.
    const int em = window->fontMetrics().horizontalAdvance(QChar(0x3042));
    QVERIFY2(window->width() >= 25 * em, qPrintable(QString::number(window->width())));
    QCOMPARE(window->firstHeading(), QStringLiteral("ﾍﾙﾌﾟを表示できません"));
    const QString shown = window->browser().toPlainText();
    QVERIFY2(shown.contains(help.problem), qPrintable(shown));
    QVERIFY2(shown.contains(lookedAt), qPrintable(shown));
  }

  void escCloses() {
    showProgramHelp();
    QTest::keyClick(&window->browser(), Qt::Key_Escape);
    QTRY_VERIFY(!window->isVisible());
  }
};

QTEST_MAIN(HelpViewerTest)
#include "help_viewer_test.moc"
