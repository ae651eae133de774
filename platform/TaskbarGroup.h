#pragma once

#include <QString>
#include <memory>

class QWidget;

/// Where the taskbar puts a program's windows. One executable shows both the picker and the
/// help, so the help tells the taskbar it is a program of its own. Abstract so tests can see when
/// it is told; the real one is made by NewSystemTaskbarGroup.
class TaskbarGroup {
public:
  virtual ~TaskbarGroup() = default;

  /// Files this process's windows under `appId`, apart from the picker's. Before the first
  /// window exists: the taskbar reads it when a window appears.
  virtual void join(const QString& appId) = 0;
  /// Keeps `window` from being pinned: a pinned window would start the executable again
  /// without its arguments, as the picker. Before the window is shown.
  virtual void preventPinning(QWidget& window) = 0;
};

/// Windows' own (the process's application user model id, the window's property store);
/// elsewhere the desktop groups windows by their desktop entry, and this does nothing.
std::unique_ptr<TaskbarGroup> NewSystemTaskbarGroup();
