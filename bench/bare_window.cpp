// The start-up reference of bench/run: the least a Qt Widgets program does before its first
// frame, an empty window of the picker window's size.
#include <QApplication>
#include <QWidget>

#include "Trace.h"

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  QWidget window;
  window.setFixedSize(571, 431);
  TraceFirstPaint(&window);
  window.show();
  return app.exec();
}
