#pragma once

#include <QObject>
#include <memory>

/// Whether the desktop asks programs for less motion (for people whom endless blinking
/// distracts or makes unwell), and word when that changes.
/// Abstract so tests can turn it on and off; the real one is made by NewSystemMotionPreference.
class MotionPreference : public QObject {
  Q_OBJECT

public:
  using QObject::QObject;

  /// True while the desktop asks for less motion; false where no such setting can be read.
  virtual bool lessMotion() const = 0;

signals:
  /// lessMotion() has changed; emitted on the user-interface thread.
  void changed();
};

/// The desktop's own setting: on Windows "Show animations in Windows", elsewhere the settings
/// portal on a session bus that is already running. Reads and asks, never writes; needs the
/// application object.
std::unique_ptr<MotionPreference> NewSystemMotionPreference();
