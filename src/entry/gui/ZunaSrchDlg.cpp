#include "entry/gui/ZunaSrchDlg.h"

#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui/DbGrid.h"
#include "ui/Messages.h"

namespace zuna {

TxSearchDlg::TxSearchDlg(TdmPayroll& dm, QWidget* parent) : QDialog(parent), dm_(dm), logic_(dm) {
    setObjectName(QStringLiteral("TxSearchDlg"));
    setWindowTitle(QStringLiteral("Select Employee to Search"));
    resize(282, 300);

    auto* top = new QGridLayout;
    auto* lField = new QLabel(QStringLiteral("Search &by"), this);
    field_ = new QComboBox(this);
    field_->setObjectName(QStringLiteral("cbField"));
    lField->setBuddy(field_);
    auto* lText = new QLabel(QStringLiteral("&Find"), this);
    text_ = new QLineEdit(this);
    text_->setObjectName(QStringLiteral("edSearch"));
    lText->setBuddy(text_);
    search_ = new QPushButton(QStringLiteral("&Search"), this);
    search_->setObjectName(QStringLiteral("btnSearch"));
    search_->setAutoDefault(false);
    search_->setEnabled(false);
    top->addWidget(lField, 0, 0);
    top->addWidget(field_, 0, 1, 1, 2);
    top->addWidget(lText, 1, 0);
    top->addWidget(text_, 1, 1);
    top->addWidget(search_, 1, 2);

    src_ = new ui::DataSource(nullptr, this);
    src_->setAutoEdit(false);
    grid_ = new ui::DbGrid(this);
    grid_->setObjectName(QStringLiteral("grdList"));
    grid_->setDataReadOnly(true);
    grid_->setSelectionBehavior(QAbstractItemView::SelectRows);
    grid_->verticalHeader()->hide();

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* l = new QVBoxLayout(this);
    l->addLayout(top);
    l->addWidget(grid_, 1);
    l->addWidget(buttons);

    connect(field_, &QComboBox::currentIndexChanged, this, &TxSearchDlg::SearchFieldChange);
    connect(text_, &QLineEdit::textChanged, this, &TxSearchDlg::SearchTextChange);
    connect(search_, &QPushButton::clicked, this, &TxSearchDlg::SearchClick);
    connect(grid_, &QAbstractItemView::doubleClicked, this, [this] { accept(); });
    text_->installEventFilter(this);
    setTabOrder(text_, search_);
    setTabOrder(search_, grid_);
    setTabOrder(grid_, field_);
}

TxSearchDlg::~TxSearchDlg() = default;

void TxSearchDlg::FormActivate() {
    filling_ = true;
    setWindowTitle(QString::fromStdString(logic_.Caption()));
    field_->clear();
    for (const auto& f : logic_.SearchFields()) field_->addItem(QString::fromStdString(f));
    field_->setCurrentIndex(logic_.SearchFieldIndex());
    text_->clear();
    search_->setEnabled(false);
    ui::guarded(this, [&] {
        logic_.Activate();
        src_->setDataset(&logic_.List());
        grid_->bind(src_, {{QString::fromStdString(logic_.CodeField()), QStringLiteral("Code"), 60},
                           {QString::fromStdString(logic_.NameField()), QStringLiteral("Names"), 0}});
        grid_->horizontalHeader()->setStretchLastSection(true);
    });
    filling_ = false;
    text_->setFocus();
}

int TxSearchDlg::ShowEmployeePick() {
    logic_.SetupEmployee();
    FormActivate();
    return exec();
}

int TxSearchDlg::ShowPayCodePick() {
    logic_.SetupPayCode();
    FormActivate();
    return exec();
}

bool TxSearchDlg::PickEmployee(TdmPayroll& dm, QWidget* parent, std::string& empno) {
    TxSearchDlg d(dm, parent);
    if (d.ShowEmployeePick() != QDialog::Accepted) return false;
    empno = d.ChosenEmpno();
    return !empno.empty();
}

bool TxSearchDlg::PickPayCode(TdmPayroll& dm, QWidget* parent) {
    TxSearchDlg d(dm, parent);
    return d.ShowPayCodePick() == QDialog::Accepted && dm.Paycodes.recNo() > 0;
}

void TxSearchDlg::SearchFieldChange(int index) {
    if (filling_ || index < 0) return;
    logic_.ChooseSearchField(index);
    text_->clear();
    grid_->dataModel()->reload();
}

void TxSearchDlg::SearchTextChange(const QString& text) {
    if (filling_) return;
    ui::guarded(this, [&] {
        logic_.TextChanged(text.toStdString());
        grid_->dataModel()->reload();
    });
    search_->setEnabled(logic_.SearchEnabled());
}

void TxSearchDlg::SearchClick() {
    bool found = false;
    if (!ui::guarded(this, [&] { found = logic_.Search(); })) return;
    if (!found) ui::ShowMessage(this, QString::fromUtf8(kNoMatchingRecord));
}

bool TxSearchDlg::eventFilter(QObject* o, QEvent* e) {
    if (o == text_ && e->type() == QEvent::KeyPress) {
        auto* k = static_cast<QKeyEvent*>(e);
        QString t = k->text();
        if (t.size() == 1 && t[0].unicode() > ' ' && t[0].unicode() < 0x80 &&
            !logic_.AcceptsChar(static_cast<char>(t[0].unicode()))) {
            QApplication::beep();
            return true;
        }
        // Enter picks the row the text finds (or the current row when nothing is typed).
        if (k->key() == Qt::Key_Return || k->key() == Qt::Key_Enter) {
            if (!search_->isEnabled()) {
                accept();
                return true;
            }
            bool found = false;
            if (!ui::guarded(this, [&] { found = logic_.Search(); })) return true;
            if (found) accept();
            else ui::ShowMessage(this, QString::fromUtf8(kNoMatchingRecord));
            return true;
        }
    }
    return QDialog::eventFilter(o, e);
}

}  // namespace zuna
