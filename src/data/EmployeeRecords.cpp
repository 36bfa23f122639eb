#include "data/EmployeeRecords.h"

#include <cstdio>

namespace zuna {

std::string MonthKey(int month) {
    char b[8];
    std::snprintf(b, sizeof b, "%02d", month);
    return b;
}

EmployeeRecordMaker::EmployeeRecordMaker(Database& db) : trans_(db, "payrf00"), hist_(db, "payrf04") {
    trans_.open();
    hist_.open();
}

int EmployeeRecordMaker::create(const std::string& empno) {
    int made = 0;
    if (!trans_.locate("EMPNO", Value(empno))) {
        // The new record's defaults put 0 in every amount slot; loan and savings slots are set
        // to 0 once more, slot by slot, as the employee window does.
        trans_.append();
        trans_.setString("EMPNO", empno);
        for (int n = 1; n <= 10; ++n) {
            const std::string s = std::to_string(n);
            for (const char* f : {"L", "LN", "LBAL", "S", "SBAL", "I", "IBAL"}) trans_.setFloat(f + s, 0.0);
        }
        trans_.post();
        ++made;
    }
    for (int m = 1; m <= 12; ++m) {
        const std::string key = MonthKey(m);
        if (hist_.locate("EMPNO;TMONTH", {Value(empno), Value(key)})) continue;
        hist_.append();
        hist_.setString("EMPNO", empno);
        hist_.setString("TMONTH", key);
        hist_.post();
        ++made;
    }
    return made;
}

}  // namespace zuna
