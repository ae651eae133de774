#include <sys/socket.h>
#include <unistd.h>

#include <QCryptographicHash>
#include <QLocalServer>
#include <QLocalSocket>

#include "WindowClaim.h"

struct WindowClaim::Channel {
  QLocalServer server;
};

namespace {

// Per user and display: a viewer of another user or on another screen is not ours to raise.
QString channelName(const QString& path) {
  const QByteArray key = QByteArray::number(getuid()) + '\n' + qgetenv("WAYLAND_DISPLAY") + '\n' +
                         qgetenv("DISPLAY") + '\n' + path.toUtf8();
  return TH_HELP_VIEWER "-" +
         QCryptographicHash::hash(key, QCryptographicHash::Sha256).toHex().left(32);
}

// An abstract socket has no file permissions: whoever listens is asked who they are.
bool heldByThisUser(const QLocalSocket& socket) {
  ucred peer{};
  socklen_t length = sizeof peer;
  return getsockopt(static_cast<int>(socket.socketDescriptor()), SOL_SOCKET, SO_PEERCRED, &peer,
                    &length) == 0 &&
         peer.uid == getuid();
}

}  // namespace

WindowClaim::WindowClaim(const QString& path, QObject* parent)
    : QObject(parent), m_channel(std::make_unique<Channel>()) {
  const QString name = channelName(path);
  QLocalServer& server = m_channel->server;
  server.setSocketOptions(QLocalServer::AbstractNamespaceOption);
  if (server.listen(name)) {
    // A connection is the whole request.
    connect(&server, &QLocalServer::newConnection, this, [this, &server] {
      while (QLocalSocket* socket = server.nextPendingConnection()) {
        socket->deleteLater();
        emit raiseRequested();
      }
    });
    return;
  }
  QLocalSocket socket;
  socket.setSocketOptions(QLocalSocket::AbstractNamespaceOption);
  socket.connectToServer(name);
  // When nobody answers (the holder just ended), this viewer shows its own window.
  m_handedOver = socket.waitForConnected(2000) && heldByThisUser(socket);
}

WindowClaim::~WindowClaim() = default;
