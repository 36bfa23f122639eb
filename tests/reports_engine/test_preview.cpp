// The preview window: page moves stop at the ends, zoom has limits, export writes the file.
#include <gtest/gtest.h>

#include <QScrollArea>
#include <QTest>

#include <filesystem>

#include "reports/engine/Layout.h"
#include "reports/gui/PreviewWindow.h"
#include "support/TempDir.h"

namespace zuna::report {
namespace {

Document threePages() {
    MemorySource rows({"NO"});
    for (int i = 1; i <= 3; ++i) rows.addRow({Value(i)});
    Report r;
    r.name = "Three";
    r.setDataSource(&rows);
    r.detail().height = 10;
    r.detail().newPage = true;
    r.detail().addField("NO", 0, 0, 20, 5);
    return layout(r);
}

TEST(Preview, MovesBetweenPagesZoomsAndExports) {
    TfmPreview w;
    w.resize(800, 600);
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    w.setDocument(threePages());
    EXPECT_EQ(w.currentPage(), 1);
    struct Step {
        void (TfmPreview::*move)();
        int page;
    } steps[] = {{&TfmPreview::priorPage, 1}, {&TfmPreview::nextPage, 2}, {&TfmPreview::lastPage, 3},
                 {&TfmPreview::nextPage, 3},  {&TfmPreview::priorPage, 2}, {&TfmPreview::firstPage, 1}};
    for (const auto& s : steps) {
        (w.*s.move)();
        EXPECT_EQ(w.currentPage(), s.page);
    }

    auto shown = [&w] { return w.findChild<QScrollArea*>()->widget()->size(); };
    QSize before = shown();
    w.zoomIn();
    EXPECT_GT(shown().width(), before.width());
    for (int i = 0; i < 20; ++i) w.zoomOut();
    EXPECT_NEAR(w.zoom(), 0.1, 1e-9);
    w.fitPage();
    EXPECT_LE(shown().height(), w.findChild<QScrollArea*>()->viewport()->height());

    zuna::test::TempDir dir;
    ASSERT_TRUE(w.exportTo(QString::fromStdString(dir.sub("three.csv"))));
    EXPECT_EQ(std::filesystem::file_size(dir.sub("three.csv")), std::string("1\r\n2\r\n3\r\n").size());
}

}  // namespace
}  // namespace zuna::report
