// The report selection dialog: six tabs of report lists, the employee range, the sort and
// grouping choices, the prior pay period, the description, Preview and Print. The choices go
// to ReportPreparer, which prepares the report for the logged-in user.
#pragma once

#include <QWidget>

#include <memory>

#include "reports/ReportItems.h"

class QCheckBox;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QRadioButton;
class QSpinBox;
class QTabWidget;

namespace zuna {
class TMainForm;
}

namespace zuna::report {

class TRepForm : public QWidget {
    Q_OBJECT
public:
    explicit TRepForm(TdmPayroll& dm, QWidget* parent = nullptr);
    ~TRepForm() override;

    ReportPreparer& preparer() { return *prep_; }
    QTabWidget* pages() const { return tabs_; }

public slots:
    void PreviewClick();
    void PrintClick();

protected:
    void showEvent(QShowEvent* e) override;
    void closeEvent(QCloseEvent* e) override;

private:
    Selection selection() const;
    void prepareSelected();
    void listMenu(QListWidget* list, const QPoint& at);
    // Runs a preparation; a refusal shows the rights message and keeps the current report.
    template <class F> void guarded(F&& f);

    TdmPayroll& dm_;
    std::unique_ptr<ReportPreparer> prep_;
    QTabWidget* tabs_;
    std::vector<QListWidget*> lists_;
    QLineEdit *from_, *to_;
    QRadioButton *detailed_, *list_;
    QCheckBox *branch_, *department_, *section_, *jobGroup_;
    QSpinBox *month_, *year_;
    QPlainTextEdit* description_;
};

// The main window's "Reports" and "Test Pay" commands.
void registerReportCommands();

}  // namespace zuna::report
