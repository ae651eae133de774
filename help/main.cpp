// Our help viewer: shows the help file named on its command line ("TH.hlp" when none is named),
// where Windows would start its own help viewer. One window per help file: a second start for a
// file already shown brings that window to the front and ends.
#include "HelpViewer.h"

int main(int argc, char* argv[]) { return RunHelpViewer(argc, argv, 1, TH_HELP_VIEWER); }
