#pragma once

#include <QApplication>
#include <memory>

/// Builds the application object of one of our programs, also where its surroundings are
/// hostile. The toolkit may use a session bus only where one already runs (it never starts one
/// for us: that would write files and outlive the program) and makes no runtime folder. Without
/// a display the process ends with one line in Japanese naming what is missing and exit status 1,
/// instead of the toolkit's abort. Where no installed font can show Japanese, says so on stderr.
std::unique_ptr<QApplication> StartApplication(int& argc, char** argv);

/// The line printed when no display can be opened, for the program named `program`; it names
/// the missing package where the toolkit found no Wayland plugin for a Wayland-only session.
QString NoDisplayMessage(const QString& program, bool waylandPluginMissing = false);
