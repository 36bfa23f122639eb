// A small payroll database for the window tests: prepared as a clerk would prepare it, opened by
// the data module, with the global state of a fresh run.
#pragma once

#include <QApplication>
#include <QDialog>
#include <QTimer>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/fmVarGlobal.h"
#include "data/Prepare.h"
#include "data/ZunaData.h"
#include "support/TempDir.h"
#include "ui/Messages.h"

namespace zuna::test {

struct User {
    std::string name, password, category = "A";
    int level = 9;
    std::string jobGroup = "000";
    std::vector<int> rights;  // MENUn set on; all others off
};

class ShellFixture {
public:
    explicit ShellFixture(const std::string& country = "K", bool demo = false) {
        fmVarGlobal() = VarGlobal{};
        PrepareOptions o;
        o.folder = dir.sub("db");
        o.country = country;
        o.company = "Test Company Ltd";
        o.year = 2009;
        o.month = 1;
        o.password = "SECRET";
        o.managerPassword = "MANAGER";
        o.adminPassword = "ADMINPW";
        o.demo = demo;
        PrepareDatabase(o);
        dm = std::make_unique<TdmPayroll>(o.folder);
        // Messages are answered here and recorded instead of waiting for a click.
        ui::setMessageHandler([this](const ui::MessageRequest& r) {
            messages.push_back(r);
            return answer ? answer(r) : defaultAnswer(r);
        });
    }
    ~ShellFixture() {
        ui::setMessageHandler({});
        ui::setInputHandler({});
        fmVarGlobal() = VarGlobal{};
    }

    void addUser(const User& u) {
        Table& t = dm->PayUsers;
        t.append();
        t.setString("USER", u.name);
        t.setString("TPASSWORD", u.password);
        t.setString("NAME", u.name);
        t.setInteger("LEVEL", u.level);
        t.setString("CATEGORY", u.category);
        t.setString("JOBGROUP", u.jobGroup);
        for (int n = 1; n <= 100; ++n) t.setBoolean("MENU" + std::to_string(n), false);
        for (int n : u.rights) t.setBoolean("MENU" + std::to_string(n), true);
        t.post();
    }

    int auditRows() {
        bool open = dm->PayLog.active();
        if (!open) dm->PayLog.open();
        int n = dm->PayLog.recordCount();
        if (!open) dm->PayLog.close();
        return n;
    }

    std::vector<QString> texts() const {
        std::vector<QString> t;
        for (const auto& m : messages) t.push_back(m.text);
        return t;
    }

    static ui::MsgResult defaultAnswer(const ui::MessageRequest& r) {
        switch (r.buttons) {
            case ui::MsgButtons::Ok:
            case ui::MsgButtons::OkCancel: return ui::MsgResult::Ok;
            default: return ui::MsgResult::Yes;
        }
    }

    TempDir dir;
    std::unique_ptr<TdmPayroll> dm;
    std::vector<ui::MessageRequest> messages;
    std::function<ui::MsgResult(const ui::MessageRequest&)> answer;
};

// Runs work once the next modal dialog is showing (inside its event loop).
inline void whenModal(std::function<void(QWidget*)> work) {
    auto tries = std::make_shared<int>(0);
    auto tick = std::make_shared<std::function<void()>>();
    *tick = [work, tries, tick] {
        QWidget* m = QApplication::activeModalWidget();
        if (m && m->isVisible()) {
            work(m);
            return;
        }
        if (++*tries < 200) QTimer::singleShot(10, *tick);
    };
    QTimer::singleShot(0, *tick);
}

}  // namespace zuna::test
