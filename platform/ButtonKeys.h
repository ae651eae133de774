#pragma once

#include <QObject>

class QAbstractButton;

/// The keys that press a button, made safe for a player who holds one down: an auto-repeated
/// press or release never acts, so a held key presses the focused button once and cannot go on
/// to the button that takes the focus after it (a stopped reel hands its focus to the next).
/// An auto-repeat is known by its flag or, where the window system could not flag it, by a press
/// stamped with the very time of the same key's release: no hand presses a key that fast.
/// Where asked, Enter and Return press a button as Space does, as Windows users expect.
class ButtonKeys : public QObject {
  Q_OBJECT

public:
  enum class Enter { LeaveAlone, PressesLikeSpace };
  explicit ButtonKeys(Enter enter, QObject* parent = nullptr) : QObject(parent), m_enter(enter) {}

  /// Watches the button's keys; the filter must outlive the button or be its ancestor.
  void watch(QAbstractButton* button);

protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

private:
  Enter m_enter;
  int m_releasedKey = 0;
  quint64 m_releasedAt = 0;
  bool m_forwarding = false;
};
