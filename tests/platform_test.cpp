// The widget layer: picture buttons, control arrays, the handler guard and the message box.
#include <QBackingStore>
#include <QMessageBox>
#include <QPainter>
#include <QSignalSpy>
#include <QStyle>
#include <QStyleFactory>
#include <QTimer>
#include <QtTest>
#include <memory>

#include "AppInfo.h"
#include "ControlArray.h"
#include "HandlerGuard.h"
#include "PictureButton.h"
#include "QtMessageBox.h"
#include "RecordingMessageBox.h"
#include "Twips.h"
#include "WindowFit.h"

namespace {

QPixmap patterned(QColor colour, int stripes) {
  QImage image(40, 40, QImage::Format_RGB32);
  image.fill(Qt::black);
  QPainter painter(&image);
  for (int i = 0; i < stripes; ++i) painter.fillRect(2 + i * 6, 4 + i, 3, 30 - i, colour);
  return QPixmap::fromImage(image);
}

// The part of the button's grab where its picture sits.
QImage shownOn(PictureButton& button, QSize pictureSize) {
  const QImage grab = button.grab().toImage().convertToFormat(QImage::Format_RGB32);
  return grab.copy(QRect(QPoint((button.width() - pictureSize.width()) / 2,
                                (button.height() - pictureSize.height()) / 2),
                         pictureSize));
}

struct PaintCounter : QObject {
  int paints = 0;
  bool eventFilter(QObject*, QEvent* event) override {
    paints += event->type() == QEvent::Paint;
    return false;
  }
};

// What the window's backing store holds, as left by the repaints so far.
QImage onScreen(QWidget& window) {
  const auto* store = dynamic_cast<QImage*>(window.backingStore()->paintDevice());
  return store ? store->convertToFormat(QImage::Format_RGB32) : QImage();
}

}  // namespace

class PlatformTest : public QObject {
  Q_OBJECT

private slots:
  void disabledButtonShowsItsOwnPictureUnaltered() {
    PictureButton button;
    button.resize(51, 51);
    const QPixmap normal = patterned(QColor(0x31, 0xff, 0xff), 3);
    const QPixmap stopped = patterned(QColor(0xe7, 0xff, 0x08), 5);
    button.setPicture(normal);
    button.setDisabledPicture(stopped);

    QCOMPARE(shownOn(button, normal.size()),
             normal.toImage().convertToFormat(QImage::Format_RGB32));
    button.setEnabled(false);
    QCOMPARE(shownOn(button, stopped.size()),
             stopped.toImage().convertToFormat(QImage::Format_RGB32));
    button.setEnabled(true);
    QCOMPARE(shownOn(button, normal.size()),
             normal.toImage().convertToFormat(QImage::Format_RGB32));

    // Both pictures stay centred when the button changes its size after it got them.
    button.resize(71, 61);
    QCOMPARE(shownOn(button, normal.size()),
             normal.toImage().convertToFormat(QImage::Format_RGB32));
    button.setEnabled(false);
    QCOMPARE(shownOn(button, stopped.size()),
             stopped.toImage().convertToFormat(QImage::Format_RGB32));
  }

  void faceIsBlackAroundThePicture() {
    PictureButton button;
    button.resize(171, 51);
    button.setPicture(patterned(Qt::white, 1));
    const QImage grab = button.grab().toImage();
    // Inside the bevel, outside the picture: the black face.
    QCOMPARE(QColor(grab.pixel(20, 25)), QColor(Qt::black));
    QCOMPARE(QColor(grab.pixel(150, 25)), QColor(Qt::black));
  }

  void pictureChangeRepaintsTheButtonAlone() {
    // Fusion clears the opaque flag of the buttons it polishes; the button must win it back,
    // or every spin frame would repaint the panel beneath it too.
    std::unique_ptr<QStyle> fusion(QStyleFactory::create("Fusion"));
    QVERIFY(fusion);
    PaintCounter parentPaints, buttonPaints;
    QWidget parent;
    parent.setStyle(fusion.get());
    auto* button = new PictureButton(&parent);
    button->setStyle(fusion.get());
    button->setGeometry(10, 10, 51, 51);
    parent.resize(80, 80);
    parent.show();
    QVERIFY(QTest::qWaitForWindowExposed(&parent));
    QVERIFY(button->testAttribute(Qt::WA_OpaquePaintEvent));
    parent.installEventFilter(&parentPaints);
    button->installEventFilter(&buttonPaints);
    button->setPicture(patterned(Qt::green, 2));
    QTRY_COMPARE(buttonPaints.paints, 1);
    button->setPicture(patterned(Qt::red, 3));
    QTRY_COMPARE(buttonPaints.paints, 2);
    QCOMPARE(parentPaints.paints, 0);
    button->setPicture(button->picture());
    QTest::qWait(0);
    QCOMPARE(buttonPaints.paints, 2);  // the same picture again changes nothing
  }

  void stateChangeRepaintsTheWholeFace_data() {
    QTest::addColumn<QString>("change");
    QTest::addColumn<bool>("sunken");
    QTest::newRow("stopped") << "stop" << true;
    QTest::newRow("pressed") << "press" << true;
    QTest::newRow("focused") << "focus" << false;
  }

  void stateChangeRepaintsTheWholeFace() {
    // Spin frames repaint the picture alone; a change of state must bring the whole face up to
    // date. Either way the window must look as a full repaint of it leaves it (run at 1x and 2x).
    QFETCH(QString, change);
    QFETCH(bool, sunken);
    QWidget window;
    auto* button = new PictureButton(&window);
    button->setGeometry(10, 10, 51, 51);
    window.resize(80, 80);
    window.show();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    button->clearFocus();  // an activated window gives its first button the focus
    const qreal ratio = button->devicePixelRatioF();
    auto picture = [ratio](QColor colour, int stripes) {
      QPixmap sharp = patterned(colour, stripes).scaled(QSize(40, 40) * ratio);
      sharp.setDevicePixelRatio(ratio);
      return sharp;
    };
    PaintCounter paints;
    button->installEventFilter(&paints);
    auto compareWithFullRepaint = [&] {
      QTRY_VERIFY(paints.paints > 0);
      const QImage partial = onScreen(window);
      QVERIFY(!partial.isNull());
      window.repaint();
      paints.paints = 0;
      QCOMPARE(partial, onScreen(window));
    };
    for (int frame = 1; frame <= 3; ++frame) {
      button->setPicture(picture(QColor(0x31, 0xff, 0xff), frame));
      compareWithFullRepaint();
      if (QTest::currentTestFailed()) return;
    }

    if (change == "stop") {
      button->setDisabledPicture(picture(QColor(0xe7, 0xff, 0x08), 5));
      button->setEnabled(false);
    } else if (change == "press") {
      button->setDown(true);
    } else {
      button->setFocus();
    }
    compareWithFullRepaint();
    if (QTest::currentTestFailed()) return;
    const QColor corner = button->grab().toImage().pixelColor(0, 0);
    QCOMPARE(corner, sunken ? QColor(0x40, 0x40, 0x40) : QColor(Qt::white));
  }

  void disabledButtonTakesNoClicks() {
    PictureButton button;
    button.resize(51, 51);
    button.show();
    QSignalSpy clicks(&button, &QAbstractButton::clicked);
    QTest::mouseClick(&button, Qt::LeftButton);
    QCOMPARE(clicks.count(), 1);
    button.setEnabled(false);
    QTest::mouseClick(&button, Qt::LeftButton);
    QTest::keyClick(&button, Qt::Key_Space);
    QCOMPARE(clicks.count(), 1);
  }

  void keyboardReachesAndPressesTheButton() {
    QWidget window;
    auto* first = new PictureButton(&window);
    auto* second = new PictureButton(&window);
    second->move(60, 0);
    window.show();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    first->setFocus();
    QTest::keyClick(&window, Qt::Key_Tab);
    QVERIFY(second->hasFocus());
    QSignalSpy clicks(second, &QAbstractButton::clicked);
    QTest::keyClick(second, Qt::Key_Space);
    QCOMPARE(clicks.count(), 1);
  }

  void layoutScaleIsTheFontsHeightOverTheDesignFonts_data() {
    QTest::addColumn<QFont>("font");
    QTest::addColumn<qreal>("scale");
    auto inPixels = [](int pixels) {
      QFont font;
      font.setPixelSize(pixels);
      return font;
    };
    auto inPoints = [](qreal points) {
      QFont font;
      font.setPointSizeF(points);
      return font;
    };
    QTest::newRow("design font, 9 pt") << inPoints(9) << 1.0;
    QTest::newRow("13.5 pt") << inPoints(13.5) << 1.5;
    QTest::newRow("10 px: as designed") << inPixels(10) << 1.0;
    QTest::newRow("24 px") << inPixels(24) << 2.0;
  }

  void layoutScaleIsTheFontsHeightOverTheDesignFonts() {
    QFETCH(QFont, font);
    QFETCH(qreal, scale);
    QCOMPARE(LayoutScale::ForFont(font).factor(), scale);
  }

  void bevelWidensWithTheLayout_data() {
    QTest::addColumn<qreal>("scale");
    QTest::addColumn<int>("line");
    QTest::newRow("design") << 1.0 << 1;
    QTest::newRow("twice") << 2.0 << 2;
    QTest::newRow("2.25") << 2.25 << 2;
  }

  void bevelWidensWithTheLayout() {
    QFETCH(qreal, scale);
    QFETCH(int, line);
    PictureButton button(nullptr, LayoutScale(scale));
    button.resize(102, 102);
    const QImage face = button.grab().toImage();
    // Down the diagonal from the top left: the outer ring's light, the inner ring's, the face.
    const qreal ratio = face.devicePixelRatio();
    auto at = [&](int logical) { return face.pixelColor(QPoint(logical, logical) * ratio); };
    for (int i = 0; i < line; ++i) {
      QCOMPARE(at(i), QColor(0xff, 0xff, 0xff));
      QCOMPARE(at(line + i), QColor(0xa0, 0xa0, 0xa0));
    }
    QCOMPARE(at(2 * line), QColor(Qt::black));
  }

  void keptOnScreen_data() {
    QTest::addColumn<QRect>("frame");
    QTest::addColumn<QPoint>("expected");
    const QRect box(195, 161, 478, 297);
    QTest::newRow("fits: stays where designed") << box << box.topLeft();
    QTest::newRow("off the right: moved left") << box.translated(500, 0) << QPoint(800 - 478, 161);
    QTest::newRow("off the bottom: moved up") << box.translated(0, 400) << QPoint(195, 600 - 297);
    QTest::newRow("off the top left: moved in") << box.translated(-300, -200) << QPoint(0, 0);
    QTest::newRow("larger than the area: its top left")
        << QRect(100, 100, 900, 700) << QPoint(0, 0);
  }

  // The area is an 800 x 600 screen.
  void keptOnScreen() {
    QFETCH(QRect, frame);
    QFETCH(QPoint, expected);
    QCOMPARE(KeptOnScreen(frame, QRect(0, 0, 800, 600)), expected);
  }

  void pictureCanBeSetByPropertyName() {
    PictureButton button;
    const QPixmap picture = patterned(Qt::green, 2);
    QVERIFY(button.setProperty("Picture", picture));
    QCOMPARE(button.picture().cacheKey(), picture.cacheKey());  // shared, not copied
    QVERIFY(!button.setProperty("Picture", QStringLiteral("not a picture")));
  }

  void controlArrayReportsAMissingElement() {
    QWidget parent;
    ControlArray<PictureButton> array("CommandStart");
    PictureButton buttons[3];
    for (int16_t i = 0; i < 3; ++i) array.insert(i, &buttons[i]);
    QCOMPARE(&array[2], &buttons[2]);
    for (int16_t missing : {int16_t{-1}, int16_t{3}, int16_t{32767}}) {
      try {
        array[missing];
        QFAIL("a missing element was returned");
      } catch (const RuntimeError& error) {
        QCOMPARE(error.kind(), ErrorKind::MissingElement);
        QVERIFY(QString::fromStdString(error.what()).contains("CommandStart"));
      }
    }
    QList<int16_t> visited;
    array.forEach([&](int16_t index, PictureButton& button) {
      QCOMPARE(&button, &buttons[index]);
      visited << index;
    });
    QCOMPARE(visited, (QList<int16_t>{0, 1, 2}));
  }

  void errorInAHandlerIsReportedNotThrown() {
    RecordingMessageBox messages;
    int steps = 0;
    // A real timer, so the error would cross the event loop if the guard let it through.
    QTimer::singleShot(0, [&] {
      RunHandler(messages, [&] {
        ++steps;
        throw RuntimeError(ErrorKind::Overflow, "detail");
        ++steps;
      });
    });
    QTRY_COMPARE(messages.messages.size(), size_t{1});
    QCOMPARE(steps, 1);  // the handler ended at the error, with its state as it left it
    QCOMPARE(messages.messages[0].style, int(kMessageCritical));
    QVERIFY(QString::fromStdString(messages.messages[0].text)
                .startsWith(QString::fromUtf8(RuntimeError::kindText(ErrorKind::Overflow))));

    RunHandler(messages, [] { throw std::logic_error("logic"); });
    QCOMPARE(messages.messages.size(), size_t{2});
    RunHandler(messages, [&] { ++steps; });
    QCOMPARE(messages.messages.size(), size_t{2});
    QCOMPARE(steps, 2);
  }

  void messageBoxBearsTheApplicationTitle() {
    QtMessageBox box;
    QString title, text;
    QMessageBox::Icon icon = QMessageBox::Question;
    QTimer::singleShot(0, [&] {
      auto* shown = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      QVERIFY(shown);
      title = shown->windowTitle();
      text = shown->text();
      icon = shown->icon();
      shown->accept();
    });
    box.showMessage("現時点では", kMessageOkOnly);
    QCOMPARE(title, QString::fromUtf8(AppInfo::kTitle));
    QCOMPARE(text, QStringLiteral("現時点では"));
    QCOMPARE(icon, QMessageBox::NoIcon);
  }

  void errorsDoNotStackWhileOneIsShown() {
    QtMessageBox box;
    int shown = 0;
    QTimer::singleShot(0, [&] {
      auto* first = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      QVERIFY(first);
      ++shown;
      box.showMessage("again", kMessageCritical);  // returns at once: no second box
      QCOMPARE(QApplication::activeModalWidget(), first);
      first->accept();
    });
    box.showMessage("first", kMessageCritical);
    QCOMPARE(shown, 1);
  }
};

QTEST_MAIN(PlatformTest)
#include "platform_test.moc"
