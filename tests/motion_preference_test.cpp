// Less motion on Linux desktops: the session bus is asked only when one runs already, and the
// picker window follows a settings portal (a stand-in on a private bus) while it runs.
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
#include "frmMain.h"

class MotionPreferenceTest : public QObject {
  Q_OBJECT

  QTemporaryDir m_runtime;  // the session's runtime folder, its bus socket inside
  QProcess m_bus;
  QProcess m_portal;
  QString m_address;

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

  // The window with the desktop's preference as the program makes it, here found through the
  // session's socket alone.
  std::unique_ptr<frmMain> newWindow(std::unique_ptr<MotionPreference>& motion) {
    qunsetenv("DBUS_SESSION_BUS_ADDRESS");
    qputenv("XDG_RUNTIME_DIR", m_runtime.path().toUtf8());
    motion = NewSystemMotionPreference();
    auto window = std::make_unique<frmMain>(
        PickerServices{m_random, m_programs, m_messages, m_registry, m_files, motion.get()});
    window->show();
    return window;
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
    m_address = QString::fromUtf8(m_bus.readLine()).trimmed();
    QDBusConnection bus = QDBusConnection::connectToBus(m_address, "test");
    QVERIFY(bus.isConnected());

    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("DBUS_SESSION_BUS_ADDRESS", m_address);
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
    QTest::addColumn<QString>("runtimeFolder");
    QTest::addColumn<bool>("socket");
    QTest::addColumn<QString>("expected");
    QTest::newRow("the session's address")
        << QByteArray("unix:path=/run/x/bus") << "a b" << true << "unix:path=/run/x/bus";
    QTest::newRow("the session's socket, its path escaped")
        << QByteArray() << "a b%" << true << "unix:path=%1/a%20b%25/bus";
    QTest::newRow("no socket: nothing, never an autolaunch") << QByteArray() << "c" << false << "";
    QTest::newRow("no runtime folder") << QByteArray() << "" << false << "";
  }

  void onlyARunningBusIsAsked() {
    QFETCH(QByteArray, address);
    QFETCH(QString, runtimeFolder);
    QFETCH(bool, socket);
    QFETCH(QString, expected);
    QTemporaryDir top;
    const QString runtime = runtimeFolder.isEmpty() ? QString() : top.filePath(runtimeFolder);
    if (!runtime.isEmpty()) QVERIFY(QDir().mkpath(runtime));
    if (socket) QVERIFY(QFile(runtime + "/bus").open(QIODevice::WriteOnly));
    qputenv("DBUS_SESSION_BUS_ADDRESS", address);
    qputenv("XDG_RUNTIME_DIR", runtime.toUtf8());
    QCOMPARE(RunningSessionBusAddress(), expected.replace("%1", top.path()));
  }

  void blinkFollowsThePortalWhileTheWindowRuns() {
    set("org.gnome.desktop.interface", "enable-animations", true);
    std::unique_ptr<MotionPreference> motion;
    std::unique_ptr<frmMain> window = newWindow(motion);
    QVERIFY(!steady(*window));

    set("org.gnome.desktop.interface", "enable-animations", false);
    QTRY_VERIFY(steady(*window));
    set("org.gnome.desktop.interface", "enable-animations", true);
    QTRY_VERIFY(window->findChild<QTimer*>("TimerStart")->isActive());

    set("org.freedesktop.appearance", "reduced-motion", 1u);
    QTRY_VERIFY(steady(*window));
    set("org.freedesktop.appearance", "reduced-motion", 0u);
    QTRY_VERIFY(window->findChild<QTimer*>("TimerStart")->isActive());
    QVERIFY(window->Timer(1).isActive());
    QVERIFY(m_messages.messages.empty());
  }

  void theAnswerAtStartIsFollowed() {
    set("org.freedesktop.appearance", "reduced-motion", 1u);
    std::unique_ptr<MotionPreference> motion;
    std::unique_ptr<frmMain> window = newWindow(motion);
    QTRY_VERIFY(steady(*window));
    QVERIFY(window->Timer(18).isActive());  // the reels still spin
    set("org.freedesktop.appearance", "reduced-motion", 0u);
  }
};

QTEST_MAIN(MotionPreferenceTest)
#include "motion_preference_test.moc"
