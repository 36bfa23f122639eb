// Laying reports out: groups and their breaks, sums, page and column flow, the page count.
#include <gtest/gtest.h>

#include "Fixture.h"
#include "reports/engine/Layout.h"
#include "reports/engine/Mask.h"

namespace zuna::report {
namespace {

using test::bandSequence;
using test::bandTexts;
using test::countBands;
using test::itemNamed;
using test::StaffDb;

const std::vector<test::StaffRow> kStaff = {
    {"0001", "ADM", "S1", "Achieng Atieno", 1000.25},
    {"0002", "ADM", "S1", "Baraka Mwangi", 2000.50},
    {"0003", "ADM", "S2", "Chebet Kiprono", 300},
    {"0004", "OPS", "S2", "Daudi Mrisho", 4000},
    {"0005", "OPS", "S2", "Esther Uwase", 50.75},
};

// Department and section groups with footers that show the last row and the group's sum.
class GroupedReport : public ::testing::Test {
protected:
    GroupedReport() : db(kStaff) {
        Table& t = db.table();
        r.name = "Staff by department";
        r.setDataset(t);
        r.pageHeader().height = 10;
        r.pageHeader().addLabel("STAFF LIST", 0, 0, 100, 5);
        dept = &r.addGroup("dept", [&t] { return t.asString("EMPDEPT"); });
        sect = &r.addGroup("sect", [&t] { return t.asString("EMPSECT"); });
        dept->header().height = 6;
        dept->header().addField("EMPDEPT", 0, 0, 30, 5).named("deptName");
        sect->header().height = 6;
        sect->header().addField("EMPSECT", 0, 0, 30, 5);
        r.detail().height = 5;
        r.detail().addField("EMPNO", 0, 0, 15, 5).named("empno");
        r.detail().addField("NETT", 100, 0, 30, 5, "###,###,##0.00").alignRight().named("nett");
        Sum& nett = r.addSum("NETT");
        sect->footer().height = 5;
        sect->footer().addNumber([&nett, this] { return nett.group(*sect); }, 100, 0, 30, 5, "###,###,##0.00").named("sectTotal");
        dept->footer().height = 5;
        dept->footer().addField("EMPNO", 0, 0, 15, 5).named("lastInDept");
        dept->footer().addNumber([&nett, this] { return nett.group(*dept); }, 100, 0, 30, 5, "###,###,##0.00").named("deptTotal");
        r.summary().height = 8;
        r.summary().addNumber([&nett] { return nett.total(); }, 100, 0, 30, 5, "###,###,##0.00").named("grandTotal");
    }
    StaffDb db;
    Report r;
    Group* dept = nullptr;
    Group* sect = nullptr;
};

TEST_F(GroupedReport, KeyChangesCloseInnerGroupsAndRestartTheirSums) {
    Document doc = layout(r);
    ASSERT_EQ(doc.pages.size(), 1u);
    const Page& p = doc.pages[0];
    // OPS/S2 follows ADM/S2: the section key is unchanged, yet the section closes with the department.
    EXPECT_EQ(bandSequence(p),
              "pageHeader deptHeader sectHeader detail detail sectFooter sectHeader detail sectFooter deptFooter "
              "deptHeader sectHeader detail detail sectFooter deptFooter summary");
    EXPECT_EQ(itemNamed(p, "sectTotal", 0)->text, "3,000.75");
    EXPECT_EQ(itemNamed(p, "sectTotal", 1)->text, "300.00");
    EXPECT_EQ(itemNamed(p, "sectTotal", 2)->text, "4,050.75");
    EXPECT_EQ(itemNamed(p, "deptTotal", 0)->text, "3,300.75");
    EXPECT_EQ(itemNamed(p, "deptTotal", 1)->text, "4,050.75");
    EXPECT_EQ(itemNamed(p, "grandTotal")->text, "7,351.50");
    // A footer prints with the last row of its group, not the first of the next.
    EXPECT_EQ(itemNamed(p, "lastInDept", 0)->text, "0003");
    EXPECT_EQ(itemNamed(p, "lastInDept", 1)->text, "0005");
    EXPECT_EQ(itemNamed(p, "nett", 1)->text, "2,000.50");
}

TEST_F(GroupedReport, NewPageOnEachDepartmentAndSummaryAtTheBottom) {
    dept->header().newPage = true;
    r.pageFooter().height = 7;
    r.pageFooter().addText([this] { return "Page " + std::to_string(r.pageNumber()); }, 0, 0, 40, 5).named("pageNo");
    r.summary().alignToBottom = true;
    Document doc = layout(r);
    ASSERT_EQ(doc.pages.size(), 2u);
    // The first department does not leave an empty first page.
    EXPECT_EQ(bandSequence(doc.pages[0]),
              "pageHeader deptHeader sectHeader detail detail sectFooter sectHeader detail sectFooter deptFooter pageFooter");
    EXPECT_EQ(bandSequence(doc.pages[1]), "pageHeader deptHeader sectHeader detail detail sectFooter deptFooter summary pageFooter");
    EXPECT_EQ(itemNamed(doc.pages[1], "deptName")->text, "OPS");
    EXPECT_EQ(itemNamed(doc.pages[1], "pageNo")->text, "Page 2");

    const PrintedBand& summary = doc.pages[1].bands[7];
    const PrintedBand& footer = doc.pages[1].bands[8];
    EXPECT_DOUBLE_EQ(footer.y, 297 - 10 - 7);
    EXPECT_DOUBLE_EQ(summary.y + summary.h, footer.y);
}

TEST_F(GroupedReport, SwitchedOffGroupsPrintNothingAndSumsStillAddUp) {
    sect->enabled = false;
    dept->key = nullptr;  // a group without a key is off as well
    Document doc = layout(r);
    ASSERT_EQ(doc.pages.size(), 1u);
    EXPECT_EQ(bandSequence(doc.pages[0]), "pageHeader detail detail detail detail detail summary");
    EXPECT_EQ(itemNamed(doc.pages[0], "grandTotal")->text, "7,351.50");
}

TEST_F(GroupedReport, SuppressedDetailIsNeitherPrintedNorSummed) {
    Table& t = db.table();
    r.detail().beforePrint = [&t](Band&) { return t.asFloat("NETT") >= 1000; };
    Document doc = layout(r);
    const Page& p = doc.pages[0];
    EXPECT_EQ(countBands(p, BandType::Detail), 3);
    EXPECT_EQ(itemNamed(p, "sectTotal", 1)->text, "0.00");  // ADM/S2 had only the 300
    EXPECT_EQ(itemNamed(p, "grandTotal")->text, "7,000.75");
}

TEST_F(GroupedReport, UnknownFieldIsAnErrorNamingIt) {
    r.detail().addField("NOSUCH", 0, 0, 10, 5);
    try {
        layout(r);
        FAIL() << "no error";
    } catch (const ReportError& e) {
        EXPECT_NE(std::string(e.what()).find("NOSUCH"), std::string::npos) << e.what();
    }
}

// A list of n rows from memory, detail 10 mm high, header and footer of 10 mm on A4.
class ListReport : public ::testing::Test {
protected:
    void fill(int n) {
        for (int i = 1; i <= n; ++i) rows.addRow({Value(std::to_string(i)), Value(i * 1.5)});
        r.setDataSource(&rows);
        r.page.topMargin = r.page.bottomMargin = 10;
        r.pageHeader().height = 10;
        r.pageHeader().addLabel("LIST", 0, 0, 50, 5);
        r.detail().height = 10;
        r.detail().addField("NO", 0, 0, 20, 5).named("no");
        r.detail().addText([this] { return std::to_string(r.pageNumber()); }, 30, 0, 10, 5).named("onPage");
        r.pageFooter().height = 10;
        r.pageFooter().addText([this] { return std::to_string(r.pageNumber()) + "/" + std::to_string(r.pageCount()); }, 0, 0, 40, 5)
            .named("pageOfPages");
    }
    MemorySource rows{{"NO", "AMOUNT"}};
    Report r;
};

TEST_F(ListReport, DetailOverflowStartsANewPageBelowItsHeader) {
    fill(60);
    Document doc = layout(r);
    // 297 - 10 - 10 leaves 277 mm; less 20 for header and footer: 25 rows of 10 mm.
    ASSERT_EQ(doc.pages.size(), 3u);
    EXPECT_EQ(countBands(doc.pages[0], BandType::Detail), 25);
    EXPECT_EQ(countBands(doc.pages[1], BandType::Detail), 25);
    EXPECT_EQ(countBands(doc.pages[2], BandType::Detail), 10);
    EXPECT_EQ(itemNamed(doc.pages[1], "no")->text, "26");
    EXPECT_EQ(itemNamed(doc.pages[1], "onPage")->text, "2");  // the row that moved tells its new page
    for (const Page& p : doc.pages) {
        EXPECT_EQ(p.bands.front().type, BandType::PageHeader);
        EXPECT_EQ(p.bands.back().type, BandType::PageFooter);
        double footerTop = p.bands.back().y;
        for (const auto& b : p.bands)
            if (b.type == BandType::Detail) EXPECT_LE(b.y + b.h, footerTop + 1e-9) << "page " << p.number;
    }
}

TEST_F(ListReport, PageCountIsKnownOnEveryPageAndEachPageComesOnce) {
    fill(60);
    int starts = 0;
    r.onStart = [&starts] { ++starts; };
    Document doc = layout(r);
    ASSERT_EQ(doc.pages.size(), 3u);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(doc.pages[static_cast<size_t>(i)].number, i + 1);
        EXPECT_EQ(itemNamed(doc.pages[static_cast<size_t>(i)], "pageOfPages")->text, std::to_string(i + 1) + "/3");
    }
    EXPECT_EQ(starts, 2);  // asked for the count: a second pass
}

TEST_F(ListReport, WithoutThePageCountTheReportIsLaidOutOnce) {
    fill(30);
    r.pageFooter().element("pageOfPages").compute = [this] { return std::to_string(r.pageNumber()); };
    int starts = 0;
    r.onStart = [&starts] { ++starts; };
    Document doc = layout(r);
    EXPECT_EQ(doc.pages.size(), 2u);
    EXPECT_EQ(starts, 1);
}

TEST_F(ListReport, PageCountAskedOnlyOnTheLastPageStillShowsEverywhereItIsAsked) {
    fill(60);
    // Pages 1 and 2 do not ask; they are handed out from the first pass, page 3 from the second.
    r.pageFooter().element("pageOfPages").compute = [this] {
        return r.pageNumber() == 3 ? "last of " + std::to_string(r.pageCount()) : std::to_string(r.pageNumber());
    };
    Document doc = layout(r);
    ASSERT_EQ(doc.pages.size(), 3u);
    EXPECT_EQ(itemNamed(doc.pages[0], "pageOfPages")->text, "1");
    EXPECT_EQ(itemNamed(doc.pages[1], "pageOfPages")->text, "2");
    EXPECT_EQ(itemNamed(doc.pages[2], "pageOfPages")->text, "last of 3");
}

TEST(Layout, PayslipsRunAcrossThreeColumnsThenANewPage) {
    MemorySource slips({"EMPNO", "NETT"});
    for (int i = 1; i <= 7; ++i) slips.addRow({Value("E" + std::to_string(i)), Value(100.0 * i)});
    Report r;
    r.page.leftMargin = 6, r.page.rightMargin = 5, r.page.topMargin = r.page.bottomMargin = 5;
    r.page.columns = 3;
    r.page.columnGap = 3;
    r.page.columnRule = 0.2;
    r.setDataSource(&slips);
    Group& slip = r.addGroup("slip", [&slips] { return slips.text(0); });
    slip.header().newColumn = true;
    slip.header().height = 10;
    slip.header().addField("EMPNO", 0, 0, 30, 5).named("empno");
    r.detail().height = 50;
    r.detail().addField("NETT", 0, 0, 30, 5, "###,###,##0.00");
    slip.footer().height = 5;
    slip.footer().alignToBottom = true;  // the foot of each payslip sits at the foot of its column
    slip.footer().addLabel("NET PAY", 0, 0, 30, 5);

    Document doc = layout(r);
    ASSERT_EQ(doc.pages.size(), 3u);
    double colW = (210 - 6 - 5 - 2 * 3) / 3.0;
    for (size_t pg = 0; pg < 3; ++pg) {
        const Page& p = doc.pages[pg];
        int slipsHere = countBands(p, BandType::GroupHeader);
        EXPECT_EQ(slipsHere, pg < 2 ? 3 : 1) << "page " << pg + 1;
        for (const auto& b : p.bands) {
            EXPECT_NEAR(b.x, 6 + b.column * (colW + 3), 1e-9);
            EXPECT_NEAR(b.w, colW, 1e-9);
            if (b.type == BandType::GroupHeader) EXPECT_DOUBLE_EQ(b.y, 5);
            if (b.type == BandType::GroupFooter) EXPECT_DOUBLE_EQ(b.y + b.h, 297 - 5);
        }
        // one vertical rule in the middle of each gap
        int rules = 0;
        for (const auto& it : p.items)
            if (it.band < 0 && it.kind == ItemKind::Line) {
                ++rules;
                EXPECT_EQ(it.w, 0);
            }
        EXPECT_EQ(rules, 2);
    }
    EXPECT_EQ(itemNamed(doc.pages[0], "empno", 2)->text, "E3");
    EXPECT_EQ(doc.pages[0].bands[6].column, 2);  // header, detail, footer per column
    EXPECT_EQ(itemNamed(doc.pages[1], "empno", 0)->text, "E4");
    EXPECT_EQ(itemNamed(doc.pages[2], "empno", 0)->text, "E7");
}

TEST(Layout, GroupHeaderIsRepeatedOnTheNextPageMarkedAsARepeat) {
    MemorySource rows({"DEPT", "NO"});
    for (int i = 0; i < 40; ++i) rows.addRow({Value(i < 35 ? "ADM" : "OPS"), Value(i)});
    Report r;
    r.setDataSource(&rows);
    Group& g = r.addGroup("dept", [&rows] { return rows.text(0); });
    g.header().height = 10;
    g.header().reprintOnNewPage = true;
    g.header().addField("DEPT", 0, 0, 20, 5);
    bool repeat = false;
    g.header().beforePrint = [&repeat](Band& b) {
        repeat = b.reprinting();
        return true;
    };
    g.header().addText([&repeat] { return repeat ? "(continued)" : ""; }, 30, 0, 40, 5);
    r.detail().height = 10;
    r.detail().addField("NO", 0, 0, 20, 5);

    Document doc = layout(r);
    ASSERT_EQ(doc.pages.size(), 2u);  // 27 rows of 10 mm a page, less the headers
    const Page& second = doc.pages[1];
    ASSERT_EQ(second.bands[0].type, BandType::GroupHeader);
    EXPECT_EQ(bandTexts(second, 0), (std::vector<std::string>{"ADM", "(continued)"}));
    // The new group that follows is announced once, without the mark.
    int opsHeader = -1;
    for (size_t i = 1; i < second.bands.size(); ++i)
        if (second.bands[i].type == BandType::GroupHeader) opsHeader = static_cast<int>(i);
    ASSERT_GT(opsHeader, 0);
    EXPECT_EQ(bandTexts(second, opsHeader), (std::vector<std::string>{"OPS", ""}));
    EXPECT_EQ(countBands(second, BandType::GroupHeader), 2);
}

TEST(Layout, WrappedTextStretchesItsBandAndPushesTheNextOne) {
    MemorySource rows({"NOTE"});
    rows.addRow({Value("short")});
    rows.addRow({Value(std::string(40, 'x') + " " + std::string(40, 'y') + " " + std::string(40, 'z'))});
    rows.addRow({Value("short again")});
    Report r;
    r.setDataSource(&rows);
    r.detail().height = 5;
    r.detail().addField("NOTE", 0, 0, 60, 5).wrap().stretch();
    r.detail().addVLine(65, 0, 5).followBand();
    Document doc = layout(r);
    const auto& b = doc.pages[0].bands;
    ASSERT_EQ(b.size(), 3u);
    EXPECT_DOUBLE_EQ(b[0].h, 5);
    EXPECT_GT(b[1].h, 10);  // three wrapped lines of 10 pt
    EXPECT_DOUBLE_EQ(b[2].y, b[1].y + b[1].h);
    for (const auto& it : doc.pages[0].items)
        if (it.band == 1 && it.kind == ItemKind::Line) EXPECT_DOUBLE_EQ(it.h, b[1].h);
}

TEST(Layout, WithoutDataSourceTheDetailPrintsOnce) {
    Report r;
    r.title().height = 20;
    r.title().addLabel("CERTIFICATE", 0, 0, 100, 10);
    r.detail().height = 30;
    int details = 0;
    r.detail().beforePrint = [&details](Band&) { return ++details > 0; };
    r.summary().height = 10;
    Document doc = layout(r);
    ASSERT_EQ(doc.pages.size(), 1u);
    EXPECT_EQ(bandSequence(doc.pages[0]), "title detail summary");
    EXPECT_EQ(details, 1);
}

TEST(Layout, EventsChangeTextsAndVisibilityAndForceBreaks) {
    MemorySource rows({"NAME", "PAYMENT"});
    rows.addRow({Value("Amina"), Value(1)});
    rows.addRow({Value("Baraka"), Value(3)});
    rows.addRow({Value("Chausiku"), Value(3)});
    Report r;
    r.setDataSource(&rows);
    r.detail().height = 5;
    r.detail().addField("NAME", 0, 0, 40, 5);
    r.detail().addLabel("", 50, 0, 40, 5).named("paid");
    r.detail().addLabel("(bank)", 100, 0, 40, 5).named("bank");
    std::string lastPayment;
    r.detail().beforePrint = [&](Band& b) {
        std::string pay = rows.text(1);
        b.element("paid").text = pay == "1" ? "Cash" : "Bank Transfer";
        b.element("bank").visible = pay == "3";
        if (!lastPayment.empty() && pay != lastPayment) b.breakPageBefore();
        lastPayment = pay;
        return true;
    };
    r.onStart = [&lastPayment] { lastPayment.clear(); };
    Document doc = layout(r);
    ASSERT_EQ(doc.pages.size(), 2u);
    EXPECT_EQ(bandTexts(doc.pages[0], 0), (std::vector<std::string>{"Amina", "Cash"}));
    EXPECT_EQ(bandTexts(doc.pages[1], 0), (std::vector<std::string>{"Baraka", "Bank Transfer", "(bank)"}));
    EXPECT_EQ(bandTexts(doc.pages[1], 1), (std::vector<std::string>{"Chausiku", "Bank Transfer", "(bank)"}));
}

TEST(Layout, LandscapeLetterAndCustomPaper) {
    struct Case {
        Paper paper;
        Orientation o;
        double w, h;
    } cases[] = {{Paper::A4, Orientation::Landscape, 297, 210},
                 {Paper::Letter, Orientation::Portrait, 215.9, 279.4},
                 {Paper::Custom, Orientation::Portrait, 240, 140}};
    for (const auto& c : cases) {
        Report r;
        r.page.paper = c.paper;
        r.page.orientation = c.o;
        r.page.customWidth = 240, r.page.customHeight = 140;
        r.detail().height = 5;
        Document doc = layout(r);
        EXPECT_DOUBLE_EQ(doc.pageWidth, c.w);
        EXPECT_DOUBLE_EQ(doc.pages.at(0).height, c.h);
    }
}

}  // namespace
}  // namespace zuna::report
