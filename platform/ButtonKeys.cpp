#include "ButtonKeys.h"

#include <QAbstractButton>
#include <QCoreApplication>
#include <QKeyEvent>

namespace {

bool IsEnter(int key) { return key == Qt::Key_Return || key == Qt::Key_Enter; }

bool PressesButton(int key) {
  return key == Qt::Key_Space || key == Qt::Key_Select || IsEnter(key);
}

}  // namespace

void ButtonKeys::watch(QAbstractButton* button) { button->installEventFilter(this); }

bool ButtonKeys::eventFilter(QObject* watched, QEvent* event) {
  if (m_forwarding || (event->type() != QEvent::KeyPress && event->type() != QEvent::KeyRelease))
    return false;
  auto* key = static_cast<QKeyEvent*>(event);
  if (!PressesButton(key->key()) || key->modifiers() & ~Qt::KeypadModifier) return false;
  if (key->isAutoRepeat()) return true;
  // Synthetic events carry no time; only stamped ones can be told apart this way.
  if (key->type() == QEvent::KeyRelease) {
    m_releasedKey = key->key();
    m_releasedAt = key->timestamp();
  } else if (key->key() == m_releasedKey && key->timestamp() != 0 &&
             key->timestamp() == m_releasedAt) {
    return true;
  }
  if (IsEnter(key->key()) && m_enter == Enter::PressesLikeSpace) {
    // The button's own Space handling: down on the press, a click on the release, and only
    // when the press began on this button.
    QKeyEvent space(key->type(), Qt::Key_Space, Qt::NoModifier, QStringLiteral(" "));
    space.setTimestamp(key->timestamp());
    m_forwarding = true;
    QCoreApplication::sendEvent(watched, &space);
    m_forwarding = false;
    return true;
  }
  return false;
}
