#include <QApplication>

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
  SystemProgramStarter programs;
  QtMessageBox messages;
  SystemRegistry registry;
  SystemFileFinder files;
  const std::unique_ptr<MotionPreference> motion = NewSystemMotionPreference();
  const std::unique_ptr<Announcer> announcer = NewSystemAnnouncer();
  frmMain window({random, programs, messages, registry, files, motion.get(), announcer.get()});
  window.show();
  return QApplication::exec();
}
