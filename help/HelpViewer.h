#pragma once

// The help viewer as a program: what its command line asks, and how it opens its one window.
// It is a program of its own on Linux (TH_HELP_VIEWER) and, on Windows, a second mode of TH.exe,
// so that the download carries the toolkit once.

#include <QString>
#include <memory>
#include <string>

#include "HelpWindow.h"
#include "TaskbarGroup.h"
#include "WindowClaim.h"

/// The first argument that makes TH the help viewer; what follows it is the viewer's own
/// command line. The program start puts it there where the viewer lives inside TH.
inline constexpr char kHelpViewerMarker[] = "--help-viewer";

/// True when a command line asks TH for the help viewer: exactly the marker as its first
/// argument. Any other command line is the picker's, which reads none.
bool AsksForHelpViewer(int argc, const char* const* argv);

/// The viewer's window for one help file, with the claim that keeps it the only one.
struct HelpViewerSession {
  std::unique_ptr<WindowClaim> claim;
  /// Null when a viewer of the same file was already open and was brought to the front.
  std::unique_ptr<HelpWindow> window;
};

/// Opens the help named `name` (as given on the command line) from `helpFolder`: hands over to
/// a viewer that shows it already, or shows a new window, put by `taskbar` in the help's own
/// group before it exists (`appId`) and kept from being pinned.
HelpViewerSession OpenHelpViewer(const QString& name, const QString& helpFolder,
                                 TaskbarGroup& taskbar, const QString& appId);

/// Runs the help viewer on argv[first] and on: answers --help and --version, or shows the help
/// file named there ("TH.hlp" when none is) until its window closes. `command` is how the usage
/// names the viewer. Returns the exit status.
int RunHelpViewer(int argc, char* argv[], int first, const std::string& command);
