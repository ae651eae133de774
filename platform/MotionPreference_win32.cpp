// Less motion on Windows: "Show animations in Windows", read again on every WM_SETTINGCHANGE.
#include "MotionPreference_win32.h"

#include <windows.h>

#include <QCoreApplication>

bool SystemAnimationsShown() {
  BOOL shown = TRUE;
  if (!SystemParametersInfoW(SPI_GETCLIENTAREAANIMATION, 0, &shown, 0)) return true;
  return shown != FALSE;
}

WindowsMotionPreference::WindowsMotionPreference(std::function<bool()> animationsShown,
                                                 QObject* parent)
    : MotionPreference(parent),
      m_animationsShown(std::move(animationsShown)),
      m_lessMotion(!m_animationsShown()) {
  QCoreApplication::instance()->installNativeEventFilter(this);
}

WindowsMotionPreference::~WindowsMotionPreference() {
  if (QCoreApplication::instance() != nullptr)
    QCoreApplication::instance()->removeNativeEventFilter(this);
}

bool WindowsMotionPreference::nativeEventFilter(const QByteArray& eventType, void* message,
                                                qintptr*) {
  if (eventType != "windows_generic_MSG" || static_cast<MSG*>(message)->message != WM_SETTINGCHANGE)
    return false;
  const bool less = !m_animationsShown();
  if (less != m_lessMotion) {
    m_lessMotion = less;
    emit changed();
  }
  return false;  // others want the news too
}

std::unique_ptr<MotionPreference> NewSystemMotionPreference() {
  return std::make_unique<WindowsMotionPreference>();
}
