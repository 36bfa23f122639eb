#include "ui/DbNavigator.h"

#include <QHBoxLayout>
#include <QStyle>

#include "ui/Messages.h"

namespace zuna::ui {

DbNavigator::DbNavigator(QWidget* parent) : QWidget(parent) {
    auto* l = new QHBoxLayout(this);
    l->setContentsMargins(0, 0, 0, 0);
    l->setSpacing(1);
    struct Face {
        const char* text;
        const char* hint;
    };
    static const Face faces[ButtonCount] = {
        {"|<", "First record"}, {"<", "Prior record"},   {">", "Next record"},    {">|", "Last record"},
        {"+", "Insert record"}, {"-", "Delete record"},  {"Edit", "Edit record"}, {"Post", "Post edit"},
        {"X", "Cancel edit"},   {"Refresh", "Refresh data"},
    };
    for (int b = 0; b < ButtonCount; ++b) {
        auto* t = new QToolButton(this);
        t->setText(QString::fromLatin1(faces[b].text));
        t->setToolTip(QString::fromLatin1(faces[b].hint));
        t->setAutoRaise(false);
        t->setMinimumWidth(28);
        connect(t, &QToolButton::clicked, this, [this, b] { run(static_cast<Button>(b)); });
        buttons_[static_cast<size_t>(b)] = t;
        l->addWidget(t);
    }
    updateButtons();
}

void DbNavigator::bind(DataSource* src) {
    if (src_) disconnect(src_, nullptr, this, nullptr);
    src_ = src;
    if (src_) {
        connect(src_, &DataSource::stateChanged, this, &DbNavigator::updateButtons);
        connect(src_, &DataSource::dataChanged, this, &DbNavigator::updateButtons);
    }
    updateButtons();
}

void DbNavigator::setVisibleButtons(unsigned flags) {
    for (int b = 0; b < ButtonCount; ++b) buttons_[static_cast<size_t>(b)]->setVisible(flags & (1u << b));
}

void DbNavigator::updateButtons() {
    bool active = src_ && src_->active();
    bool editing = active && src_->editing();
    bool readOnly = active && dynamic_cast<Query*>(src_->dataset()) != nullptr;
    bool bof = true, eof = true, empty = true;
    if (active) {
        try {
            Dataset* ds = src_->dataset();
            empty = ds->recordCount() == 0;
            bof = ds->bof();
            eof = ds->eof();
            if (editing) bof = eof = false;  // a move posts the record being edited, wherever it is
        } catch (const std::exception&) {
        }
    }
    auto set = [&](Button b, bool on) { buttons_[b]->setEnabled(on); };
    set(First, active && !bof);
    set(Prior, active && !bof);
    set(Next, active && !eof);
    set(Last, active && !eof);
    set(Insert, active && !readOnly);
    set(Delete, active && !readOnly && !empty);
    set(Edit, active && !readOnly && !editing && !empty);
    set(Post, editing);
    set(Cancel, editing);
    set(Refresh, active);
}

void DbNavigator::run(Button b) {
    if (!src_ || !src_->active()) return;
    guarded(this, [&] {
        switch (b) {
            case First: src_->first(); break;
            case Prior: src_->prior(); break;
            case Next: src_->next(); break;
            case Last: src_->last(); break;
            case Insert: src_->insert(); break;
            case Delete:
                if (!confirmDelete_ || ConfirmOk(this, QStringLiteral("Delete record?"))) src_->remove();
                break;
            case Edit: src_->edit(); break;
            case Post: src_->post(); break;
            case Cancel: src_->cancel(); break;
            case Refresh: src_->refresh(); break;
            case ButtonCount: break;
        }
    });
    updateButtons();
    emit clicked(b);
}

}  // namespace zuna::ui
