#include "app/Session.h"
#include "reports/gui/ZunaPrnDlg.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QVBoxLayout>

#include "app/gui/Commands.h"
#include "app/gui/main.h"
#include "reports/engine/Layout.h"
#include "reports/gui/PreviewWindow.h"

namespace zuna::report {

namespace {
QString q(const std::string& s) { return QString::fromStdString(s); }
}  // namespace

TRepForm::TRepForm(TdmPayroll& dm, QWidget* parent) : QWidget(parent), dm_(dm), prep_(std::make_unique<ReportPreparer>(dm)) {
    setWindowTitle("Zuna 7.0 for Windows - Payroll Reports");
    setAttribute(Qt::WA_DeleteOnClose);
    auto* top = new QVBoxLayout(this);
    auto* heading = new QLabel("Zuna 7.0 - Payroll Reports");
    QFont hf = heading->font();
    hf.setBold(true), hf.setPointSize(hf.pointSize() + 4);
    heading->setFont(hf);
    top->addWidget(heading);

    tabs_ = new QTabWidget;
    for (Tab t : {Tab::Summary, Tab::Earnings, Tab::Deductions, Tab::Management, Tab::YearEnd, Tab::Permanent}) {
        auto* l = new QListWidget;
        l->setFlow(QListView::TopToBottom);
        l->setWrapping(true);
        l->setGridSize(QSize(230, 22));
        l->setContextMenuPolicy(Qt::CustomContextMenu);
        for (const ReportItem& i : ReportItemTable()) {
            if (i.tab != t) continue;
            auto* it = new QListWidgetItem(i.caption, l);
            if (!i.available) it->setFlags(it->flags() & ~Qt::ItemIsEnabled);
        }
        connect(l, &QListWidget::currentRowChanged, this, [this] { prepareSelected(); });
        connect(l, &QListWidget::customContextMenuRequested, this, [this, l](const QPoint& p) { listMenu(l, p); });
        lists_.push_back(l);
        tabs_->addTab(l, TabCaption(t));
    }
    // The pay-code reports are built by a later form: their lists show the codes, disabled.
    // Only the codes the user may see: recurring ones unless the user has full rights.
    ApplyUserFilters(dm);
    dm.Paycodes.first();
    for (; !dm.Paycodes.eof(); dm.Paycodes.next()) {
        const int fno = static_cast<int>(dm.Paycodes.asInteger("FNO"));
        QListWidget* l = fno < 26 ? lists_[1] : fno <= 60 ? lists_[2] : nullptr;
        if (!l) continue;
        auto* it = new QListWidgetItem(q(dm.Paycodes.asString("FNAME")).left(25), l);
        it->setFlags(it->flags() & ~Qt::ItemIsEnabled);
    }
    top->addWidget(tabs_);

    auto* row = new QHBoxLayout;
    auto* range = new QGroupBox;
    auto* rg = new QGridLayout(range);
    rg->addWidget(new QLabel("From"), 0, 0);
    rg->addWidget(from_ = new QLineEdit, 0, 1);
    rg->addWidget(new QLabel("To"), 1, 0);
    rg->addWidget(to_ = new QLineEdit, 1, 1);
    from_->setMaxLength(4), to_->setMaxLength(4);
    rg->addWidget(detailed_ = new QRadioButton("Detailed"), 2, 0, 1, 2);
    rg->addWidget(list_ = new QRadioButton("List (Employee No.)"), 3, 0, 1, 2);
    detailed_->setChecked(true);
    row->addWidget(range);
    auto* sort = new QGroupBox("Sort By");
    auto* sv = new QVBoxLayout(sort);
    sv->addWidget(branch_ = new QCheckBox("Branch"));
    sv->addWidget(department_ = new QCheckBox("Department"));
    sv->addWidget(section_ = new QCheckBox("Section"));
    sv->addWidget(jobGroup_ = new QCheckBox("Job Group"));  // takes no part in grouping or order
    row->addWidget(sort);
    auto* prior = new QGroupBox("Prior Pay Period");
    auto* pv = new QVBoxLayout(prior);
    pv->addWidget(month_ = new QSpinBox);
    pv->addWidget(year_ = new QSpinBox);
    month_->setRange(1, 12), year_->setRange(2000, 9999);
    const Date edate = dm.paysys.asDate("EDATE");
    auto [pm, py] = PriorPayPeriod(edate.month, edate.year);
    month_->setValue(pm), year_->setValue(py);
    row->addWidget(prior);
    top->addLayout(row);
    top->addWidget(description_ = new QPlainTextEdit);
    description_->setReadOnly(true);
    description_->setMaximumHeight(60);

    auto* buttons = new QHBoxLayout;
    auto* preview = new QPushButton("Pr&eview");
    auto* print = new QPushButton("&Print");
    auto* close = new QPushButton("Close");
    buttons->addStretch();
    for (QPushButton* b : {preview, print, close}) buttons->addWidget(b);
    top->addLayout(buttons);
    connect(preview, &QPushButton::clicked, this, &TRepForm::PreviewClick);
    connect(print, &QPushButton::clicked, this, &TRepForm::PrintClick);
    connect(close, &QPushButton::clicked, this, &QWidget::close);
    for (QAbstractButton* b : std::initializer_list<QAbstractButton*>{detailed_, branch_, department_, section_, jobGroup_})
        connect(b, &QAbstractButton::toggled, this, [this] { prepareSelected(); });
    connect(tabs_, &QTabWidget::currentChanged, this, [this](int i) {
        if (i == 0) dm_.QryPayroll.close();
        QListWidget* l = lists_[static_cast<size_t>(i)];
        if (l->count() > 0 && l->currentRow() != 0) l->setCurrentRow(0);
        else prepareSelected();
    });

    fmVarGlobal().SortByDepartment = true;
    lists_[0]->setCurrentRow(0);  // "Net Pay Report", prepared
}

TRepForm::~TRepForm() = default;

Selection TRepForm::selection() const {
    Selection s;
    s.from = from_->text().trimmed().toUpper().toStdString();
    s.to = to_->text().trimmed().toUpper().toStdString();
    s.sort.detailed = detailed_->isChecked();
    s.sort.branch = branch_->isChecked(), s.sort.department = department_->isChecked(), s.sort.section = section_->isChecked();
    return s;
}

template <class F>
void TRepForm::guarded(F&& f) {
    try {
        f();
    } catch (const RightsRefused& e) {
        QMessageBox::information(this, windowTitle(), e.what());
    } catch (const std::exception& e) {
        QMessageBox::critical(this, windowTitle(), e.what());
    }
    description_->setPlainText(q(prep_->currentDescription()));
}

void TRepForm::prepareSelected() {
    fmVarGlobal().SortByDepartment = detailed_->isChecked();
    QListWidget* l = lists_[static_cast<size_t>(tabs_->currentIndex())];
    QListWidgetItem* it = l->currentItem();
    if (!it || !(it->flags() & Qt::ItemIsEnabled)) return;
    const std::string cap = it->text().toStdString();
    guarded([&] {
        if (tabs_->currentIndex() == 0 && l->currentRow() == 0) prep_->PrepareNetpay(NetpayVariant::All, selection());
        else if (cap == "Payslips") prep_->PreparePayslips(PayslipVariant::All, selection());
        else if (cap == "Previous Payslips") prep_->PreparePreviousPayslips(month_->value(), year_->value(), selection());
    });
    if (tabs_->currentIndex() == 0 && l->currentRow() == 0) lists_[0]->item(0)->setText(q(prep_->caption()));
}

void TRepForm::listMenu(QListWidget* l, const QPoint& at) {
    QListWidgetItem* it = l->currentItem();
    if (!it || l->itemAt(at) != it) return;
    QMenu menu;
    if (l == lists_[0] && l->currentRow() == 0) {
        const std::pair<const char*, NetpayVariant> v[] = {{"&Net Pay - All", NetpayVariant::All}, {"&Cash Pay", NetpayVariant::Cash},
                                                           {"C&heque Pay", NetpayVariant::Cheque}, {"Bank &Transfer", NetpayVariant::Bank}};
        for (auto [cap, var] : v)
            menu.addAction(cap, this, [this, var = var] {
                guarded([&] { prep_->PrepareNetpay(var, selection()); });
                lists_[0]->item(0)->setText(q(prep_->caption()));
            });
    } else if (it->text() == "Payslips") {
        const std::pair<const char*, PayslipVariant> v[] = {{"&All", PayslipVariant::All}, {"&Pay Type", PayslipVariant::PayType},
                                                            {"&Category", PayslipVariant::Category}};
        for (auto [cap, var] : v)
            menu.addAction(cap, this, [this, var = var] { guarded([&] { prep_->PreparePayslips(var, selection()); }); });
    } else {
        return;
    }
    menu.exec(l->viewport()->mapToGlobal(at));
}

void TRepForm::showEvent(QShowEvent* e) {
    QWidget::showEvent(e);
    // Tabs by the user's rights MENU21 to MENU26.
    const std::string user = fmVarGlobal().CurrentUser;
    if (dm_.PayUsers.locate("USER", Value(user)))
        for (int i = 0; i < 6; ++i) tabs_->setTabVisible(i, dm_.PayUsers.asBoolean("MENU" + std::to_string(21 + i)));
    dm_.payroll.setIndexName("payrf01Dept");
}

void TRepForm::closeEvent(QCloseEvent* e) {
    dm_.payroll.setIndexName("PRIMARY");
    QWidget::closeEvent(e);
}

void TRepForm::PreviewClick() {
    if (!prep_->current()) {
        QMessageBox::information(this, windowTitle(), kNotAvailable);
        return;
    }
    auto* w = new TfmPreview(this);
    w->setAttribute(Qt::WA_DeleteOnClose);
    w->setWindowFlag(Qt::Window);
    w->showReport(*prep_->current());
    w->showMaximized();
}

void TRepForm::PrintClick() {
    if (!prep_->current()) {
        QMessageBox::information(this, windowTitle(), kNotAvailable);
        return;
    }
    QPrinter printer;
    QPrintDialog dlg(&printer, this);
    if (dlg.exec() != QDialog::Accepted) return;
    printDocument(report::layout(*prep_->current()), printer);
}

void registerReportCommands() {
    registerCommandWindow("Reports", [](TMainForm& m) { m.openChild(new TRepForm(m.dm())); });
    registerCommandWindow("TestPay", [](TMainForm& m) {
        static std::unique_ptr<ReportPreparer> testPay;  // the report lives while its preview is open
        testPay = std::make_unique<ReportPreparer>(m.dm());
        try {
            testPay->PrepareTestPay();
        } catch (const std::exception& e) {
            QMessageBox::critical(&m, "Test Pay", e.what());
            return;
        }
        auto* w = new TfmPreview(&m);
        w->setAttribute(Qt::WA_DeleteOnClose);
        w->setWindowFlag(Qt::Window);
        w->showReport(*testPay->current());
        w->setWindowModality(Qt::ApplicationModal);
        w->showMaximized();
    });
}

}  // namespace zuna::report
