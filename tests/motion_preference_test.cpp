// Less motion on Linux desktops: the session bus is asked only when one runs already, and the
// picker window follows a settings portal (a stand-in on a private bus) while it runs.
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

#include "FakeFileFinder.h"
#include "FakeRegistry.h"
#include "MotionPreference_posix.h"
#include "RecordingMessageBox.h"
#include "RecordingProgramStarter.h"
#include "ScriptedRandom.h"
#include "Session.h"
#include "frmMain.h"

class MotionPreferenceTest : public QObject {
  Q_OBJECT

  QTemporaryDir m_runtime;  // the session's runtime folder, its bus socket inside
  QProcess m_bus;
  QProcess m_portal;

  ClockRandom m_random;
  RecordingProgramStarter m_programs;
  RecordingMessageBox m_messages;
  FakeRegistry m_registry;
  FakeFileFinder m_files;

  void set(const char* nameSpace, const char* key, const QVariant& value) {
    QDBusMessage call = QDBusMessage::createMethodCall("org.freedesktop.portal.Desktop",
                                                       "/org/freedesktop/portal/desktop",
                                                       "jp.tamahiroi.test.FakePortal", "Set");
    call << QString(nameSpace) << QString(key) << QVariant::fromValue(QDBusVariant(value));
    const QDBusMessage reply = QDBusConnection(QStringLiteral("test")).call(call);
    QVERIFY2(reply.type() == QDBusMessage::ReplyMessage, qPrintable(reply.errorMessage()));
  }

  static bool steady(const frmMain& window) {
    const qint64 first = window.banks().Image4()[0].cacheKey();
    for (int16_t i = 0; i < kGameCount; ++i)
      if (window.CommandStart()[i].picture().cacheKey() != first) return false;
    return !window.findChild<QTimer*>("TimerStart")->isActive();
  }

private slots:
  void initTestCase() {
    m_bus.start("dbus-daemon", {"--session", "--nofork", "--print-address=1",
                                "--address=unix:path=" + m_runtime.filePath("bus")});
    QVERIFY(m_bus.waitForStarted());
    QTRY_VERIFY(m_bus.canReadLine());
    const QString address = QString::fromUtf8(m_bus.readLine()).trimmed();
    QDBusConnection bus = QDBusConnection::connectToBus(address, "test");
    QVERIFY(bus.isConnected());

    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("DBUS_SESSION_BUS_ADDRESS", address);
    m_portal.setProcessEnvironment(environment);
    m_portal.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_portal.start(TH_PYTHON, {TH_FAKE_PORTAL});
    QVERIFY(m_portal.waitForStarted());
    QTRY_VERIFY(bus.interface()->isServiceRegistered("org.freedesktop.portal.Desktop"));
  }

  void cleanupTestCase() {
    QDBusConnection::disconnectFromBus("test");
    for (QProcess* process : {&m_portal, &m_bus}) {
      process->kill();
      process->waitForFinished();
    }
  }

  void onlyARunningBusIsAsked_data() {
    QTest::addColumn<QByteArray>("address");
    QTest::addColumn<bool>("socket");
    QTest::addColumn<QString>("expected");  // %1: the runtime folder
    QTest::newRow("the session's address") << QByteArray("unix:path=/x") << true << "unix:path=/x";
    QTest::newRow("its socket, escaped") << QByteArray() << true << "unix:path=%1/a%20b%25/bus";
    QTest::newRow("a plain file: never an autolaunch") << QByteArray() << false << "";
  }

  void onlyARunningBusIsAsked() {
    QFETCH(QByteArray, address);
    QFETCH(bool, socket);
    QFETCH(QString, expected);
    QTemporaryDir top;
    const QString runtime = top.filePath("a b%");
    QVERIFY(QDir().mkpath(runtime));
    // The session's socket, or a plain file of its name, which is no bus.
    const int listener = ::socket(AF_UNIX, SOCK_STREAM, 0);
    if (socket) {
      sockaddr_un place{};
      place.sun_family = AF_UNIX;
      qstrncpy(place.sun_path, QFile::encodeName(runtime + "/bus").constData(),
               sizeof place.sun_path);
      QCOMPARE(::bind(listener, reinterpret_cast<sockaddr*>(&place), sizeof place), 0);
    } else {
      QVERIFY(QFile(runtime + "/bus").open(QIODevice::WriteOnly));
    }
    qputenv("DBUS_SESSION_BUS_ADDRESS", address);
    qputenv("XDG_RUNTIME_DIR", runtime.toUtf8());
    QCOMPARE(RunningSessionBusAddress(), expected.replace("%1", top.path()));
    ::close(listener);
  }

  void blinkFollowsThePortalWhileTheWindowRuns() {
    // The answer at start, then either setting turned on and off while the window runs.
    // The preference as the program makes it, the bus found through the session's socket alone.
    set("org.freedesktop.appearance", "reduced-motion", 1u);
    qunsetenv("DBUS_SESSION_BUS_ADDRESS");
    qputenv("XDG_RUNTIME_DIR", m_runtime.path().toUtf8());
    const std::unique_ptr<MotionPreference> motion = NewSystemMotionPreference();
    const auto window = std::make_unique<frmMain>(
        PickerServices{m_random, m_programs, m_messages, m_registry, m_files, motion.get()});
    window->show();
    auto* blink = window->findChild<QTimer*>("TimerStart");
    QTRY_VERIFY(steady(*window));
    QVERIFY(window->Timer(18).isActive());  // the reels still spin
    set("org.freedesktop.appearance", "reduced-motion", 0u);
    QTRY_VERIFY(blink->isActive());
    set("org.gnome.desktop.interface", "enable-animations", false);
    QTRY_VERIFY(steady(*window));
    set("org.gnome.desktop.interface", "enable-animations", true);
    QTRY_VERIFY(blink->isActive());
    QVERIFY(m_messages.messages.empty());
  }
};

QTEST_MAIN(MotionPreferenceTest)
#include "motion_preference_test.moc"
