#include "frmAbout.h"

#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QScreen>

#include "AboutLayout.h"
#include "AppInfo.h"
#include "ButtonKeys.h"
#include "HandlerGuard.h"
#include "PaletteColours.h"
#include "PictureBanks.h"
#include "PictureNames.h"
#include "WindowFit.h"

namespace {

// The banner's picture box takes the focus like a button, so it shows it like one.
class PictureBox : public QLabel {
public:
  using QLabel::QLabel;

protected:
  void paintEvent(QPaintEvent* event) override {
    QLabel::paintEvent(event);
    if (!hasFocus()) return;
    QPainter painter(this);
    QPen pen(QColor(0xc0, 0xc0, 0xc0));
    pen.setStyle(Qt::DotLine);
    painter.setPen(pen);
    painter.drawRect(contentsRect().adjusted(1, 1, -2, -2));
  }
};

QLabel* AddLabel(QWidget* parent, const char* name, const QString& text, QRect geometry,
                 bool blackText) {
  auto* label = new QLabel(text, parent);
  label->setObjectName(name);
  label->setGeometry(geometry);
  label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  if (blackText) {
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, TextColour(Qt::black, palette));
    label->setPalette(palette);
  }
  return label;
}

}  // namespace

frmAbout::frmAbout(AboutServices services, const QPixmap& banner, LayoutScale scale,
                   QWidget* parent)
    : QDialog(parent),
      m_scale(scale),
      m_messages(services.messages),
      m_launcher(services.registry, services.files, services.programs, services.messages) {
  setObjectName("frmAbout");
  setWindowTitle("ﾊﾞｰｼﾞｮﾝ情報");
  setWindowIcon(PictureBanks::windowIcon());
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
  FitFontToLayout(*this, scale);
  // Placed by the design, not by the window system: the client area's top-left on the screen.
  setGeometry(scale.px(AboutLayout::kClient));
  setFixedSize(size());

  auto* ok = new QPushButton("OK", this);
  ok->setObjectName("cmdOK");
  ok->setGeometry(scale.px(AboutLayout::kCmdOK));
  ok->setDefault(true);
  connect(ok, &QPushButton::clicked, this,
          [this] { RunHandler(m_messages, [this] { cmdOK_Click(); }); });

  // The banner with a 2-pixel sunken border; it takes the focus like the buttons.
  auto* picIcon = new PictureBox(this);
  picIcon->setObjectName("picIcon");
  picIcon->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  picIcon->setLineWidth(scale.lineWidth(2));
  picIcon->setAlignment(Qt::AlignCenter);
  picIcon->setPixmap(banner);
  // It sizes itself to its picture and border, which the design's rectangle holds at its size;
  // grown, the two round apart by a pixel.
  const int border = 2 * picIcon->lineWidth();
  picIcon->setGeometry(QRect(scale.px(AboutLayout::kPicIcon).topLeft(),
                             banner.deviceIndependentSize().toSize() + QSize(border, border)));
  picIcon->setFocusPolicy(Qt::StrongFocus);
  // It takes the focus, so a screen reader says what it shows.
  picIcon->setAccessibleName(QString::fromLatin1(PictureNames::kBannerWord));

  auto* sysInfo = new QPushButton("ｼｽﾃﾑ情報(&S)...", this);
  sysInfo->setObjectName("cmdSysInfo");
  sysInfo->setGeometry(scale.px(AboutLayout::kCmdSysInfo));
  connect(sysInfo, &QPushButton::clicked, this,
          [this] { RunHandler(m_messages, [this] { cmdSysInfo_Click(); }); });

  auto* description = AddLabel(this, "lblDescription", QString::fromUtf8(AppInfo::kDescription),
                               scale.px(AboutLayout::kLblDescription), true);
  description->setWordWrap(true);
  m_lblDisclaimer.insert(0,
                         AddLabel(this, "lblDisclaimer_0", QString::fromUtf8(AppInfo::kCopyright),
                                  scale.px(AboutLayout::kLblDisclaimer0), true));
  m_lblTitle = AddLabel(this, "lblTitle", QString(), scale.px(AboutLayout::kLblTitle), true);
  m_lblVersion = AddLabel(this, "lblVersion", QString(), scale.px(AboutLayout::kLblVersion), false);
  m_lblDisclaimer.insert(1, AddLabel(this, "lblDisclaimer_1", QString::fromUtf8(AppInfo::kHomepage),
                                     scale.px(AboutLayout::kLblDisclaimer1), true));

  // Enter keeps the dialog's meaning (the focused or default button); a held key presses once.
  auto* keys = new ButtonKeys(ButtonKeys::Enter::LeaveAlone, this);
  keys->watch(ok);
  keys->watch(sysInfo);

  setTabOrder(ok, picIcon);
  setTabOrder(picIcon, sysInfo);
  ok->setFocus();

  Form_Load();
}

QString frmAbout::VersionText(int16_t major, int16_t minor, int16_t revision) {
  return QString("ﾊﾞｰｼﾞｮﾝ %1.%2.%3").arg(major).arg(minor).arg(revision);
}

void frmAbout::Form_Load() {
  const QString title = QString::fromUtf8(AppInfo::kTitle);
  setWindowTitle(title + "のﾊﾞｰｼﾞｮﾝ情報");
  m_lblVersion->setText(VersionText(AppInfo::kMajor, AppInfo::kMinor, AppInfo::kRevision));
  m_lblTitle->setText(title);
}

void frmAbout::cmdOK_Click() { done(QDialog::Accepted); }

void frmAbout::cmdSysInfo_Click() { StartSysInfo(); }

void frmAbout::reject() { cmdOK_Click(); }

void frmAbout::showEvent(QShowEvent* event) {
  // The design's place assumes a screen of its day; on a small screen at a high scale the box
  // would stand partly off it, its buttons out of reach.
  const QWidget* owner = parentWidget() ? parentWidget() : this;
  KeepFrameOnScreen(*this, *owner->screen());
  QDialog::showEvent(event);
}

void frmAbout::paintEvent(QPaintEvent* event) {
  QDialog::paintEvent(event);
  // The etched separator between the description and the credits: a grey line over a white one.
  QPainter painter(this);
  using AboutLayout::kLine0White, AboutLayout::kLine1Grey;
  // On a dark window the etching takes the palette's own shadow and light, as the toolkit's
  // sunken lines do, instead of a white stripe.
  const bool dark = HasDarkWindow(palette());
  const QColor shadow = dark ? palette().color(QPalette::Dark) : QColor(128, 128, 128);
  const QColor light = dark ? palette().color(QPalette::Light) : QColor(255, 255, 255);
  const int pixel = m_scale.lineWidth(1);
  painter.setPen(QPen(shadow, pixel));
  painter.drawLine(QPointF(m_scale.pxF(kLine1Grey.x1), m_scale.pxF(kLine1Grey.y1)),
                   QPointF(m_scale.pxF(kLine1Grey.x2), m_scale.pxF(kLine1Grey.y2)));
  painter.setPen(QPen(light, 2 * pixel));
  painter.drawLine(QPointF(m_scale.pxF(kLine0White.x1), m_scale.pxF(kLine0White.y1) + pixel),
                   QPointF(m_scale.pxF(kLine0White.x2), m_scale.pxF(kLine0White.y2) + pixel));
}
