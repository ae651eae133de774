#include <QString>

#include "Session.h"

// Windows has neither a session bus nor a runtime folder for the toolkit to make.
QString RunningSessionBusAddress() { return {}; }
ToolkitStartEnvironment::ToolkitStartEnvironment() = default;
ToolkitStartEnvironment::~ToolkitStartEnvironment() = default;
bool ToolkitStartEnvironment::IsRuntimeFolderNotice(const QString&) { return false; }
