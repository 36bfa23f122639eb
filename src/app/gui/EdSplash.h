// The splash window: shown with its gauge while the program starts, and again as the about box.
#pragma once

#include <QDialog>

class QProgressBar;

namespace zuna {

class TfmSplash : public QDialog {
    Q_OBJECT
public:
    enum class Use { StartUp, About };
    explicit TfmSplash(Use use = Use::StartUp, QWidget* parent = nullptr);
    QProgressBar* Loading;  // the start-up gauge, 0 to 100
    // Moves the gauge on (never past its maximum) and paints at once.
    void advance(int by);

protected:
    void mousePressEvent(QMouseEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;

private:
    Use use_;
};

}  // namespace zuna
