#include "HelpFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

HelpFile FindHelpFile(const QString& name, const QString& helpFolder) {
  HelpFile help{name, {}, {}};
  if (QDir::fromNativeSeparators(name).contains('/') || QFileInfo(name).isAbsolute()) {
    help.path = QFileInfo(name).absoluteFilePath();
  } else {
    // The help item names the Windows help file; ours is an HTML page under the same name, so
    // that it opens in any browser too and no Windows help viewer (Wine's, say) mistakes it for
    // one of its own files.
    QString page = name;
    if (page.endsWith(".hlp", Qt::CaseInsensitive)) page = page.chopped(4) + ".html";
    help.path = QDir(helpFolder).absoluteFilePath(page);
  }

  const QString subject = "ﾍﾙﾌﾟﾌｧｲﾙ「" + name + "」";
  const QFileInfo info(help.path);
  if (!info.exists()) {
    help.problem = subject + "が見つかりません。";
  } else if (info.isDir()) {
    help.problem = subject + "はﾌｫﾙﾀﾞで、ﾌｧｲﾙではありません。";
  } else if (info.size() > kLargestHelpFile) {
    help.problem =
        subject +
        QString("は大きすぎて表示できません (%1 MB まで)。").arg(kLargestHelpFile / (1024 * 1024));
  } else if (QFile file(help.path); !file.open(QIODevice::ReadOnly)) {
    help.problem = subject + "を読み込めません (" + file.errorString() + ")。";
  }
  return help;
}
