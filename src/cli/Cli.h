// The command line: sub-commands register themselves; each reads the same database through the
// same code as the windows, logs in as a user of the users table and exits non-zero with one
// clear line on any error.
#pragma once

#include <functional>
#include <iostream>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "data/ZunaData.h"

namespace zuna::cli {

// Parsed arguments: "--name value" options, "--flag" switches, the rest positional.
struct Args {
    std::vector<std::string> positional;
    std::map<std::string, std::string> options;  // without the leading "--"
    bool has(const std::string& n) const { return options.count(n) > 0; }
    std::string get(const std::string& n, const std::string& def = {}) const {
        auto it = options.find(n);
        return it == options.end() ? def : it->second;
    }
};

// A failure the command reports as one line and exit code.
struct CliError : std::runtime_error {
    int code;
    explicit CliError(const std::string& m, int c = 1) : std::runtime_error(m), code(c) {}
};

class Context {
public:
    Context(Args a, std::ostream& out, std::ostream& err) : args(std::move(a)), out(out), err(err) {}
    Args args;
    std::ostream& out;
    std::ostream& err;

    // The database folder: --data, else $ZUNA_DATA, else the alias "Zuna".
    std::string dataFolder() const;
    // Opens the data module and logs in (--user/--password or $ZUNA_USER/$ZUNA_PASSWORD; the
    // user name defaults to ADMIN); then applies the main window's activation rules.
    TdmPayroll& session();
    // Opens the data module without a login (preparation).
    TdmPayroll& dataModule();
    void progress(int percent, const std::string& what = {});

private:
    std::unique_ptr<TdmPayroll> dm_;
    bool loggedIn_ = false;
    int lastPercent_ = -1;
};

struct Command {
    std::string name;
    std::string summary;  // one line for zuna --help
    std::string usage;    // options
    std::function<int(Context&)> run;
};

// Options that take no value (everything else after "--name" takes the next argument).
void registerSwitches(std::initializer_list<const char*> names);
bool registerCommand(Command c);
const std::vector<Command>& commands();
int runCommandLine(int argc, char** argv, std::ostream& out, std::ostream& err);

}  // namespace zuna::cli

#define ZUNA_CLI_CONCAT2(a, b) a##b
#define ZUNA_CLI_CONCAT(a, b) ZUNA_CLI_CONCAT2(a, b)
// Registers a command at start-up: ZUNA_COMMAND({"name", "summary", "usage", [](Context& c) { ... }});
#define ZUNA_COMMAND(...) \
    static const bool ZUNA_CLI_CONCAT(zunaCommand_, __LINE__) = ::zuna::cli::registerCommand(::zuna::cli::Command __VA_ARGS__)
