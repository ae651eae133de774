#pragma once

#include <QAbstractNativeEventFilter>
#include <functional>

#include "MotionPreference.h"

/// Whether Windows shows animations ("Show animations in Windows", SPI_GETCLIENTAREAANIMATION).
/// Where the system cannot tell, they are taken as shown.
bool SystemAnimationsShown();

/// Less motion while Windows shows no animations; read again whenever the system announces a
/// changed setting (WM_SETTINGCHANGE).
class WindowsMotionPreference final : public MotionPreference, public QAbstractNativeEventFilter {
  Q_OBJECT

public:
  /// `animationsShown` reads the setting; tests give their own.
  explicit WindowsMotionPreference(std::function<bool()> animationsShown = SystemAnimationsShown,
                                   QObject* parent = nullptr);
  ~WindowsMotionPreference() override;

  bool lessMotion() const override { return m_lessMotion; }
  bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;

private:
  std::function<bool()> m_animationsShown;
  bool m_lessMotion = false;
};
