// Less motion on Linux desktops: the settings portal (org.freedesktop.portal.Settings) over the
// session bus, asked only when that bus is running already.
#include "MotionPreference_posix.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>

#include "AppInfo.h"
#include "Session.h"

namespace {

const QString kPortalService = QStringLiteral("org.freedesktop.portal.Desktop");
const QString kPortalPath = QStringLiteral("/org/freedesktop/portal/desktop");
const QString kSettings = QStringLiteral("org.freedesktop.portal.Settings");
const QString kGnomeInterface = QStringLiteral("org.gnome.desktop.interface");
const QString kEnableAnimations = QStringLiteral("enable-animations");
const QString kAppearance = QStringLiteral("org.freedesktop.appearance");
const QString kReducedMotion = QStringLiteral("reduced-motion");

// The portal's Read wraps the value in two variants (ReadOne and the signal in one).
QVariant Unwrapped(QVariant value) {
  while (value.metaType() == QMetaType::fromType<QDBusVariant>())
    value = value.value<QDBusVariant>().variant();
  return value;
}

}  // namespace

PortalMotionPreference::PortalMotionPreference(const QString& busAddress, QObject* parent)
    : MotionPreference(parent) {
  if (busAddress.isEmpty()) return;
  const QString name =
      QStringLiteral("%1.motion-%2").arg(AppInfo::kAppId).arg(quintptr(this), 0, 16);
  QDBusConnection bus = QDBusConnection::connectToBus(busAddress, name);
  if (!bus.isConnected()) {
    QDBusConnection::disconnectFromBus(name);
    return;
  }
  m_connection = name;
  // Listen first, so no change between the answer and the subscription is missed.
  bus.connect(kPortalService, kPortalPath, kSettings, QStringLiteral("SettingChanged"), this,
              SLOT(settingChanged(QString, QString, QDBusVariant)));
  read(kGnomeInterface, kEnableAnimations);
  read(kAppearance, kReducedMotion);
}

PortalMotionPreference::~PortalMotionPreference() {
  if (!m_connection.isEmpty()) QDBusConnection::disconnectFromBus(m_connection);
}

void PortalMotionPreference::read(const QString& nameSpace, const QString& key) {
  QDBusMessage call = QDBusMessage::createMethodCall(kPortalService, kPortalPath, kSettings,
                                                     QStringLiteral("Read"));
  call << nameSpace << key;
  // Not waited for: a portal that is slow to start must not hold up the window. A key the
  // portal does not know comes back as an error and changes nothing.
  auto* watcher = new QDBusPendingCallWatcher(QDBusConnection(m_connection).asyncCall(call), this);
  connect(watcher, &QDBusPendingCallWatcher::finished, this,
          [this, nameSpace, key](QDBusPendingCallWatcher* finished) {
            const QDBusPendingReply<QDBusVariant> reply = *finished;
            if (!reply.isError()) take(nameSpace, key, reply.value().variant());
            finished->deleteLater();
          });
}

void PortalMotionPreference::settingChanged(const QString& nameSpace, const QString& key,
                                            const QDBusVariant& value) {
  take(nameSpace, key, value.variant());
}

void PortalMotionPreference::take(const QString& nameSpace, const QString& key, QVariant value) {
  value = Unwrapped(value);
  const bool before = lessMotion();
  if (nameSpace == kGnomeInterface && key == kEnableAnimations)
    m_animationsOff = value.metaType() == QMetaType::fromType<bool>() && !value.toBool();
  else if (nameSpace == kAppearance && key == kReducedMotion)
    m_reducedMotion = value.metaType() == QMetaType::fromType<uint>() && value.toUInt() == 1;
  if (lessMotion() != before) emit changed();
}

std::unique_ptr<MotionPreference> NewSystemMotionPreference() {
  return std::make_unique<PortalMotionPreference>(RunningSessionBusAddress());
}
