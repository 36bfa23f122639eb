// Start-up of the windows. Until the main window exists this says what it would open.
#include <iostream>

#include "engine/Database.h"

namespace zuna {

int runWindows(int, char**) {
    std::cout << "Zuna would open its windows on the database in " << Database::resolveAlias("Zuna")
              << "\n(the windows are not built yet; try 'zuna --help')\n";
    return 0;
}

}  // namespace zuna
