#pragma once

#include <QDialog>
#include <cstdint>
#include <string>

#include "ControlArray.h"
#include "SysInfoLauncher.h"
#include "Twips.h"

class QLabel;
class QPushButton;

/// What the About box needs from outside; owned by the caller and outliving the box.
struct AboutServices {
  Registry& registry;
  FileFinder& files;
  ProgramStarter& programs;
  MessageBoxService& messages;
};

/// The About box: the program's title, version and description, an OK button and a button that
/// starts the system-information tool. Load runs on every creation, so each opening shows freshly
/// built texts.
class frmAbout : public QDialog {
  Q_OBJECT

public:
  /// Laid out at `scale`, the banner drawn for it. Pass the picker window as parent: the box then
  /// has no taskbar button of its own.
  frmAbout(AboutServices services, const QPixmap& banner, LayoutScale scale = LayoutScale(),
           QWidget* parent = nullptr);

  /// Builds the caption, the title line and the version line from the application information.
  void Form_Load();
  /// OK, Enter and Esc: closes the box.
  void cmdOK_Click();
  /// Starts the system-information tool, or tells the user it is unavailable; the box stays open.
  void cmdSysInfo_Click();

  void StartSysInfo() { m_launcher.StartSysInfo(); }

  const ControlArray<QLabel>& lblDisclaimer() const { return m_lblDisclaimer; }

  /// The version line's text: "ﾊﾞｰｼﾞｮﾝ " and the three numbers in plain decimal.
  static QString VersionText(int16_t major, int16_t minor, int16_t revision);

protected:
  void paintEvent(QPaintEvent* event) override;
  /// Keeps the box on the picker's screen when its designed place lies partly off it.
  void showEvent(QShowEvent* event) override;
  /// Esc and the title bar's close command do what OK does.
  void reject() override;

private:
  const LayoutScale m_scale;
  MessageBoxService& m_messages;
  SysInfoLauncher m_launcher;
  QLabel* m_lblTitle = nullptr;
  QLabel* m_lblVersion = nullptr;
  ControlArray<QLabel> m_lblDisclaimer{"lblDisclaimer"};
};
