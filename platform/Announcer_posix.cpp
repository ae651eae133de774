// Speaking a result on the accessibility bus (AT-SPI). The toolkit offers no announcement of
// its own here, and a changed description or name is spoken only for the control that has the
// focus, which a stopped reel has just lost; what screen readers do present wherever it happens
// is an object of the notification role that starts to show (measured with Orca).
#include <QAccessible>
#include <QAccessibleWidget>
#include <QPointer>
#include <QWidget>

#include "Announcer.h"

namespace {

/// One control's latest message: a 1x1 child that paints nothing and lets every click through,
/// so the window looks and behaves the same, shown anew for each message.
class Notification final : public QWidget {
  Q_OBJECT

public:
  Notification(QWidget& source, QWidget* parent) : QWidget(parent), m_source(&source) {
    setObjectName(source.objectName() + "_notification");
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
    // In a corner of its control, which paints over it anyway.
    setGeometry(parent != nullptr ? source.x() : 0, parent != nullptr ? source.y() : 0, 1, 1);
  }

  const QWidget* source() const { return m_source; }

private:
  QPointer<QWidget> m_source;
};

QAccessibleInterface* NotificationInterface(const QString&, QObject* object) {
  if (auto* notification = qobject_cast<Notification*>(object))
    return new QAccessibleWidget(notification, QAccessible::Notification);
  return nullptr;
}

class AtSpiAnnouncer final : public Announcer {
public:
  AtSpiAnnouncer() {
    static const bool installed = [] {
      QAccessible::installFactory(NotificationInterface);
      return true;
    }();
    (void)installed;
  }

  void announce(QWidget& source, const QString& message) override {
    // Beside the control (a control that has just been disabled would disable it too).
    QWidget* parent = source.parentWidget() != nullptr ? source.parentWidget() : &source;
    Notification* notification = nullptr;
    for (Notification* each : parent->findChildren<Notification*>(Qt::FindDirectChildrenOnly))
      if (each->source() == &source) notification = each;
    if (notification == nullptr) notification = new Notification(source, parent);
    // Each message is an object that appears: hidden, named, shown again.
    notification->hide();
    notification->setAccessibleName(message);
    notification->show();
  }
};

}  // namespace

std::unique_ptr<Announcer> NewSystemAnnouncer() { return std::make_unique<AtSpiAnnouncer>(); }

#include "Announcer_posix.moc"
