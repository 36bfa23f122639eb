#include "entry/gui/Eentry.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDate>
#include <QFileDialog>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPixmap>
#include <QPushButton>
#include <QStackedLayout>
#include <QStyledItemDelegate>
#include <QTabBar>
#include <QTabWidget>
#include <QTimer>
#include <QVBoxLayout>

#include "entry/gui/ZunaSrchDlg.h"
#include "ui/DataSource.h"
#include "ui/DbControls.h"
#include "ui/DbGrid.h"
#include "ui/DbNavigator.h"
#include "ui/Messages.h"

namespace zuna {

namespace {

Date today() {
    QDate d = QDate::currentDate();
    return Date(d.year(), d.month(), d.day());
}

// A label and its control on one row of a form; the label's access key focuses the control.
template <class W>
W* addRow(QFormLayout* f, const QString& caption, W* w, const char* name) {
    w->setObjectName(QString::fromLatin1(name));
    auto* l = new QLabel(caption);
    l->setBuddy(w);
    f->addRow(l, w);
    return w;
}

ui::DbEdit* boundEdit(ui::DataSource* src, const char* field, bool upper = false, bool readOnly = false) {
    auto* e = new ui::DbEdit;
    e->bind(src, QString::fromLatin1(field));
    e->setUpperCase(upper);
    e->setDataReadOnly(readOnly);
    return e;
}

ui::DbEdit* amountEdit(ui::DataSource* src, const char* field, bool readOnly = false) {
    auto* e = boundEdit(src, field, false, readOnly);
    e->setDisplayMask(QStringLiteral("###,###,##0.00"));
    e->setAlignment(Qt::AlignRight);
    e->setMaximumWidth(130);
    return e;
}

ui::DbEdit* dateEdit(ui::DataSource* src, const char* field, bool readOnly = false) {
    auto* e = boundEdit(src, field, false, readOnly);
    e->setMaxLength(10);
    e->setMaximumWidth(100);
    e->setPlaceholderText(QStringLiteral("dd/mm/yyyy"));
    return e;
}

ui::DbCheckBox* boundCheck(ui::DataSource* src, const QString& caption, const char* field) {
    auto* c = new ui::DbCheckBox(caption);
    c->setObjectName(QString::fromLatin1(field));
    c->bind(src, QString::fromLatin1(field));
    return c;
}

ui::DbRadioGroup* boundRadio(ui::DataSource* src, const QString& caption, const char* field, const QStringList& items,
                             const QStringList& values = {}) {
    auto* r = new ui::DbRadioGroup(caption);
    r->setObjectName(QString::fromLatin1(field));
    r->setItems(items, values);
    r->bind(src, QString::fromLatin1(field));
    return r;
}

ui::DbLookupCombo* boundLookup(ui::DataSource* src, const char* field, Dataset* list, const char* key,
                               const char* shown) {
    auto* c = new ui::DbLookupCombo;
    c->bind(src, QString::fromLatin1(field));
    c->setList(list, QString::fromLatin1(key), QString::fromLatin1(shown));
    c->setMinimumWidth(200);
    return c;
}

// A grid column whose cells are picked from a short list (the text may still be typed).
class PickListDelegate : public QStyledItemDelegate {
public:
    PickListDelegate(QStringList items, QObject* parent) : QStyledItemDelegate(parent), items_(std::move(items)) {}
    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem&, const QModelIndex&) const override {
        auto* c = new QComboBox(parent);
        c->setEditable(true);
        c->addItems(items_);
        return c;
    }
    void setEditorData(QWidget* editor, const QModelIndex& index) const override {
        static_cast<QComboBox*>(editor)->setCurrentText(index.data(Qt::EditRole).toString());
    }
    void setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const override {
        model->setData(index, static_cast<QComboBox*>(editor)->currentText(), Qt::EditRole);
    }

private:
    QStringList items_;
};

// Whether w is o or lies inside it.
bool within(QObject* o, QWidget* w) {
    for (QObject* p = w; p; p = p->parent())
        if (p == o) return true;
    return false;
}

}  // namespace

// ====================================================================== TfmEentry

TfmEentry::TfmEentry(TdmPayroll& dm, QWidget* parent) : QWidget(parent), dm_(dm), logic_(dm) {
    setObjectName(QStringLiteral("TfmEentry"));
    setWindowTitle(QStringLiteral("Employee Entry"));
    setAttribute(Qt::WA_DeleteOnClose);

    // The employee filter goes off before any control reads the table.
    ui::guarded(this, [&] { logic_.Open(); });

    srcPayroll = new ui::DataSource(&dm_.payroll, this);
    srcTrans = new ui::DataSource(&dm_.Transactions, this);
    srcFamily_ = new ui::DataSource(&dm_.Family, this);
    srcEducation_ = new ui::DataSource(&dm_.Education, this);
    srcCourses_ = new ui::DataSource(&dm_.CoursesAtt, this);

    // ---- header: number, name, photograph, buttons, navigator
    auto* lNum = new QLabel(QStringLiteral("Employee &No. :"));
    Empnum = new QLineEdit;
    Empnum->setObjectName(QStringLiteral("Empnum"));
    Empnum->setMaxLength(4);
    Empnum->setFixedWidth(Empnum->fontMetrics().horizontalAdvance(QStringLiteral("WWWW")) + 16);
    Empnum->setToolTip(QStringLiteral("Type a number and leave the box to find or create the employee; double-click to search"));
    ui::makeUpperCase(Empnum);
    lNum->setBuddy(Empnum);
    auto* lName = new QLabel(QStringLiteral("Name"));
    Empnm = boundEdit(srcPayroll, "EMPNAME", false, true);
    Empnm->setObjectName(QStringLiteral("Empnm"));
    Empnm->setFocusPolicy(Qt::NoFocus);
    Empnm->setMinimumWidth(260);

    auto* nav = new ui::DbNavigator;
    nav->setObjectName(QStringLiteral("DBNavigator1"));
    nav->setVisibleButtons(ui::DbNavigator::MoveButtons);
    nav->bind(srcPayroll);
    for (int b = ui::DbNavigator::First; b <= ui::DbNavigator::Last; ++b)
        nav->button(static_cast<ui::DbNavigator::Button>(b))->setFocusPolicy(Qt::NoFocus);

    Save = new QPushButton(QStringLiteral("&Save"));
    Save->setObjectName(QStringLiteral("Save"));
    Save->setDefault(true);
    EmpClose = new QPushButton(QStringLiteral("&Close"));
    EmpClose->setObjectName(QStringLiteral("EmpClose"));

    auto* picBox = new QWidget;
    picBox->setFixedSize(97, 113);
    auto* stack = new QStackedLayout(picBox);
    stack->setStackingMode(QStackedLayout::StackAll);
    StaffPic = new QLabel;
    StaffPic->setObjectName(QStringLiteral("StaffPic"));
    StaffPic->setScaledContents(true);
    StaffPic->setToolTip(QStringLiteral("Double-click to look at a picture file"));
    NoPicture = new QLabel(QString::fromUtf8(kNoPictureFound));
    NoPicture->setObjectName(QStringLiteral("NoPicture"));
    NoPicture->setAlignment(Qt::AlignCenter);
    NoPicture->setWordWrap(true);
    NoPicture->setStyleSheet(QStringLiteral("color: red; font-weight: bold; border: 1px solid gray;"));
    stack->addWidget(StaffPic);
    stack->addWidget(NoPicture);
    StaffPic->installEventFilter(this);
    NoPicture->installEventFilter(this);

    auto* header = new QGridLayout;
    header->addWidget(lNum, 0, 0);
    header->addWidget(Empnum, 0, 1);
    header->addWidget(lName, 1, 0);
    header->addWidget(Empnm, 1, 1, 1, 2);
    header->addWidget(nav, 2, 1, 1, 2, Qt::AlignLeft);
    header->setColumnStretch(2, 1);
    auto* buttons = new QVBoxLayout;
    buttons->addWidget(Save);
    buttons->addWidget(EmpClose);
    buttons->addStretch();
    auto* top = new QHBoxLayout;
    top->addLayout(header, 1);
    top->addLayout(buttons);
    top->addWidget(picBox);

    // ---- pages
    Empent = new QTabWidget;
    Empent->setObjectName(QStringLiteral("Empent"));
    Empent->addTab(buildPersonal(), QStringLiteral("Personal Data"));
    Empent->addTab(buildEmployment(), QStringLiteral("Employment Data"));
    Empent->addTab(buildAccounting(), QStringLiteral("Accounting Data"));
    Empent->addTab(buildFamily(), QStringLiteral("Family Data"));
    Empent->addTab(buildEducation(), QStringLiteral("Education Data"));
    Empent->addTab(buildCourses(), QStringLiteral("Courses Done"));

    auto* l = new QVBoxLayout(this);
    l->addLayout(top);
    l->addWidget(Empent, 1);
    // Tab goes from the number straight into the page; Enter saves, Esc closes, Alt+S and
    // Alt+C reach the buttons, Ctrl+Tab changes the page.
    Save->setFocusPolicy(Qt::ClickFocus);
    EmpClose->setFocusPolicy(Qt::ClickFocus);
    Empent->tabBar()->setFocusPolicy(Qt::NoFocus);

    // ---- handlers
    Empnum->installEventFilter(this);
    connect(Empnum, &QLineEdit::editingFinished, this, &TfmEentry::EmpnumExit);
    connect(Save, &QPushButton::clicked, this, &TfmEentry::SaveClick);
    connect(EmpClose, &QPushButton::clicked, this, &TfmEentry::EmpCloseClick);
    connect(Empent, &QTabWidget::currentChanged, this, &TfmEentry::EmpentChange);
    connect(srcPayroll, &ui::DataSource::dataChanged, this, [this] {
        EmpnmChange();
        dbEmpnoChange();
        EmppaymodeChange();
    });
    connect(srcPayroll, &ui::DataSource::fieldChanged, this, [this](int f) {
        if (busy_) return;
        if (f == srcPayroll->fieldIndex(QStringLiteral("PAYMENT"))) EmppaymodeChange();
        if (f == srcPayroll->fieldIndex(QStringLiteral("TERDATE"))) EmpdolExit();
    });
    connect(SpeedButton1, &QPushButton::clicked, this, &TfmEentry::SpeedButton1Click);
    connect(LoanDef[0], &QCheckBox::clicked, this, [this] {
        if (LoanDef[0]->hasFocus()) lndef1Click();
    });
    Housed->installEventFilter(this);
    Mortgage->installEventFilter(this);
    Housed->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(Housed, &QWidget::customContextMenuRequested, this, [this](const QPoint& p) {
        QMenu m(this);
        QAction* a = m.addAction(QStringLiteral("Rent Paid"));
        a->setObjectName(QStringLiteral("RentPaid1"));
        if (m.exec(Housed->mapToGlobal(p)) == a) RentPaid1Click();
    });
    Housed->setToolTip(QStringLiteral("Right-click for the rent paid"));

    EmpnmChange();
    dbEmpnoChange();
    EmppaymodeChange();
    resize(sizeHint());
}

TfmEentry::~TfmEentry() {
    if (!closed_) {
        try {
            logic_.Close();
        } catch (...) {
        }
    }
}

QWidget* TfmEentry::buildPersonal() {
    auto* page = new QWidget;
    auto* f = new QFormLayout;
    Surname = addRow(f, QStringLiteral("&Last Name"), boundEdit(srcPayroll, "SURNAME", true), "SURNAME");
    Othernames = addRow(f, QStringLiteral("&First,Middle Name"), boundEdit(srcPayroll, "OTHERNAMES", true), "OTHERNAMES");
    addRow(f, QStringLiteral("&ID Number"), boundEdit(srcPayroll, "IDNO", true), "IDNO");
    addRow(f, QStringLiteral("&PIN Number"), boundEdit(srcPayroll, "PINNO", true), "PINNO");
    auto* birth = addRow(f, QStringLiteral("Date of &birth"), dateEdit(srcPayroll, "BIRTHDATE"), "BIRTHDATE");
    birth->setToolTip(QStringLiteral("Enter Employee's date of birth as MM/DD/YY"));
    birth->setPlaceholderText(QStringLiteral("dd/mm/yyyy"));

    auto* radios = new QHBoxLayout;
    radios->addWidget(boundRadio(srcPayroll, QStringLiteral("Sex"), "SEX", {QStringLiteral("Male"), QStringLiteral("Female")}));
    radios->addWidget(boundRadio(srcPayroll, QStringLiteral("Category"), "EMPCAT",
                                 {QStringLiteral("Other"), QStringLiteral("Junior Mgmt."), QStringLiteral("Senior Mgmt.")}));
    radios->addWidget(boundRadio(srcPayroll, QStringLiteral("Marital Status"), "MSTATUS",
                                 {QStringLiteral("Single"), QStringLiteral("Married"), QStringLiteral("Divoced"),
                                  QStringLiteral("Separated")}));

    auto* addr = new QGroupBox(QStringLiteral("Address"));
    auto* af = new QFormLayout(addr);
    addRow(af, QStringLiteral("P.O. Box "), boundEdit(srcPayroll, "ADDRESS1", true), "ADDRESS1");
    addRow(af, QStringLiteral("Town"), boundEdit(srcPayroll, "ADDRESS2", true), "ADDRESS2");
    addRow(af, QStringLiteral("House No"), boundEdit(srcPayroll, "HOUSENO", true), "HOUSENO");
    addRow(af, QStringLiteral("Estate"), boundEdit(srcPayroll, "ESTATE", true), "ESTATE");
    addRow(af, QStringLiteral("Telephone"), boundEdit(srcPayroll, "TELEPHONE", true), "TELEPHONE");

    auto* left = new QVBoxLayout;
    left->addLayout(f);
    left->addLayout(radios);
    left->addStretch();
    auto* l = new QHBoxLayout(page);
    l->addLayout(left, 3);
    auto* right = new QVBoxLayout;
    right->addWidget(addr);
    right->addStretch();
    l->addLayout(right, 2);
    return page;
}

QWidget* TfmEentry::buildEmployment() {
    auto* page = new QWidget;
    auto* f = new QFormLayout;
    addRow(f, QStringLiteral("B&ranch"), boundLookup(srcPayroll, "EMPBRCH", &dm_.taBranch, "CODE", "DESCRIPTION"), "EMPBRCH");
    addRow(f, QStringLiteral("&Department"), boundLookup(srcPayroll, "EMPDEPT", &dm_.Departments, "CODE", "DEPARTMENT"),
           "EMPDEPT");
    addRow(f, QStringLiteral("S&ection"), boundLookup(srcPayroll, "EMPSECT", &dm_.Sections, "CODE", "SECTION"), "EMPSECT");
    addRow(f, QStringLiteral("&Job Group"), boundLookup(srcPayroll, "EMPJOBT", &dm_.Jobtitles, "CODE", "JOBTITLE"), "EMPJOBT");
    addRow(f, QStringLiteral("Date &Hired"), dateEdit(srcPayroll, "ENGDATE"), "ENGDATE");
    Empdol = addRow(f, QStringLiteral("Date &Left"), dateEdit(srcPayroll, "TERDATE"), "TERDATE");

    Emppaymode = boundRadio(srcPayroll, QStringLiteral("Mode of Payment"), "PAYMENT",
                            {QStringLiteral("Cash"), QStringLiteral("Cheque"), QStringLiteral("Transfer")},
                            {QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3")});
    auto* terms = boundRadio(srcPayroll, QStringLiteral("Employment Terms"), "PERMCODE",
                             {QStringLiteral("Permanent"), QStringLiteral("Probation"), QStringLiteral("Casual")},
                             {QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3")});
    auto* flags = new QVBoxLayout;
    flags->addWidget(boundCheck(srcPayroll, QStringLiteral("Unionisable"), "UNFLAG"));
    flags->addWidget(boundCheck(srcPayroll, QStringLiteral("Pensionable"), "PENFLAG"));
    Housed = boundCheck(srcPayroll, QStringLiteral("Housed"), "HOUSED");
    flags->addWidget(Housed);
    flags->addWidget(boundCheck(srcPayroll, QStringLiteral("Relief Exempt"), "REXEMPT"));
    flags->addStretch();

    auto* bankForm = new QFormLayout;
    Bank = addRow(bankForm, QStringLiteral("Ban&k"), boundLookup(srcPayroll, "BANKREF", &dm_.PayBanks, "BANKREF", "LongName"),
                  "BANKREF");
    Bank->setMaxVisibleItems(10);
    BankAc = addRow(bankForm, QStringLiteral("&Account Number"), boundEdit(srcPayroll, "BANKAC"), "BANKAC");

    // Contributions.
    auto* contrib = new QTabWidget;
    contrib->setObjectName(QStringLiteral("Contributions"));
    {
        auto* p = new QWidget;
        auto* g = new QGridLayout(p);
        g->addWidget(boundCheck(srcPayroll, QStringLiteral("N.H.I.F"), "NHFLAG"), 0, 0);
        g->addWidget(boundEdit(srcPayroll, "NHIFNO", true), 0, 1);
        g->addWidget(boundCheck(srcPayroll, QStringLiteral("N.S.S.F"), "NSFLAG"), 1, 0);
        g->addWidget(boundEdit(srcPayroll, "NSSFNO", true), 1, 1);
        g->addWidget(boundCheck(srcPayroll, QStringLiteral("P.A.Y.E"), "PAFLAG"), 2, 0);
        g->addWidget(boundEdit(srcPayroll, "PAYENO", true), 2, 1);
        g->setRowStretch(3, 1);
        contrib->addTab(p, QStringLiteral("Statutory Contrib."));
    }
    {
        auto* p = new QWidget;
        auto* g = new QGridLayout(p);
        g->addWidget(boundCheck(srcPayroll, QStringLiteral("N.S.S.F"), "NSFLAG2"), 0, 0);
        g->addWidget(amountEdit(srcPayroll, "VNSSF"), 0, 1);
        g->addWidget(boundCheck(srcPayroll, QStringLiteral("L.A.S.C"), "LAFLAG"), 1, 0);
        g->addWidget(boundEdit(srcPayroll, "LASCNO", true), 1, 1);
        g->setRowStretch(2, 1);
        contrib->addTab(p, QStringLiteral("Voluntary Contributions"));
    }
    {
        auto* p = new QWidget;
        auto* g = new QFormLayout(p);
        addRow(g, QStringLiteral("Insurance Policy"), boundEdit(srcPayroll, "INS_POLICY", true), "INS_POLICY");
        addRow(g, QStringLiteral("Annual Premium"), amountEdit(srcPayroll, "INSURANCE"), "INSURANCE");
        addRow(g, QStringLiteral("Insurance Relief"), amountEdit(srcPayroll, "INSRLF", true), "INSRLF");
        contrib->addTab(p, QStringLiteral("Other Contributions"));
    }
    {
        auto* p = new QWidget;
        auto* g = new QFormLayout(p);
        addRow(g, QStringLiteral("Alternative Scheme"), boundLookup(srcPayroll, "ALTPENS", &dm_.Qsavings, "FNO", "FNAME"),
               "ALTPENS");
        addRow(g, QStringLiteral("Account"), boundEdit(srcPayroll, "PENSACCNO", true), "PENSACCNO");
        contrib->addTab(p, QStringLiteral("Pension Scheme"));
    }
    contrib->setCurrentIndex(2);

    auto* grid = new QGridLayout(page);
    grid->addLayout(f, 0, 0);
    auto* radios = new QVBoxLayout;
    radios->addWidget(Emppaymode);
    radios->addWidget(terms);
    radios->addStretch();
    grid->addLayout(radios, 0, 1);
    grid->addLayout(flags, 0, 2);
    grid->addLayout(bankForm, 1, 0, 1, 3);
    grid->addWidget(contrib, 2, 0, 1, 3);
    grid->setRowStretch(2, 1);
    return page;
}

QWidget* TfmEentry::buildAccounting() {
    auto* page = new QWidget;
    auto* f = new QFormLayout;
    BasicPay = addRow(f, QStringLiteral("Basic &Pay"), amountEdit(srcTrans, "E1"), "E1");
    auto* ha = new QHBoxLayout;
    HouseAllowance = amountEdit(srcTrans, "E2");
    HouseAllowance->setObjectName(QStringLiteral("E2"));
    SpeedButton1 = new QPushButton(QStringLiteral("Net"));
    SpeedButton1->setObjectName(QStringLiteral("SpeedButton1"));
    SpeedButton1->setToolTip(QStringLiteral("Split Basic Pay into Basic and House Allowance"));
    SpeedButton1->setAutoDefault(false);
    ha->addWidget(HouseAllowance);
    ha->addWidget(SpeedButton1);
    ha->addStretch();
    auto* lha = new QLabel(QStringLiteral("&House Allowance"));
    lha->setBuddy(HouseAllowance);
    f->addRow(lha, ha);

    auto* saving = new QGroupBox(QStringLiteral("Saving Plan"));
    auto* sf = new QFormLayout(saving);
    Mortgage = boundCheck(srcPayroll, QStringLiteral("Owner Occupier"), "MORTGAGE");
    sf->addRow(Mortgage);
    sf->addRow(boundCheck(srcPayroll, QStringLiteral("Home Owners"), "HOSP"));
    addRow(sf, QStringLiteral("Interest"), amountEdit(srcPayroll, "MORTINT"), "MORTINT");

    auto* other = new QGroupBox(QStringLiteral("Other Source"));
    auto* of = new QFormLayout(other);
    addRow(of, QStringLiteral("Total Emoluments"), amountEdit(srcPayroll, "OSOURCE"), "OSOURCE");
    addRow(of, QStringLiteral("Tax Paid"), amountEdit(srcPayroll, "OTAX"), "OTAX");

    auto* sub = new QTabWidget;
    sub->setObjectName(QStringLiteral("AccountsBook"));
    {
        auto* p = new QWidget;
        auto* g = new QHBoxLayout(p);
        auto* bf = new QFormLayout;
        addRow(bf, QStringLiteral("Last Increment"), dateEdit(srcPayroll, "INCRDATE", true), "INCRDATE");
        addRow(bf, QStringLiteral("Amount"), amountEdit(srcPayroll, "INCRAMNT", true), "INCRAMNT");
        addRow(bf, QStringLiteral("Overdrawn B/F"), amountEdit(srcPayroll, "ODBFWD"), "ODBFWD");
        addRow(bf, QStringLiteral("Relief B/F"), amountEdit(srcPayroll, "RELCFWD"), "RELCFWD");
        auto* loans = new QGroupBox(QStringLiteral("Deffered Loans"));
        auto* lg = new QGridLayout(loans);
        for (int n = 0; n < 10; ++n) {
            std::string field = "LOAN" + std::to_string(n + 1) + "DEF";
            LoanDef[static_cast<size_t>(n)] =
                boundCheck(srcPayroll, QStringLiteral("Loan %1").arg(n + 1), field.c_str());
            lg->addWidget(LoanDef[static_cast<size_t>(n)], n % 5, n / 5);
        }
        g->addLayout(bf);
        g->addWidget(loans);
        sub->addTab(p, QStringLiteral("B/Forward"));
    }
    {
        auto* p = new QWidget;
        auto* g = new QHBoxLayout(p);
        auto* pay = new QGroupBox(QStringLiteral("Pay"));
        auto* pf = new QFormLayout(pay);
        addRow(pf, QStringLiteral("Pay"), amountEdit(srcPayroll, "YTD_EARN", true), "YTD_EARN");
        addRow(pf, QStringLiteral("Gross"), amountEdit(srcPayroll, "YTD_GROSS", true), "YTD_GROSS");
        addRow(pf, QStringLiteral("Paye"), amountEdit(srcPayroll, "YTD_PAYE", true), "YTD_PAYE");
        addRow(pf, QStringLiteral("NSSF"), amountEdit(srcPayroll, "YTD_NSSF", true), "YTD_NSSF");
        auto* pens = new QGroupBox(QStringLiteral("Pensions"));
        auto* nf = new QFormLayout(pens);
        addRow(nf, QStringLiteral("Company Contribution"), amountEdit(srcPayroll, "YTD_PENC"), "YTD_PENC");
        addRow(nf, QStringLiteral("Self Contribution"), amountEdit(srcPayroll, "YTD_PENS"), "YTD_PENS");
        addRow(nf, QStringLiteral("Coy % Contribution"), amountEdit(srcPayroll, "PFCOMP"), "PFCOMP");
        addRow(nf, QStringLiteral("Self % Contribution"), amountEdit(srcPayroll, "PFSELF"), "PFSELF");
        g->addWidget(pay);
        g->addWidget(pens);
        sub->addTab(p, QStringLiteral("Year-to-Date"));
    }
    {
        auto* p = new QWidget;
        auto* hf = new QFormLayout(p);
        addRow(hf, QStringLiteral("Registration No."), boundEdit(srcPayroll, "UREGNO", true), "UREGNO");
        addRow(hf, QStringLiteral("University"), boundEdit(srcPayroll, "UNIVERSITY", true), "UNIVERSITY");
        sub->addTab(p, QStringLiteral("HELB"));
    }

    auto* grid = new QGridLayout(page);
    grid->addLayout(f, 0, 0);
    grid->addWidget(saving, 0, 1);
    grid->addWidget(other, 0, 2);
    grid->addWidget(boundCheck(srcPayroll, QStringLiteral("Incerement Pay"), "ARRFLAG"), 1, 0);
    grid->addWidget(sub, 2, 0, 1, 3);
    grid->setRowStretch(2, 1);
    return page;
}

QWidget* TfmEentry::buildFamily() {
    auto* page = new QWidget;
    auto* grid = new ui::DbGrid;
    grid->setObjectName(QStringLiteral("FamilyGrid"));
    grid->bind(srcFamily_, {{QStringLiteral("RelationShip"), QStringLiteral("Relation"), 90},
                            {QStringLiteral("Name"), QStringLiteral("Names"), 180},
                            {QStringLiteral("Sex"), QStringLiteral("Sex"), 70},
                            {QStringLiteral("DateofBirth"), QStringLiteral("Date of Birth"), 100}});
    grid->horizontalHeader()->setStretchLastSection(true);
    grid->setItemDelegateForColumn(0, new PickListDelegate({QStringLiteral("Spouse"), QStringLiteral("Child")}, grid));
    grid->setItemDelegateForColumn(2, new PickListDelegate({QStringLiteral("Male"), QStringLiteral("Female")}, grid));
    auto* nav = new ui::DbNavigator;
    nav->setVisibleButtons(ui::DbNavigator::InsertButton | ui::DbNavigator::DeleteButton | ui::DbNavigator::PostButton |
                           ui::DbNavigator::CancelButton);
    nav->bind(srcFamily_);

    auto* kin = new QGroupBox(QStringLiteral("Next of Kin"));
    auto* kf = new QFormLayout(kin);
    addRow(kf, QStringLiteral("Name"), boundEdit(srcPayroll, "NextofKin", true), "NextofKin");
    addRow(kf, QStringLiteral("Address"), boundEdit(srcPayroll, "Kinaddress1", true), "Kinaddress1");
    addRow(kf, QString(), boundEdit(srcPayroll, "Kinaddress2", true), "Kinaddress2");
    addRow(kf, QStringLiteral("Relationship"), boundEdit(srcPayroll, "Relationship", true), "Relationship");
    addRow(kf, QStringLiteral("Telephone"), boundEdit(srcPayroll, "KinTelephone", true), "KinTelephone");

    auto* l = new QVBoxLayout(page);
    l->addWidget(grid, 1);
    l->addWidget(nav, 0, Qt::AlignLeft);
    l->addWidget(kin);
    return page;
}

// A page of one grid over a detail table with its insert/delete/post/cancel navigator.
static QWidget* gridPage(ui::DataSource* src, const QString& name, const std::vector<ui::GridColumn>& cols) {
    auto* page = new QWidget;
    auto* grid = new ui::DbGrid;
    grid->setObjectName(name);
    grid->bind(src, cols);
    grid->horizontalHeader()->setStretchLastSection(true);
    auto* nav = new ui::DbNavigator;
    nav->setVisibleButtons(ui::DbNavigator::InsertButton | ui::DbNavigator::DeleteButton | ui::DbNavigator::PostButton |
                           ui::DbNavigator::CancelButton);
    nav->bind(src);
    auto* l = new QVBoxLayout(page);
    l->addWidget(grid, 1);
    l->addWidget(nav, 0, Qt::AlignLeft);
    return page;
}

QWidget* TfmEentry::buildEducation() {
    return gridPage(srcEducation_, QStringLiteral("EducationGrid"),
                    {{QStringLiteral("Code"), QStringLiteral("Code"), 60},
                     {QStringLiteral("Description"), QStringLiteral("Description"), 160},
                     {QStringLiteral("Date"), QStringLiteral("Date"), 90},
                     {QStringLiteral("Marks"), QStringLiteral("Marks"), 60},
                     {QStringLiteral("Grade"), QStringLiteral("Grade"), 60},
                     {QStringLiteral("Comment"), QStringLiteral("Comment"), 0}});
}

QWidget* TfmEentry::buildCourses() {
    return gridPage(srcCourses_, QStringLiteral("CoursesGrid"),
                    {{QStringLiteral("Code"), QStringLiteral("Code"), 60},
                     {QStringLiteral("Description"), QStringLiteral("Description"), 160},
                     {QStringLiteral("Place"), QStringLiteral("Place"), 90},
                     {QStringLiteral("FromDate"), QStringLiteral("From"), 90},
                     {QStringLiteral("Todate"), QStringLiteral("To"), 90},
                     {QStringLiteral("Grade"), QStringLiteral("Grade"), 60},
                     {QStringLiteral("Comment"), QStringLiteral("Comment"), 0}});
}

// ------------------------------------------------------------------ handlers

void TfmEentry::showEvent(QShowEvent* e) {
    QWidget::showEvent(e);
    if (!shown_) {
        shown_ = true;
        FormShow();
        FormActivate();
    }
}

void TfmEentry::changeEvent(QEvent* e) {
    QWidget::changeEvent(e);
    if (e->type() == QEvent::ActivationChange && isActiveWindow() && shown_) setAccountingVisible();
}

void TfmEentry::FormShow() {
    // Top 0, left 130 inside the main window.
    QWidget* frame = parentWidget() && qobject_cast<QMdiSubWindow*>(parentWidget()) ? parentWidget() : this;
    if (frame != this || !isWindow()) frame->move(130, 0);
}

void TfmEentry::FormActivate() {
    Empent->setCurrentIndex(PersonalData);
    setAccountingVisible();
    Empnum->setFocus();
}

void TfmEentry::setAccountingVisible() { Empent->setTabVisible(AccountingData, EmployeeEntryLogic::AccountingDataVisible()); }

void TfmEentry::EmpentChange(int index) {
    if (index == AccountingData) setAccountingVisible();
}

bool TfmEentry::commitControls() {
    srcPayroll->updateRecord();
    srcTrans->updateRecord();
    // A box whose text did not convert has said so and keeps the text: nothing is stored then.
    for (ui::DbEdit* e : findChildren<ui::DbEdit*>())
        if (e->dirty()) return false;
    return true;
}

void TfmEentry::EmpnmChange() {
    if (busy_) return;
    std::string n = logic_.CurrentEmpno();
    if (!n.empty()) {
        Empnum->setText(QString::fromStdString(n));
        lastNumber_ = Empnum->text();
    }
}

void TfmEentry::EmpnumExit() {
    if (busy_) return;
    QString typed = Empnum->text().trimmed().toUpper();
    if (typed.isEmpty() || typed == lastNumber_) return;
    busy_ = true;
    EmployeeEntryLogic::NumberResult r = EmployeeEntryLogic::NumberResult::Nothing;
    bool ok = ui::guarded(this, [&] {
        commitControls();
        r = logic_.NumberBoxExit(typed.toStdString(), [this](const std::string& q) {
            return ui::ConfirmOk(this, QString::fromUtf8(q.c_str()));
        });
    });
    busy_ = false;
    if (!ok) {
        EmpnmChange();
        return;
    }
    switch (r) {
        case EmployeeEntryLogic::NumberResult::Cancelled:
            Empnum->clear();
            lastNumber_.clear();
            QTimer::singleShot(0, Empnum, [e = Empnum] { e->setFocus(); });
            break;
        case EmployeeEntryLogic::NumberResult::Created:
            EmpnmChange();
            Empent->setCurrentIndex(PersonalData);
            QTimer::singleShot(0, Surname, [s = Surname] { s->setFocus(); });
            break;
        default: EmpnmChange(); break;
    }
    dbEmpnoChange();
}

void TfmEentry::EmpnumDblClick() {
    std::string empno;
    if (!TxSearchDlg::PickEmployee(dm_, this, empno)) return;
    ui::guarded(this, [&] {
        commitControls();
        logic_.GoTo(empno);
    });
    EmpnmChange();
}

void TfmEentry::SaveClick() {
    if (!commitControls()) return;
    ui::guarded(this, [&] { logic_.Save(); });
}

void TfmEentry::EmpCloseClick() { close(); }

void TfmEentry::EmpdolExit() {
    bool refused = false;
    busy_ = true;
    ui::guarded(this, [&] { refused = logic_.DateLeftExit(today()); });
    busy_ = false;
    if (refused) {
        ui::ShowMessage(this, QString::fromUtf8(kDateLeftInFuture));
        Empent->setCurrentIndex(EmploymentData);
        QTimer::singleShot(0, Empdol, [e = Empdol] { e->setFocus(); });
    }
}

void TfmEentry::EmppaymodeChange() {
    long long mode = 0;
    try {
        if (dm_.payroll.active() && dm_.payroll.recNo() > 0) mode = dm_.payroll.asInteger("PAYMENT");
    } catch (const std::exception&) {
    }
    bool on = EmployeeEntryLogic::BankFieldsEnabled(mode);
    Bank->setEnabled(on);
    BankAc->setEnabled(on);
}

void TfmEentry::HousedExit() {
    ui::guarded(this, [&] { logic_.HousedExit(); });
}

void TfmEentry::RentPaid1Click() {
    bool show = false;
    ui::guarded(this, [&] {
        srcPayroll->updateRecord();
        show = logic_.RentPaidClick();
    });
    if (!show) return;
    THouseDlg dlg(dm_, srcPayroll, this);
    dlg.execute();
}

void TfmEentry::MORTGAGEExit() {
    ui::guarded(this, [&] { logic_.MortgageExit(); });
}

void TfmEentry::lndef1Click() {
    if (!commitControls()) {
        // The flag goes back as well: it never stands without its instalment moved.
        bool was = !LoanDef[0]->isChecked();
        ui::guarded(this, [&] {
            if (dm_.payroll.editing()) dm_.payroll.setBoolean("LOAN1DEF", was);
        });
        return;
    }
    ui::guarded(this, [&] { logic_.DeferLoan1(LoanDef[0]->isChecked()); });
}

void TfmEentry::SpeedButton1Click() {
    if (!commitControls()) return;
    if (!ui::ConfirmYes(this, QString::fromUtf8(kSplitBasicQuestion))) return;
    ui::guarded(this, [&] { logic_.SplitBasic(); });
}

void TfmEentry::dbEmpnoChange() {
    std::string path;
    try {
        path = logic_.PhotoPath();
    } catch (const std::exception&) {
    }
    QPixmap pic;
    if (!path.empty()) pic.load(QString::fromStdString(path));
    StaffPic->setPixmap(pic);
    StaffPic->setVisible(!pic.isNull());
    NoPicture->setVisible(pic.isNull());
}

void TfmEentry::StaffPicDblClick() {
    QString file = QFileDialog::getOpenFileName(
        this, QStringLiteral("Open Picture"), QString::fromStdString(dm_.db().picturesFolder()),
        QStringLiteral("All (*.bmp *.ico *.emf *.wmf *.jpg);;Bitmaps (*.bmp);;Icons (*.ico);;Enhanced Metafiles (*.emf);;"
                       "Metafiles (*.wmf);;JPEG Image File (*.jpg)"));
    if (file.isEmpty()) return;
    QPixmap pic(file);
    if (pic.isNull()) return;
    StaffPic->setPixmap(pic);
    StaffPic->setVisible(true);
    NoPicture->setVisible(false);
}

bool TfmEentry::eventFilter(QObject* o, QEvent* e) {
    if (o == Empnum) {
        if (e->type() == QEvent::MouseButtonDblClick) {
            EmpnumDblClick();
            return true;
        }
        if (e->type() == QEvent::KeyPress) {
            auto* k = static_cast<QKeyEvent*>(e);
            // Enter in the number box finds or creates the employee; it does not save.
            if (k->key() == Qt::Key_Return || k->key() == Qt::Key_Enter) {
                EmpnumExit();
                return true;
            }
        }
    }
    if ((o == StaffPic || o == NoPicture) && e->type() == QEvent::MouseButtonDblClick) {
        StaffPicDblClick();
        return true;
    }
    if (e->type() == QEvent::FocusOut) {
        if (o == Housed) QTimer::singleShot(0, this, &TfmEentry::HousedExit);
        if (o == Mortgage) QTimer::singleShot(0, this, &TfmEentry::MORTGAGEExit);
    }
    return QWidget::eventFilter(o, e);
}

void TfmEentry::keyPressEvent(QKeyEvent* e) {
    if (e->key() == Qt::Key_Escape) {
        EmpCloseClick();
        return;
    }
    if ((e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) && !within(Empnum, QApplication::focusWidget())) {
        SaveClick();
        return;
    }
    QWidget::keyPressEvent(e);
}

void TfmEentry::closeEvent(QCloseEvent* e) {
    if (!closed_) {
        if (!commitControls()) {
            e->ignore();
            return;
        }
        bool ok = ui::guarded(this, [&] { logic_.Close(); });
        if (!ok) {
            e->ignore();
            return;
        }
        closed_ = true;
    }
    QWidget::closeEvent(e);
}

// ====================================================================== THouseDlg

THouseDlg::THouseDlg(TdmPayroll& dm, ui::DataSource* payroll, QWidget* parent)
    : QDialog(parent), logic_(dm), src_(payroll) {
    setObjectName(QStringLiteral("THouseDlg"));
    setWindowTitle(QStringLiteral("Housing - Rent paid"));
    auto* f = new QFormLayout;
    Rent = addRow(f, QStringLiteral("Enter Rent Paid:"), amountEdit(payroll, "RENT"), "RENT");
    ActualRent = addRow(f, QStringLiteral("Actual Rent Paid"), amountEdit(payroll, "DROUGHT"), "DROUGHT");
    auto* ok = new QPushButton(QStringLiteral("OK"));
    ok->setObjectName(QStringLiteral("OKBtn"));
    ok->setDefault(true);
    auto* cancel = new QPushButton(QStringLiteral("Cancel"));
    cancel->setObjectName(QStringLiteral("CancelBtn"));
    connect(ok, &QPushButton::clicked, this, [this] {
        src_->updateRecord();
        accept();
    });
    connect(cancel, &QPushButton::clicked, this, &THouseDlg::reject);
    auto* b = new QHBoxLayout;
    b->addStretch();
    b->addWidget(ok);
    b->addWidget(cancel);
    auto* l = new QVBoxLayout(this);
    l->addLayout(f);
    l->addLayout(b);
}

int THouseDlg::execute() {
    logic_.Show();
    Rent->setFocus();
    return exec();
}

void THouseDlg::reject() {
    ui::guarded(this, [&] { logic_.Cancel(); });
    QDialog::reject();
}

// ====================================================================== TfmEmpbenefits

TfmEmpbenefits::TfmEmpbenefits(TdmPayroll& dm, QWidget* parent) : QWidget(parent), dm_(dm), logic_(dm) {
    setObjectName(QStringLiteral("TfmEmpbenefits"));
    setWindowTitle(QStringLiteral("Enter Employee Benefits"));
    setAttribute(Qt::WA_DeleteOnClose);
    src_ = new ui::DataSource(&dm_.EmpBenefits, this);
    srcBenefits_ = new ui::DataSource(&dm_.Benefits, this);

    Fields = new QWidget;
    auto* f = new QFormLayout(Fields);
    auto* empRow = new QHBoxLayout;
    Empno = boundEdit(src_, "EMPNO", true);
    Empno->setObjectName(QStringLiteral("EMPNO"));
    Empno->setMaximumWidth(70);
    Empno->setToolTip(QStringLiteral("Double-click to pick the employee"));
    auto* name = boundEdit(src_, "Name", false, true);
    name->setObjectName(QStringLiteral("Name"));
    name->setFocusPolicy(Qt::NoFocus);
    empRow->addWidget(Empno);
    empRow->addWidget(name, 1);
    auto* lEmp = new QLabel(QStringLiteral("Emp. No."));
    lEmp->setBuddy(Empno);
    f->addRow(lEmp, empRow);
    Benefit = addRow(f, QStringLiteral("Benefit"), boundLookup(src_, "CODE", &dm_.Benefits, "CODE", "DESCRIPTION"), "CODE");
    addRow(f, QStringLiteral("Rate in Pounds"), amountEdit(src_, "RATE"), "RATE");
    addRow(f, QStringLiteral("Actual Value - Kshs."), amountEdit(src_, "VAMOUNT"), "VAMOUNT");
    f->addRow(QString(), boundCheck(src_, QStringLiteral("Active"), "BActive"));
    VActual = addRow(f, QStringLiteral("Taxable Value - Pounds"), amountEdit(src_, "VActual", true), "VActual");
    VActual->setFocusPolicy(Qt::NoFocus);

    Ok = new QPushButton(QStringLiteral("OK"));
    Ok->setObjectName(QStringLiteral("OKBtn"));
    Cancel = new QPushButton(QStringLiteral("Cancel"));
    Cancel->setObjectName(QStringLiteral("CancelBtn"));
    Add = new QPushButton(QStringLiteral("&Add"));
    Add->setObjectName(QStringLiteral("AddBtn"));
    CloseBtn = new QPushButton(QStringLiteral("&Close"));
    CloseBtn->setObjectName(QStringLiteral("CloseBtn"));
    Navigator = new ui::DbNavigator;
    Navigator->setVisibleButtons(ui::DbNavigator::MoveButtons | ui::DbNavigator::DeleteButton |
                                 ui::DbNavigator::EditButton);
    Navigator->bind(src_);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(Navigator);
    buttons->addStretch();
    buttons->addWidget(Add);
    buttons->addWidget(Ok);
    buttons->addWidget(Cancel);
    buttons->addWidget(CloseBtn);
    auto* l = new QVBoxLayout(this);
    l->addWidget(Fields);
    l->addLayout(buttons);

    connect(Ok, &QPushButton::clicked, this, [this] {
        ui::guarded(this, [&] {
            src_->updateRecord();
            logic_.Ok();
        });
    });
    connect(Cancel, &QPushButton::clicked, this, [this] { ui::guarded(this, [&] { logic_.Cancel(); }); });
    connect(Add, &QPushButton::clicked, this, [this] {
        if (ui::guarded(this, [&] {
                src_->updateRecord();
                logic_.Add();
            }))
            Empno->setFocus();
    });
    connect(CloseBtn, &QPushButton::clicked, this, &QWidget::close);
    connect(Benefit, qOverload<int>(&QComboBox::activated), this, &TfmEmpbenefits::BenefitCloseUp);
    connect(src_, &ui::DataSource::stateChanged, this, &TfmEmpbenefits::StateChange);
    Empno->installEventFilter(this);
    StateChange();
    resize(sizeHint());
}

TfmEmpbenefits::~TfmEmpbenefits() = default;

void TfmEmpbenefits::showEvent(QShowEvent* e) {
    QWidget::showEvent(e);
    FormActivate();
}

void TfmEmpbenefits::FormActivate() {
    ui::guarded(this, [&] { logic_.Activate(); });
    StateChange();
}

void TfmEmpbenefits::EmpnoDblClick() {
    std::string empno;
    if (!TxSearchDlg::PickEmployee(dm_, this, empno)) return;
    if (ui::guarded(this, [&] { logic_.SetEmployee(empno); })) Benefit->setFocus();
}

void TfmEmpbenefits::BenefitCloseUp() {
    ui::guarded(this, [&] { logic_.BenefitChosen(); });
}

void TfmEmpbenefits::StateChange() {
    bool editing = logic_.Editing();
    Ok->setEnabled(editing);
    Cancel->setEnabled(editing);
    CloseBtn->setEnabled(!editing);
    Navigator->setEnabled(!editing);
    Add->setVisible(true);
    Add->setEnabled(!editing);
    Fields->setEnabled(editing);
}

bool TfmEmpbenefits::eventFilter(QObject* o, QEvent* e) {
    if (o == Empno && e->type() == QEvent::MouseButtonDblClick) {
        EmpnoDblClick();
        return true;
    }
    return QWidget::eventFilter(o, e);
}

void TfmEmpbenefits::closeEvent(QCloseEvent* e) {
    if (dm_.EmpBenefits.editing()) {
        // The window closes from browse state only; an open row is the clerk's to post or cancel.
        ui::ShowMessage(this, QStringLiteral("Press OK to keep this benefit or Cancel to drop it before closing."));
        e->ignore();
        return;
    }
    QWidget::closeEvent(e);
}

}  // namespace zuna
