#pragma once

#include <QObject>
#include <QString>
#include <memory>

/// One viewer window per help file, as the Windows help viewer reused its window. The first
/// viewer of a file holds a channel named after the file, the user and the session (Linux: a
/// local socket in the abstract namespace; Windows: a named pipe), so nothing is written to
/// disk for it; a later viewer of the same file finds the channel, asks the first one to come
/// to the front, and ends. Only a channel that this user holds is handed over to.
class WindowClaim : public QObject {
  Q_OBJECT

public:
  /// Claims the channel for the help file at `path`; when another viewer holds it, asks that
  /// one to come to the front instead.
  explicit WindowClaim(const QString& path, QObject* parent = nullptr);
  ~WindowClaim() override;

  /// True when another viewer shows the file and was asked to come to the front: this one ends.
  bool handedOver() const { return m_handedOver; }

signals:
  /// Another viewer was started for the same file.
  void raiseRequested();

private:
  struct Channel;
  std::unique_ptr<Channel> m_channel;
  bool m_handedOver = false;
};
