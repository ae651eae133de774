#pragma once

#include <QPointer>
#include <QWidget>

#include "MessageBoxService.h"

/// The message box on screen: titled with the application title, modal to the given window.
class QtMessageBox final : public MessageBoxService {
public:
  explicit QtMessageBox(QWidget* parent = nullptr) : m_parent(parent) {}
  void showMessage(const std::string& text, int style) override;

private:
  QPointer<QWidget> m_parent;
};
