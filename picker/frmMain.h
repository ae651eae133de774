#pragma once

// The picker window. It consists of this class for the window (layout, timers, menus and every
// event handler) and a few implementation classes: DrawEngine (draw/) draws the numbers and keeps
// the used-number tables and result slots, PictureBanks (pictures/) holds the decoded pictures,
// and the platform services it receives start programs, show messages and tell whether the
// desktop asks for less motion.

#include <QMainWindow>
#include <QPointer>
#include <QTimer>
#include <array>
#include <cstdint>
#include <optional>

#include "Announcer.h"
#include "ButtonKeys.h"
#include "ControlArray.h"
#include "DrawEngine.h"
#include "FileFinder.h"
#include "MessageBoxService.h"
#include "MotionPreference.h"
#include "PictureBanks.h"
#include "PictureButton.h"
#include "ProgramStarter.h"
#include "RandomSource.h"
#include "ReelTable.h"
#include "Registry.h"
#include "Twips.h"

class QAction;
class QGroupBox;
class QMenu;
class QPushButton;
class QWindow;

/// What the picker window needs from outside; all owned by the caller and outliving the window.
struct PickerServices {
  RandomSource& random;
  ProgramStarter& programs;
  MessageBoxService& messages;
  Registry& registry;  // for the About box
  FileFinder& files;   // for the About box
  /// The desktop's wish for less motion; none: the start buttons always blink.
  MotionPreference* motion = nullptr;
  /// Tells a screen reader where each reel stopped; none: nothing is said.
  Announcer* announcer = nullptr;
};

/// The main window: four game panels of reels, their start buttons, the OK button and the menus.
/// It is laid out at the scale of the desktop's font, lowered where it would not fit the screen
/// it opens on.
class frmMain : public QMainWindow {
  Q_OBJECT

public:
  explicit frmMain(PickerServices services, QWidget* parent = nullptr);

  // Event handlers. The toolkit calls them through RunHandler, so a run-time error ends the
  // handler and is reported; called directly (as tests do), the error reaches the caller.

  /// Seeds the random source; runs once, first, when the window object is created.
  void Form_Initialize();
  /// The click of reel N's button (Command1 .. Command18): stops the reel on a fresh draw, and
  /// has the screen reader say which reel stopped on what, and after the game's last spinning
  /// reel the game's whole set.
  void Command_Click(int16_t reel);
  /// The tick of reel N's timer (Timer1 .. Timer18): the next spin frame.
  void Timer_Timer(int16_t reel);
  /// Sets that game's reels spinning again and frees its numbers; other indices do nothing.
  void CommandStart_Click(int16_t Index);
  /// Gives all four start buttons the next picture of the blink pair.
  void TimerStart_Timer();
  void CommandOK_Click();
  void mnu_quit_Click();
  void mnu_help_th_Click();
  void mnu_version_Click();
  /// Puts the chosen numbers on the clipboard as text; with no reel stopped, leaves it alone.
  void mnu_copy_Click();
  /// Stops the blink while the desktop asks for less motion (the start buttons then show the
  /// first blink picture steadily), and resumes it when the desktop no longer asks.
  void FollowMotionPreference();
  /// Makes the picture banks again when the window's device pixel ratio is no longer theirs
  /// (another screen, another scale), and gives every reel and start button its picture anew
  /// from the window's state: a stopped reel its number, a spinning one the question mark until
  /// its next frame, the start buttons their phase of the blink.
  void FollowDevicePixelRatio(qreal devicePixelRatio);

  // Read access for the layout and for tests.
  const DrawEngine& drawEngine() const { return m_draw; }
  const PictureBanks& banks() const { return *m_banks; }
  LayoutScale layoutScale() const { return m_scale; }
  PictureButton& Command(int16_t reel) const;
  QTimer& Timer(int16_t reel) const;
  const ControlArray<PictureButton>& CommandStart() const { return m_commandStart; }
  const ControlArray<QGroupBox>& Frame1() const { return m_frame1; }
  int16_t blinkPhase() const { return m_blinkPhase; }
  /// Every stopped reel's number, by game, as mnu_copy_Click puts it on the clipboard.
  std::string chosenNumbersText() const;
  /// What the screen reader says when a reel stops: the reel's name, "は" and the number.
  QString stopAnnouncement(int16_t reel) const;
  /// What it says when a game's last spinning reel stops: the caption, "は" and the game's
  /// numbers in reel order.
  QString setAnnouncement(const GamePanel& panel) const;

  /// The command line of the help item.
  static constexpr const char* kHelpCommand = "winhlp32.exe TH.hlp";

protected:
  void contextMenuEvent(QContextMenuEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;
  /// Starts watching the window's own ratio, once the toolkit has made the window, and keeps
  /// its frame on its screen.
  void showEvent(QShowEvent* event) override;

private:
  /// Follows the watched window's own ratio (a no-op while the banks have it).
  void followWindowRatio();
  void buildPanels(QWidget* client);
  void buildMenus();
  void buildTabOrder();
  /// Connects a toolkit signal to a handler that runs under the run-time error guard.
  template <class Sender, class Signal, class Handler>
  void connectHandler(Sender* sender, Signal signal, Handler handler);
  const QPixmap& reelPicture(int16_t reel, int16_t value) const;
  /// Reel N's stopped number, or none while it spins; and that for every reel.
  std::optional<int16_t> stoppedNumber(int16_t reel) const;
  StoppedNumber stoppedNumbers() const;
  /// What the start buttons show now: the ready picture until the first blink, then the blink
  /// phase last shown, or its first picture while the blink stands still for less motion.
  const QPixmap& startPicture() const;
  /// Opens the context menu as a key asks for it.
  void popUpContextMenuAtFocus();

  PickerServices m_services;
  DrawEngine m_draw;
  LayoutScale m_scale;
  // Made once the scale is chosen, which takes the menu bar's height.
  std::optional<PictureBanks> m_banks;
  // Reel N's button and timer at index N; index 0 is unused.
  std::array<PictureButton*, kReelCount + 1> m_reelButtons{};
  std::array<QTimer*, kReelCount + 1> m_reelTimers{};
  ControlArray<PictureButton> m_commandStart{"CommandStart"};
  ControlArray<QGroupBox> m_frame1{"Frame1"};
  QTimer* m_timerStart = nullptr;
  QPushButton* m_commandOK = nullptr;
  ButtonKeys* m_buttonKeys = nullptr;
  QMenu* m_contextMenu = nullptr;
  QPointer<QWindow> m_watchedWindow;
  int16_t m_blinkPhase = 0;
  bool m_blinked = false;  // whether the start buttons have blinked yet
};
