#include "engine/Dataset.h"

#include <sys/file.h>
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <limits>

#include "engine/SqlDialect.h"

namespace zuna {

static std::vector<std::string> splitNames(const std::string& s) {
    std::vector<std::string> out;
    std::string cur;
    for (char c : s) {
        if (c == ';' || c == ',') {
            if (!cur.empty()) out.push_back(cur);
            cur.clear();
        } else if (c != ' ') {
            cur += c;
        }
    }
    if (!cur.empty()) out.push_back(cur);
    return out;
}

// ======================================================================== Dataset

Dataset::Dataset(Database& db) : db_(db) {}

Dataset::~Dataset() {
    for (auto* d : details_)
        if (d->master_ == this) d->master_ = nullptr;
    if (master_) {
        auto& v = master_->details_;
        v.erase(std::remove(v.begin(), v.end(), this), v.end());
    }
    db_.removePending(this);
}

std::string Dataset::describe() const { return name_; }

void Dataset::checkActive() const {
    if (state_ == DatasetState::Inactive) throw EngineError("Cannot perform this operation on a closed dataset " + describe());
}

int Dataset::fieldIndex(const std::string& n) const {
    auto it = byName_.find(toLower(n));
    return it == byName_.end() ? -1 : it->second;
}

int Dataset::field(const std::string& n) const {
    int i = fieldIndex(n);
    if (i < 0) throw EngineError(describe() + ": Field '" + n + "' not found");
    return i;
}

std::vector<std::string> Dataset::fieldNames() const {
    std::vector<std::string> out;
    for (const auto& f : fields_) out.push_back(f.def.name);
    return out;
}

std::vector<int> Dataset::fieldList(const std::string& names) const {
    std::vector<int> out;
    for (const auto& n : splitNames(names)) out.push_back(field(n));
    return out;
}

void Dataset::setupFields(std::vector<FieldDef> stored) {
    fields_.clear();
    byName_.clear();
    storedCount_ = static_cast<int>(stored.size());
    for (auto& d : stored) {
        FieldInfo fi;
        fi.def = std::move(d);
        fields_.push_back(std::move(fi));
    }
    for (auto& e : extraInfo_) fields_.push_back(e);
    for (size_t i = 0; i < fields_.size(); ++i) byName_.emplace(toLower(fields_[i].def.name), static_cast<int>(i));
    buf_.assign(fields_.size(), Value());
    modifiedFields_.assign(fields_.size(), false);
    pendingFields_.assign(fields_.size(), false);
}

void Dataset::addCalculatedField(const FieldDef& def) {
    if (active()) throw EngineError(describe() + ": fields are declared while the dataset is closed");
    FieldInfo fi;
    fi.def = def;
    fi.kind = FieldKind::Calculated;
    extraInfo_.push_back(std::move(fi));
}

void Dataset::addLookupField(const FieldDef& def, const std::string& keyFields, const std::string& lookupTable,
                             const std::string& lookupKeyFields, const std::string& resultField) {
    if (active()) throw EngineError(describe() + ": fields are declared while the dataset is closed");
    FieldInfo fi;
    fi.def = def;
    fi.kind = FieldKind::Lookup;
    fi.lookupTable = lookupTable;
    fi.lookupKeys = splitNames(lookupKeyFields);
    fi.lookupResult = resultField;
    // Key field names are kept in def.newValue's place until open resolves them.
    fi.def.newValue = keyFields;
    if (splitNames(keyFields).size() != fi.lookupKeys.size())
        throw EngineError(describe() + ": lookup field " + def.name + " needs as many key fields as lookup keys");
    extraInfo_.push_back(std::move(fi));
}

void Dataset::setState(DatasetState s) {
    if (state_ == s) return;
    state_ = s;
    notify(DataEvent::StateChanged);
}

int Dataset::addListener(Listener l) {
    listeners_.emplace_back(nextListener_, std::move(l));
    return nextListener_++;
}

void Dataset::removeListener(int id) {
    listeners_.erase(std::remove_if(listeners_.begin(), listeners_.end(), [id](auto& p) { return p.first == id; }),
                     listeners_.end());
}

void Dataset::notify(DataEvent e, int f) {
    if (listeners_.empty()) return;
    auto copy = listeners_;
    for (auto& [id, l] : copy) l(e, f);
}

// ------------------------------------------------------------------ open/close

void Dataset::open() {
    if (active()) return;
    if (beforeOpen) beforeOpen(*this);
    doOpen();
    // Resolve lookup key fields now that every field is known.
    for (size_t i = static_cast<size_t>(storedCount_); i < fields_.size(); ++i) {
        auto& f = fields_[i];
        if (f.kind != FieldKind::Lookup) continue;
        f.keyFields.clear();
        for (const auto& n : splitNames(f.def.newValue)) {
            int k = fieldIndex(n);
            if (k < 0) {
                doClose();
                throw EngineError(describe() + ": lookup field " + f.def.name + " names an unknown key field " + n);
            }
            f.keyFields.push_back(k);
        }
    }
    state_ = DatasetState::Browse;
    if (!filterText_.empty()) {
        try {
            filter_ = parseFilter(filterText_);
        } catch (...) {
            state_ = DatasetState::Inactive;
            doClose();
            throw;
        }
    }
    try {
        rebuilding_ = true;
        buildRows();
        rebuilding_ = false;
    } catch (...) {
        rebuilding_ = false;
        state_ = DatasetState::Inactive;
        doClose();
        throw;
    }
    if (master_) masterTokenSeen_ = master_->recordToken_;
    pos_ = rowCount() > 0 ? 0 : -1;
    bof_ = true;
    eof_ = rowCount() == 0;
    loadCurrent();
    notify(DataEvent::Opened);
    if (afterOpen) afterOpen(*this);
}

void Dataset::close() {
    if (!active()) return;
    if (beforeClose) beforeClose(*this);
    if (editing()) {
        if (modified_)
            post();
        else
            cancel();
    }
    if (pending_) writePending();
    doClose();
    state_ = DatasetState::Inactive;
    filter_.reset();
    pos_ = -1;
    eof_ = bof_ = true;
    ++recordToken_;
    notify(DataEvent::Closed);
}

void Dataset::refresh() {
    checkActive();
    checkBrowseMode();
    if (pending_) writePending();
    rebuildKeepPosition();
    notify(DataEvent::Refreshed);
}

void Dataset::rebuildKeepPosition() {
    std::int64_t id = pos_ >= 0 && pos_ < rowCount() ? rowIdentity(pos_) : 0;
    bool hadRow = pos_ >= 0 && pos_ < rowCount();
    int oldPos = pos_;
    rebuilding_ = true;
    try {
        buildRows();
    } catch (...) {
        rebuilding_ = false;
        throw;
    }
    rebuilding_ = false;
    int n = rowCount();
    int p = hadRow ? positionOf(id) : pos_;  // a row just inserted is placed by buildRows
    if (p < 0) p = n == 0 ? -1 : std::clamp(oldPos, 0, n - 1);
    pos_ = p;
    if (n == 0) eof_ = bof_ = true;
    else {
        eof_ = eof_ && pos_ == n - 1;
        bof_ = bof_ && pos_ == 0;
    }
    loadCurrent();
}

void Dataset::ensureFresh() {
    if (!active() || rebuilding_) return;
    if (master_) {
        master_->ensureFresh();
        if (master_->recordToken_ != masterTokenSeen_) {
            if (editing()) return;  // keep an edit in progress; it is posted on the next move
            masterTokenSeen_ = master_->recordToken_;
            if (pending_) writePending();
            rebuilding_ = true;
            try {
                buildRows();
            } catch (...) {
                rebuilding_ = false;
                throw;
            }
            rebuilding_ = false;
            pos_ = rowCount() > 0 ? 0 : -1;
            bof_ = true;
            eof_ = rowCount() == 0;
            loadCurrent();
            return;
        }
    }
    if (needsRebuild() && !editing()) rebuildKeepPosition();
}

void Dataset::loadCurrent() {
    if (pos_ >= 0 && pos_ < rowCount()) {
        loadRow(pos_, buf_);
    } else {
        for (auto& v : buf_) v = Value();
    }
    computeExtras();
    std::fill(modifiedFields_.begin(), modifiedFields_.end(), false);
    modified_ = false;
    ++recordToken_;
    notify(DataEvent::Scrolled);
    if (afterScroll && !rebuilding_) afterScroll(*this);
}

void Dataset::computeExtras() {
    extrasDirty_ = false;
    if (static_cast<size_t>(storedCount_) == fields_.size()) return;
    bool haveRow = (pos_ >= 0 && pos_ < rowCount()) || state_ == DatasetState::Insert;
    for (size_t i = static_cast<size_t>(storedCount_); i < fields_.size(); ++i) {
        auto& f = fields_[i];
        if (f.kind == FieldKind::Calculated) {
            buf_[i] = Value();
            continue;
        }
        buf_[i] = Value();
        if (!haveRow) continue;
        std::vector<Value> keys;
        bool anyNull = false;
        for (int k : f.keyFields) {
            keys.push_back(buf_[static_cast<size_t>(k)]);
            if (keys.back().isNull()) anyNull = true;
        }
        if (anyNull) continue;
        std::string stored = db_.storedName(f.lookupTable);
        if (stored.empty()) continue;
        db_.flushPending(db_.tableState(f.lookupTable));
        std::string sql = "SELECT " + quoteIdent(f.lookupResult) + " FROM " + quoteIdent(stored) + " WHERE ";
        for (size_t k = 0; k < f.lookupKeys.size(); ++k)
            sql += (k ? " AND " : "") + quoteIdent(f.lookupKeys[k]) + " = ?" + std::to_string(k + 1);
        sql += " LIMIT 1";
        Stmt s = db_.prepare(sql);
        for (size_t k = 0; k < keys.size(); ++k) s.bind(static_cast<int>(k + 1), keys[k]);
        if (s.step()) buf_[i] = s.column(0);
    }
    if (onCalcFields && haveRow) {
        inCalc_ = true;
        try {
            onCalcFields(*this);
        } catch (...) {
            inCalc_ = false;
            throw;
        }
        inCalc_ = false;
    }
}

// ------------------------------------------------------------------ reading

Value Dataset::value(int i) {
    checkActive();
    if (i < 0 || i >= fieldCount()) throw EngineError(describe() + ": no field number " + std::to_string(i));
    if (!inCalc_) {
        ensureFresh();
        if (extrasDirty_ && i >= storedCount_) computeExtras();
    }
    return buf_[static_cast<size_t>(i)];
}

std::string Dataset::asString(int i) {
    Value v = value(i);
    if (v.isNull()) return {};
    switch (fields_[static_cast<size_t>(i)].def.type) {
        case FieldType::Date: return v.toDate().dmy();
        case FieldType::Logical: return v.toBool() ? "True" : "False";
        default: return v.toString();
    }
}

// ------------------------------------------------------------------ writing fields

Value Dataset::convertForField(int i, const Value& v) const {
    const FieldDef& f = fields_[static_cast<size_t>(i)].def;
    auto bad = [&](const std::string& why) -> EngineError {
        std::string shown = v.kind() == Value::Kind::Blob ? "(binary)" : v.toString();
        return EngineError("Value '" + shown + "' is not valid for field " + f.name + " (" + fieldTypeName(f.type) +
                           ") of " + describe() + (why.empty() ? "" : ": " + why));
    };
    if (v.isNull()) return v;
    switch (f.type) {
        case FieldType::Text: {
            std::string s = v.toString();
            return Value(cutToChars(s, f.textWidth()));
        }
        case FieldType::SmallInt:
        case FieldType::Integer: {
            double d;
            if (v.isNumber()) d = v.toDouble();
            else if (v.isText()) {
                if (v.text().find_first_not_of(" ") == std::string::npos) return Value();
                if (!parseNumber(v.text(), d)) throw bad("not a number");
            } else throw bad("not a number");
            double r = std::nearbyint(d);
            if (f.type == FieldType::SmallInt && (r < -32768 || r > 32767)) throw bad("outside the range -32768 to 32767");
            return Value(static_cast<long long>(r));
        }
        case FieldType::Float: {
            if (v.kind() == Value::Kind::Real) {
                if (!std::isfinite(v.toDouble())) throw bad("not a finite number");
                return v;
            }
            if (v.kind() == Value::Kind::Int) return Value(static_cast<double>(v.toInt()));
            if (v.isText()) {
                if (v.text().find_first_not_of(" ") == std::string::npos) return Value();
                double d;
                if (!parseNumber(v.text(), d)) throw bad("not a number");
                return Value(d);
            }
            throw bad("not a number");
        }
        case FieldType::Logical: {
            if (v.isNumber()) return Value(v.toDouble() != 0);
            if (v.isText()) {
                std::string t = toLower(v.text());
                if (t == "true" || t == "t" || t == "1" || t == "yes" || t == "y") return Value(true);
                if (t == "false" || t == "f" || t == "0" || t == "no" || t == "n") return Value(false);
                if (t.find_first_not_of(" ") == std::string::npos) return Value();
            }
            throw bad("not true or false");
        }
        case FieldType::Date: {
            if (!v.isText()) throw bad("not a date");
            if (v.text().find_first_not_of(" ") == std::string::npos) return Value();
            auto d = Date::parse(v.text());
            if (!d) throw bad("not a valid date");
            return Value(*d);
        }
        case FieldType::Time: {
            if (!v.isText()) throw bad("not a time");
            int h = 0, m = 0, s = 0;
            char extra = 0;
            int n = std::sscanf(v.text().c_str(), "%d:%d:%d%c", &h, &m, &s, &extra);
            if (n < 2 || n > 3 || h < 0 || h > 23 || m < 0 || m > 59 || s < 0 || s > 59) throw bad("not a valid time");
            char b[16];
            std::snprintf(b, sizeof b, "%02d:%02d:%02d", h, m, s);
            return Value(std::string(b));
        }
        case FieldType::Binary: return v.kind() == Value::Kind::Blob ? v : Value::blob(v.toString());
    }
    return v;
}

void Dataset::setValue(int i, const Value& v) {
    checkActive();
    if (i < 0 || i >= fieldCount()) throw EngineError(describe() + ": no field number " + std::to_string(i));
    const auto& fi = fields_[static_cast<size_t>(i)];
    if (inCalc_) {
        if (fi.kind != FieldKind::Calculated)
            throw EngineError(describe() + ": only calculated fields may be set while fields are calculated");
        buf_[static_cast<size_t>(i)] = fi.def.type == FieldType::Text ? Value(v.toString()) : v;
        return;
    }
    if (fi.kind != FieldKind::Data) throw EngineError(describe() + ": field " + fi.def.name + " cannot be modified");
    if (!editing()) throw EngineError(describe() + ": dataset not in edit or insert mode");
    Value c = convertForField(i, v);
    if (!modifiedFields_[static_cast<size_t>(i)] && state_ == DatasetState::Edit)
        oldBuf_[static_cast<size_t>(i)] = buf_[static_cast<size_t>(i)];
    buf_[static_cast<size_t>(i)] = std::move(c);
    modifiedFields_[static_cast<size_t>(i)] = true;
    modified_ = true;
    extrasDirty_ = true;
    notify(DataEvent::FieldChanged, i);
}

// ------------------------------------------------------------------ navigation

void Dataset::checkBrowseMode() {
    if (editing()) post();
}

void Dataset::first() {
    checkActive();
    checkBrowseMode();
    ensureFresh();
    int n = rowCount();
    pos_ = n > 0 ? 0 : -1;
    bof_ = true;
    eof_ = n == 0;
    loadCurrent();
}

void Dataset::last() {
    checkActive();
    checkBrowseMode();
    ensureFresh();
    int n = rowCount();
    pos_ = n - 1;
    eof_ = true;
    bof_ = n == 0;
    loadCurrent();
}

void Dataset::next() {
    checkActive();
    checkBrowseMode();
    ensureFresh();
    int n = rowCount();
    if (pos_ + 1 < n) {
        ++pos_;
        bof_ = false;
        eof_ = false;
        loadCurrent();
    } else {
        eof_ = true;
        if (n == 0) bof_ = true;
    }
}

void Dataset::prior() {
    checkActive();
    checkBrowseMode();
    ensureFresh();
    if (pos_ > 0) {
        --pos_;
        eof_ = false;
        bof_ = false;
        loadCurrent();
    } else {
        bof_ = true;
        if (rowCount() == 0) eof_ = true;
    }
}

void Dataset::moveBy(int n) {
    while (n > 0 && !eof()) {
        next();
        --n;
    }
    while (n < 0 && !bof()) {
        prior();
        ++n;
    }
}

bool Dataset::eof() {
    checkActive();
    ensureFresh();
    return eof_ || rowCount() == 0;
}

bool Dataset::bof() {
    checkActive();
    ensureFresh();
    return bof_ || rowCount() == 0;
}

int Dataset::recNo() {
    checkActive();
    ensureFresh();
    if (state_ == DatasetState::Insert) return 0;
    return pos_ >= 0 && pos_ < rowCount() ? pos_ + 1 : 0;
}

void Dataset::setRecNo(int n) {
    checkActive();
    checkBrowseMode();
    ensureFresh();
    int c = rowCount();
    if (c == 0) return;
    pos_ = std::clamp(n, 1, c) - 1;
    eof_ = bof_ = false;
    loadCurrent();
}

int Dataset::recordCount() {
    checkActive();
    ensureFresh();
    return rowCount();
}

// ------------------------------------------------------------------ filter

std::shared_ptr<Filter> Dataset::parseFilter(const std::string& text) const {
    return Filter::parse(text, [this](const std::string& n) -> std::optional<FilterField> {
        int i = fieldIndex(n);
        if (i < 0 || i >= storedCount_) return std::nullopt;
        return FilterField{i, fields_[static_cast<size_t>(i)].def.type};
    });
}

void Dataset::setFilter(const std::string& text) {
    if (text == filterText_ && (filter_ || text.empty() || !active())) return;
    std::shared_ptr<Filter> f;
    if (active() && !text.empty()) f = parseFilter(text);  // a fault leaves the old filter in force
    if (active()) checkBrowseMode();
    filterText_ = text;
    filter_ = f;
    if (active() && filtered_) {
        first();
        rebuildKeepPosition();
        first();
    }
}

void Dataset::setFiltered(bool on) {
    if (on == filtered_) return;
    if (active()) checkBrowseMode();
    filtered_ = on;
    if (active()) {
        if (!filter_ && !filterText_.empty()) filter_ = parseFilter(filterText_);
        rebuildKeepPosition();
        first();
    }
}

// ------------------------------------------------------------------ locate

int Dataset::locateRow(const std::vector<int>& fields, const std::vector<Value>& values, LocateOptions opt) {
    // Generic: walk the rows (used by queries).
    std::vector<Value> row(fields_.size());
    std::vector<Value> want;
    for (size_t k = 0; k < fields.size(); ++k) want.push_back(values[k]);
    for (int p = 0; p < rowCount(); ++p) {
        loadRow(p, row);
        bool ok = true;
        for (size_t k = 0; k < fields.size() && ok; ++k) {
            const Value& have = row[static_cast<size_t>(fields[k])];
            const Value& w = want[k];
            if (w.isNull() || have.isNull()) {
                ok = w.isNull() && have.isNull();
                continue;
            }
            if (have.isNumber() && w.isNumber()) {
                ok = have.toDouble() == w.toDouble();
                continue;
            }
            std::string a = have.toString(), b = w.toString();
            if (opt.caseInsensitive) {
                a = toUpper(a);
                b = toUpper(b);
            }
            ok = opt.partialKey ? a.compare(0, b.size(), b) == 0 : a == b;
        }
        if (ok) return p;
    }
    return -1;
}

bool Dataset::locate(const std::string& fieldsText, const std::vector<Value>& values, LocateOptions opt) {
    checkActive();
    checkBrowseMode();
    ensureFresh();
    std::vector<int> f = fieldList(fieldsText);
    if (f.size() != values.size())
        throw EngineError(describe() + ": locate on " + fieldsText + " needs " + std::to_string(f.size()) + " values");
    for (int i : f)
        if (i >= storedCount_) throw EngineError(describe() + ": cannot locate on the calculated field " + fields_[static_cast<size_t>(i)].def.name);
    std::vector<Value> conv;
    for (size_t k = 0; k < f.size(); ++k) {
        try {
            conv.push_back(opt.partialKey || opt.caseInsensitive ? Value(values[k].toString()) : convertForField(f[k], values[k]));
        } catch (const EngineError&) {
            return false;  // a value the field cannot hold is in no row
        }
    }
    int p = locateRow(f, conv, opt);
    if (p < 0) return false;
    pos_ = p;
    eof_ = bof_ = false;
    loadCurrent();
    return true;
}

Value Dataset::lookupValue(const std::string& fieldsText, const std::vector<Value>& values, const std::string& result) {
    checkActive();
    ensureFresh();
    std::vector<int> f = fieldList(fieldsText);
    int r = field(result);
    std::vector<Value> conv;
    for (size_t k = 0; k < f.size(); ++k) conv.push_back(convertForField(f[k], values.at(k)));
    int p = locateRow(f, conv, {});
    if (p < 0) return Value();
    if (r < storedCount_) {
        std::vector<Value> row(fields_.size());
        loadRow(p, row);
        return row[static_cast<size_t>(r)];
    }
    // A calculated or lookup result: visit the row and come back.
    int keep = pos_;
    pos_ = p;
    loadCurrent();
    Value v = buf_[static_cast<size_t>(r)];
    pos_ = keep;
    loadCurrent();
    return v;
}

// ------------------------------------------------------------------ master-detail

void Dataset::setMaster(Dataset* m, const std::string& detailFields, const std::string& masterFields) {
    if (master_) {
        auto& v = master_->details_;
        v.erase(std::remove(v.begin(), v.end(), this), v.end());
    }
    master_ = m;
    detailFields_.clear();
    masterFieldNames_ = splitNames(masterFields);
    if (m) {
        m->details_.push_back(this);
        masterTokenSeen_ = 0;  // rebuild on next access
        if (active()) detailFields_ = fieldList(detailFields);
        else masterFieldNames_.insert(masterFieldNames_.begin(), detailFields);  // resolved at open
    }
    if (active()) {
        rebuildKeepPosition();
        first();
    }
}

void Dataset::masterKeyValues(std::vector<Value>& out) const {
    out.clear();
    if (!master_ || !master_->active()) return;
    for (const auto& n : masterFieldNames_) {
        int i = master_->fieldIndex(n);
        if (i < 0) throw EngineError(describe() + ": master field " + n + " not found");
        bool haveRow = master_->state_ == DatasetState::Insert ||
                       (master_->pos_ >= 0 && master_->pos_ < master_->rowCount());
        out.push_back(haveRow ? master_->buf_[static_cast<size_t>(i)] : Value());
    }
}

// ------------------------------------------------------------------ editing

void Dataset::edit() {
    checkActive();
    checkWritable();
    if (editing()) return;
    ensureFresh();
    if (pos_ < 0 || pos_ >= rowCount()) {
        append();
        return;
    }
    if (beforeEdit) beforeEdit(*this);
    oldBuf_.resize(buf_.size());  // old values are kept field by field as they change
    std::fill(modifiedFields_.begin(), modifiedFields_.end(), false);
    modified_ = false;
    setState(DatasetState::Edit);
}

void Dataset::append() {
    checkActive();
    checkWritable();
    checkBrowseMode();
    ensureFresh();
    if (beforeInsert) beforeInsert(*this);
    state_ = DatasetState::Insert;
    for (auto& v : buf_) v = Value();
    std::fill(modifiedFields_.begin(), modifiedFields_.end(), false);
    // Defaults of the stored definition, then the master's key.
    for (int i = 0; i < storedCount_; ++i) {
        const auto& nv = fields_[static_cast<size_t>(i)].def.newValue;
        if (!nv.empty()) buf_[static_cast<size_t>(i)] = convertForField(i, Value(nv));
    }
    if (master_) {
        std::vector<Value> keys;
        masterKeyValues(keys);
        for (size_t k = 0; k < detailFields_.size() && k < keys.size(); ++k) {
            buf_[static_cast<size_t>(detailFields_[k])] = convertForField(detailFields_[k], keys[k]);
            modifiedFields_[static_cast<size_t>(detailFields_[k])] = true;
        }
    }
    modified_ = false;
    notify(DataEvent::StateChanged);
    if (onNewRecord) onNewRecord(*this);
    computeExtras();
    ++recordToken_;
}

void Dataset::insert() { append(); }

void Dataset::post() {
    checkActive();
    if (!editing()) return;
    if (beforePost) beforePost(*this);
    bool inserting = state_ == DatasetState::Insert;
    writeRow(inserting);
    std::fill(modifiedFields_.begin(), modifiedFields_.end(), false);
    modified_ = false;
    oldBuf_.clear();
    setState(DatasetState::Browse);
    computeExtras();
    ++recordToken_;
    if (afterPost) afterPost(*this);
}

void Dataset::cancel() {
    checkActive();
    if (!editing()) return;
    if (beforeCancel) beforeCancel(*this);
    bool wasInsert = state_ == DatasetState::Insert;
    if (!wasInsert)
        for (size_t i = 0; i < buf_.size(); ++i)
            if (modifiedFields_[i]) buf_[i] = oldBuf_[i];
    oldBuf_.clear();
    std::fill(modifiedFields_.begin(), modifiedFields_.end(), false);
    modified_ = false;
    setState(DatasetState::Browse);
    extrasDirty_ = true;
    if (wasInsert) loadCurrent();
    else ++recordToken_;
    if (afterCancel) afterCancel(*this);
}

void Dataset::remove() {
    checkActive();
    checkWritable();
    if (state_ == DatasetState::Insert) {
        cancel();
        return;
    }
    if (state_ == DatasetState::Edit) cancel();
    ensureFresh();
    if (pos_ < 0 || pos_ >= rowCount()) throw EngineError(describe() + ": cannot delete: there is no current record");
    if (beforeDelete) beforeDelete(*this);
    deleteRow();
    int n = rowCount();
    if (pos_ >= n) pos_ = n - 1;
    if (n == 0) eof_ = bof_ = true;
    loadCurrent();
    if (afterDelete) afterDelete(*this);
}

void Dataset::writePending() {}
void Dataset::discardPending() {
    pending_ = false;
    std::fill(pendingFields_.begin(), pendingFields_.end(), false);
}

// ======================================================================== Table

Table::Table(Database& db, std::string tableName) : Dataset(db), tableName_(std::move(tableName)) {
    name_ = tableName_;
}

Table::~Table() {
    if (pending_) {
        try {
            writePending();
        } catch (const std::exception& e) {
            std::cerr << "zuna: a posted record of " << tableName_ << " could not be written: " << e.what() << "\n";
            pending_ = false;
        }
    }
    db_.removePending(this);
    if (active()) {
        try {
            doClose();
        } catch (...) {
        }
    }
    unlock();
}

void Table::setTableName(const std::string& n) {
    if (active()) throw EngineError("Cannot change the table name of an open table " + tableName_);
    if (name_ == tableName_) name_ = n;
    tableName_ = n;
}

void Table::setExclusive(bool on) {
    if (active()) throw EngineError("Cannot change the exclusive use of an open table " + tableName_);
    exclusive_ = on;
}

void Table::lock() {
    std::string path = db_.lockFolder() + "/" + toLower(tableName_) + ".lck";
    lockFd_ = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
    if (lockFd_ < 0) throw EngineError("Cannot open the lock file of table " + tableName_ + " in " + db_.lockFolder());
    if (::flock(lockFd_, (exclusive_ ? LOCK_EX : LOCK_SH) | LOCK_NB) != 0) {
        ::close(lockFd_);
        lockFd_ = -1;
        if (exclusive_)
            throw EngineError("Table " + tableName_ + " cannot be opened exclusively: it is in use by another user");
        throw EngineError("Table " + tableName_ + " is in exclusive use by another user");
    }
}

void Table::unlock() {
    if (lockFd_ >= 0) {
        ::flock(lockFd_, LOCK_UN);
        ::close(lockFd_);
        lockFd_ = -1;
    }
}

void Table::doOpen() {
    if (tableName_.empty()) throw EngineError("No table name is given");
    def_ = db_.schema(tableName_);
    stored_ = def_.name;
    tableState_ = db_.tableState(tableName_);
    lock();
    setupFields(def_.fields);
    // Resolve a master link declared before open.
    if (master_ && detailFields_.empty() && !masterFieldNames_.empty()) {
        std::string detailNames = masterFieldNames_.front();
        masterFieldNames_.erase(masterFieldNames_.begin());
        try {
            detailFields_ = fieldList(detailNames);
        } catch (...) {
            unlock();
            throw;
        }
    }
    if (!indexName_.empty() && indexFields_.empty()) {
        const IndexDef* ix = def_.index(indexName_);
        if (!ix) {
            unlock();
            throw EngineError("Index " + indexName_ + " of table " + tableName_ + " not found");
        }
        indexFields_ = ix->fields;
    }
    selectRowSql_ = "SELECT * FROM " + quoteIdent(stored_) + " WHERE rowid = ?1";
    stale_ = true;
    posMapValid_ = false;
}

void Table::doClose() {
    rows_.clear();
    posMap_.clear();
    posMapValid_ = false;
    unlock();
}

void Table::setIndexName(const std::string& n) {
    std::vector<std::string> fields;
    std::string name = n;
    if (iequals(n, "") || iequals(n, "<none>")) name.clear();
    if (!name.empty() && active()) {
        const IndexDef* ix = def_.index(name);
        if (!ix) throw EngineError("Index " + n + " of table " + tableName_ + " not found");
        fields = ix->fields;
    }
    if (active()) checkBrowseMode();
    indexName_ = name;
    indexFields_ = fields;
    stale_ = true;
    if (active()) rebuildKeepPosition();
}

void Table::setIndexFields(const std::string& fields) {
    auto names = splitNames(fields);
    if (active()) {
        for (const auto& f : names) field(f);
        checkBrowseMode();
    }
    indexName_.clear();
    indexFields_ = names;
    stale_ = true;
    if (active()) rebuildKeepPosition();
}

std::vector<std::string> Table::indexFieldNames() const { return indexFields_; }

std::string Table::orderBy() const {
    std::string s = " ORDER BY ";
    for (const auto& f : indexFields_) s += quoteIdent(f) + ", ";
    return s + "rowid";
}

std::string Table::linkWhere(std::vector<Value>& binds) const {
    if (!master_) return {};
    std::vector<Value> keys;
    masterKeyValues(keys);
    std::string w;
    for (size_t k = 0; k < detailFields_.size(); ++k) {
        w += (k ? " AND " : " WHERE ") + quoteIdent(fields_[static_cast<size_t>(detailFields_[k])].def.name);
        Value v = k < keys.size() ? keys[k] : Value();
        if (v.isNull()) {
            w += " IS NULL AND 0";  // no master row: no detail rows
        } else {
            w += " = ?" + std::to_string(binds.size() + 1);
            binds.push_back(v);
        }
    }
    return w;
}

void Table::buildRows() {
    db_.flushPending(tableState_);
    seenVersion_ = tableState_->version;
    stale_ = false;
    posMapValid_ = false;
    rows_.clear();
    std::vector<Value> binds;
    std::string where = linkWhere(binds);
    bool useFilter = filtered_ && filter_;
    std::vector<int> ff = useFilter ? filter_->fieldsUsed() : std::vector<int>{};
    std::string sql = "SELECT rowid";
    for (int i : ff) sql += ", " + quoteIdent(fields_[static_cast<size_t>(i)].def.name);
    sql += " FROM " + quoteIdent(stored_) + where + orderBy();
    Stmt s = db_.prepare(sql);
    for (size_t k = 0; k < binds.size(); ++k) s.bind(static_cast<int>(k + 1), binds[k]);
    if (!useFilter) {
        while (s.step()) rows_.push_back(s.columnInt(0));
    } else {
        std::vector<Value> vals(fields_.size());
        auto get = [&](int i) -> Value { return vals[static_cast<size_t>(i)]; };
        while (s.step()) {
            for (size_t k = 0; k < ff.size(); ++k) vals[static_cast<size_t>(ff[k])] = s.column(static_cast<int>(k + 1));
            if (filter_->matches(get)) rows_.push_back(s.columnInt(0));
        }
    }
    // Fields that decide membership or order of the rows.
    rowsetFields_.assign(fields_.size(), false);
    for (int i : ff) rowsetFields_[static_cast<size_t>(i)] = true;
    for (int i : detailFields_) rowsetFields_[static_cast<size_t>(i)] = true;
    for (const auto& n : indexFields_) {
        int i = fieldIndex(n);
        if (i >= 0) rowsetFields_[static_cast<size_t>(i)] = true;
    }
    // An inserted row that is not yet placed keeps being the current one.
    if (currentId_ != 0 && pos_ < 0) {
        int p = positionOf(currentId_);
        if (p >= 0) pos_ = p;
    }
}

bool Table::needsRebuild() const { return stale_ || seenVersion_ != tableState_->version; }

int Table::positionOf(std::int64_t id) {
    if (!posMapValid_) {
        posMap_.clear();
        posMap_.reserve(rows_.size());
        for (size_t i = 0; i < rows_.size(); ++i) posMap_.emplace(rows_[i], static_cast<int>(i));
        posMapValid_ = true;
    }
    auto it = posMap_.find(id);
    return it == posMap_.end() ? -1 : it->second;
}

std::int64_t Table::rowid() const { return pos_ >= 0 && pos_ < rowCount() ? rows_[static_cast<size_t>(pos_)] : 0; }

void Table::loadRow(int pos, std::vector<Value>& buf) {
    std::int64_t id = rows_[static_cast<size_t>(pos)];
    if (pending_ && id != currentId_) writePending();
    db_.flushPending(tableState_);
    Stmt s = db_.prepare(selectRowSql_);
    s.bind(1, Value(static_cast<long long>(id)));
    if (!s.step()) {
        // Deleted by someone else since the rows were read.
        for (int i = 0; i < storedCount_; ++i) buf[static_cast<size_t>(i)] = Value();
        if (&buf == &buf_) currentId_ = id;
        return;
    }
    for (int i = 0; i < storedCount_; ++i) s.columnInto(i, buf[static_cast<size_t>(i)]);
    if (&buf == &buf_) currentId_ = id;
}

int Table::locateRow(const std::vector<int>& f, const std::vector<Value>& values, LocateOptions opt) {
    db_.flushPending(tableState_);
    std::vector<Value> binds;
    bool single = !(filtered_ && filter_) && indexFields_.empty();
    // The statement depends on the fields, which values are null, the options and the link.
    std::string key;
    for (size_t k = 0; k < f.size(); ++k) key += std::to_string(f[k]) + (values[k].isNull() ? "n," : ",");
    key += opt.caseInsensitive ? 'i' : '-';
    key += opt.partialKey ? 'p' : '-';
    key += single ? 's' : '-';
    std::string where = linkWhere(binds);
    key += where;
    auto cached = locateSql_.find(key);
    if (cached != locateSql_.end()) {
        for (size_t k = 0; k < f.size(); ++k)
            if (!values[k].isNull()) binds.push_back(values[k]);
        return locateWith(cached->second, binds, single);
    }
    std::string sql = "SELECT rowid FROM " + quoteIdent(stored_) + (where.empty() ? " WHERE " : where + " AND ");
    for (size_t k = 0; k < f.size(); ++k) {
        const auto& fd = fields_[static_cast<size_t>(f[k])].def;
        std::string col = quoteIdent(fd.name);
        if (k) sql += " AND ";
        if (values[k].isNull()) {
            sql += col + " IS NULL";
            continue;
        }
        std::string p = "?" + std::to_string(binds.size() + 1);
        if (opt.partialKey && opt.caseInsensitive)
            sql += "upper(substr(" + col + ", 1, length(" + p + "))) = upper(" + p + ")";
        else if (opt.partialKey)
            sql += "substr(" + col + ", 1, length(" + p + ")) = " + p;
        else if (opt.caseInsensitive)
            sql += "upper(" + col + ") = upper(" + p + ")";
        else
            sql += col + " = " + p;
        binds.push_back(values[k]);
    }
    if (single) sql += " ORDER BY rowid";
    locateSql_[key] = sql;
    return locateWith(sql, binds, single);
}

int Table::locateWith(const std::string& sql, const std::vector<Value>& binds, bool single) {
    Stmt s = db_.prepare(sql);
    for (size_t k = 0; k < binds.size(); ++k) s.bind(static_cast<int>(k + 1), binds[k]);
    int best = -1;
    while (s.step()) {
        int p = positionOf(s.columnInt(0));
        if (p >= 0 && (best < 0 || p < best)) {
            best = p;
            if (single || best == 0) break;
        }
    }
    return best;
}

bool Table::findKey(const std::vector<Value>& values) {
    if (indexFields_.empty()) throw EngineError("Table " + tableName_ + " has no current index to seek on");
    if (values.size() > indexFields_.size()) throw EngineError("Too many key values for the index of " + tableName_);
    std::string names;
    for (size_t k = 0; k < values.size(); ++k) names += (k ? ";" : "") + indexFields_[k];
    return locate(names, values);
}

void Table::checkWritable() const {
    if (readOnly_) throw EngineError("Table " + tableName_ + " is read-only");
}

bool Table::writeDeferred() const { return db_.inTransaction(); }

void Table::acceptOwnWrite(bool affectsRows) {
    bool wasCurrent = seenVersion_ == tableState_->version;
    db_.bump(tableState_);
    if (wasCurrent && !affectsRows) seenVersion_ = tableState_->version;
    else stale_ = true;
}

void Table::rowsetFieldsChanged(const std::vector<bool>&) {}

void Table::writeRow(bool inserting) {
    if (inserting) {
        db_.flushPending(tableState_);
        std::string cols, qs;
        std::vector<int> idx;
        for (int i = 0; i < storedCount_; ++i) {
            // A field left untouched keeps the table's new-record value; one set to null stays null.
            if (buf_[static_cast<size_t>(i)].isNull() && !modifiedFields_[static_cast<size_t>(i)]) continue;
            if (!idx.empty()) {
                cols += ", ";
                qs += ", ";
            }
            cols += quoteIdent(fields_[static_cast<size_t>(i)].def.name);
            qs += "?" + std::to_string(idx.size() + 1);
            idx.push_back(i);
        }
        std::string sql = idx.empty() ? "INSERT INTO " + quoteIdent(stored_) + " DEFAULT VALUES"
                                      : "INSERT INTO " + quoteIdent(stored_) + " (" + cols + ") VALUES (" + qs + ")";
        Stmt s = db_.prepare(sql);
        for (size_t k = 0; k < idx.size(); ++k) s.bind(static_cast<int>(k + 1), buf_[static_cast<size_t>(idx[k])]);
        try {
            s.step();
        } catch (const EngineError& e) {
            std::string what = e.what();
            if (what.rfind("Key violation", 0) == 0) throw EngineError("Key violation in table " + tableName_ + ": " + what.substr(15));
            throw;
        }
        currentId_ = db_.lastInsertRowid();
        // Place the new row now when that is cheap (no filter, natural order, no link);
        // otherwise the rows are read again on the next move.
        bool cheap = !(filtered_ && filter_) && indexFields_.empty() && !master_ && !stale_ &&
                     seenVersion_ == tableState_->version;
        acceptOwnWrite(!cheap);
        if (cheap) {
            rows_.push_back(currentId_);
            if (posMapValid_) posMap_.emplace(currentId_, static_cast<int>(rows_.size() - 1));
            pos_ = static_cast<int>(rows_.size() - 1);
        } else {
            stale_ = true;
            pos_ = -1;
        }
        return;
    }
    bool any = false, affects = false;
    for (int i = 0; i < storedCount_; ++i) {
        if (!modifiedFields_[static_cast<size_t>(i)]) continue;
        any = true;
        pendingFields_[static_cast<size_t>(i)] = true;
        if (static_cast<size_t>(i) < rowsetFields_.size() && rowsetFields_[static_cast<size_t>(i)]) affects = true;
    }
    if (!any) return;
    pending_ = true;
    if (writeDeferred() && !affects) {
        db_.addPending(this);
        acceptOwnWrite(false);
        return;
    }
    writePending();
    acceptOwnWrite(affects);
}


void Table::deleteRow() {
    db_.flushPending(tableState_);
    std::int64_t id = rows_[static_cast<size_t>(pos_)];
    if (pending_ && id == currentId_) discardPending();
    db_.removePending(this);
    Stmt s = db_.prepare("DELETE FROM " + quoteIdent(stored_) + " WHERE rowid = ?1");
    s.bind(1, Value(static_cast<long long>(id)));
    s.step();
    rows_.erase(rows_.begin() + pos_);
    posMapValid_ = false;
    acceptOwnWrite(false);
}

void Table::emptyTable() {
    checkActive();
    if (!exclusive_) throw EngineError("Table " + tableName_ + " must be opened exclusively to be emptied");
    if (editing()) cancel();
    discardPending();
    db_.removePending(this);
    db_.exec("DELETE FROM " + quoteIdent(stored_));
    acceptOwnWrite(true);
    rebuildKeepPosition();
}

void Table::copyTable(const std::string& newName) {
    checkActive();
    checkBrowseMode();
    ensureFresh();
    if (pending_) writePending();
    bool whole = !master_ && !(filtered_ && filter_);
    db_.copyTable(stored_, newName, whole ? nullptr : &rows_);
}

void Table::writePending() {
    if (!pending_) return;
    db_.removePending(this);
    pending_ = false;
    std::vector<int> idx;
    for (int i = 0; i < storedCount_; ++i)
        if (pendingFields_[static_cast<size_t>(i)]) idx.push_back(i);
    std::fill(pendingFields_.begin(), pendingFields_.end(), false);
    if (idx.empty()) return;
    if (idx != lastUpdateFields_) {
        std::string sets;
        for (size_t k = 0; k < idx.size(); ++k)
            sets += (k ? ", " : "") + quoteIdent(fields_[static_cast<size_t>(idx[k])].def.name) + " = ?" + std::to_string(k + 1);
        lastUpdateSql_ = "UPDATE " + quoteIdent(stored_) + " SET " + sets + " WHERE rowid = ?" + std::to_string(idx.size() + 1);
        lastUpdateFields_ = idx;
    }
    Stmt s = db_.prepare(lastUpdateSql_);
    for (size_t k = 0; k < idx.size(); ++k) s.bind(static_cast<int>(k + 1), buf_[static_cast<size_t>(idx[k])]);
    s.bind(static_cast<int>(idx.size() + 1), Value(static_cast<long long>(currentId_)));
    try {
        s.step();
    } catch (const EngineError& e) {
        std::string what = e.what();
        if (what.rfind("Key violation", 0) == 0) throw EngineError("Key violation in table " + tableName_ + ": " + what.substr(15));
        throw;
    }
}

}  // namespace zuna
