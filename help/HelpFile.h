#pragma once

#include <QString>

/// The largest help file or picture the viewer reads: a help page is a few hundred kilobytes,
/// and a page of many megabytes would take the memory of gigabytes to lay out.
constexpr qint64 kLargestHelpFile = 5 * 1024 * 1024;

/// Where a help name given to the viewer leads: the file to show, or why there is none.
struct HelpFile {
  QString name;     ///< the help's name as the viewer was given it, e.g. "TH.hlp"
  QString path;     ///< the file looked for
  QString problem;  ///< empty when the file can be shown, else the user's message why not
};

/// The help file for a name from the command line. A bare name is one of the help files kept in
/// `helpFolder`, where a name "NAME.hlp" is the page "NAME.html"; a name with a folder is the file
/// it names, from the working folder. The file is tried for reading; `problem` says why it
/// cannot be shown when it is missing, not a file, larger than kLargestHelpFile, or unreadable.
HelpFile FindHelpFile(const QString& name, const QString& helpFolder);
