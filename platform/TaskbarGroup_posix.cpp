#include "TaskbarGroup.h"

namespace {

class DesktopEntryGroup final : public TaskbarGroup {
public:
  void join(const QString&) override {}
  void preventPinning(QWidget&) override {}
};

}  // namespace

std::unique_ptr<TaskbarGroup> NewSystemTaskbarGroup() {
  return std::make_unique<DesktopEntryGroup>();
}
