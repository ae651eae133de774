#include <QApplication>
#include <string>
#include <vector>

#include "Announcer.h"
#include "AppInfo.h"
#include "Application.h"
#include "FileFinder.h"
#include "HelpViewer.h"
#include "MotionPreference.h"
#include "PictureBanks.h"
#include "ProgramStarter.h"
#include "QtMessageBox.h"
#include "RandomSource.h"
#include "Registry.h"
#include "frmMain.h"

namespace {

// The help item names the Windows help viewer, which no Windows today has for WinHelp files
// and other systems lack: our viewer stands in for it. On Windows it is this program itself, in
// its help mode, by its own path (never searched for); elsewhere a program of its own beside
// this one or, from a Linux installation, in the installation's program folder.
SystemProgramStarter HelpStarter() {
  if constexpr (TH_HELP_IN_PROGRAM != 0)
    return SystemProgramStarter({{"winhlp32.exe", RunningProgramPath(), kHelpViewerMarker}}, {});
  std::vector<std::string> folders{RunningProgramFolder()};
  if (*TH_INSTALLED_BINDIR != '\0') folders.emplace_back(TH_INSTALLED_BINDIR);
  return SystemProgramStarter({{"winhlp32.exe", TH_HELP_VIEWER, ""}}, folders);
}

}  // namespace

int main(int argc, char* argv[]) {
  // Chosen before the toolkit starts: the two modes set it up differently.
  if (AsksForHelpViewer(argc, argv))
    return RunHelpViewer(argc, argv, 2, "TH " + std::string(kHelpViewerMarker));

  const auto app = StartApplication(argc, argv);
  QApplication::setApplicationName("TH");
  // Lets the desktop match the window to the installed entry and its icon.
  QApplication::setDesktopFileName(AppInfo::kAppId);
  QApplication::setWindowIcon(PictureBanks::windowIcon());

  // The picker window is the program: it ends when that window closes.
  ClockRandom random;
  SystemProgramStarter programs = HelpStarter();
  QtMessageBox messages;
  SystemRegistry registry;
  SystemFileFinder files;
  const std::unique_ptr<MotionPreference> motion = NewSystemMotionPreference();
  const std::unique_ptr<Announcer> announcer = NewSystemAnnouncer();
  frmMain window({random, programs, messages, registry, files, motion.get(), announcer.get()});
  window.show();
  return QApplication::exec();
}
