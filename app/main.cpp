#include <QApplication>
#include <string>
#include <vector>

#include "Announcer.h"
#include "AppInfo.h"
#include "Application.h"
#include "FileFinder.h"
#include "MotionPreference.h"
#include "PictureBanks.h"
#include "ProgramStarter.h"
#include "QtMessageBox.h"
#include "RandomSource.h"
#include "Registry.h"
#include "frmMain.h"

int main(int argc, char* argv[]) {
  const auto app = StartApplication(argc, argv);
  QApplication::setApplicationName("TH");
  // Lets the desktop match the window to the installed entry and its icon.
  QApplication::setDesktopFileName(TH_APP_ID);
  QApplication::setWindowIcon(PictureBanks::windowIcon());

  // The picker window is the program: it ends when that window closes.
  ClockRandom random;
  // The help item names the Windows help viewer, which no Windows today has for WinHelp files
  // and other systems lack: our viewer stands in for it. It lies beside the program, and from a
  // Linux installation in the installation's program folder.
  std::vector<std::string> viewerFolders{RunningProgramFolder()};
  if (*TH_INSTALLED_BINDIR != '\0') viewerFolders.emplace_back(TH_INSTALLED_BINDIR);
  SystemProgramStarter programs({{"winhlp32.exe", TH_HELP_VIEWER_FILE}}, viewerFolders);
  QtMessageBox messages;
  SystemRegistry registry;
  SystemFileFinder files;
  const std::unique_ptr<MotionPreference> motion = NewSystemMotionPreference();
  const std::unique_ptr<Announcer> announcer = NewSystemAnnouncer();
  frmMain window({random, programs, messages, registry, files, motion.get(), announcer.get()});
  window.show();
  return QApplication::exec();
}
