#include "HelpWindow.h"

#include <QDir>
#include <QFileInfo>
#include <QKeySequence>
#include <QLoggingCategory>
#include <QScreen>
#include <QScrollBar>
#include <QShortcut>
#include <QTextBlock>
#include <QVBoxLayout>
#include <QtMath>
#include <memory>

#include "AppInfo.h"

// Silent unless asked for, e.g. QT_LOGGING_RULES="tamahiroi.help.info=true": what was shown.
Q_LOGGING_CATEGORY(lcHelp, "tamahiroi.help", QtWarningMsg)

QVariant HelpBrowser::loadResource(int type, const QUrl& name) {
  const qreal ratio = devicePixelRatioF();
  const QUrl url = source().resolved(name);
  if (type == QTextDocument::ImageResource && ratio > 1.0 && url.isLocalFile()) {
    const QFileInfo file(url.toLocalFile());
    QImage image(file.dir().filePath(file.completeBaseName() + "@2x." + file.suffix()));
    if (!image.isNull()) {
      // The 2x drawing serves every density above 1: it keeps its size in the page, sharp.
      image.setDevicePixelRatio(2.0);
      return image;
    }
  }
  return QTextBrowser::loadResource(type, name);
}

HelpWindow::HelpWindow(QWidget* parent) : QWidget(parent) {
  setObjectName("helpWindow");
  setWindowTitle(QString::fromUtf8(AppInfo::kTitle) + "のﾍﾙﾌﾟ");

  m_browser = new HelpBrowser(this);
  m_browser->setObjectName("helpBrowser");
  // Links to other sites open in the desktop's web browser; the help's own pages open here.
  m_browser->setOpenExternalLinks(true);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(m_browser);

  auto* close = new QShortcut(QKeySequence(Qt::Key_Escape), this);
  close->setObjectName("closeShortcut");
  connect(close, &QShortcut::activated, this, &QWidget::close);
  // The page's text size follows the desktop's font; these and Ctrl with the wheel change it.
  auto* zoomIn = new QShortcut(QKeySequence::ZoomIn, this);
  connect(zoomIn, &QShortcut::activated, m_browser, [this] { m_browser->zoomIn(); });
  auto* zoomOut = new QShortcut(QKeySequence::ZoomOut, this);
  connect(zoomOut, &QShortcut::activated, m_browser, [this] { m_browser->zoomOut(); });
}

void HelpWindow::showHelp(const HelpFile& help) {
  if (help.problem.isEmpty()) {
    m_browser->setSource(QUrl::fromLocalFile(help.path));
  } else {
    // Said here, in the viewer's own window: the program that started the viewer is not told.
    m_browser->setHtml("<h2>ﾍﾙﾌﾟを表示できません</h2><p>" + help.problem.toHtmlEscaped() +
                       "</p><p>探した場所: " + help.path.toHtmlEscaped() + "</p>");
  }
  qCInfo(lcHelp).noquote() << "showing" << help.path << "first heading:" << firstHeading();

  // Wide enough for the page's pictures and tables and about 40 characters of text, and about
  // 40 lines high; within the screen. Sizes follow the desktop's font, not pixels.
  const QFontMetrics metrics(m_browser->font());
  const int em = metrics.horizontalAdvance(QChar(0x3042));  // a full-width character
  m_browser->document()->setDocumentMargin(em);
  // Measured on a copy: the browser's own page takes the width of the widget as it is now.
  // The copy loads its pictures through the browser, at the screen's density.
  const std::unique_ptr<QTextDocument> measure(m_browser->document()->clone(m_browser));
  measure->setTextWidth(40 * em);
  const int chrome =
      2 * m_browser->frameWidth() + m_browser->verticalScrollBar()->sizeHint().width();
  QSize wanted(qCeil(measure->size().width()) + chrome, 40 * metrics.lineSpacing());
  if (const QScreen* screen = this->screen())
    wanted = wanted.boundedTo(screen->availableGeometry().size() * 9 / 10);
  resize(wanted);
}

QString HelpWindow::firstHeading() const {
  for (QTextBlock block = m_browser->document()->begin(); block.isValid(); block = block.next())
    if (block.blockFormat().headingLevel() > 0) return block.text().trimmed();
  return {};
}
