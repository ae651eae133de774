#include "Application.h"

#include <QFileInfo>
#include <QFontDatabase>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "Session.h"

namespace {

// What the toolkit says while it starts is held back: if it then fails for want of a display,
// its English advice (to reinstall the program) would only mislead.
struct HeldMessage {
  QtMsgType type;
  const char* category;
  QString text;
};
std::vector<HeldMessage> g_held;
QString g_program;

// Whether the toolkit, on its way to failing, said it has no Wayland plugin at all.
bool WaylandPluginWasMissing() {
  for (const HeldMessage& held : g_held)
    if (qstrcmp(held.category, "qt.qpa.plugin") == 0 &&
        held.text.startsWith(QLatin1String("Could not find the Qt platform plugin \"wayland\"")))
      return true;
  return false;
}

void HoldStartMessages(QtMsgType type, const QMessageLogContext& context, const QString& text) {
  if (type == QtFatalMsg) {
    const QByteArray line =
        (NoDisplayMessage(g_program, WaylandPluginWasMissing()) + '\n').toLocal8Bit();
    std::fputs(line.constData(), stderr);
    std::fflush(stderr);
    // Returning would abort with a core file; there is nothing to clean up yet.
    std::_Exit(1);
  }
  g_held.push_back({type, context.category, text});
}

void WarnIfNoJapaneseFont(const QString& program) {
  if (!QFontDatabase::families(QFontDatabase::Japanese).isEmpty()) return;
  const QString line = program +
                       ": 日本語を表示できるフォントがありません。文字が四角で表示されます。"
                       "フォントを入れてください (Debian: apt install fonts-vlgothic)\n";
  std::fputs(line.toLocal8Bit().constData(), stderr);
}

}  // namespace

QString NoDisplayMessage(const QString& program, bool waylandPluginMissing) {
  const QString platform = qEnvironmentVariable("QT_QPA_PLATFORM");
  const QString display = qEnvironmentVariable("DISPLAY");
  const QString wayland = qEnvironmentVariable("WAYLAND_DISPLAY");
  QString reason;
  if (!platform.isEmpty())
    reason = "QT_QPA_PLATFORM=" + platform + " の画面に接続できません";
  else if (display.isEmpty() && wayland.isEmpty())
    reason = "DISPLAY が設定されていません";
  else if (!display.isEmpty())
    reason = "DISPLAY=" + display + " の画面に接続できません";
  else if (waylandPluginMissing)
    // Debian ships the toolkit's Wayland support in a package of its own, which a desktop
    // without it lacks; a compositor may well run there.
    reason = "WAYLAND_DISPLAY=" + wayland +
             " の画面に要る Qt の Wayland プラグインがありません。Debian: apt install qt6-wayland";
  else
    reason = "WAYLAND_DISPLAY=" + wayland + " の画面に接続できません";
  return program + ": 画面を開けないため起動できません (" + reason + ")";
}

std::unique_ptr<QApplication> StartApplication(int& argc, char** argv) {
  g_program = argc > 0 ? QFileInfo(QString::fromLocal8Bit(argv[0])).completeBaseName() : "TH";
  const QtMessageHandler previous = qInstallMessageHandler(HoldStartMessages);
  std::unique_ptr<QApplication> app;
  {
    ToolkitStartEnvironment environment;
    app = std::make_unique<QApplication>(argc, argv);
  }
  qInstallMessageHandler(previous);
  for (const HeldMessage& held : g_held) {
    if (ToolkitStartEnvironment::IsRuntimeFolderNotice(held.text)) continue;
    const QMessageLogContext context(nullptr, 0, nullptr, held.category);
    qt_message_output(held.type, context, held.text);
  }
  g_held.clear();
  WarnIfNoJapaneseFont(g_program);
  return app;
}
