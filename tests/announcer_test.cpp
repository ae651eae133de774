// Speaking a result on the accessibility bus: what a screen reader is shown of each message,
// and that saying it changes neither the focus nor a pixel of the window. (That Orca speaks it
// is checked with the real Orca by orca_stop_test.sh.)
#include <QAccessible>
#include <QPushButton>
#include <QtTest>
#include <memory>

#include "Announcer.h"

namespace {

// The accessibility tree's objects of the notification role in `window`, by their names.
QStringList NotificationsIn(QWidget& window) {
  QStringList names;
  for (QWidget* widget : window.findChildren<QWidget*>()) {
    QAccessibleInterface* object = QAccessible::queryAccessibleInterface(widget);
    if (object != nullptr && object->role() == QAccessible::Notification &&
        !object->state().invisible)
      names << object->text(QAccessible::Name);
  }
  names.sort();
  return names;
}

struct ShowCounter : QObject {
  int count = 0;
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Show) ++count;
    return false;
  }
};

}  // namespace

class AnnouncerTest : public QObject {
  Q_OBJECT

private slots:
  void eachControlsLatestMessageIsShownAsANotification() {
    QWidget window;
    window.resize(200, 100);
    auto* first = new QPushButton("first", &window);
    first->setObjectName("first");
    first->setGeometry(10, 10, 80, 30);
    auto* second = new QPushButton("second", &window);
    second->setObjectName("second");
    second->setGeometry(100, 10, 80, 30);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    second->setFocus();
    const QImage before = window.grab().toImage();

    const std::unique_ptr<Announcer> announcer = NewSystemAnnouncer();
    struct Step {
      QPushButton* source;
      const char* message;
      QStringList shown;
    };
    // A message about one control leaves another's in place; a newer one about the same
    // control takes its place.
    const Step steps[] = {
        {first, "ﾛﾄ6 1 は 12", {"ﾛﾄ6 1 は 12"}},
        {second, "ﾛﾄ6 2 は 7", {"ﾛﾄ6 1 は 12", "ﾛﾄ6 2 は 7"}},
        {first, "ﾛﾄ6 1 は 40", {"ﾛﾄ6 1 は 40", "ﾛﾄ6 2 は 7"}},
    };
    for (const Step& step : steps) {
      announcer->announce(*step.source, QString::fromUtf8(step.message));
      QCOMPARE(NotificationsIn(window), step.shown);
      QCOMPARE(QApplication::focusWidget(), second);
      QCOMPARE(window.grab().toImage(), before);
    }

    // Clicks still reach the control whose corner the notification sits in.
    QSignalSpy clicked(first, &QPushButton::clicked);
    QTest::mouseClick(window.windowHandle(), Qt::LeftButton, {}, first->geometry().topLeft());
    QCOMPARE(clicked.count(), 1);
  }

  void everyMessageIsAnObjectThatAppearsAnew() {
    // Screen readers present a notification as it starts to show, so the object must appear
    // again for each message, not just be renamed.
    QWidget window;
    auto* source = new QPushButton("reel", &window);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    const std::unique_ptr<Announcer> announcer = NewSystemAnnouncer();
    announcer->announce(*source, "one");
    QWidget* notification = nullptr;
    for (QWidget* widget : window.findChildren<QWidget*>())
      if (QAccessible::queryAccessibleInterface(widget)->role() == QAccessible::Notification)
        notification = widget;
    QVERIFY(notification != nullptr);
    ShowCounter shows;
    notification->installEventFilter(&shows);
    announcer->announce(*source, "two");
    announcer->announce(*source, "three");
    QCOMPARE(shows.count, 2);
  }
};

QTEST_MAIN(AnnouncerTest)
#include "announcer_test.moc"
