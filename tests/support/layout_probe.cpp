// Prints the windows' layout in logical pixels at 1x (96 dots per inch) as shell assignments, so
// the shell tests click and look where the windows really put their controls:
//   eval "$(layout_probe)"
// Picker, in its client area: client_width, client_height; reel_x, reel_y, reel_width,
// reel_height (arrays by reel number 1..18); start_x ... start_height (arrays by panel, from the
// top); ok_x ... ok_height. About box: about_client_width, about_client_height; in its client
// area about_ok_x ... about_ok_height.
#include <cstdio>
#include <string>

#include "AboutLayout.h"
#include "ReelTable.h"
#include "WindowLayout.h"

namespace {

void PrintBox(const char* name, const QRect& box) {
  std::printf("%s_x=%d %s_y=%d %s_width=%d %s_height=%d\n", name, box.x(), name, box.y(), name,
              box.width(), name, box.height());
}

// One array of the boxes' x, y, width and height each, under the indexes given.
void PrintArrays(const char* name, const std::string (&fields)[4]) {
  const char* suffixes[] = {"x", "y", "width", "height"};
  for (int i = 0; i < 4; ++i) std::printf("%s_%s=(%s)\n", name, suffixes[i], fields[i].c_str());
}

void Append(std::string (&fields)[4], int index, const QRect& box) {
  const int values[] = {box.x(), box.y(), box.width(), box.height()};
  for (int i = 0; i < 4; ++i)
    fields[i] += "[" + std::to_string(index) + "]=" + std::to_string(values[i]) + " ";
}

}  // namespace

int main() {
  const LayoutScale design;
  std::printf("client_width=%d client_height=%d\n", design.px(PickerLayout::kClientWidth),
              design.px(PickerLayout::kClientHeight));
  std::string reels[4], starts[4];
  for (int p = 0; p < kGameCount; ++p) {
    // The panel's controls stand in its group box, which stands in the client area.
    const QPoint panel = design.px(PickerLayout::kPanels[p]).topLeft();
    for (int k = 0; k < kPanels[p].reelCount; ++k)
      Append(reels, kPanels[p].firstReel + k, design.px(PickerLayout::Reel(k)).translated(panel));
    Append(starts, p, design.px(PickerLayout::Start(kPanels[p].reelCount)).translated(panel));
  }
  PrintArrays("reel", reels);
  PrintArrays("start", starts);
  PrintBox("ok", design.px(PickerLayout::kOk));
  const QRect aboutClient = design.px(AboutLayout::kClient);
  std::printf("about_client_width=%d about_client_height=%d\n", aboutClient.width(),
              aboutClient.height());
  PrintBox("about_ok", design.px(AboutLayout::kCmdOK));
  return 0;
}
