#pragma once

#include <QString>
#include <string>

/// The named pipe through which the viewers of the help file at `path` find each other: named
/// after the session, the user and the file (in any case, as Windows names files).
std::wstring WindowClaimChannelName(const QString& path);
