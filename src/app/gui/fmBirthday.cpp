#include "app/gui/fmBirthday.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

#include "data/ZunaData.h"
#include "ui/DbGrid.h"

namespace zuna {

TfmBirthdays::TfmBirthdays(TdmPayroll& dm, QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("TfmBirthdays"));
    setWindowTitle(QStringLiteral("Upcoming Birthdays"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    setModal(true);
    source_ = new ui::DataSource(&dm.Birthdays, this);
    grid_ = new ui::DbGrid(this);
    grid_->setDataReadOnly(true);
    QPalette p = grid_->palette();
    p.setColor(QPalette::Base, p.color(QPalette::ToolTipBase));
    grid_->setPalette(p);
    grid_->bind(source_, {{"empno", "No.", 60, {}},
                          {"EMPBRCH", "Branch", 70, {}},
                          {"empname", "Name", 200, {}},
                          {"department", "Department", 150, {}},
                          {"Birthdate", "Birthday", 90, {}},
                          {"Age", "Age", 50, {}}});
    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    auto* l = new QVBoxLayout(this);
    l->addWidget(grid_);
    auto* b = new QHBoxLayout;
    b->addStretch();
    b->addWidget(ok);
    l->addLayout(b);
    resize(680, 360);
}

}  // namespace zuna
