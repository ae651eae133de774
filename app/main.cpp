#include <QApplication>
#include <QMainWindow>

#include "AppInfo.h"

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  QMainWindow window;
  window.setWindowTitle(QString::fromUtf8(AppInfo::kTitle));
  window.show();
  return app.exec();
}
