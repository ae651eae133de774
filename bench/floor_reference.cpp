// The CPU floor of bench/run: the least a Qt Widgets program does to show what our window shows
// while every reel spins. One widget, one 50 ms timer; each tick puts another of the same
// pictures, decoded once before the first tick, at each of the 18 reel places and repaints just
// those 40x40 rectangles; once a second the four start places alternate the two blink pictures.
// Places and window size are the picker's client area, taken from its layout, so the X server
// sees the same traffic.
#include <QApplication>
#include <QPaintEvent>
#include <QPainter>
#include <QRandomGenerator>
#include <QTimer>
#include <QWidget>
#include <array>
#include <vector>

#include "PictureBanks.h"
#include "ReelTable.h"
#include "Trace.h"
#include "WindowLayout.h"

namespace {

// Where a picture stands in a button's box: centred, as the picker's buttons show theirs.
QRect PictureIn(const QRect& box, const QPixmap& picture) {
  const QSize size = picture.deviceIndependentSize().toSize();
  return QRect(
      box.topLeft() + QPoint((box.width() - size.width()) / 2, (box.height() - size.height()) / 2),
      size);
}

class Floor : public QWidget {
public:
  explicit Floor(const PictureBanks& banks) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    const LayoutScale design;
    setFixedSize(design.px(PickerLayout::kClientWidth), design.px(PickerLayout::kClientHeight));
    for (int16_t i = 0; i < banks.Image2().count(); ++i) m_numbers.push_back(banks.Image2()[i]);
    for (int16_t i = 0; i < 10; ++i) m_digits.push_back(banks.Image1()[i]);
    m_blink = {banks.Image4()[0], banks.Image4()[1]};
    // Each panel's reels, then its start button; their controls stand in the panel's group box.
    for (int p = 0; p < kGameCount; ++p) {
      const GamePanel& panel = kPanels[p];
      const QPoint origin = design.px(PickerLayout::kPanels[p]).topLeft();
      for (int k = 0; k < panel.reelCount; ++k) {
        const QRect box = design.px(PickerLayout::Reel(k)).translated(origin);
        m_reels[panel.firstReel - 1 + k] = {PictureIn(box, banks.questionMark()),
                                            banks.questionMark()};
      }
      const QRect box = design.px(PickerLayout::Start(panel.reelCount)).translated(origin);
      m_starts[p] = {PictureIn(box, banks.areYouReady()), banks.areYouReady()};
    }
    connect(&m_tick, &QTimer::timeout, this, &Floor::tick);
    m_tick.setTimerType(Qt::PreciseTimer);
    m_tick.start(50);
  }

protected:
  void paintEvent(QPaintEvent* event) override {
    QPainter painter(this);
    QRegion background = event->region();
    auto draw = [&](const Place& place) {
      if (!event->region().intersects(place.rect)) return;
      painter.drawPixmap(place.rect.topLeft(), place.picture);
      background -= place.rect;
    };
    for (const Place& place : m_reels) draw(place);
    for (const Place& place : m_starts) draw(place);
    for (const QRect& rect : background) painter.fillRect(rect, palette().window());
  }

private:
  struct Place {
    QRect rect;
    QPixmap picture;
  };

  void tick() {
    for (std::size_t reel = 0; reel < m_reels.size(); ++reel) {
      const std::vector<QPixmap>& bank = reel < 11 ? m_numbers : m_digits;
      m_reels[reel].picture = bank[QRandomGenerator::global()->bounded(int(bank.size()))];
      update(m_reels[reel].rect);
    }
    if (++m_ticks % 20 == 0) {
      for (Place& start : m_starts) {
        start.picture = m_blink[m_phase];
        update(start.rect);
      }
      m_phase = 1 - m_phase;
    }
  }

  std::vector<QPixmap> m_numbers, m_digits;
  std::array<QPixmap, 2> m_blink;
  std::array<Place, kReelCount> m_reels;
  std::array<Place, kGameCount> m_starts;
  QTimer m_tick;
  int m_ticks = 0;
  int m_phase = 0;
};

}  // namespace

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  const PictureBanks banks(app.devicePixelRatio());
  Floor window(banks);
  TraceFirstPaint(&window);
  window.show();
  return app.exec();
}
