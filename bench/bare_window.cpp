// The start-up reference of bench/run: the least a Qt Widgets program does before its first
// frame, an empty window of the picker window's size. With "--caption" the window shows one
// short Japanese caption too, which is what it takes to bring up the text stack (font
// configuration, font loading, shaping): the share of our start-up that any window with text pays.
#include <QApplication>
#include <QLabel>
#include <QWidget>
#include <cstring>

#include "Trace.h"

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  QWidget window;
  window.setFixedSize(571, 431);
  if (argc > 1 && std::strcmp(argv[1], "--caption") == 0)
    (new QLabel(QString::fromUtf8("ﾛﾄ6"), &window))->move(20, 20);
  TraceFirstPaint(&window);
  window.show();
  return app.exec();
}
