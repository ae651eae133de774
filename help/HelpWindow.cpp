#include "HelpWindow.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QKeySequence>
#include <QLibraryInfo>
#include <QLoggingCategory>
#include <QScreen>
#include <QScrollBar>
#include <QShortcut>
#include <QTextBlock>
#include <QTimer>
#include <QTranslator>
#include <QVBoxLayout>
#include <QtMath>
#include <memory>

#include "AppInfo.h"
#include "PictureBanks.h"

Q_LOGGING_CATEGORY(lcHelp, TH_HELP_LOG_CATEGORY, QtWarningMsg)

bool IsHelpFolderFile(const QString& path, const QString& helpFolder) {
  const QFileInfo file(path);
  const QString canonical = file.canonicalFilePath();
  const QString folder = QFileInfo(helpFolder).canonicalFilePath();
  return !canonical.isEmpty() && !folder.isEmpty() && canonical.startsWith(folder + '/') &&
         file.isFile() && file.size() <= kLargestHelpFile;
}

LinkAction ActionForLink(const QUrl& link, const QString& helpFolder) {
  const QString scheme = link.scheme().toLower();
  if (scheme == "http" || scheme == "https" || scheme == "mailto") return LinkAction::HandToDesktop;
  if (link.isLocalFile() && IsHelpFolderFile(link.toLocalFile(), helpFolder))
    return LinkAction::ShowHere;
  return LinkAction::Refuse;
}

bool InstallQtTranslations() {
  auto* translator = new QTranslator(QCoreApplication::instance());
  if (translator->load("qtbase_ja", ":/translations") ||
      translator->load("qtbase_ja", QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
    return QCoreApplication::installTranslator(translator);
  }
  delete translator;
  return false;
}

QVariant HelpBrowser::loadResource(int type, const QUrl& name) {
  const QUrl url = source().resolved(name);
  // A page may name any file or address; the viewer reads only its own help's files.
  if (!url.isLocalFile() || !IsHelpFolderFile(url.toLocalFile(), m_helpFolder)) {
    qCInfo(lcHelp).noquote() << "not read:" << url.toString();
    return {};
  }
  if (type == QTextDocument::ImageResource) {
    const QFileInfo file(url.toLocalFile());
    const QString sharp = file.dir().filePath(file.completeBaseName() + "@2x." + file.suffix());
    const qreal ratio = devicePixelRatioF();
    QImage image;
    qreal drawn = 1.0;
    if (WantsSharpPicture(ratio, m_scale.factor()) && IsHelpFolderFile(sharp, m_helpFolder) &&
        image.load(sharp))
      drawn = 2.0;
    else if (!image.load(file.filePath()))
      return QTextBrowser::loadResource(type, name);  // not a picture: as the toolkit reads it
    return PictureForScreen(std::move(image), drawn, ratio, m_scale.factor());
  }
  return QTextBrowser::loadResource(type, name);
}

void HelpBrowser::followLink(const QUrl& link) {
  const QUrl url = source().resolved(link);
  switch (ActionForLink(url, m_helpFolder)) {
    case LinkAction::ShowHere:
      setSource(url);
      break;
    case LinkAction::HandToDesktop:
      QDesktopServices::openUrl(url);
      break;
    case LinkAction::Refuse:
      qCInfo(lcHelp).noquote() << "not followed:" << url.toString();
      break;
  }
}

HelpWindow::HelpWindow(QWidget* parent) : QWidget(parent) {
  setObjectName("helpWindow");
  setWindowTitle(QString::fromUtf8(AppInfo::kTitle) + "のﾍﾙﾌﾟ");

  m_browser = new HelpBrowser(this);
  m_browser->setObjectName("helpBrowser");
  // Links to web pages and mail addresses go to the desktop's programs, the help's own pages
  // open here, and nothing else is followed.
  m_browser->setOpenLinks(false);
  connect(m_browser, &QTextBrowser::anchorClicked, m_browser, &HelpBrowser::followLink);
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
  m_browser->setLayoutScale(LayoutScale::ForFont(m_browser->font()));
  if (help.problem.isEmpty()) {
    m_browser->setHelpFolder(QFileInfo(help.path).absolutePath());
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
  const int chrome =
      2 * m_browser->frameWidth() + m_browser->verticalScrollBar()->sizeHint().width();
  const QSize screen =
      this->screen() != nullptr ? this->screen()->availableGeometry().size() * 9 / 10 : QSize();
  int width = pageWidth(40 * em);
  if (screen.isValid() && width + chrome > screen.width() &&
      fitPictures(screen.width() - chrome, width))
    width = pageWidth(40 * em);
  QSize wanted(width + chrome, 40 * metrics.lineSpacing());
  if (screen.isValid()) wanted = wanted.boundedTo(screen);
  resize(wanted);
}

int HelpWindow::pageWidth(int textWidth) const {
  const int em = m_browser->fontMetrics().horizontalAdvance(QChar(0x3042));
  m_browser->document()->setDocumentMargin(em);
  // Measured on a copy: the browser's own page takes the width of the widget as it is now.
  // The copy loads its pictures through the browser, at the screen's density.
  const std::unique_ptr<QTextDocument> measure(m_browser->document()->clone(m_browser));
  measure->setTextWidth(textWidth);
  return qCeil(measure->size().width());
}

bool HelpWindow::fitPictures(int room, int width) {
  // The widest picture at its designed size.
  const LayoutScale shown = m_browser->layoutScale();
  QTextDocument& page = *m_browser->document();
  qreal widest = 0;
  for (QTextBlock block = page.begin(); block.isValid(); block = block.next()) {
    for (auto it = block.begin(); !it.atEnd(); ++it) {
      const QTextCharFormat format = it.fragment().charFormat();
      if (!format.isImageFormat()) continue;
      const QVariant picture =
          page.resource(QTextDocument::ImageResource, QUrl(format.toImageFormat().name()));
      if (picture.canConvert<QImage>())
        widest =
            qMax(widest, picture.value<QImage>().deviceIndependentSize().width() / shown.factor());
    }
  }
  // The page around its widest picture keeps its width; the picture gets what room is left.
  const qreal around = width - widest * shown.factor();
  if (widest <= 0 || room <= around) return false;
  const LayoutScale fitted = shown.atMost((room - around) / widest);
  if (fitted == shown) return false;
  // Loaded again, at the lowered scale.
  m_browser->setLayoutScale(fitted);
  m_browser->reload();
  return true;
}

void HelpWindow::bringToFront() {
  qCInfo(lcHelp) << "brought to the front";
  setWindowState((windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
  show();
  raise();
  activateWindow();
  // X11 drops a focus request stamped earlier than the last focus change, and Qt stamps it with
  // the last event time it saw, which may be that old; the request brings a fresh one back, so
  // it is made once more.
  QTimer::singleShot(50, this, &QWidget::activateWindow);
}

QString HelpWindow::firstHeading() const {
  for (QTextBlock block = m_browser->document()->begin(); block.isValid(); block = block.next())
    if (block.blockFormat().headingLevel() > 0) return block.text().trimmed();
  return {};
}
