#include <windows.h>

#include <QCryptographicHash>
#include <QWinEventNotifier>

#include "WindowClaim.h"

struct WindowClaim::Channel {
  HANDLE pipe = INVALID_HANDLE_VALUE;
  OVERLAPPED waiting{};
  QWinEventNotifier connected;

  ~Channel() {
    connected.setEnabled(false);
    if (pipe != INVALID_HANDLE_VALUE) {
      CancelIo(pipe);
      CloseHandle(pipe);
    }
    if (waiting.hEvent != nullptr) CloseHandle(waiting.hEvent);
  }

  // Waits for the next viewer without blocking: the event is signalled when one connects.
  void listen() {
    ResetEvent(waiting.hEvent);
    if (ConnectNamedPipe(pipe, &waiting)) return;
    const DWORD error = GetLastError();
    // One that came between two waits (and may have left already) is a request all the same.
    if (error == ERROR_PIPE_CONNECTED || error == ERROR_NO_DATA) SetEvent(waiting.hEvent);
  }
};

namespace {

// Named pipes are seen by every session of the machine: the name holds this one's user and
// session. Windows file names ignore case, and so does the channel.
std::wstring channelName(const QString& path) {
  DWORD session = 0;
  ProcessIdToSessionId(GetCurrentProcessId(), &session);
  wchar_t user[257] = {};
  DWORD length = 257;
  GetUserNameW(user, &length);
  const QByteArray key = QByteArray::number(static_cast<qulonglong>(session)) + '\n' +
                         QString::fromWCharArray(user).toUtf8() + '\n' + path.toLower().toUtf8();
  const QString name = "\\\\.\\pipe\\tamahiroi-help-" +
                       QCryptographicHash::hash(key, QCryptographicHash::Sha256).toHex().left(32);
  return name.toStdWString();
}

}  // namespace

WindowClaim::WindowClaim(const QString& path, QObject* parent)
    : QObject(parent), m_channel(std::make_unique<Channel>()) {
  const std::wstring name = channelName(path);
  Channel& channel = *m_channel;
  channel.pipe = CreateNamedPipeW(
      name.c_str(), PIPE_ACCESS_INBOUND | FILE_FLAG_FIRST_PIPE_INSTANCE | FILE_FLAG_OVERLAPPED,
      PIPE_TYPE_BYTE | PIPE_REJECT_REMOTE_CLIENTS, 1, 0, 0, 0, nullptr);
  if (channel.pipe != INVALID_HANDLE_VALUE) {
    channel.waiting.hEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    channel.connected.setHandle(channel.waiting.hEvent);
    connect(&channel.connected, &QWinEventNotifier::activated, this, [this] {
      DisconnectNamedPipe(m_channel->pipe);
      emit raiseRequested();
      m_channel->listen();
    });
    channel.connected.setEnabled(true);
    channel.listen();
    return;
  }
  // Another viewer holds the file. Windows lets a program take the foreground only when the
  // one in front allows it: this one, just started from the program in front, passes it on.
  AllowSetForegroundWindow(ASFW_ANY);
  for (int attempt = 0; attempt < 2; ++attempt) {
    const HANDLE end =
        CreateFileW(name.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (end != INVALID_HANDLE_VALUE) {
      CloseHandle(end);
      m_handedOver = true;
      return;
    }
    // Busy while the holder takes another request; when nobody answers, this viewer shows its
    // own window.
    if (GetLastError() != ERROR_PIPE_BUSY || !WaitNamedPipeW(name.c_str(), 2000)) return;
  }
}

WindowClaim::~WindowClaim() = default;
