// The windows of the other parts that plug into the main window's commands. Each part that has
// windows adds its registration here, one line, guarded so that the shell builds without it.
#include "app/gui/Commands.h"

#if __has_include("entry/gui/EntryCommands.h")
#include "entry/gui/EntryCommands.h"
#define ZUNA_HAVE_ENTRY_WINDOWS 1
#endif

#if __has_include("reports/gui/ZunaPrnDlg.h")
#include "reports/gui/ZunaPrnDlg.h"
#define ZUNA_HAVE_REPORT_WINDOWS 1
#endif

namespace zuna {

void plugInCommandWindows() {
#ifdef ZUNA_HAVE_ENTRY_WINDOWS
    registerEntryCommands();
#endif
#ifdef ZUNA_HAVE_REPORT_WINDOWS
    report::registerReportCommands();
#endif
}

}  // namespace zuna
