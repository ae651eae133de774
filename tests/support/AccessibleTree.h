#pragma once
// A window's accessibility tree against the table of what a screen reader must find in it
// (support/accessible-tree.tsv.in, which uia_windows_test.sh holds UI Automation's view to as
// well): both as sorted lines "OBJECT | ROLE | NAME", so a test compares them at once and shows
// what differs.
#include <QAccessible>
#include <QFile>
#include <QMetaEnum>
#include <QStringList>
#include <QWidget>

namespace accessible_tree {

inline QString Line(const QString& object, const QString& role, const QString& name) {
  return object + " | " + role + " | " + name;
}

// What is not shown is not read (a closed menu's popup): UI Automation leaves it out too.
inline void Walk(QAccessibleInterface* element, QStringList& lines) {
  if (element->state().invisible) return;
  const QObject* object = element->object();
  const QString objectName =
      object != nullptr && !object->objectName().isEmpty() ? object->objectName() : "-";
  lines << Line(objectName, QMetaEnum::fromType<QAccessible::Role>().valueToKey(element->role()),
                element->text(QAccessible::Name));
  for (int i = 0; i < element->childCount(); ++i) Walk(element->child(i), lines);
}

}  // namespace accessible_tree

/// Every element of the window's tree that is shown, the window included.
inline QStringList AccessibleTree(QWidget& window) {
  QStringList lines;
  accessible_tree::Walk(QAccessible::queryAccessibleInterface(&window), lines);
  lines.sort();
  return lines;
}

/// The table's rows for the window of this object name (empty when the table cannot be read).
inline QStringList ExpectedAccessibleTree(const QString& table, const QString& window) {
  QFile file(table);
  if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) return {};
  QStringList lines;
  for (const QString& row : QString::fromUtf8(file.readAll()).split('\n')) {
    const QStringList fields = row.split('\t');  // WINDOW OBJECT ROLE CONTROL TAB NAME
    if (row.startsWith('#') || fields.size() != 6 || fields[0] != window) continue;
    lines << accessible_tree::Line(fields[1], fields[2], fields[5]);
  }
  lines.sort();
  return lines;
}
