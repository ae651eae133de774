// Our help viewer: shows the help file named on its command line ("TH.hlp" when none is named),
// where Windows would start its own help viewer. One window per help file: a second start for a
// file already shown brings that window to the front and ends.
#include <QApplication>
#include <QDir>
#include <cstdio>
#include <optional>
#include <string_view>

#include "AppInfo.h"
#include "Application.h"
#include "HelpFile.h"
#include "HelpWindow.h"
#include "PictureBanks.h"
#include "WindowClaim.h"

namespace {

// Kept to what the manual page tamahiroi-help.1 says; %s is the product's name.
constexpr char kUsage[] =
    "Usage: " TH_HELP_VIEWER
    " [FILE]\n"
    "Show the help of the lottery number picker TH in a window titled %sのﾍﾙﾌﾟ.\n"
    "\n"
    "FILE is TH.hlp when none is given. A name without a folder is looked up as the HTML\n"
    "page of the same name (TH.html) in the program's help folder; a path is opened as given.\n"
    "A second start for a file that is already shown brings its window to the front.\n"
    "\n"
    "      --help     display this help and exit\n"
    "      --version  output version information and exit\n";

// Answers the options as any command-line program does, before any window system is needed:
// the exit status when the run ends here, nothing when a window is wanted. Sets the position
// of the file to show when one is named.
std::optional<int> answerOptions(int argc, char* argv[], int* file) {
  bool options = true;
  for (int i = 1; i < argc; ++i) {
    const std::string_view argument = argv[i];
    if (options && argument == "--") {
      options = false;
    } else if (options && argument == "--help") {
      std::printf(kUsage, AppInfo::kTitle);
      return 0;
    } else if (options && argument == "--version") {
      std::printf("%s (%s) %s\n", TH_HELP_VIEWER, AppInfo::kTitle, TH_VERSION);
      return 0;
    } else if (options && argument.size() > 1 && argument.front() == '-') {
      std::fprintf(stderr,
                   TH_HELP_VIEWER
                   ": unknown option '%s'\n"
                   "Try '" TH_HELP_VIEWER " --help' for more information.\n",
                   argv[i]);
      return 2;
    } else if (*file == 0) {
      *file = i;
    }
  }
  return std::nullopt;
}

}  // namespace

int main(int argc, char* argv[]) {
  int file = 0;
  if (const std::optional<int> status = answerOptions(argc, argv, &file)) return *status;

  const auto app = StartApplication(argc, argv);
  // Taken from Qt's arguments, which hold the name as Windows gave it, in any script.
  const QString name = file > 0 ? QApplication::arguments().value(file) : QStringLiteral("TH.hlp");
  QApplication::setApplicationName(TH_HELP_VIEWER);
  // The help belongs to the picker: desktops show it with the picker's entry and light bulb.
  QApplication::setDesktopFileName(TH_APP_ID);
  QApplication::setWindowIcon(PictureBanks::windowIcon());
  InstallQtTranslations();

  // The help files lie at the same place relative to this program in the installation and in
  // the build tree.
  const QString helpFolder = QDir(QApplication::applicationDirPath()).filePath(TH_HELP_FOLDER);
  const HelpFile help = FindHelpFile(name, helpFolder);

  WindowClaim claim(help.path);
  if (claim.handedOver()) {
    qCInfo(lcHelp).noquote() << "handed over to the viewer that shows" << help.path;
    return 0;
  }

  HelpWindow window;
  QObject::connect(&claim, &WindowClaim::raiseRequested, &window, &HelpWindow::bringToFront);
  window.showHelp(help);
  window.show();
  window.raise();
  window.activateWindow();
  return QApplication::exec();
}
