// Where a report's rows come from. A form either hands the report a dataset (DatasetSource
// wraps it), fills a MemorySource with rows it computes, or implements RowSource itself.
#pragma once

#include <string>
#include <unordered_map>
#include <vector>

#include "engine/Value.h"

namespace zuna {
class Dataset;
}

namespace zuna::report {

class RowSource {
public:
    virtual ~RowSource() = default;

    virtual bool first() = 0;  // to the first row; false when there is none
    virtual bool next() = 0;   // to the following row; false at the end, staying on the last row
    virtual void prior() = 0;  // back one row (group footers print with the group's last row)

    virtual int fieldIndex(const std::string& name) const = 0;  // any letter case; -1 when unknown
    virtual std::string text(int field) = 0;                    // as displayed without a mask
    virtual double number(int field) = 0;                       // 0 for null
    virtual bool isNumeric(int /*field*/) const { return false; }   // masks apply; spreadsheets get numbers
    virtual bool isNull(int /*field*/) { return false; }
};

// A dataset of the engine layer (table or query): opened on first() when closed.
class DatasetSource : public RowSource {
public:
    explicit DatasetSource(Dataset& ds) : ds_(ds) {}
    Dataset& dataset() const { return ds_; }

    bool first() override;
    bool next() override;
    void prior() override;
    int fieldIndex(const std::string& name) const override;
    std::string text(int field) override;
    double number(int field) override;
    bool isNumeric(int field) const override;
    bool isNull(int field) override;

private:
    Dataset& ds_;
};

// Rows held in memory, for forms that compute their lines in code.
class MemorySource : public RowSource {
public:
    explicit MemorySource(std::vector<std::string> fields);
    void addRow(std::vector<Value> values);  // one value per field, in field order
    void clear() { rows_.clear(); }
    size_t rowCount() const { return rows_.size(); }

    bool first() override;
    bool next() override;
    void prior() override;
    int fieldIndex(const std::string& name) const override;
    std::string text(int field) override;
    double number(int field) override;
    bool isNumeric(int field) const override;
    bool isNull(int field) override;

private:
    const Value& at(int field) const;
    std::vector<std::string> fields_;
    std::unordered_map<std::string, int> index_;  // lower-case name
    std::vector<std::vector<Value>> rows_;
    size_t pos_ = 0;
};

}  // namespace zuna::report
