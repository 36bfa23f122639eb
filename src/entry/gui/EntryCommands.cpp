#include "entry/gui/EntryCommands.h"

#include "app/gui/Commands.h"
#include "app/gui/main.h"
#include "entry/gui/Eentry.h"
#include "entry/gui/Zunatrans.h"
#include "ui/Messages.h"

namespace zuna {

void registerEntryCommands() {
    registerCommandWindow("Employee", [](TMainForm& m) {
        ui::guarded(&m, [&] { m.openChild(new TfmEentry(m.dm())); });
    });
    registerCommandWindow("Transactions", [](TMainForm& m) {
        ui::guarded(&m, [&] { m.openChild(new TfmTransEntry(m.dm())); });
    });
    registerCommandWindow("EmployeeBenefits", [](TMainForm& m) {
        ui::guarded(&m, [&] { m.openChild(new TfmEmpbenefits(m.dm())); });
    });
}

}  // namespace zuna
