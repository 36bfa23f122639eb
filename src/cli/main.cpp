// The one executable: no arguments opens the program's windows; a sub-command runs the command line.
#include <cstdio>
#include <cstring>
#include <iostream>
#include <string>

int main(int argc, char** argv) {
    if (argc > 1 && (std::strcmp(argv[1], "--version") == 0)) {
        std::cout << "Zuna " << ZUNA_VERSION << " - Payroll System for East Africa\n";
        return 0;
    }
    if (argc > 1 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "help") == 0)) {
        std::cout << "Usage: zuna [--data DIR] [--user NAME --password PW] COMMAND [options]\n"
                     "       zuna            open the program's windows\n\n"
                     "Commands:\n"
                     "  --version       print the version\n"
                     "  --help          this list\n";
        return 0;
    }
    std::cerr << "zuna: unknown command " << (argc > 1 ? argv[1] : "") << " (try zuna --help)\n";
    return 2;
}
