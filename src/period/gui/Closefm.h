// The period-end window: three pages of warnings, then the month close with its gauge. After a
// close the only way on is "Close", which ends the program, so the next start loads the new month.
#pragma once

#include <QDialog>

class QLabel;
class QProgressBar;
class QPushButton;

namespace zuna {

class TdmPayroll;

class TClosefm : public QDialog {
    Q_OBJECT
public:
    enum class Stage { Page1, Page2, Page3, Running, Done };

    explicit TClosefm(TdmPayroll& dm, QWidget* parent = nullptr);
    QLabel* PageText;
    QPushButton* Backbtn;
    QPushButton* CancelBtn;
    QPushButton* NextBtn;
    QProgressBar* Gauge;

    void NextBtnClick();
    void BackbtnClick();
    void CancelBtnClick();
    // The month close itself; errors propagate.
    void Closemonth();

    Stage stage() const { return stage_; }
    static QString pageCaption(int page);
    static QString pageText(int page);

signals:
    // The month is closed and the user pressed "Close": the program ends.
    void programEndRequested();
    // True while the close works and once it is done (nothing else may touch the tables then);
    // false again when a close failed and the month is as it was.
    void busyChanged(bool busy);

protected:
    void reject() override;
    void closeEvent(QCloseEvent* e) override;

private:
    void showPage(int page);
    void finish();
    TdmPayroll& dm_;
    Stage stage_ = Stage::Page1;
};

}  // namespace zuna
