#pragma once

// Our help viewer's window. Where Windows has its own help viewer, other systems start this
// one in its place (see SystemProgramStarter): a page browser that shows one help file and
// follows its links.

#include <QLoggingCategory>
#include <QTextBrowser>
#include <QWidget>

#include "HelpFile.h"
#include "Twips.h"

/// Silent unless asked for, e.g. QT_LOGGING_RULES="<TH_DATA_NAME>.help.info=true": what the viewer
/// shows, refuses and hands over (the tests that drive the real viewer read it).
Q_DECLARE_LOGGING_CATEGORY(lcHelp)

/// What the viewer does with a link that the user follows.
enum class LinkAction {
  ShowHere,       ///< a file of the help's own folder: shown in the viewer
  HandToDesktop,  ///< a web page or a mail address: opened by the desktop's own program
  Refuse,         ///< anything else (another folder, another kind of address): nothing
};

/// The action for a link, given as an absolute address, from a help kept in `helpFolder`.
LinkAction ActionForLink(const QUrl& link, const QString& helpFolder);

/// True when `path` is a file in `helpFolder` or below it, also after following links, and no
/// larger than kLargestHelpFile.
bool IsHelpFolderFile(const QString& path, const QString& helpFolder);

/// Puts Qt's own texts (the page's context menu, say) into Japanese, like the viewer's own:
/// from the catalogue built into the program where there is one, else from Qt's installed
/// translations. False when neither has it.
bool InstallQtTranslations();

/// The page browser. It reads nothing outside the help's own folder, no file larger than
/// kLargestHelpFile, and shows a page's pictures at its layout scale, taken at the screen's pixel
/// density where the help folder has them ("NAME@2x.png" beside "NAME.png").
class HelpBrowser : public QTextBrowser {
  Q_OBJECT

public:
  using QTextBrowser::QTextBrowser;

  /// The folder whose files the browser may read; none when empty.
  void setHelpFolder(const QString& folder) { m_helpFolder = folder; }
  /// The scale pictures loaded from now on are shown at, as the windows are laid out.
  void setLayoutScale(LayoutScale scale) { m_scale = scale; }
  LayoutScale layoutScale() const { return m_scale; }
  QVariant loadResource(int type, const QUrl& name) override;

  /// Follows a link as ActionForLink says.
  void followLink(const QUrl& link);

private:
  QString m_helpFolder;
  LayoutScale m_scale;
};

/// A normal top-level window titled "ﾀﾏﾋﾛｲのﾍﾙﾌﾟ" that shows a help file, or says in its page
/// why it cannot. Esc and the close box close it.
class HelpWindow : public QWidget {
  Q_OBJECT

public:
  explicit HelpWindow(QWidget* parent = nullptr);

  /// Shows the file's first page from its top, or the problem with it; sizes the window to fit.
  /// Its pictures grow with its text, as the windows do, as far as the screen holds them.
  void showHelp(const HelpFile& help);

  /// Shows the window in front of the others and activates it, also when it was minimised.
  void bringToFront();

  HelpBrowser& browser() const { return *m_browser; }
  /// The text of the shown page's first heading; empty when it has none.
  QString firstHeading() const;

private:
  /// The page's width laid out at `textWidth`, its pictures and margins included.
  int pageWidth(int textWidth) const;
  /// Lowers the pictures' scale, where the page (`width` wide) is wider than `room` for its
  /// widest picture, to what fits, as the windows' scale is lowered to fit the screen. True when
  /// it did.
  bool fitPictures(int room, int width);

  HelpBrowser* m_browser = nullptr;
};
