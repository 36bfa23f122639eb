// The one executable: no arguments opens the program's windows; a sub-command runs the command line.
#include <iostream>

#include "cli/Cli.h"

namespace zuna {
// The windows (src/app/gui); returns the program's exit code.
int runWindows(int argc, char** argv);
}

int main(int argc, char** argv) {
    if (argc <= 1) return zuna::runWindows(argc, argv);
    return zuna::cli::runCommandLine(argc, argv, std::cout, std::cerr);
}
