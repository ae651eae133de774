// Our help viewer: shows the help file named on its command line ("TH.hlp" when none is named),
// where Windows would start its own help viewer.
#include <QApplication>
#include <QDir>

#include "Application.h"
#include "HelpFile.h"
#include "HelpWindow.h"
#include "PictureBanks.h"

int main(int argc, char* argv[]) {
  const auto app = StartApplication(argc, argv);
  QApplication::setApplicationName(TH_HELP_VIEWER);
  // The help belongs to the picker: desktops show it with the picker's entry and light bulb.
  QApplication::setDesktopFileName(TH_APP_ID);
  QApplication::setWindowIcon(PictureBanks::windowIcon());

  // The help files lie at the same place relative to this program in the installation and in
  // the build tree.
  const QString helpFolder = QDir(QApplication::applicationDirPath()).filePath(TH_HELP_FOLDER);
  const QStringList arguments = QApplication::arguments();
  const QString name = arguments.size() > 1 ? arguments.at(1) : QStringLiteral("TH.hlp");

  HelpWindow window;
  window.showHelp(FindHelpFile(name, helpFolder));
  window.show();
  window.raise();
  window.activateWindow();
  return QApplication::exec();
}
