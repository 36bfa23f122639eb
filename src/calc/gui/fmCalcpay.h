// "Payroll Computation in Progress": starts the computation run, shows its progress and says when
// it is complete. The window stays responsive while the run works; it cannot be closed then.
#pragma once

#include <QDialog>

class QProgressBar;
class QPushButton;

namespace zuna {

class TdmPayroll;

class TfmCalcpay : public QDialog {
    Q_OBJECT
public:
    explicit TfmCalcpay(TdmPayroll& dm, QWidget* parent = nullptr);
    QProgressBar* Gauge1;
    QPushButton* bbStart;
    QPushButton* bbClose;

    void bbStartClick();
    void bbCloseClick();
    // The computation run over the employees the user sees; errors propagate.
    void Processpay();

    bool running() const { return running_; }
    bool failed() const { return failed_; }

protected:
    void reject() override;
    void closeEvent(QCloseEvent* e) override;

private:
    void FormCreate();
    TdmPayroll& dm_;
    bool running_ = false;
    bool failed_ = false;
};

}  // namespace zuna
