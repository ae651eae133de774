#include "HelpViewer.h"

#include <QApplication>
#include <QDir>
#include <cstdio>
#include <optional>
#include <string_view>

#include "AppInfo.h"
#include "Application.h"
#include "HelpFile.h"
#include "PictureBanks.h"

namespace {

// Kept to what the manual page (help-viewer.1.in) says; %s are the command and the product's name.
constexpr char kUsage[] =
    "Usage: %s [FILE]\n"
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
std::optional<int> answerOptions(int argc, char* argv[], int first, const char* command,
                                 int* file) {
  bool options = true;
  for (int i = first; i < argc; ++i) {
    const std::string_view argument = argv[i];
    if (options && argument == "--") {
      options = false;
    } else if (options && argument == "--help") {
      std::printf(kUsage, command, AppInfo::kTitle);
      return 0;
    } else if (options && argument == "--version") {
      std::printf("%s (%s) %s\n", TH_HELP_VIEWER, AppInfo::kTitle, TH_VERSION);
      return 0;
    } else if (options && argument.size() > 1 && argument.front() == '-') {
      std::fprintf(stderr,
                   "%s: unknown option '%s'\n"
                   "Try '%s --help' for more information.\n",
                   command, argv[i], command);
      return 2;
    } else if (*file == 0) {
      *file = i;
    }
  }
  return std::nullopt;
}

}  // namespace

bool AsksForHelpViewer(int argc, const char* const* argv) {
  return argc >= 2 && std::string_view(argv[1]) == kHelpViewerMarker;
}

HelpViewerSession OpenHelpViewer(const QString& name, const QString& helpFolder,
                                 TaskbarGroup& taskbar, const QString& appId) {
  const HelpFile help = FindHelpFile(name, helpFolder);
  HelpViewerSession session;
  session.claim = std::make_unique<WindowClaim>(help.path);
  if (session.claim->handedOver()) {
    qCInfo(lcHelp).noquote() << "handed over to the viewer that shows" << help.path;
    return session;
  }
  // The taskbar must know the group before the first window exists, or it files the window
  // with the picker's.
  taskbar.join(appId);
  session.window = std::make_unique<HelpWindow>();
  QObject::connect(session.claim.get(), &WindowClaim::raiseRequested, session.window.get(),
                   &HelpWindow::bringToFront);
  session.window->showHelp(help);
  // Makes the native window, which takes its place from its size: so after the sizing.
  taskbar.preventPinning(*session.window);
  return session;
}

int RunHelpViewer(int argc, char* argv[], int first, const std::string& command) {
  int file = 0;
  if (const std::optional<int> status = answerOptions(argc, argv, first, command.c_str(), &file))
    return *status;

  const auto app = StartApplication(argc, argv);
  // Taken from Qt's arguments, which hold the name as Windows gave it, in any script.
  const QString name = file > 0 ? QApplication::arguments().value(file) : QStringLiteral("TH.hlp");
  QApplication::setApplicationName(TH_HELP_VIEWER);
  // The help belongs to the picker: desktops show it with the picker's entry and light bulb.
  QApplication::setDesktopFileName(AppInfo::kAppId);
  QApplication::setWindowIcon(PictureBanks::windowIcon());
  InstallQtTranslations();

  // The help files lie at the same place relative to the program in the installation and in
  // the build tree.
  const QString helpFolder = QDir(QApplication::applicationDirPath()).filePath(TH_HELP_FOLDER);
  const std::unique_ptr<TaskbarGroup> taskbar = NewSystemTaskbarGroup();
  const HelpViewerSession session =
      // Its taskbar group on Windows, apart from the picker's.
      OpenHelpViewer(name, helpFolder, *taskbar, QString(AppInfo::kAppId) + ".Help");
  if (!session.window) return 0;
  session.window->show();
  session.window->raise();
  session.window->activateWindow();
  return QApplication::exec();
}
