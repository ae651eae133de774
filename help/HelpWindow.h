#pragma once

// Our help viewer's window. Where Windows has its own help viewer, other systems start this
// one in its place (see SystemProgramStarter): a page browser that shows one help file and
// follows its links.

#include <QTextBrowser>
#include <QWidget>

#include "HelpFile.h"

/// The page browser: takes a page's pictures at the screen's pixel density where the help
/// folder has them ("NAME@2x.png" beside "NAME.png").
class HelpBrowser : public QTextBrowser {
  Q_OBJECT

public:
  using QTextBrowser::QTextBrowser;

  QVariant loadResource(int type, const QUrl& name) override;
};

/// A normal top-level window titled "ﾀﾏﾋﾛｲのﾍﾙﾌﾟ" that shows a help file, or says in its page
/// why it cannot. Esc and the close box close it.
class HelpWindow : public QWidget {
  Q_OBJECT

public:
  explicit HelpWindow(QWidget* parent = nullptr);

  /// Shows the file's first page from its top, or the problem with it; sizes the window to fit.
  void showHelp(const HelpFile& help);

  HelpBrowser& browser() const { return *m_browser; }
  /// The text of the shown page's first heading; empty when it has none.
  QString firstHeading() const;

private:
  HelpBrowser* m_browser = nullptr;
};
