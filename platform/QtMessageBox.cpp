#include "QtMessageBox.h"

#include <QMessageBox>

#include "AppInfo.h"

void QtMessageBox::showMessage(const std::string& text, int style) {
  QMessageBox box(style == kMessageCritical ? QMessageBox::Critical : QMessageBox::NoIcon,
                  QString::fromUtf8(AppInfo::kTitle), QString::fromStdString(text), QMessageBox::Ok,
                  m_parent);
  box.exec();
}
