// Lays a report's data source out into pages.
//
// Order on a page: page header (top margin), title (first page), then the columns, each
// starting with the column header and the repeated group headers; the summary after the last
// group footer; the page footer at the bottom margin. A band that does not fit in what is
// left of its column goes to the next column, after the last column to a new page. A report
// whose texts ask for the page count is laid out twice, the second time with the count known;
// pages finished before the count was first asked for are handed out from the first pass.
#pragma once

#include "reports/engine/Document.h"
#include "reports/engine/Report.h"

namespace zuna::report {

Document layout(Report& report);
// Streams the pages to sink as they are completed; returns the number of pages.
int layout(Report& report, PageSink& sink);

}  // namespace zuna::report
