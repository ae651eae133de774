#include "Session.h"

#include <sys/stat.h>
#include <unistd.h>

#include <QByteArray>
#include <QString>
#include <QtGlobal>
#include <cctype>

namespace {

// A value in a D-Bus address: bytes outside the always-allowed set are written as %XX.
QString EscapedAddressValue(const QString& value) {
  QString escaped;
  for (const char byte : value.toUtf8()) {
    const auto c = static_cast<unsigned char>(byte);
    if (std::isalnum(c) || QByteArrayView("-_/.\\*").contains(byte))
      escaped += QLatin1Char(byte);
    else
      escaped += QStringLiteral("%%1").arg(c, 2, 16, QLatin1Char('0'));
  }
  return escaped;
}

bool IsPrivateFolder(const QByteArray& path) {
  struct stat info {};
  return ::stat(path.constData(), &info) == 0 && S_ISDIR(info.st_mode) &&
         info.st_uid == ::geteuid() && (info.st_mode & 07777) == 0700;
}

bool IsSocket(const QByteArray& path) {
  struct stat info {};
  return ::stat(path.constData(), &info) == 0 && S_ISSOCK(info.st_mode);
}

}  // namespace

QString RunningSessionBusAddress() {
  const QString address = qEnvironmentVariable("DBUS_SESSION_BUS_ADDRESS");
  if (!address.isEmpty()) return address;
  const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
  if (runtime.isEmpty()) return {};
  const QString socket = runtime + QStringLiteral("/bus");
  if (!IsSocket(socket.toLocal8Bit())) return {};
  return QStringLiteral("unix:path=") + EscapedAddressValue(socket);
}

// A folder under which nothing can be made: the null device is no folder.
constexpr const char* kNoTemp = "/dev/null";

ToolkitStartEnvironment::ToolkitStartEnvironment() {
  // Without a runtime folder (under sudo, su or ssh -X) the toolkit would make one in the
  // temporary folder while it starts. The login session's own folder serves where it exists;
  // elsewhere the toolkit is pointed at a temporary folder where its attempt fails, and it does
  // without (it only looks whether it runs in a sandbox there).
  if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR")) {
    const QByteArray session = "/run/user/" + QByteArray::number(::geteuid());
    if (IsPrivateFolder(session)) {
      qputenv("XDG_RUNTIME_DIR", session);
    } else {
      m_tempRedirected = true;
      m_hadTemp = qEnvironmentVariableIsSet("TMPDIR");
      m_temp = qgetenv("TMPDIR");
      qputenv("TMPDIR", kNoTemp);
    }
  }
  // With no session bus named, the D-Bus library would start one ("autolaunch"), which writes
  // files and outlives the program. A bus that runs is used; none is started: the address below
  // is never a bus, so a connection simply fails. It stays for the program's whole life.
  if (RunningSessionBusAddress().isEmpty())
    qputenv("DBUS_SESSION_BUS_ADDRESS", "unix:path=/dev/null");
}

ToolkitStartEnvironment::~ToolkitStartEnvironment() {
  if (!m_tempRedirected) return;
  if (m_hadTemp)
    qputenv("TMPDIR", m_temp);
  else
    qunsetenv("TMPDIR");
}

bool ToolkitStartEnvironment::IsRuntimeFolderNotice(const QString& message) {
  return message.startsWith(QLatin1String("QStandardPaths: XDG_RUNTIME_DIR not set")) ||
         message.startsWith(QLatin1String("QStandardPaths: error creating runtime directory '") +
                            QLatin1String(kNoTemp));
}
