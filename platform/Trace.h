#pragma once

// The program's timing marks, which the benchmark (bench/run) reads: the first painted frame of
// a window and every picture change of a reel, written to stderr as
// "TH_TRACE <what> <index> <nanoseconds>" on the CLOCK_MONOTONIC clock. They exist only in a
// build configured with the CMake option TH_TRACE; in every other build the functions below are
// empty and the calls vanish, and nothing at run time can switch them on.

#include <QWidget>

#ifdef TH_TRACE
#include <QEvent>
#include <QTimer>
#include <cstdio>
#include <ctime>
#endif

#ifdef TH_TRACE

/// Writes one mark; stderr is unbuffered, so each mark is one write the reader sees at once.
inline void TraceMark(const char* what, int index) {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  std::fprintf(stderr, "TH_TRACE %s %d %lld\n", what, index,
               static_cast<long long>(now.tv_sec) * 1000000000LL + now.tv_nsec);
}

/// Marks "first-paint" once the window's first paint has been flushed: the paint event of the
/// window itself comes before its children's, so the mark waits for the next turn of the event
/// loop, after the whole frame went out.
inline void TraceFirstPaint(QWidget* window) {
  class FirstPaint final : public QObject {
  public:
    using QObject::QObject;
    bool eventFilter(QObject* watched, QEvent* event) override {
      if (event->type() == QEvent::Paint) {
        watched->removeEventFilter(this);
        QTimer::singleShot(0, [] { TraceMark("first-paint", 0); });
        deleteLater();
      }
      return false;
    }
  };
  window->installEventFilter(new FirstPaint(window));
}

#else

inline void TraceMark(const char*, int) {}
inline void TraceFirstPaint(QWidget*) {}

#endif
