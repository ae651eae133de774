#include <windows.h>
// After windows.h, which they need.
#include <aclapi.h>
#include <sddl.h>

#include <QCryptographicHash>
#include <QWinEventNotifier>
#include <vector>

#include "WindowClaim.h"
#include "WindowClaim_win32.h"

struct WindowClaim::Channel {
  HANDLE pipe = INVALID_HANDLE_VALUE;
  OVERLAPPED waiting{};
  QWinEventNotifier connected;
  // Between a viewer's connection and its leaving: the event then marks the end of a read.
  bool awaitingClose = false;
  char unused = 0;

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

  // Waits without blocking for the connected viewer to close its end, which it does once it has
  // checked whose pipe this is: cut off before that, it could not tell. False when it has gone.
  bool awaitClose() {
    ResetEvent(waiting.hEvent);
    awaitingClose =
        ReadFile(pipe, &unused, 1, nullptr, &waiting) || GetLastError() == ERROR_IO_PENDING;
    return awaitingClose;
  }
};

// Named pipes are seen by every session of the machine: the name holds this one's user and
// session. Windows file names ignore case, and so does the channel.
std::wstring WindowClaimChannelName(const QString& path) {
  DWORD session = 0;
  ProcessIdToSessionId(GetCurrentProcessId(), &session);
  wchar_t user[257] = {};
  DWORD length = 257;
  GetUserNameW(user, &length);
  const QByteArray key = QByteArray::number(static_cast<qulonglong>(session)) + '\n' +
                         QString::fromWCharArray(user).toUtf8() + '\n' + path.toLower().toUtf8();
  const QString name = "\\\\.\\pipe\\" TH_HELP_VIEWER "-" +
                       QCryptographicHash::hash(key, QCryptographicHash::Sha256).toHex().left(32);
  return name.toStdWString();
}

namespace {

// This process's user (its SID), or an empty buffer when it cannot be told.
std::vector<BYTE> currentUser() {
  HANDLE token = nullptr;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) return {};
  DWORD size = 0;
  GetTokenInformation(token, TokenUser, nullptr, 0, &size);
  std::vector<BYTE> user(size);
  if (size == 0 || !GetTokenInformation(token, TokenUser, user.data(), size, &size)) user.clear();
  CloseHandle(token);
  return user;
}

PSID sidOf(std::vector<BYTE>& user) { return reinterpret_cast<TOKEN_USER*>(user.data())->User.Sid; }

// The channel belongs to the user, who alone may open it: owner and only entry of its access list.
// An elevated process would otherwise make it owned by the administrators' group.
PSECURITY_DESCRIPTOR userOnlyDescriptor(PSID user) {
  wchar_t* text = nullptr;
  if (!ConvertSidToStringSidW(user, &text)) return nullptr;
  const std::wstring sid = text;
  LocalFree(text);
  const std::wstring sddl = L"O:" + sid + L"D:P(A;;GA;;;" + sid + L")";
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  if (!ConvertStringSecurityDescriptorToSecurityDescriptorW(sddl.c_str(), SDDL_REVISION_1,
                                                            &descriptor, nullptr))
    return nullptr;
  return descriptor;
}

// Whether the pipe at the other end of `end` is owned by `user`. The name is known to anyone,
// and a program of another user that made the pipe first would be handed every later viewer.
bool ownedBy(HANDLE end, PSID user) {
  PSID owner = nullptr;
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  if (GetSecurityInfo(end, SE_KERNEL_OBJECT, OWNER_SECURITY_INFORMATION, &owner, nullptr, nullptr,
                      nullptr, &descriptor) != ERROR_SUCCESS)
    return false;
  const bool ours = owner != nullptr && EqualSid(owner, user);
  LocalFree(descriptor);
  return ours;
}

}  // namespace

WindowClaim::WindowClaim(const QString& path, QObject* parent)
    : QObject(parent), m_channel(std::make_unique<Channel>()) {
  const std::wstring name = WindowClaimChannelName(path);
  std::vector<BYTE> user = currentUser();
  // Without a user to give it to, there is no channel: this viewer shows its own window.
  if (user.empty()) return;
  PSECURITY_DESCRIPTOR descriptor = userOnlyDescriptor(sidOf(user));
  if (descriptor == nullptr) return;
  SECURITY_ATTRIBUTES security{sizeof security, descriptor, FALSE};
  Channel& channel = *m_channel;
  channel.pipe = CreateNamedPipeW(
      name.c_str(), PIPE_ACCESS_INBOUND | FILE_FLAG_FIRST_PIPE_INSTANCE | FILE_FLAG_OVERLAPPED,
      PIPE_TYPE_BYTE | PIPE_REJECT_REMOTE_CLIENTS, 1, 0, 0, 0, &security);
  LocalFree(descriptor);
  if (channel.pipe != INVALID_HANDLE_VALUE) {
    channel.waiting.hEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    channel.connected.setHandle(channel.waiting.hEvent);
    connect(&channel.connected, &QWinEventNotifier::activated, this, [this] {
      Channel& held = *m_channel;
      if (!held.awaitingClose) {
        emit raiseRequested();
        if (held.awaitClose()) return;
      }
      held.awaitingClose = false;
      DisconnectNamedPipe(held.pipe);
      held.listen();
    });
    channel.connected.setEnabled(true);
    channel.listen();
    return;
  }
  // Another viewer holds the file. Windows lets a program take the foreground only when the
  // one in front allows it: this one, just started from the program in front, passes it on.
  AllowSetForegroundWindow(ASFW_ANY);
  for (int attempt = 0; attempt < 2; ++attempt) {
    // Identification only: whoever holds the pipe may learn who connects, but cannot act as
    // this user.
    const HANDLE end =
        CreateFileW(name.c_str(), GENERIC_WRITE | READ_CONTROL, 0, nullptr, OPEN_EXISTING,
                    SECURITY_SQOS_PRESENT | SECURITY_IDENTIFICATION, nullptr);
    if (end != INVALID_HANDLE_VALUE) {
      // A pipe of another user's is no viewer of ours: this one shows its own window.
      m_handedOver = ownedBy(end, sidOf(user));
      CloseHandle(end);
      return;
    }
    // Busy while the holder takes another request; when nobody answers, this viewer shows its
    // own window.
    if (GetLastError() != ERROR_PIPE_BUSY || !WaitNamedPipeW(name.c_str(), 2000)) return;
  }
}

WindowClaim::~WindowClaim() = default;
