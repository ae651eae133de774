#pragma once

// Whether a window's texts have the room their font needs and its controls stand clear of each
// other, for the windows at a larger desktop font.
#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QStringList>
#include <QStyleOptionButton>
#include <QStyleOptionGroupBox>
#include <QTest>

#include "Twips.h"

/// A larger desktop font for the windows made while it lives: the toolkit's font at `points`,
/// restored when it goes.
class DesktopFont {
public:
  explicit DesktopFont(qreal points) : m_before(QApplication::font()) {
    QFont font = m_before;
    font.setPointSizeF(points);
    QApplication::setFont(font);
  }
  ~DesktopFont() { QApplication::setFont(m_before); }
  DesktopFont(const DesktopFont&) = delete;
  DesktopFont& operator=(const DesktopFont&) = delete;

private:
  QFont m_before;
};

namespace captions_fit {

inline QString Describe(const QWidget* widget, const QRect& room, const QSize& needed) {
  return QString("%1 needs %2x%3 in %4x%5")
      .arg(widget->objectName().isEmpty() ? widget->metaObject()->className()
                                          : widget->objectName())
      .arg(needed.width())
      .arg(needed.height())
      .arg(room.width())
      .arg(room.height());
}

inline bool Fits(const QSize& needed, const QRect& room) {
  return needed.width() <= room.width() && needed.height() <= room.height();
}

}  // namespace captions_fit

/// Every caption of the window that its control cuts: a label's text (wrapped where the label
/// wraps), a push button's caption within the style's room for it, a group box's caption
/// within the box and clear of every control inside it. Empty when all fit.
inline QStringList CutCaptions(QWidget& window) {
  using captions_fit::Describe, captions_fit::Fits;
  QStringList cut;
  for (QWidget* widget : window.findChildren<QWidget*>()) {
    if (!widget->isVisibleTo(&window)) continue;
    const QFontMetrics metrics = widget->fontMetrics();
    if (auto* label = qobject_cast<QLabel*>(widget); label && !label->text().isEmpty()) {
      const QRect room = label->contentsRect();
      const QSize needed =
          label->wordWrap()
              ? metrics
                    .boundingRect(room, int(Qt::TextWordWrap | label->alignment()), label->text())
                    .size()
              : QSize(metrics.horizontalAdvance(label->text()), metrics.height());
      if (!Fits(needed, room)) cut << Describe(label, room, needed);
    } else if (auto* button = qobject_cast<QPushButton*>(widget);
               button && !button->text().isEmpty()) {
      QStyleOptionButton option;
      option.initFrom(button);
      option.text = button->text();
      const QRect room =
          button->style()->subElementRect(QStyle::SE_PushButtonContents, &option, button);
      const QString shown = QString(button->text()).remove('&');
      const QSize needed(metrics.horizontalAdvance(shown), metrics.height());
      if (!Fits(needed, room)) cut << Describe(button, room, needed);
    } else if (auto* box = qobject_cast<QGroupBox*>(widget)) {
      QStyleOptionGroupBox option;
      option.initFrom(box);
      option.text = box->title();
      option.textAlignment = box->alignment();
      option.subControls = QStyle::SC_GroupBoxFrame | QStyle::SC_GroupBoxLabel;
      const QRect caption =
          box->style()->subControlRect(QStyle::CC_GroupBox, &option, QStyle::SC_GroupBoxLabel, box);
      // Where the style sets the caption, as wide as its text or the style's room for it (the
      // style draws it unclipped: under Wine a 20 pt caption's room is a pixel narrower than the
      // text measures), as tall as the font's lines.
      const QRect text(caption.topLeft(),
                       QSize(qMax(caption.width(), metrics.horizontalAdvance(box->title())),
                             qMax(caption.height(), metrics.height())));
      if (!box->rect().contains(text)) cut << Describe(box, caption, text.size());
      for (const QWidget* inside : box->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        if (inside->isVisibleTo(&window) && inside->geometry().intersects(text))
          cut << box->objectName() + "'s caption lies under " + inside->objectName();
    }
  }
  return cut;
}

/// Every control of the window that reaches out of its parent or into a sibling. Empty when
/// every control stands clear.
inline QStringList Overlaps(QWidget& window) {
  QStringList overlaps;
  QList<QWidget*> parents = window.findChildren<QWidget*>();
  parents.prepend(&window);
  for (const QWidget* parent : parents) {
    QList<const QWidget*> children;
    for (const QWidget* child : parent->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
      if (child->isVisibleTo(&window) && !child->isWindow()) children << child;
    for (int i = 0; i < children.size(); ++i) {
      if (!parent->rect().contains(children[i]->geometry()))
        overlaps << children[i]->objectName() + " reaches out of " + parent->objectName();
      for (int j = i + 1; j < children.size(); ++j)
        if (children[i]->geometry().intersects(children[j]->geometry()))
          overlaps << children[i]->objectName() + " overlaps " + children[j]->objectName();
    }
  }
  return overlaps;
}

/// The font sizes the window tests are run at: the design font, and two a reader may choose.
inline void AddDesktopFontRows() {
  QTest::addColumn<qreal>("points");
  QTest::newRow("design font") << 9.0;
  QTest::newRow("14 pt") << 14.0;
  QTest::newRow("20 pt") << 20.0;
}

/// A window's frame and the screen's free area it should lie in, for a failure's message.
inline QString Describe(const QRect& frame, const QRect& available) {
  return QString("frame %1,%2 %3x%4 on a free area of %5x%6")
      .arg(frame.x())
      .arg(frame.y())
      .arg(frame.width())
      .arg(frame.height())
      .arg(available.width())
      .arg(available.height());
}

/// Every caption the window cuts and every control that overlaps another; empty when all fit.
inline QStringList CutOrOverlapping(QWidget& window) {
  return CutCaptions(window) + Overlaps(window);
}
