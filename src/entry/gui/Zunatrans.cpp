#include "entry/gui/Zunatrans.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTableWidget>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

#include "entry/gui/ZunaSrchDlg.h"
#include "ui/DataSource.h"
#include "ui/DbControls.h"
#include "ui/DbNavigator.h"
#include "ui/Messages.h"

namespace zuna {

namespace {

bool within(QObject* o, QObject* w) {
    for (QObject* p = w; p; p = p->parent())
        if (p == o) return true;
    return false;
}

ui::DbEdit* boundEdit(ui::DataSource* src, const char* field, bool readOnly = false) {
    auto* e = new ui::DbEdit;
    e->setObjectName(QString::fromLatin1(field));
    e->bind(src, QString::fromLatin1(field));
    e->setDataReadOnly(readOnly);
    e->setMaximumWidth(120);
    e->setAlignment(Qt::AlignRight);
    return e;
}

}  // namespace

TfmTransEntry::TfmTransEntry(TdmPayroll& dm, QWidget* parent) : QWidget(parent), dm_(dm), logic_(dm) {
    setObjectName(QStringLiteral("TfmTransEntry"));
    setWindowTitle(QStringLiteral("Transaction Entry"));
    setAttribute(Qt::WA_DeleteOnClose);

    run([&] { logic_.FormCreate(); });
    srcPayroll_ = new ui::DataSource(&dm_.payroll, this);

    // ---- header
    auto* lNum = new QLabel(QStringLiteral("Emp. &No:"));
    Empnum = new QLineEdit;
    Empnum->setObjectName(QStringLiteral("Empnum"));
    Empnum->setMaxLength(4);
    Empnum->setFixedWidth(Empnum->fontMetrics().horizontalAdvance(QStringLiteral("WWWW")) + 16);
    Empnum->setToolTip(QStringLiteral("Type a number and leave the box; double-click to search"));
    ui::makeUpperCase(Empnum);
    lNum->setBuddy(Empnum);
    EmpName = new ui::DbEdit;
    EmpName->setObjectName(QStringLiteral("DBEdit1"));
    EmpName->bind(srcPayroll_, QStringLiteral("EMPNAME"));
    EmpName->setDataReadOnly(true);
    EmpName->setFocusPolicy(Qt::NoFocus);
    EmpName->setMinimumWidth(260);
    Navigator = new ui::DbNavigator;
    Navigator->setObjectName(QStringLiteral("DBNavigator1"));
    Navigator->setVisibleButtons(ui::DbNavigator::MoveButtons);
    Navigator->bind(srcPayroll_);
    // The navigator stores the page shown before it moves to another employee.
    const TransactionEntryLogic::Move moves[] = {TransactionEntryLogic::Move::First, TransactionEntryLogic::Move::Prior,
                                                 TransactionEntryLogic::Move::Next, TransactionEntryLogic::Move::Last};
    for (int b = ui::DbNavigator::First; b <= ui::DbNavigator::Last; ++b) {
        QToolButton* t = Navigator->button(static_cast<ui::DbNavigator::Button>(b));
        t->setFocusPolicy(Qt::NoFocus);
        disconnect(t, &QToolButton::clicked, Navigator, nullptr);
        TransactionEntryLogic::Move m = moves[b];
        connect(t, &QToolButton::clicked, this, [this, m] {
            run([&] { logic_.Navigate(m); });
            EmpnumSearch();
        });
    }
    Save = new QPushButton(QStringLiteral("&Save"));
    Save->setObjectName(QStringLiteral("Save"));
    CloseBtn = new QPushButton(QStringLiteral("&Close"));
    CloseBtn->setObjectName(QStringLiteral("CancelBtn"));

    auto* header = new QHBoxLayout;
    header->addWidget(lNum);
    header->addWidget(Empnum);
    header->addWidget(EmpName, 1);
    header->addWidget(Navigator);
    header->addSpacing(12);
    header->addWidget(Save);
    header->addWidget(CloseBtn);

    // ---- pages
    Pages = new QTabWidget;
    Pages->setObjectName(QStringLiteral("PageControl1"));
    for (int p = 0; p < 4; ++p) {
        auto page = static_cast<TransPage>(p);
        Grids[static_cast<size_t>(p)] = buildGrid(page);
        Pages->addTab(Grids[static_cast<size_t>(p)], QString::fromStdString(TransactionEntryLogic::PageCaption(page)));
    }
    Pages->addTab(buildLeave(), QString::fromStdString(TransactionEntryLogic::PageCaption(TransPage::LeaveOffs)));

    auto* l = new QVBoxLayout(this);
    l->addLayout(header);
    l->addWidget(Pages, 1);
    // Tab goes from the number into the grid; Alt+S saves, Esc closes, Ctrl+Tab changes the page.
    Save->setFocusPolicy(Qt::ClickFocus);
    CloseBtn->setFocusPolicy(Qt::ClickFocus);
    Pages->tabBar()->setFocusPolicy(Qt::NoFocus);

    // ---- handlers
    Empnum->installEventFilter(this);
    connect(Empnum, &QLineEdit::editingFinished, this, &TfmTransEntry::EmpnumExit);
    connect(Save, &QPushButton::clicked, this, &TfmTransEntry::SaveClick);
    connect(CloseBtn, &QPushButton::clicked, this, &TfmTransEntry::CancelClick);
    connect(Pages, &QTabWidget::currentChanged, this, &TfmTransEntry::pageChanged);
    connect(srcPayroll_, &ui::DataSource::dataChanged, this, &TfmTransEntry::DBEdit1Change);
    connect(qApp, &QApplication::focusChanged, this, &TfmTransEntry::focusChanged);

    EmpnumSearch();
    resize(sizeHint());
}

TfmTransEntry::~TfmTransEntry() {
    disconnect(qApp, nullptr, this, nullptr);
    if (!closed_) {
        try {
            logic_.FormClose();
        } catch (...) {
        }
    }
}

QTableWidget* TfmTransEntry::buildGrid(TransPage p) {
    auto titles = TransactionEntryLogic::ColumnTitles(p);
    auto* g = new QTableWidget(TransactionEntryLogic::GridRows(p), static_cast<int>(titles.size()));
    g->setObjectName(QStringLiteral("StringGrid%1").arg(static_cast<int>(p) + 1));
    QStringList labels;
    for (const auto& t : titles) labels << QString::fromStdString(t);
    g->setHorizontalHeaderLabels(labels);
    g->verticalHeader()->hide();
    g->verticalHeader()->setDefaultSectionSize(g->fontMetrics().height() + 8);
    g->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
    for (int c = 1; c < g->columnCount(); ++c) g->setColumnWidth(c, 110);
    g->setSelectionMode(QAbstractItemView::SingleSelection);
    g->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::SelectedClicked |
                       QAbstractItemView::EditKeyPressed | QAbstractItemView::AnyKeyPressed);
    g->setTabKeyNavigation(true);
    connect(g, &QTableWidget::itemChanged, this, [this, p](QTableWidgetItem* it) {
        if (filling_ || !it || logic_.Page() != p) return;
        logic_.SetCell(it->row(), it->column(), it->text().toStdString());
    });
    if (p == TransPage::Payments || p == TransPage::Deductions) {
        connect(g, &QTableWidget::cellClicked, this, &TfmTransEntry::StringGridClick);
        connect(g, &QTableWidget::currentCellChanged, this, [this, p](int row, int, int prevRow, int) {
            // Moving to another row recomputes the page as a click does, without moving the cursor.
            if (filling_ || busy_ || logic_.Page() != p || row < 0 || prevRow < 0 || row == prevRow) return;
            QTimer::singleShot(0, this, [this, p, row] {
                // Not while a cell is being typed into (its editor has the focus).
                QWidget* f = QApplication::focusWidget();
                if (logic_.Page() != p || busy_ || (f && f != gridOf(p) && within(gridOf(p), f))) return;
                if (run([&] { logic_.Click(row); })) showGrid(p);
            });
        });
    }
    return g;
}

QWidget* TfmTransEntry::buildLeave() {
    auto* page = new QWidget;
    auto* days = new QGroupBox(QStringLiteral("Off-Days Processing"));
    auto* f = new QFormLayout(days);
    f->addRow(QStringLiteral("Accrued"), boundEdit(srcPayroll_, "AccruedDays"));
    f->addRow(QStringLiteral("Due This Month"), boundEdit(srcPayroll_, "CurrDays"));
    f->addRow(QStringLiteral("Taken"), boundEdit(srcPayroll_, "DaysTaken"));
    auto* total = boundEdit(srcPayroll_, "totaldays", true);
    total->setFocusPolicy(Qt::NoFocus);
    f->addRow(QStringLiteral("Total Due"), total);
    TestPay = new QGroupBox(QStringLiteral("Test Pay"));
    TestPay->setObjectName(QStringLiteral("TestPay"));
    auto* tf = new QFormLayout(TestPay);
    auto* amount = boundEdit(srcPayroll_, "PayNoTax");
    amount->setDisplayMask(QStringLiteral("###,###,##0.00"));
    tf->addRow(QStringLiteral("Amount"), amount);
    auto* l = new QHBoxLayout(page);
    auto* left = new QVBoxLayout;
    left->addWidget(days);
    left->addStretch();
    auto* right = new QVBoxLayout;
    right->addWidget(TestPay);
    right->addStretch();
    l->addLayout(left);
    l->addLayout(right);
    l->addStretch();
    return page;
}

QTableWidget* TfmTransEntry::gridOf(TransPage p) const {
    int i = static_cast<int>(p);
    return i >= 0 && i < 4 ? Grids[static_cast<size_t>(i)] : nullptr;
}

bool TfmTransEntry::run(const std::function<void()>& work) {
    bool was = busy_;
    busy_ = true;
    bool ok = ui::guarded(this, work);
    busy_ = was;
    return ok;
}

void TfmTransEntry::showGrid(TransPage p) {
    if (!Empnum->hasFocus()) Empnum->setText(QString::fromStdString(logic_.BoxNumber()));
    QTableWidget* g = gridOf(p);
    if (!g) return;
    filling_ = true;
    int coded = static_cast<int>(logic_.Rows().size());
    for (int r = 0; r < g->rowCount(); ++r) {
        for (int c = 0; c < g->columnCount(); ++c) {
            QTableWidgetItem* it = g->item(r, c);
            if (!it) {
                it = new QTableWidgetItem;
                g->setItem(r, c, it);
            }
            it->setText(QString::fromStdString(logic_.Cell(p, r, c)));
            Qt::ItemFlags fl = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
            if (c > 0 && r < coded) fl |= Qt::ItemIsEditable;
            it->setFlags(fl);
            it->setTextAlignment(c == 0 ? int(Qt::AlignLeft | Qt::AlignVCenter) : int(Qt::AlignRight | Qt::AlignVCenter));
        }
    }
    filling_ = false;
}

// ------------------------------------------------------------------ handlers

void TfmTransEntry::showEvent(QShowEvent* e) {
    QWidget::showEvent(e);
    FormActivate();
}

void TfmTransEntry::FormActivate() {
    // The first activation opens on "Payments"; coming back to the window keeps the page in use.
    if (!activated_) {
        activated_ = true;
        filling_ = true;
        Pages->setCurrentIndex(static_cast<int>(TransPage::Payments));
        filling_ = false;
        shownPage_ = 0;
        QTimer::singleShot(0, Empnum, [e = Empnum] { e->setFocus(); });
    }
    TestPay->setVisible(TransactionEntryLogic::TestPayVisible());
}

void TfmTransEntry::EmpnumEnter() {
    if (busy_) return;
    std::string n;
    run([&] { n = logic_.EmpnumEnter(); });
    Empnum->setText(QString::fromStdString(n));
    Empnum->selectAll();
}

void TfmTransEntry::EmpnumExit() {
    if (busy_) return;
    TransactionEntryLogic::ExitResult r = TransactionEntryLogic::ExitResult::Restored;
    bool ok = run([&] { r = logic_.EmpnumExit(Empnum->text().toStdString()); });
    Empnum->setText(QString::fromStdString(logic_.BoxNumber()));
    showGrid(logic_.Page());
    if (ok && r == TransactionEntryLogic::ExitResult::NotFound) {
        busy_ = true;
        ui::ShowMessage(this, QString::fromUtf8(kEmployeeNotFound));
        busy_ = false;
        Empnum->selectAll();
    }
}

void TfmTransEntry::EmpnumDblClick() {
    std::string empno;
    TxSearchDlg::PickEmployee(dm_, this, empno);
    run([&] { logic_.EmployeeChosen(empno); });
    EmpnumSearch();
}

void TfmTransEntry::DBEdit1Change() {
    if (busy_ || filling_) return;
    // The current employee was moved from elsewhere (another window on the same table).
    run([&] { logic_.CurrentEmployeeChanged(); });
    showGrid(logic_.Page());
}

void TfmTransEntry::EmpnumSearch() { showGrid(logic_.Page()); }

void TfmTransEntry::StringGridClick(int row, int) {
    TransPage p = logic_.Page();
    if (p != TransPage::Payments && p != TransPage::Deductions) return;
    int col = 2;
    if (!run([&] { col = logic_.Click(row); })) return;
    showGrid(p);
    QTableWidget* g = gridOf(p);
    filling_ = true;
    g->setCurrentCell(row, col);
    filling_ = false;
}

void TfmTransEntry::SaveClick() {
    srcPayroll_->updateRecord();
    for (ui::DbEdit* e : findChildren<ui::DbEdit*>())
        if (e->dirty()) return;  // its conversion message was shown; nothing is stored
    if (run([&] { logic_.Save(); })) showGrid(logic_.Page());
}

void TfmTransEntry::StringGridExit() {
    if (busy_) return;
    SaveClick();
}

void TfmTransEntry::CancelClick() {
    EmpName->setEnabled(false);
    if (!close()) EmpName->setEnabled(true);
}

void TfmTransEntry::pageChanged(int index) {
    if (filling_) return;
    // The page left is stored first; a cell that does not convert keeps the clerk on it.
    if (!run([&] { logic_.SaveBeforeLeaving(); })) {
        filling_ = true;
        Pages->setCurrentIndex(shownPage_);
        filling_ = false;
        return;
    }
    shownPage_ = index;
    run([&] { logic_.SetPage(static_cast<TransPage>(index)); });
    showGrid(logic_.Page());
}

void TfmTransEntry::focusChanged(QWidget* old, QWidget* now) {
    if (busy_ || closed_ || !old) return;
    for (QTableWidget* g : Grids) {
        // Leaving a grid (not into its own cell editor) stores the page, within this window or
        // to another one.
        if (within(g, old) && now && !within(g, now)) {
            StringGridExit();
            return;
        }
    }
}

bool TfmTransEntry::eventFilter(QObject* o, QEvent* e) {
    if (o == Empnum) {
        switch (e->type()) {
            case QEvent::FocusIn: EmpnumEnter(); break;
            case QEvent::MouseButtonDblClick: EmpnumDblClick(); return true;
            case QEvent::KeyPress: {
                auto* k = static_cast<QKeyEvent*>(e);
                if (k->key() == Qt::Key_Return || k->key() == Qt::Key_Enter) {
                    EmpnumExit();
                    return true;
                }
                break;
            }
            default: break;
        }
    }
    return QWidget::eventFilter(o, e);
}

void TfmTransEntry::keyPressEvent(QKeyEvent* e) {
    if (e->key() == Qt::Key_Escape) {
        CancelClick();
        return;
    }
    QWidget::keyPressEvent(e);
}

void TfmTransEntry::closeEvent(QCloseEvent* e) {
    if (!closed_) {
        srcPayroll_->updateRecord();
        bool typed = false;
        for (ui::DbEdit* d : findChildren<ui::DbEdit*>()) typed = typed || d->dirty();
        if (typed || !run([&] { logic_.FormClose(); })) {
            e->ignore();
            return;
        }
        closed_ = true;
    }
    QWidget::closeEvent(e);
}

}  // namespace zuna
