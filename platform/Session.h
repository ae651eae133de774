#pragma once

#include <QByteArray>
#include <QString>

/// The address of a session bus that is running already: DBUS_SESSION_BUS_ADDRESS when set,
/// else the desktop session's socket $XDG_RUNTIME_DIR/bus when there is one; empty otherwise,
/// and on systems without a session bus. Never one to be started: an autolaunched bus writes
/// files and outlives the program.
QString RunningSessionBusAddress();

/// The environment the toolkit starts in, made safe while this object lives: the toolkit may
/// find a running session bus but never start one, and creates no runtime folder. Build it just
/// before the application object and end it just after. Does nothing on systems without these
/// services.
class ToolkitStartEnvironment {
public:
  ToolkitStartEnvironment();
  ~ToolkitStartEnvironment();
  ToolkitStartEnvironment(const ToolkitStartEnvironment&) = delete;
  ToolkitStartEnvironment& operator=(const ToolkitStartEnvironment&) = delete;

  /// Whether a message of the toolkit's only reports the runtime folder it was kept from making.
  static bool IsRuntimeFolderNotice(const QString& message);

private:
  bool m_tempRedirected = false;
  bool m_hadTemp = false;
  QByteArray m_temp;
};
