#pragma once

#include <QString>
#include <QWidget>
#include <vector>

#include "Announcer.h"

/// Records what would be said instead of saying it.
class RecordingAnnouncer final : public Announcer {
public:
  struct Said {
    QString source;  // the control's object name
    QString message;
  };

  void announce(QWidget& source, const QString& message) override {
    said.push_back({source.objectName(), message});
  }

  std::vector<Said> said;
};
