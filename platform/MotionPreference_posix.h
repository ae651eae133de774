#pragma once

#include <QDBusVariant>
#include <QString>

#include "MotionPreference.h"

/// Less motion as the desktop's settings portal tells it: "enable-animations" false under
/// org.gnome.desktop.interface, or "reduced-motion" 1 under org.freedesktop.appearance.
/// Asks once without waiting for the answer, then follows the portal's SettingChanged signal.
class PortalMotionPreference final : public MotionPreference {
  Q_OBJECT

public:
  /// Asks the portal on the bus at `busAddress`. With no address, no bus or no portal there, it
  /// never asks for less motion.
  explicit PortalMotionPreference(const QString& busAddress, QObject* parent = nullptr);
  ~PortalMotionPreference() override;

  bool lessMotion() const override { return m_animationsOff || m_reducedMotion; }

private slots:
  void settingChanged(const QString& nameSpace, const QString& key, const QDBusVariant& value);

private:
  void read(const QString& nameSpace, const QString& key);
  void take(const QString& nameSpace, const QString& key, QVariant value);

  QString m_connection;  // our own connection's name; empty when there is none
  bool m_animationsOff = false;
  bool m_reducedMotion = false;
};
