#include "cli/Cli.h"

#include <algorithm>
#include <cstdlib>
#include <set>

#include "app/Session.h"
#include "app/fmVarGlobal.h"

namespace zuna::cli {

static std::vector<Command>& registry() {
    static std::vector<Command> r;
    return r;
}
static std::set<std::string>& switches() {
    static std::set<std::string> s{"help", "demo", "replace", "list", "version"};
    return s;
}

void registerSwitches(std::initializer_list<const char*> names) {
    for (auto n : names) switches().insert(n);
}

bool registerCommand(Command c) {
    registry().push_back(std::move(c));
    return true;
}

const std::vector<Command>& commands() { return registry(); }

std::string Context::dataFolder() const {
    if (args.has("data")) return args.get("data");
    return Database::resolveAlias("Zuna");
}

TdmPayroll& Context::dataModule() {
    if (!dm_) dm_ = std::make_unique<TdmPayroll>(dataFolder());
    return *dm_;
}

TdmPayroll& Context::session() {
    TdmPayroll& dm = dataModule();
    if (loggedIn_) return dm;
    std::string user = args.get("user");
    std::string pw = args.get("password");
    if (user.empty())
        if (const char* u = std::getenv("ZUNA_USER")) user = u;
    if (pw.empty())
        if (const char* p = std::getenv("ZUNA_PASSWORD")) pw = p;
    if (user.empty()) user = "ADMIN";
    LoginActivate(dm);
    // The login boxes turn every letter into a capital.
    if (!LoginUser(dm, toUpper(user), toUpper(pw))) throw CliError(kLoginRefused, 1);
    ActivateMain(dm);
    loggedIn_ = true;
    return dm;
}

void Context::progress(int percent, const std::string& what) {
    if (percent == lastPercent_) return;
    lastPercent_ = percent;
    err << "\r" << (what.empty() ? "Working" : what) << " " << percent << "%" << (percent >= 100 ? "\n" : "") << std::flush;
}

static void printHelp(std::ostream& out) {
    out << "Usage: zuna [--data DIR] [--user NAME --password PW] COMMAND [options]\n"
           "       zuna                    open the program's windows\n\n"
           "The database folder is --data, else $ZUNA_DATA, else the alias \"Zuna\" of zuna.ini.\n"
           "The user is --user/--password, else $ZUNA_USER/$ZUNA_PASSWORD.\n\n"
           "Commands:\n";
    auto cmds = registry();
    std::sort(cmds.begin(), cmds.end(), [](const Command& a, const Command& b) { return a.name < b.name; });
    out << "  --version               the program's version\n";
    for (const auto& c : cmds) {
        std::string n = c.name;
        n.resize(std::max<size_t>(n.size(), 22), ' ');
        out << "  " << n << "  " << c.summary << "\n";
    }
    out << "\n'zuna COMMAND --help' shows a command's options.\n";
}

static Args parse(const std::vector<std::string>& v) {
    Args a;
    for (size_t i = 0; i < v.size(); ++i) {
        const std::string& s = v[i];
        if (s.size() > 2 && s.rfind("--", 0) == 0) {
            std::string name = s.substr(2), val;
            auto eq = name.find('=');
            if (eq != std::string::npos) {
                val = name.substr(eq + 1);
                name = name.substr(0, eq);
            } else if (!switches().count(name)) {
                if (i + 1 >= v.size()) throw CliError("option --" + name + " needs a value", 2);
                val = v[++i];
            } else {
                val = "true";
            }
            a.options[name] = val;
        } else {
            a.positional.push_back(s);
        }
    }
    return a;
}

int runCommandLine(int argc, char** argv, std::ostream& out, std::ostream& err) {
    std::vector<std::string> v(argv + 1, argv + argc);
    try {
        Args a = parse(v);
        if (a.positional.empty()) {
            if (a.has("version")) {
                out << "Zuna " << ZUNA_VERSION << " - Payroll System for East Africa\n";
                return 0;
            }
            printHelp(out);
            return a.has("help") ? 0 : 2;
        }
        std::string name = a.positional.front();
        if (name == "help") {
            printHelp(out);
            return 0;
        }
        auto it = std::find_if(registry().begin(), registry().end(), [&](const Command& c) { return c.name == name; });
        if (it == registry().end()) throw CliError("unknown command '" + name + "' (zuna --help lists them)", 2);
        a.positional.erase(a.positional.begin());
        if (a.has("help")) {
            out << "Usage: zuna [--data DIR] [--user NAME --password PW] " << it->name << " " << it->usage << "\n"
                << it->summary << "\n";
            return 0;
        }
        Context ctx(std::move(a), out, err);
        return it->run(ctx);
    } catch (const CliError& e) {
        err << "zuna: " << e.what() << "\n";
        return e.code;
    } catch (const std::exception& e) {
        err << "zuna: " << e.what() << "\n";
        return 1;
    }
}

}  // namespace zuna::cli
