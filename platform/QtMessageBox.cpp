#include "QtMessageBox.h"

#include <QApplication>
#include <QMessageBox>

#include "AppInfo.h"
#include "ButtonKeys.h"

void QtMessageBox::showMessage(const std::string& text, int style) {
  // Timers keep firing while a box is open; an error that repeats on every tick must not stack
  // a new box on the one the user is reading.
  static bool errorShowing = false;
  const bool isError = style == kMessageCritical;
  if (isError && errorShowing) return;

  // Without a parent of its own, the box stands over the window the user is working in.
  QWidget* parent = m_parent ? m_parent.data() : QApplication::activeModalWidget();
  if (parent == nullptr) parent = QApplication::activeWindow();
  QMessageBox box(isError ? QMessageBox::Critical : QMessageBox::NoIcon,
                  QString::fromUtf8(AppInfo::kTitle), QString::fromStdString(text), QMessageBox::Ok,
                  parent);
  // The key that opened the box may still be held: its repeats must not close it unread.
  ButtonKeys keys(ButtonKeys::Enter::LeaveAlone);
  for (QAbstractButton* button : box.buttons()) keys.watch(button);
  if (isError) errorShowing = true;
  box.exec();
  if (isError) errorShowing = false;
}
