// The command table of the main window: every menu item and tool-bar button with its caption
// (access key after "&"), short-cut, hidden state, hint, help context, password gate and the
// right that shows it. The table is one list; a window plugs into its command with one line:
//     registerCommandWindow("Employee", [](TMainForm& m) { m.openChild(new TfmEentry(m.dm())); });
// A command without a window stays in the menu, disabled.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "app/MenuRights.h"
#include "app/Session.h"

namespace zuna {

class TMainForm;

enum class MenuGroup { File, Tools, Compute, Window, Help, None };

struct CommandDef {
    std::string name;      // key of the command ("Employee", "PeriodEnd")
    MenuGroup menu;        // where the item sits; None: a tool-bar button only
    std::string caption;   // exact caption, "&" before the access key
    std::string shortcut;  // "F7", "Ctrl+Shift+F12"; empty: none
    bool hidden = false;   // not shown in the menu; the short-cut works
    std::string button;    // hint of its tool-bar button; empty: no button
    std::string hint;      // long hint in the status bar
    int helpContext = 0;
    std::optional<GatePassword> gate;          // password asked before the command runs
    bool refreshTables = false;                // all tables opened and refreshed first
    std::optional<MenuItem> itemRight;         // rights state of the menu item
    std::optional<MenuItem> buttonRight;       // rights state of the button
};

// Every command, in menu order.
const std::vector<CommandDef>& commandTable();
const CommandDef* findCommand(const std::string& name);

// Menu captions, hints and help contexts of the menus themselves.
struct MenuDef {
    MenuGroup group;
    std::string caption, hint;
    int helpContext;
};
const std::vector<MenuDef>& menuTable();

// Tool-bar buttons from the left: names of commands; "|" separates groups, "[" and "]" enclose
// the dockable bar.
const std::vector<std::string>& toolBarOrder();

// What a command does once its gate and table refresh have passed.
using CommandAction = std::function<void(TMainForm&)>;
void registerCommandWindow(const std::string& name, CommandAction action);
const CommandAction* commandWindow(const std::string& name);  // null: the window does not exist yet

// Registers the windows of every part built into the program (start-up calls it once).
void plugInCommandWindows();

}  // namespace zuna
