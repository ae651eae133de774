// A long seeded random run over the real picker window: reel clicks, start clicks, ticks of the
// reel timers and of the blink timer, and now and then the About box. After every event the
// window's rules are checked against what the events did. A failure names the event, its number
// and the seed, so the run can be repeated exactly.
#include <QAction>
#include <QtTest>
#include <array>
#include <map>
#include <random>
#include <set>

#include "FakeFileFinder.h"
#include "FakeRegistry.h"
#include "RecordingMessageBox.h"
#include "RecordingProgramStarter.h"
#include "ScriptedRandom.h"
#include "frmAbout.h"
#include "frmMain.h"

#ifndef TH_RANDOM_RUN_EVENTS
#define TH_RANDOM_RUN_EVENTS 100000
#endif

namespace {

constexpr unsigned kSeed = 20240607;
constexpr int kEvents = TH_RANDOM_RUN_EVENTS;

bool noRepeat(int16_t kind) { return kind == kLoto6 || kind == kMiniLoto; }

// One tick of a running timer, delivered through the toolkit as its expiry would be. A stopped
// timer does not fire.
void tick(QTimer& timer) {
  if (!timer.isActive()) return;
  QTimerEvent expiry(timer.timerId());
  QCoreApplication::sendEvent(&timer, &expiry);
}

}  // namespace

class PickerRandomRunTest : public QObject {
  Q_OBJECT

  // The window's value of a picture, by the picture's identity: number n or digit d, with the
  // bank it came from; the question mark is -1.
  struct Shown {
    int bank = 0;  // 1 the digit bank, 2 the number bank, 0 the question mark
    int16_t value = -1;
  };

  // What the events did, kept by the test itself.
  struct Reel {
    bool stopped = false;
    int16_t slot = 0;
    int drawnAt = -1;    // event whose tick drew the picture the reel shows while spinning
    int stoppedAt = -1;  // event that stopped it last
  };

  ClockRandom m_draws;
  ScriptedRandom m_random;  // ignores the window's clock seeding, so the run repeats exactly
  RecordingProgramStarter m_programs;
  RecordingMessageBox m_messages;
  FakeRegistry m_registry;
  FakeFileFinder m_files;
  std::unique_ptr<frmMain> m_window;
  std::map<qint64, Shown> m_pictures;
  std::array<Reel, kReelCount + 1> m_reels{};
  int m_aboutOpenings = 0;

  const QPixmap& pictureOf(int16_t reel, int16_t value) const {
    const int16_t kind = PanelOfReel(reel).kind;
    return noRepeat(kind) ? m_window->banks().Image2()[static_cast<int16_t>(value - 1)]
                          : m_window->banks().Image1()[value];
  }

  // The first rule the window breaks now, or an empty text.
  QString violation() const {
    frmMain& w = *m_window;
    if (!m_messages.messages.empty())
      return "an error was reported: " + QString::fromStdString(m_messages.messages[0].text);

    for (int16_t reel = 1; reel <= kReelCount; ++reel) {
      const Reel& expected = m_reels[reel];
      const GamePanel& panel = PanelOfReel(reel);
      PictureButton& button = w.Command(reel);
      if (button.isEnabled() == expected.stopped)
        return QString("reel %1 should be %2")
            .arg(reel)
            .arg(expected.stopped ? "stopped" : "spinning");
      if (w.Timer(reel).isActive() == expected.stopped)
        return QString("reel %1's timer runs while it is stopped, or not while it spins").arg(reel);

      const int16_t slot = w.drawEngine().slot(reel);
      if (slot != expected.slot)
        return QString("slot %1 changed from %2 to %3 though its reel did not stop")
            .arg(reel)
            .arg(expected.slot)
            .arg(slot);
      if (expected.stopped) {
        const DrawBounds bounds = GameBounds(panel.kind);
        if (slot < bounds.lower || slot > bounds.upper)
          return QString("reel %1 stopped on %2, outside its game").arg(reel).arg(slot);
        if (button.shownPicture().cacheKey() != pictureOf(reel, slot).cacheKey())
          return QString("stopped reel %1 does not show its slot's value %2").arg(reel).arg(slot);
        continue;
      }

      // A spinning reel shows the question mark or a value of its own game from its own bank.
      const auto found = m_pictures.find(button.shownPicture().cacheKey());
      if (found == m_pictures.end())
        return QString("spinning reel %1 shows a picture of no bank").arg(reel);
      const Shown shown = found->second;
      if (shown.bank == 0) {
        if (expected.drawnAt >= 0)
          return QString("reel %1 shows the question mark again").arg(reel);
        continue;
      }
      const DrawBounds bounds = GameBounds(panel.kind);
      if (shown.bank != (noRepeat(panel.kind) ? 2 : 1) || shown.value < bounds.lower ||
          shown.value > bounds.upper)
        return QString("spinning reel %1 shows %2, not a value of its game")
            .arg(reel)
            .arg(shown.value);
      // Never a stopped number of its game, unless the picture was drawn before that stop.
      if (!noRepeat(panel.kind)) continue;
      for (int16_t other = panel.firstReel; other < panel.firstReel + panel.reelCount; ++other) {
        const Reel& o = m_reels[other];
        if (o.stopped && o.slot == shown.value && o.stoppedAt < expected.drawnAt)
          return QString("spinning reel %1 shows %2, where reel %3 stopped before that frame")
              .arg(reel)
              .arg(shown.value)
              .arg(other);
      }
    }

    for (const GamePanel& panel : kPanels) {
      if (!noRepeat(panel.kind)) continue;
      std::set<int16_t> held;
      for (int16_t reel = panel.firstReel; reel < panel.firstReel + panel.reelCount; ++reel) {
        if (!m_reels[reel].stopped) continue;
        if (!held.insert(w.drawEngine().slot(reel)).second)
          return QString("two stopped reels of game %1 share %2")
              .arg(panel.kind)
              .arg(w.drawEngine().slot(reel));
      }
      const int16_t size =
          panel.kind == kLoto6 ? DrawEngine::kLoto6TableSize : DrawEngine::kMiniLotoTableSize;
      for (int16_t n = 0; n < size; ++n) {
        const int16_t flag = w.drawEngine().usedFlag(panel.kind, n);
        if (flag != (held.count(n) ? -1 : 0))
          return QString("game %1's table holds %2 for %3, its stopped reels hold %4")
              .arg(panel.kind)
              .arg(flag)
              .arg(n)
              .arg(held.count(n) ? "it" : "not it");
      }
    }

    const qint64 blink = w.CommandStart()[0].shownPicture().cacheKey();
    for (int16_t i = 1; i < kGameCount; ++i)
      if (w.CommandStart()[i].shownPicture().cacheKey() != blink)
        return QString("start button %1 differs from start button 0").arg(i);
    return {};
  }

  // Shows the About box through its menu item; inside, waits for a spinning reel to change its
  // picture behind the box, then closes it with Esc. Returns what went wrong, if anything.
  QString openAndCloseAbout(int event) {
    std::array<qint64, kReelCount + 1> before{};
    bool anySpinning = false;
    for (int16_t reel = 1; reel <= kReelCount; ++reel) {
      before[reel] = m_window->Command(reel).shownPicture().cacheKey();
      anySpinning = anySpinning || !m_reels[reel].stopped;
    }
    bool boxShown = false;
    bool spunBehind = false;
    QTimer::singleShot(0, [&] {
      auto* box = qobject_cast<frmAbout*>(QApplication::activeModalWidget());
      boxShown = box != nullptr;
      spunBehind = QTest::qWaitFor(
          [&] {
            for (int16_t reel = 1; reel <= kReelCount; ++reel)
              if (m_window->Command(reel).shownPicture().cacheKey() != before[reel]) return true;
            return false;
          },
          anySpinning ? 5000 : 0);
      if (QWidget* modal = QApplication::activeModalWidget())
        QTest::keyClick(modal, Qt::Key_Escape);
    });
    m_window->findChild<QAction*>("mnu_version")->trigger();  // returns once the box is closed
    ++m_aboutOpenings;
    // Frames drawn behind the box came after every stop so far.
    for (int16_t reel = 1; reel <= kReelCount; ++reel)
      if (m_window->Command(reel).shownPicture().cacheKey() != before[reel])
        m_reels[reel].drawnAt = event;
    if (!boxShown) return "the version item showed no About box";
    if (QApplication::activeModalWidget() != nullptr) return "the About box stayed open";
    if (anySpinning && !spunBehind) return "no reel turned behind the About box";
    return {};
  }

private slots:
  void init() {
    m_draws.seed(kSeed + 1);
    m_random.continueWith(&m_draws);
    m_window = std::make_unique<frmMain>(
        PickerServices{m_random, m_programs, m_messages, m_registry, m_files});
    m_window->show();
    // Real ticks may come while the window opens; they drew before every event of the run.
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
    const PictureBanks& banks = m_window->banks();
    m_pictures[banks.questionMark().cacheKey()] = {0, -1};
    for (int16_t i = 0; i < banks.Image2().count(); ++i)
      m_pictures[banks.Image2()[i].cacheKey()] = {2, int16_t(i + 1)};
    for (int16_t i = 0; i < 10; ++i) m_pictures[banks.Image1()[i].cacheKey()] = {1, i};
  }

  void cleanup() { m_window.reset(); }

  void everyRuleHoldsAfterEveryEvent() {
    std::mt19937 events(kSeed);
    std::uniform_int_distribution<int> percent(0, 9999);
    std::uniform_int_distribution<int> anyReel(1, kReelCount);
    std::uniform_int_distribution<int> anyStart(0, kGameCount - 1);
    QAction* version = m_window->findChild<QAction*>("mnu_version");
    QVERIFY(version);
    auto* blink = m_window->findChild<QTimer*>("TimerStart");
    QVERIFY(blink);
    int stops = 0, starts = 0;

    for (int event = 0; event < kEvents; ++event) {
      const int roll = percent(events);
      QString what;
      if (roll < 2500) {  // a click on a reel, spinning or stopped
        const auto reel = static_cast<int16_t>(anyReel(events));
        what = QString("click on reel %1").arg(reel);
        QTest::mouseClick(&m_window->Command(reel), Qt::LeftButton);
        if (!m_reels[reel].stopped) {
          m_reels[reel] = {true, m_window->drawEngine().slot(reel), m_reels[reel].drawnAt, event};
          ++stops;
        }
      } else if (roll < 3200) {  // a click on a start button
        const auto index = static_cast<int16_t>(anyStart(events));
        what = QString("click on start button %1").arg(index);
        QTest::mouseClick(&m_window->CommandStart()[index], Qt::LeftButton);
        for (const GamePanel& panel : kPanels)
          if (panel.startIndex == index)
            for (int16_t reel = panel.firstReel; reel < panel.firstReel + panel.reelCount; ++reel)
              m_reels[reel].stopped = false;
        ++starts;
      } else if (roll < 8000) {  // one reel's timer
        const auto reel = static_cast<int16_t>(anyReel(events));
        what = QString("tick of reel %1").arg(reel);
        tick(m_window->Timer(reel));
        if (!m_reels[reel].stopped) m_reels[reel].drawnAt = event;
      } else if (roll < 9000) {  // every reel's timer, as in one 50 ms beat
        what = "tick of every reel";
        for (int16_t reel = 1; reel <= kReelCount; ++reel) {
          tick(m_window->Timer(reel));
          if (!m_reels[reel].stopped) m_reels[reel].drawnAt = event;
        }
      } else if (roll < 9998) {
        what = "blink tick";
        tick(*blink);
      } else {  // rarely: the modal About box, opened and closed
        what = "About box";
        const QString broken = openAndCloseAbout(event);
        if (!broken.isEmpty())
          QFAIL(qPrintable(
              QString("event %1 (%2, seed %3): %4").arg(event).arg(what).arg(kSeed).arg(broken)));
      }
      const QString broken = violation();
      if (!broken.isEmpty())
        QFAIL(qPrintable(
            QString("event %1 (%2, seed %3): %4").arg(event).arg(what).arg(kSeed).arg(broken)));
    }
    // The run reached every kind of state: many stops and starts, and the About box.
    QVERIFY(stops > kEvents / 10);
    QVERIFY(starts > kEvents / 50);
    QVERIFY(m_aboutOpenings > 0);
    qInfo("%d events: %d stops, %d starts, %d About boxes", kEvents, stops, starts,
          m_aboutOpenings);
  }
};

QTEST_MAIN(PickerRandomRunTest)
#include "picker_random_run_test.moc"
