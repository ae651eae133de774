// The CPU reference of bench/run: a window of 18 plain QPushButtons laid out like the picker's
// reels, each with its own 50 ms timer that gives it another of the same pictures, decoded once
// before the first tick, at every tick. What our window costs above this is its own doing.
#include <QApplication>
#include <QIcon>
#include <QPushButton>
#include <QRandomGenerator>
#include <QTimer>
#include <QWidget>
#include <vector>

#include "PictureBanks.h"
#include "Trace.h"

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  const PictureBanks banks(app.devicePixelRatio());
  std::vector<QIcon> numbers, digits;
  for (int16_t i = 0; i < banks.Image2().count(); ++i) numbers.emplace_back(banks.Image2()[i]);
  for (int16_t i = 0; i < 10; ++i) digits.emplace_back(banks.Image1()[i]);

  QWidget window;
  window.setFixedSize(571, 410);
  const int firstOfRow[] = {1, 7, 12, 16, 19};
  for (int row = 0; row < 4; ++row) {
    for (int reel = firstOfRow[row]; reel < firstOfRow[row + 1]; ++reel) {
      auto* button = new QPushButton(&window);
      button->setGeometry(20 + 60 * row + 60 * (reel - firstOfRow[row]), 30 + 90 * row, 51, 51);
      button->setIconSize(QSize(40, 40));
      button->setIcon(banks.questionMark());
      const std::vector<QIcon>& bank = reel <= 11 ? numbers : digits;
      auto* timer = new QTimer(button);
      timer->setTimerType(Qt::PreciseTimer);
      QObject::connect(timer, &QTimer::timeout, button, [button, &bank] {
        button->setIcon(bank[QRandomGenerator::global()->bounded(int(bank.size()))]);
      });
      timer->start(50);
    }
  }
  TraceFirstPaint(&window);
  window.show();
  return app.exec();
}
