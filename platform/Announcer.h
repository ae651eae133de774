#pragma once

#include <QString>
#include <memory>

class QWidget;

/// Tells the user's screen reader of a result the user has just brought about (a reel that
/// stopped, on the number it drew), without moving the focus and without changing what the
/// window shows. Abstract so tests can record what is said; the real one is made by
/// NewSystemAnnouncer.
class Announcer {
public:
  virtual ~Announcer() = default;

  /// Says `message` about `source`, a control of a shown window. A newer message about the same
  /// control takes the place of its older one.
  virtual void announce(QWidget& source, const QString& message) = 0;
};

/// The system's way: UI Automation's notification event on Windows, elsewhere an object of the
/// notification role on the accessibility bus (AT-SPI), which screen readers present as it
/// appears. Needs the application object.
std::unique_ptr<Announcer> NewSystemAnnouncer();
