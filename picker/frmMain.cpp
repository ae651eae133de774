#include "frmMain.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QGroupBox>
#include <QKeySequence>
#include <QLayout>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QWindow>
#include <algorithm>

#include "AppInfo.h"
#include "HandlerGuard.h"
#include "Trace.h"
#include "WindowFit.h"
#include "WindowLayout.h"
#include "frmAbout.h"

namespace {

// A timer's Enabled: enabling a running timer leaves its rhythm alone.
void SetTimerEnabled(QTimer& timer, bool enabled) {
  if (!enabled)
    timer.stop();
  else if (!timer.isActive())
    timer.start();
}

}  // namespace

template <class Sender, class Signal, class Handler>
void frmMain::connectHandler(Sender* sender, Signal signal, Handler handler) {
  connect(sender, signal, this, [this, handler] { RunHandler(m_services.messages, handler); });
}

frmMain::frmMain(PickerServices services, QWidget* parent)
    : QMainWindow(parent), m_services(services), m_draw(services.random) {
  Form_Initialize();

  setObjectName("frmMain");
  setWindowTitle(QString::fromUtf8(AppInfo::kTitle));
  setWindowIcon(PictureBanks::windowIcon());
  // A fixed single border with a system menu and close box, no minimise or maximise box.
  setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);

  buildMenus();
  // The desktop's font's scale, as far as the screen the window opens on holds it; the user
  // cannot resize the window, so it must fit from the start.
  const QSize designed(LayoutScale().px(PickerLayout::kClientWidth),
                       LayoutScale().px(PickerLayout::kClientHeight));
  m_scale = FitLayoutScale(font(), designed, menuBar()->sizeHint().height(),
                           screen()->availableGeometry());
  FitFontToLayout(*this, m_scale);
  m_banks.emplace(qApp->devicePixelRatio(), m_scale.factor());

  // A held key presses a button once; Enter presses the focused button as Space does.
  m_buttonKeys = new ButtonKeys(ButtonKeys::Enter::PressesLikeSpace, this);

  auto* client = new QWidget(this);
  client->setObjectName("client");
  client->setFixedSize(m_scale.px(PickerLayout::kClientWidth),
                       m_scale.px(PickerLayout::kClientHeight));
  setCentralWidget(client);

  buildPanels(client);

  m_commandOK = new QPushButton("OK", client);
  m_commandOK->setObjectName("CommandOK");
  m_commandOK->setGeometry(m_scale.px(PickerLayout::kOk));
  m_commandOK->setAutoDefault(false);
  m_buttonKeys->watch(m_commandOK);
  connectHandler(m_commandOK, &QPushButton::clicked, [this] { CommandOK_Click(); });
  // The OK button is the window's cancel button: Esc presses it.
  auto* cancel = new QShortcut(QKeySequence(Qt::Key_Escape), this);
  cancel->setObjectName("CommandOK_cancel");
  connect(cancel, &QShortcut::activated, m_commandOK, &QPushButton::click);

  m_timerStart = new QTimer(this);
  m_timerStart->setObjectName("TimerStart");
  m_timerStart->setInterval(kBlinkInterval);
  connectHandler(m_timerStart, &QTimer::timeout, [this] { TimerStart_Timer(); });

  buildTabOrder();
  layout()->setSizeConstraint(QLayout::SetFixedSize);
  m_commandOK->setFocus();

  // Every timer is enabled from the start: the reels spin and the start buttons blink at once.
  for (int16_t reel = 1; reel <= kReelCount; ++reel) m_reelTimers[reel]->start();
  m_timerStart->start();
  if (m_services.motion != nullptr) {
    connectHandler(m_services.motion, &MotionPreference::changed,
                   [this] { FollowMotionPreference(); });
    FollowMotionPreference();
  }
  TraceFirstPaint(this);
}

void frmMain::buildPanels(QWidget* client) {
  for (std::size_t p = 0; p < kPanels.size(); ++p) {
    const GamePanel& panel = kPanels[p];
    auto* frame = new QGroupBox(QString::fromUtf8(panel.caption), client);
    frame->setObjectName(QString("Frame1_%1").arg(panel.frameIndex));
    frame->setGeometry(m_scale.px(PickerLayout::kPanels[p]));
    m_frame1.insert(panel.frameIndex, frame);

    for (int16_t k = 0; k < panel.reelCount; ++k) {
      const auto reel = int16_t(panel.firstReel + k);
      auto* button = new PictureButton(frame, m_scale);
      button->setObjectName(QString("Command%1").arg(reel));
      button->setGeometry(m_scale.px(PickerLayout::Reel(k)));
      button->setToolTip("STOP");
      m_buttonKeys->watch(button);
      button->setPicture(m_banks->questionMark());
      button->setAccessibleName(QString("%1 %2").arg(QString::fromUtf8(panel.caption)).arg(k + 1));
      connectHandler(button, &QAbstractButton::clicked, [this, reel] { Command_Click(reel); });
      button->installEventFilter(this);
      m_reelButtons[reel] = button;

      auto* timer = new QTimer(frame);
      timer->setObjectName(QString("Timer%1").arg(reel));
      timer->setInterval(kReelInterval);
      // Precise, so every reel keeps its 50 ms beat instead of the coarse timer's 5% slack.
      timer->setTimerType(Qt::PreciseTimer);
      connectHandler(timer, &QTimer::timeout, [this, reel] { Timer_Timer(reel); });
      m_reelTimers[reel] = timer;
    }

    auto* start = new PictureButton(frame, m_scale);
    start->setObjectName(QString("CommandStart_%1").arg(panel.startIndex));
    start->setGeometry(m_scale.px(PickerLayout::Start(panel.reelCount)));
    start->setPicture(m_banks->areYouReady());
    m_buttonKeys->watch(start);
    start->setAccessibleName(QString("%1 スタート").arg(QString::fromUtf8(panel.caption)));
    const int16_t index = panel.startIndex;
    connectHandler(start, &QAbstractButton::clicked, [this, index] { CommandStart_Click(index); });
    m_commandStart.insert(index, start);
  }
}

void frmMain::buildMenus() {
  QMenu* file = menuBar()->addMenu("ﾌｧｲﾙ(&F)");
  file->setObjectName("mnu_file");
  QAction* quit = file->addAction("終了(&X)");
  quit->setObjectName("mnu_quit");
  quit->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
  connectHandler(quit, &QAction::triggered, [this] { mnu_quit_Click(); });

  QMenu* help = menuBar()->addMenu("ﾍﾙﾌﾟ(&H)");
  help->setObjectName("mnu_help");
  QAction* helpTh = help->addAction("ﾀﾏﾋﾛｲのﾍﾙﾌﾟ");
  helpTh->setObjectName("mnu_help_th");
  helpTh->setShortcut(QKeySequence(Qt::Key_F1));
  connectHandler(helpTh, &QAction::triggered, [this] { mnu_help_th_Click(); });
  QAction* version = help->addAction("ﾊﾞｰｼﾞｮﾝ情報(&A)");
  version->setObjectName("mnu_version");
  connectHandler(version, &QAction::triggered, [this] { mnu_version_Click(); });

  // Copying lives in the window's context menu, so the menu bar stays as designed; its shortcut
  // works anywhere in the window, the menu closed.
  m_contextMenu = new QMenu(this);
  m_contextMenu->setObjectName("mnu_context");
  m_contextMenu->setAccessibleName("番号");
  QAction* copy = m_contextMenu->addAction("番号をｺﾋﾟｰ(&C)");
  copy->setObjectName("mnu_copy");
  copy->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_C));
  addAction(copy);
  connectHandler(copy, &QAction::triggered, [this] { mnu_copy_Click(); });
  // The menu key reaches contextMenuEvent through the toolkit; Shift+F10, the other usual key
  // for it, does so only on some systems.
  auto* menuKey = new QShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F10), this);
  menuKey->setObjectName("mnu_context_key");
  connect(menuKey, &QShortcut::activated, this, [this] { popUpContextMenuAtFocus(); });
}

void frmMain::popUpContextMenuAtFocus() {
  // At the control that has the focus, where the keyboard's user is looking, with the command
  // selected so that Enter runs it.
  const QWidget* focus = QApplication::focusWidget();
  const QWidget* at = focus != nullptr && isAncestorOf(focus) ? focus : centralWidget();
  m_contextMenu->popup(at->mapToGlobal(at->rect().center()));
  m_contextMenu->setActiveAction(m_contextMenu->actions().constFirst());
}

void frmMain::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  // Where the window system placed a window grown with the font partly off the screen, its
  // buttons would be out of reach.
  KeepFrameOnScreen(*this, *screen());
  QWindow* window = windowHandle();
  if (window == nullptr || window == m_watchedWindow) return;
  // The toolkit tells widgets of no change of ratio; the window is exposed anew after any (its
  // pixels are drawn again), and moved to another screen by a change of screens. (From Qt 6.6,
  // QEvent::DevicePixelRatioChange on the widget says it alone.)
  m_watchedWindow = window;
  window->installEventFilter(this);
  connect(window, &QWindow::screenChanged, this, &frmMain::followWindowRatio);
  followWindowRatio();
}

void frmMain::followWindowRatio() {
  RunHandler(m_services.messages,
             [this] { FollowDevicePixelRatio(m_watchedWindow->devicePixelRatio()); });
}

bool frmMain::eventFilter(QObject* watched, QEvent* event) {
  if (watched == m_watchedWindow) {
    if (event->type() == QEvent::Expose) followWindowRatio();
    return false;
  }
  // A disabled button swallows the right button's menu request (so that no click falls through
  // it), yet a stopped reel is just where a player asks for the numbers.
  if (event->type() == QEvent::ContextMenu) {
    contextMenuEvent(static_cast<QContextMenuEvent*>(event));
    return true;
  }
  return QMainWindow::eventFilter(watched, event);
}

void frmMain::contextMenuEvent(QContextMenuEvent* event) {
  if (event->reason() == QContextMenuEvent::Keyboard)
    popUpContextMenuAtFocus();
  else
    m_contextMenu->popup(event->globalPos());
  event->accept();
}

void frmMain::buildTabOrder() {
  // OK, then panel by panel from the top: its reels from left to right, then its start button.
  QWidget* previous = m_commandOK;
  auto chain = [&previous](QWidget* next) {
    setTabOrder(previous, next);
    previous = next;
  };
  for (const GamePanel& panel : kPanels) {
    for (int16_t k = 0; k < panel.reelCount; ++k) chain(m_reelButtons[panel.firstReel + k]);
    chain(&m_commandStart[panel.startIndex]);
  }
}

PictureButton& frmMain::Command(int16_t reel) const {
  PanelOfReel(reel);  // raises for a reel outside 1..18
  return *m_reelButtons[reel];
}

QTimer& frmMain::Timer(int16_t reel) const {
  PanelOfReel(reel);
  return *m_reelTimers[reel];
}

const QPixmap& frmMain::reelPicture(int16_t reel, int16_t value) const {
  const int16_t kind = PanelOfReel(reel).kind;
  if (kind == kLoto6 || kind == kMiniLoto) return m_banks->Image2()[checkedSub16(value, 1)];
  return m_banks->Image1()[value];
}

void frmMain::Form_Initialize() { m_services.random.seedFromClock(); }

void frmMain::Timer_Timer(int16_t reel) {
  const int16_t value = m_draw.SpinNumber(PanelOfReel(reel).kind);
  Command(reel).setPicture(reelPicture(reel, value));
  TraceMark("reel", reel);
}

void frmMain::Command_Click(int16_t reel) {
  PictureButton& button = Command(reel);
  const int16_t value = m_draw.PickNumber(PanelOfReel(reel).kind);
  m_draw.setSlot(reel, value);
  SetTimerEnabled(Timer(reel), false);
  button.setEnabled(false);
  const int16_t stopped = m_draw.slot(reel);
  button.setDisabledPicture(reelPicture(reel, stopped));
  button.setAccessibleDescription(QString::number(stopped));
  // The focus has just moved on (a disabled button cannot keep it), so the number would be read
  // only by one who comes back to this reel: say it now.
  if (m_services.announcer == nullptr) return;
  QString message = stopAnnouncement(reel);
  // The game's last spinning reel: its whole set follows, in the same message, since a second
  // message so soon would cut the first short (a screen reader speaks the newer at once).
  const GamePanel& panel = PanelOfReel(reel);
  bool allStopped = true;
  for (int16_t k = 0; k < panel.reelCount; ++k)
    allStopped = allStopped && stoppedNumber(int16_t(panel.firstReel + k)).has_value();
  if (allStopped) message += "。" + setAnnouncement(panel);
  m_services.announcer->announce(button, message);
}

QString frmMain::stopAnnouncement(int16_t reel) const {
  return Command(reel).accessibleName() + " は " + QString::number(m_draw.slot(reel));
}

QString frmMain::setAnnouncement(const GamePanel& panel) const {
  return QString::fromUtf8(panel.caption) + " は " +
         QString::fromStdString(GameNumbersText(panel, stoppedNumbers(), "、"));
}

void frmMain::CommandStart_Click(int16_t Index) {
  for (const GamePanel& panel : kPanels) {
    if (panel.startIndex != Index) continue;
    for (int16_t k = 0; k < panel.reelCount; ++k) {
      const auto reel = int16_t(panel.firstReel + k);
      SetTimerEnabled(Timer(reel), true);
      Command(reel).setEnabled(true);
      Command(reel).setAccessibleDescription(QString());
    }
    m_draw.ClearTable(panel.kind);
  }
}

void frmMain::TimerStart_Timer() {
  const QPixmap& picture = m_banks->Image4()[m_blinkPhase];
  m_commandStart.forEach([&picture](int16_t index, PictureButton& button) {
    // Set as a generic control, by the property's name.
    if (!button.setProperty("Picture", picture))
      throw RuntimeError(ErrorKind::PropertyAccess, "CommandStart(" + std::to_string(index) + ")");
  });
  m_blinkPhase = m_blinkPhase == 0 ? int16_t{1} : int16_t{0};
  m_blinked = true;
}

const QPixmap& frmMain::startPicture() const {
  if (!m_timerStart->isActive()) return m_banks->Image4()[0];
  if (!m_blinked) return m_banks->areYouReady();
  return m_banks->Image4()[m_blinkPhase == 0 ? 1 : 0];
}

void frmMain::FollowMotionPreference() {
  if (m_services.motion == nullptr || !m_services.motion->lessMotion()) {
    SetTimerEnabled(*m_timerStart, true);
    return;
  }
  SetTimerEnabled(*m_timerStart, false);
  const QPixmap& steady = startPicture();
  m_commandStart.forEach([&steady](int16_t, PictureButton& button) { button.setPicture(steady); });
}

void frmMain::FollowDevicePixelRatio(qreal devicePixelRatio) {
  if (devicePixelRatio == m_banks->devicePixelRatio()) return;
  m_banks.emplace(devicePixelRatio, m_scale.factor());
  for (int16_t reel = 1; reel <= kReelCount; ++reel) {
    PictureButton& button = Command(reel);
    // A spinning reel shows its next frame within one beat; the question mark until then, as
    // when the window opened.
    const std::optional<int16_t> stopped = stoppedNumber(reel);
    const QPixmap& picture = stopped ? reelPicture(reel, *stopped) : m_banks->questionMark();
    button.setPicture(picture);
    button.setDisabledPicture(picture);
  }
  const QPixmap& start = startPicture();
  m_commandStart.forEach([&start](int16_t, PictureButton& button) { button.setPicture(start); });
}

std::optional<int16_t> frmMain::stoppedNumber(int16_t reel) const {
  // A stopped reel's button is disabled; its number is in its result slot.
  if (Command(reel).isEnabled()) return std::nullopt;
  return m_draw.slot(reel);
}

StoppedNumber frmMain::stoppedNumbers() const {
  return [this](int16_t reel) { return stoppedNumber(reel); };
}

std::string frmMain::chosenNumbersText() const { return ChosenNumbersText(stoppedNumbers()); }

void frmMain::mnu_copy_Click() {
  const std::string text = chosenNumbersText();
  if (!text.empty()) QGuiApplication::clipboard()->setText(QString::fromStdString(text));
}

void frmMain::CommandOK_Click() { close(); }

void frmMain::mnu_quit_Click() { close(); }

void frmMain::mnu_help_th_Click() {
  m_services.programs.startCommandLine(kHelpCommand, kWindowNormalFocus);
}

void frmMain::mnu_version_Click() {
  // The one About box: created here, shown modally (the reels keep spinning behind it) and
  // discarded when closed. Its parent keeps it off the taskbar.
  // At the window's own scale: the box is smaller every way, so it fits where the window does.
  frmAbout about({m_services.registry, m_services.files, m_services.programs, m_services.messages},
                 m_banks->banner(), m_scale, this);
  about.exec();
}
