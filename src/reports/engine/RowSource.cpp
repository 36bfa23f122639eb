#include "reports/engine/RowSource.h"

#include <stdexcept>

#include "engine/Database.h"
#include "engine/Dataset.h"

namespace zuna::report {

// ------------------------------------------------------------------ DatasetSource

bool DatasetSource::first() {
    if (!ds_.active()) ds_.open();
    ds_.first();
    return !ds_.eof();
}

bool DatasetSource::next() {
    ds_.next();
    return !ds_.eof();
}

void DatasetSource::prior() { ds_.prior(); }

int DatasetSource::fieldIndex(const std::string& name) const { return ds_.fieldIndex(name); }

std::string DatasetSource::text(int field) { return ds_.asString(field); }

double DatasetSource::number(int field) { return ds_.asFloat(field); }

bool DatasetSource::isNumeric(int field) const {
    switch (ds_.fieldDef(field).type) {
        case FieldType::SmallInt:
        case FieldType::Float:
        case FieldType::Integer: return true;
        default: return false;
    }
}

bool DatasetSource::isNull(int field) { return ds_.isNull(field); }

// ------------------------------------------------------------------ MemorySource

MemorySource::MemorySource(std::vector<std::string> fields) : fields_(std::move(fields)) {
    for (size_t i = 0; i < fields_.size(); ++i) index_.emplace(toLower(fields_[i]), static_cast<int>(i));
}

void MemorySource::addRow(std::vector<Value> values) {
    if (values.size() != fields_.size())
        throw std::invalid_argument("MemorySource: a row of " + std::to_string(values.size()) + " values for " +
                                    std::to_string(fields_.size()) + " fields");
    rows_.push_back(std::move(values));
}

bool MemorySource::first() {
    pos_ = 0;
    return !rows_.empty();
}

bool MemorySource::next() {
    if (pos_ + 1 < rows_.size()) {
        ++pos_;
        return true;
    }
    return false;
}

void MemorySource::prior() {
    if (pos_ > 0) --pos_;
}

int MemorySource::fieldIndex(const std::string& name) const {
    auto it = index_.find(toLower(name));
    return it == index_.end() ? -1 : it->second;
}

const Value& MemorySource::at(int field) const {
    static const Value null;
    if (rows_.empty() || field < 0 || static_cast<size_t>(field) >= fields_.size()) return null;
    return rows_[pos_][static_cast<size_t>(field)];
}

std::string MemorySource::text(int field) { return at(field).toString(); }

double MemorySource::number(int field) { return at(field).toDouble(); }

bool MemorySource::isNumeric(int field) const {
    if (rows_.empty()) return false;
    return at(field).isNumber();
}

bool MemorySource::isNull(int field) { return at(field).isNull(); }

}  // namespace zuna::report
