// Renderers: plain text grid, PDF, CSV, XLSX, XML, PNG, and writing while laying out.
#include <gtest/gtest.h>

#include <QPrinter>
#include <QXmlStreamReader>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "Fixture.h"
#include "reports/engine/Layout.h"
#include "reports/engine/Render.h"

namespace zuna::report {
namespace {

using test::StaffDb;

constexpr double kInch = 25.4;
constexpr double kRow = kInch / 6;   // one line at 6 lines per inch
constexpr double kChar = kInch / 10;  // one character at 10 per inch

const std::vector<test::StaffRow> kStaff = {
    {"0001", "ADM", "S1", "Achieng Atieno", 1000.25},
    {"0002", "ADM", "S1", "Wanjikũ Njoroge", 2000.5},               // not ASCII
    {"0003", "OPS", "S2", "Otieno, James", -300},                   // a comma
    {"0004", "OPS", "S2", "Mary \"Mama\" Akinyi", 4000},            // quotes
    {"0005", "OPS", "S2", "Nyirahabimana Uwamahoro Jeanne", 50.75},  // longer than its box
};

std::string spaces(int n) { return std::string(static_cast<size_t>(n), ' '); }

std::string slurp(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    std::ostringstream s;
    s << f.rdbuf();
    return s.str();
}

bool haveTool(const char* name) { return std::system((std::string("command -v ") + name + " >/dev/null 2>&1").c_str()) == 0; }

std::string runTool(const std::string& cmd) {
    std::string out;
    if (FILE* p = popen(cmd.c_str(), "r")) {
        char buf[4096];
        size_t n;
        while ((n = fread(buf, 1, sizeof buf, p)) > 0) out.append(buf, n);
        pclose(p);
    }
    return out;
}

// A payroll list laid out on the 10 cpi / 6 lpi grid: margins of one inch, so the page
// starts at column 10, row 6; code in 5 characters, name in 20, amount right in 15.
class PayrollList : public ::testing::Test {
protected:
    PayrollList() : db(kStaff) {
        r.name = "Net pay";
        r.page.leftMargin = r.page.topMargin = kInch;
        r.setDataset(db.table());
        Band& h = r.pageHeader();
        h.height = 2 * kRow;
        h.addLabel("PAYROLL", 0, 0, 20 * kChar, kRow).alignCentre().bold();
        h.addHLine(0, kRow, 40 * kChar);
        Band& d = r.detail();
        d.height = kRow;
        d.addField("EMPNO", 0, 0, 5 * kChar, kRow);
        d.addField("EMPNAME", 5 * kChar, 0, 20 * kChar, kRow);
        d.addField("NETT", 25 * kChar, 0, 15 * kChar, kRow, "###,###,##0.00").alignRight().named("nett");
        Sum& total = r.addSum("NETT");
        Band& s = r.summary();
        s.height = 2 * kRow;
        s.addLabel("TOTAL", 0, 0, 20 * kChar, kRow);
        s.addNumber([&total] { return total.total(); }, 25 * kChar, 0, 15 * kChar, kRow, "###,###,##0.00").alignRight();
        s.addLabel("COUNT", 0, kRow, 20 * kChar, kRow);
        s.addNumber([&total] { return static_cast<double>(total.count()); }, 25 * kChar, kRow, 15 * kChar, kRow).alignRight();
        r.pageFooter().height = kRow;
        r.pageFooter().addText([this] { return "Page " + std::to_string(r.pageNumber()) + " of " + std::to_string(r.pageCount()); },
                               0, 0, 40 * kChar, kRow);
    }
    StaffDb db;
    Report r;
    zuna::test::TempDir dir;
};

TEST_F(PayrollList, PlainTextIsACharacterGridAndTheSameEveryTime) {
    std::string text = renderText(layout(r));
    EXPECT_EQ(text, renderText(layout(r)));

    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string l; std::getline(in, l);) lines.push_back(l);
    ASSERT_GE(lines.size(), 16u);
    for (int i = 0; i < 6; ++i) EXPECT_EQ(lines[static_cast<size_t>(i)], "") << "top margin row " << i;
    EXPECT_EQ(lines[6], spaces(16) + "PAYROLL");  // centred in columns 10..29
    EXPECT_EQ(lines[7], spaces(10) + std::string(40, '-'));
    EXPECT_EQ(lines[8], spaces(10) + "0001 Achieng Atieno" + spaces(13) + "1,000.25");
    // Columns count characters, not bytes.
    EXPECT_EQ(lines[9], spaces(10) + "0002 Wanjikũ Njoroge" + spaces(12) + "2,000.50");
    EXPECT_EQ(lines[10], spaces(10) + "0003 Otieno, James" + spaces(15) + "-300.00");
    // A text longer than its box is cut at the box.
    EXPECT_EQ(lines[12], spaces(10) + "0005 Nyirahabimana Uwamah" + spaces(10) + "50.75");
    EXPECT_EQ(lines[13], spaces(10) + "TOTAL" + spaces(27) + "6,751.50");
    EXPECT_EQ(lines[14], spaces(10) + "COUNT" + spaces(34) + "5");
    // The page footer sits on the last row above the bottom margin: (297 - 10) mm at 6 lpi.
    EXPECT_EQ(lines.back(), spaces(10) + "Page 1 of 1");
    EXPECT_EQ(lines.size(), static_cast<size_t>((297 - 10 - kRow) / kRow + 0.5) + 1);
}

TEST_F(PayrollList, RecordFileModeWritesOnlyTheRowsThatHoldSomething) {
    r.pageHeader().enabled = false;
    r.pageFooter().enabled = false;
    TextOptions opt;
    opt.blankRows = false;
    opt.lineEnd = "\r\n";
    std::string text = renderText(layout(r), opt);
    EXPECT_EQ(text.substr(0, text.find("\r\n") + 2), spaces(10) + "0001 Achieng Atieno" + spaces(13) + "1,000.25\r\n");
    size_t lines = 0;
    for (size_t p = 0; (p = text.find("\r\n", p)) != std::string::npos; p += 2) ++lines;
    EXPECT_EQ(lines, 7u);  // five records, two summary lines
}

TEST_F(PayrollList, PagesOfPlainTextAreSeparatedByFormFeeds) {
    r.detail().newPage = true;  // one employee a page
    std::string text = renderText(layout(r));
    size_t feeds = 0;
    for (char c : text) feeds += c == '\f';
    EXPECT_EQ(feeds, 4u);
    EXPECT_NE(text.find("Page 5 of 5"), std::string::npos);
}

TEST_F(PayrollList, PdfKeepsTheTextsAsText) {
    std::string path = dir.sub("netpay.pdf");
    writePdf(layout(r), path);
    std::string pdf = slurp(path);
    ASSERT_EQ(pdf.substr(0, 5), "%PDF-");
    if (!haveTool("pdftotext")) GTEST_SKIP() << "pdftotext is not installed";
    std::string text = runTool("pdftotext -layout '" + path + "' -");
    for (const char* want : {"PAYROLL", "Achieng Atieno", "1,000.25", "Wanjikũ Njoroge", "Mary \"Mama\" Akinyi", "6,751.50", "Page 1 of 1"})
        EXPECT_NE(text.find(want), std::string::npos) << want << " not in:\n" << text;
}

TEST_F(PayrollList, PrinterGetsThePagesOfItsRange) {
    r.detail().newPage = true;  // five pages
    std::string path = dir.sub("printed.pdf");
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(QString::fromStdString(path));
    printer.setFromTo(2, 3);
    printDocument(layout(r), printer);
    ASSERT_EQ(slurp(path).substr(0, 5), "%PDF-");
    if (!haveTool("pdftotext")) GTEST_SKIP() << "pdftotext is not installed";
    std::string text = runTool("pdftotext -layout '" + path + "' -");
    EXPECT_EQ(text.find("Page 1 of 5"), std::string::npos);
    EXPECT_NE(text.find("Page 2 of 5"), std::string::npos);
    EXPECT_NE(text.find("Page 3 of 5"), std::string::npos);
    EXPECT_EQ(text.find("Page 4 of 5"), std::string::npos);
}

TEST_F(PayrollList, CsvHasOneQuotedLinePerBandRow) {
    EXPECT_EQ(renderCsv(layout(r)),
              "PAYROLL\r\n"
              "0001,Achieng Atieno,\"1,000.25\"\r\n"
              "0002,Wanjikũ Njoroge,\"2,000.50\"\r\n"
              "0003,\"Otieno, James\",-300.00\r\n"
              "0004,\"Mary \"\"Mama\"\" Akinyi\",\"4,000.00\"\r\n"
              "0005,Nyirahabimana Uwamahoro Jeanne,50.75\r\n"
              "TOTAL,\"6,751.50\"\r\n"
              "COUNT,5\r\n"
              "Page 1 of 1\r\n");
    TableOptions dataOnly;
    dataOnly.pageBands = false;
    std::string csv = renderCsv(layout(r), dataOnly);
    EXPECT_EQ(csv.substr(0, csv.find("\r\n")), "0001,Achieng Atieno,\"1,000.25\"");
    EXPECT_EQ(csv.find("Page"), std::string::npos);
}

TEST_F(PayrollList, XlsxIsAWorkbookWithNumbersAsNumbers) {
    std::string path = dir.sub("netpay.xlsx");
    writeXlsx(layout(r), path);
    std::string data = slurp(path);
    ASSERT_GE(data.size(), 4u);
    EXPECT_EQ(data.substr(0, 2), "PK");
    if (!haveTool("unzip")) GTEST_SKIP() << "unzip is not installed";
    std::string sheet = runTool("unzip -p '" + path + "' xl/worksheets/sheet1.xml");
    EXPECT_NE(sheet.find("<v>1000.25</v>"), std::string::npos) << sheet;
    EXPECT_NE(sheet.find("<v>-300</v>"), std::string::npos);
    EXPECT_NE(sheet.find("Achieng Atieno"), std::string::npos);
    EXPECT_EQ(sheet.find("1,000.25"), std::string::npos);  // not as text
    std::string styles = runTool("unzip -p '" + path + "' xl/styles.xml");
    EXPECT_NE(styles.find("formatCode=\"###,###,##0.00\""), std::string::npos) << styles;
    std::string book = runTool("unzip -p '" + path + "' xl/workbook.xml");
    EXPECT_NE(book.find("name=\"Net pay\""), std::string::npos) << book;
}

TEST_F(PayrollList, XmlDescribesPagesBandsAndItems) {
    std::string xml = renderXml(layout(r));
    QXmlStreamReader rd(QByteArray::fromStdString(xml));
    int pages = 0, details = 0;
    QStringList firstDetail;
    QString nettNumber;
    bool inDetail = false;
    while (!rd.atEnd()) {
        rd.readNext();
        if (rd.isStartElement()) {
            if (rd.name() == u"page") ++pages;
            if (rd.name() == u"band") {
                inDetail = rd.attributes().value("type") == u"detail";
                details += inDetail;
            }
            if (rd.name() == u"item" && inDetail && details == 1) {
                if (rd.attributes().value("name") == u"nett") nettNumber = rd.attributes().value("number").toString();
                firstDetail << rd.readElementText();
            }
        }
    }
    ASSERT_FALSE(rd.hasError()) << rd.errorString().toStdString();
    EXPECT_EQ(pages, 1);
    EXPECT_EQ(details, 5);
    EXPECT_EQ(firstDetail, (QStringList{"0001", "Achieng Atieno", "1,000.25"}));
    EXPECT_EQ(nettNumber, "1000.25");
}

TEST_F(PayrollList, PngPagesAreImagesAtTheAskedResolution) {
    QImage logo(8, 8, QImage::Format_RGB32);
    logo.fill(Qt::red);
    r.pageHeader().addImage(logo, 150, 0, 10, 10);  // on the sheet: 175.4 .. 185.4 mm across, 25.4 .. 35.4 down
    Document doc = layout(r);
    QImage img = renderPage(doc.pages[0], 50);
    EXPECT_EQ(img.size(), QSize(413, 585));  // 210 x 297 mm at 50 dpi
    auto at = [&img](double xMm, double yMm) { return img.pixel(static_cast<int>(xMm / 25.4 * 50), static_cast<int>(yMm / 25.4 * 50)); };
    EXPECT_EQ(at(180, 30), qRgb(255, 0, 0));
    EXPECT_EQ(at(190, 30), qRgb(255, 255, 255));
    EXPECT_NE(at(30, 25.4 + kRow), qRgb(255, 255, 255));  // the rule under the heading

    EXPECT_EQ(writePng(doc, dir.sub("one.png"), 30), std::vector<std::string>{dir.sub("one.png")});
    r.detail().newPage = true;
    auto files = writePng(layout(r), dir.sub("many.png"), 30);
    ASSERT_EQ(files.size(), 5u);
    EXPECT_EQ(files[4], dir.sub("many-5.png"));
    EXPECT_FALSE(QImage(QString::fromStdString(files[4])).isNull());
}

TEST_F(PayrollList, WritingWhileLayingOutGivesTheSameFiles) {
    r.detail().newPage = true;  // five pages, each asking for the count
    Document doc = layout(r);
    for (Format f : {Format::Text, Format::Csv, Format::Xml}) {
        std::string a = dir.sub(std::string("streamed.") + formatExtension(f));
        std::string b = dir.sub(std::string("whole.") + formatExtension(f));
        EXPECT_EQ(exportReport(r, a, f), 5);
        exportDocument(doc, b, f);
        EXPECT_EQ(slurp(a), slurp(b)) << formatExtension(f);
    }
}

TEST(Export, FormatFollowsTheExtension) {
    struct Case {
        const char* path;
        bool known;
        Format f;
    } cases[] = {{"a.pdf", true, Format::Pdf},  {"b.TXT", true, Format::Text}, {"c.d/e.csv", true, Format::Csv},
                 {"x.Xlsx", true, Format::Xlsx}, {"y.xml", true, Format::Xml},  {"z.png", true, Format::Png},
                 {"noext", false, Format::Pdf}, {"w.doc", false, Format::Pdf}};
    for (const auto& c : cases) {
        Format f = Format::Pdf;
        EXPECT_EQ(formatFromPath(c.path, f), c.known) << c.path;
        if (c.known) {
            EXPECT_EQ(f, c.f) << c.path;
        }
    }
}

}  // namespace
}  // namespace zuna::report
