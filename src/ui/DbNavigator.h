// The navigator: first, prior, next, last, insert, delete, edit, post, cancel and refresh buttons
// over a DataSource, each optional, enabled as the dataset's state allows.
#pragma once

#include <QFlags>
#include <QPointer>
#include <QToolButton>
#include <QWidget>
#include <array>

#include "ui/DataSource.h"

namespace zuna::ui {

class DbNavigator : public QWidget {
    Q_OBJECT
public:
    enum Button { First, Prior, Next, Last, Insert, Delete, Edit, Post, Cancel, Refresh, ButtonCount };
    enum ButtonFlag : unsigned {
        NoButtons = 0,
        FirstButton = 1u << First,
        PriorButton = 1u << Prior,
        NextButton = 1u << Next,
        LastButton = 1u << Last,
        InsertButton = 1u << Insert,
        DeleteButton = 1u << Delete,
        EditButton = 1u << Edit,
        PostButton = 1u << Post,
        CancelButton = 1u << Cancel,
        RefreshButton = 1u << Refresh,
        MoveButtons = FirstButton | PriorButton | NextButton | LastButton,
        AllButtons = (1u << ButtonCount) - 1,
    };

    explicit DbNavigator(QWidget* parent = nullptr);
    void bind(DataSource* src);
    void setVisibleButtons(unsigned flags);
    // Delete asks "Delete record?" first (on by default); only OK deletes.
    void setConfirmDelete(bool on) { confirmDelete_ = on; }
    QToolButton* button(Button b) const { return buttons_[b]; }
    void updateButtons();

signals:
    void clicked(zuna::ui::DbNavigator::Button b);

private:
    void run(Button b);

    QPointer<DataSource> src_;
    std::array<QToolButton*, ButtonCount> buttons_{};
    bool confirmDelete_ = true;
};

}  // namespace zuna::ui
