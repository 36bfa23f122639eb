// "Upcoming Birthdays": the employees born in the current pay month, shown when the main window
// becomes active and the birthday reminder is on.
#pragma once

#include <QDialog>

#include "ui/DataSource.h"

namespace zuna {

class TdmPayroll;
namespace ui {
class DbGrid;
}

class TfmBirthdays : public QDialog {
    Q_OBJECT
public:
    explicit TfmBirthdays(TdmPayroll& dm, QWidget* parent = nullptr);
    ui::DbGrid* grid() const { return grid_; }

private:
    ui::DataSource* source_;
    ui::DbGrid* grid_;
};

}  // namespace zuna
