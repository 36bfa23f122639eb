// Datasets over the database: a current record, navigation, filter, index, locate,
// master-detail, edit/post, calculated and lookup fields, events.
// Table reads and writes one stored table; Query runs read-only SQL with :name parameters.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "engine/Database.h"
#include "engine/Filter.h"
#include "engine/Schema.h"
#include "engine/Value.h"

namespace zuna {

enum class DatasetState { Inactive, Browse, Edit, Insert };
enum class FieldKind { Data, Calculated, Lookup };
enum class DataEvent { Opened, Closed, StateChanged, Scrolled, FieldChanged, Refreshed };

struct LocateOptions {
    bool caseInsensitive = false;
    bool partialKey = false;  // the given text matches the start of the field
};

class Dataset : public PendingWriter {
public:
    using Event = std::function<void(Dataset&)>;
    using Listener = std::function<void(DataEvent, int field)>;

    explicit Dataset(Database& db);
    ~Dataset() override;
    Dataset(const Dataset&) = delete;
    Dataset& operator=(const Dataset&) = delete;

    Database& database() const { return db_; }
    const std::string& name() const { return name_; }  // component name, for messages
    void setName(std::string n) { name_ = std::move(n); }

    // --- lifecycle
    void open();
    void close();
    bool active() const { return state_ != DatasetState::Inactive; }
    void refresh();  // re-read the rows, keep the current record where it still exists

    // --- fields: the stored ones in record order, then lookup and calculated fields
    int fieldCount() const { return static_cast<int>(fields_.size()); }
    const FieldDef& fieldDef(int i) const { return fields_.at(static_cast<size_t>(i)).def; }
    FieldKind fieldKind(int i) const { return fields_.at(static_cast<size_t>(i)).kind; }
    int fieldIndex(const std::string& name) const;  // any letter case; -1 when absent
    int field(const std::string& name) const;       // EngineError when absent
    std::vector<std::string> fieldNames() const;

    Value value(int i);
    Value value(const std::string& n) { return value(field(n)); }
    bool isNull(int i) { return value(i).isNull(); }
    bool isNull(const std::string& n) { return isNull(field(n)); }
    std::string asString(int i);  // dates dd/mm/yyyy, logicals True/False, null ""
    std::string asString(const std::string& n) { return asString(field(n)); }
    double asFloat(int i) { return value(i).toDouble(); }
    double asFloat(const std::string& n) { return asFloat(field(n)); }
    long long asInteger(int i) { return value(i).toInt(); }
    long long asInteger(const std::string& n) { return asInteger(field(n)); }
    bool asBoolean(int i) { return value(i).toBool(); }
    bool asBoolean(const std::string& n) { return asBoolean(field(n)); }
    Date asDate(int i) { return value(i).toDate(); }
    Date asDate(const std::string& n) { return asDate(field(n)); }

    // Setters: in edit or insert state (calculated fields also inside onCalcFields). The value is
    // converted to the field's type; a value that does not fit is an EngineError naming table,
    // field and value, and the field keeps its old value.
    void setValue(int i, const Value& v);
    void setValue(const std::string& n, const Value& v) { setValue(field(n), v); }
    void setString(const std::string& n, const std::string& v) { setValue(field(n), Value(v)); }
    void setFloat(const std::string& n, double v) { setValue(field(n), Value(v)); }
    void setInteger(const std::string& n, long long v) { setValue(field(n), Value(v)); }
    void setBoolean(const std::string& n, bool v) { setValue(field(n), Value(v)); }
    void setDate(const std::string& n, const Date& d) { setValue(field(n), Value(d)); }
    void setNull(const std::string& n) { setValue(field(n), Value()); }
    // Store a value without conversion checks beyond the field's type (fast path for bulk work).
    void setFloat(int i, double v) { setValue(i, Value(v)); }

    // --- navigation
    void first();
    void last();
    void next();
    void prior();
    void moveBy(int n);
    bool eof();
    bool bof();
    int recNo();  // 1-based; 0 when there is no row
    void setRecNo(int n);
    int recordCount();  // rows passing the filter and the master link
    bool isEmpty() { return recordCount() == 0; }

    // --- filter: text and switch are independent
    void setFilter(const std::string& text);
    const std::string& filter() const { return filterText_; }
    void setFiltered(bool on);
    bool filtered() const { return filtered_; }

    // --- locate: fields separated by ';', values in the same order. Exact and case-sensitive
    // unless options say otherwise. Moves to the first matching row in the current order.
    bool locate(const std::string& fields, const std::vector<Value>& values, LocateOptions opt = {});
    bool locate(const std::string& field, const Value& value, LocateOptions opt = {}) {
        return locate(field, std::vector<Value>{value}, opt);
    }
    // Value of resultField in the first row matching, without moving; null when none.
    Value lookupValue(const std::string& fields, const std::vector<Value>& values, const std::string& resultField);

    // --- editing
    DatasetState state() const { return state_; }
    bool editing() const { return state_ == DatasetState::Edit || state_ == DatasetState::Insert; }
    bool modified() const { return modified_; }
    virtual void edit();
    virtual void append();
    virtual void insert();
    virtual void post();
    virtual void cancel();
    virtual void remove();  // delete the current record

    // --- calculated and lookup fields (declared before open)
    void addCalculatedField(const FieldDef& def);
    // keyFields: fields of this dataset (';'); lookupKeyFields and resultField: of lookupTable.
    void addLookupField(const FieldDef& def, const std::string& keyFields, const std::string& lookupTable,
                        const std::string& lookupKeyFields, const std::string& resultField);

    // --- master-detail: this dataset shows the rows whose detailFields equal masterFields of the
    // master's current record, and follows the master as it moves.
    void setMaster(Dataset* master, const std::string& detailFields, const std::string& masterFields);
    void clearMaster() { setMaster(nullptr, {}, {}); }
    Dataset* master() const { return master_; }

    // --- events
    Event beforeOpen, afterOpen, beforeClose, onNewRecord, beforeEdit, beforeInsert, beforePost, afterPost,
        beforeCancel, afterCancel, beforeDelete, afterDelete, onCalcFields, afterScroll;

    int addListener(Listener l);
    void removeListener(int id);

    // Changes with each change of the current record (identity or content); details compare it.
    std::uint64_t recordToken() const { return recordToken_; }

    // PendingWriter
    void writePending() override;
    void discardPending() override;
    const TableState* pendingTable() const override { return tableState_; }

protected:
    struct FieldInfo {
        FieldDef def;
        FieldKind kind = FieldKind::Data;
        // lookup
        std::vector<int> keyFields;
        std::string lookupTable, lookupResult;
        std::vector<std::string> lookupKeys;
    };

    // Subclass hooks.
    virtual void doOpen() = 0;                    // set up fields_ (stored part) and the row source
    virtual void doClose() {}
    virtual void buildRows() = 0;                 // fill the row source for filter/link/order
    virtual int rowCount() const = 0;
    virtual void loadRow(int pos, std::vector<Value>& buf) = 0;  // stored fields of row pos
    virtual bool needsRebuild() const { return false; }
    virtual std::int64_t rowIdentity(int pos) const = 0;
    virtual int positionOf(std::int64_t identity) = 0;  // -1 when not in the rows
    virtual int locateRow(const std::vector<int>& fields, const std::vector<Value>& values, LocateOptions opt);
    virtual void writeRow(bool inserting) { (void)inserting; }
    virtual void deleteRow() {}
    virtual void checkWritable() const {}
    virtual bool writeDeferred() const { return false; }
    virtual void rowsetFieldsChanged(const std::vector<bool>& modified) { (void)modified; }

    void ensureFresh();         // follow the master, re-read after changes by others
    void rebuildKeepPosition();
    void loadCurrent();
    void computeExtras();
    void setupFields(std::vector<FieldDef> stored);
    void setState(DatasetState s);
    void notify(DataEvent e, int field = -1);
    void checkActive() const;
    void checkBrowseMode();  // post an edited record before moving
    Value convertForField(int i, const Value& v) const;
    std::vector<int> fieldList(const std::string& names) const;
    std::shared_ptr<Filter> parseFilter(const std::string& text) const;
    void masterKeyValues(std::vector<Value>& out) const;
    std::string describe() const;

    Database& db_;
    std::string name_;
    TableState* tableState_ = nullptr;
    std::vector<FieldInfo> fields_;
    int storedCount_ = 0;
    std::unordered_map<std::string, int> byName_;  // lower-case name -> index
    std::vector<FieldDef> extraDefs_;              // declared calc/lookup fields
    std::vector<FieldInfo> extraInfo_;

    std::vector<Value> buf_;
    std::vector<Value> oldBuf_;  // record before edit (for cancel)
    std::vector<bool> modifiedFields_;
    bool modified_ = false;
    bool pending_ = false;  // a posted row held back inside a transaction
    std::vector<bool> pendingFields_;
    bool inCalc_ = false;
    bool extrasDirty_ = false;

    DatasetState state_ = DatasetState::Inactive;
    int pos_ = -1;
    bool eof_ = true, bof_ = true;
    std::uint64_t recordToken_ = 1;

    std::string filterText_;
    bool filtered_ = false;
    std::shared_ptr<Filter> filter_;

    Dataset* master_ = nullptr;
    std::vector<int> detailFields_;
    std::vector<std::string> masterFieldNames_;
    std::uint64_t masterTokenSeen_ = 0;
    std::vector<Dataset*> details_;

    std::vector<std::pair<int, Listener>> listeners_;
    int nextListener_ = 1;
    bool rebuilding_ = false;
};

class Table : public Dataset {
public:
    Table(Database& db, std::string tableName = {});
    ~Table() override;

    const std::string& tableName() const { return tableName_; }
    void setTableName(const std::string& name);  // only while closed
    void setExclusive(bool on);                  // only while closed
    bool exclusive() const { return exclusive_; }
    void setReadOnly(bool on) { readOnly_ = on; }

    // Current index by name ("PRIMARY", "payrf01Dept"; "" for natural order) or by field list.
    void setIndexName(const std::string& name);
    void setIndexFields(const std::string& fields);
    const std::string& indexName() const { return indexName_; }
    std::vector<std::string> indexFieldNames() const;
    // Seek on the current index: the first row whose leading index fields equal the values.
    bool findKey(const std::vector<Value>& values);

    void emptyTable();  // remove every row; the table must be open exclusively
    // Copy the rows of the current view (filter and master link) into a new table.
    void copyTable(const std::string& newName);
    // The definition as stored.
    const TableDef& definition() const { return def_; }
    std::int64_t rowid() const;

protected:
    void doOpen() override;
    void doClose() override;
    void buildRows() override;
    int rowCount() const override { return static_cast<int>(rows_.size()); }
    void loadRow(int pos, std::vector<Value>& buf) override;
    bool needsRebuild() const override;
    std::int64_t rowIdentity(int pos) const override { return rows_[static_cast<size_t>(pos)]; }
    int positionOf(std::int64_t id) override;
    int locateRow(const std::vector<int>& fields, const std::vector<Value>& values, LocateOptions opt) override;
    void writeRow(bool inserting) override;
    void deleteRow() override;
    void checkWritable() const override;
    bool writeDeferred() const override;
    void rowsetFieldsChanged(const std::vector<bool>& modified) override;

public:
    void writePending() override;

private:
    void lock();
    void unlock();
    std::string orderBy() const;
    std::string linkWhere(std::vector<Value>& binds) const;
    void acceptOwnWrite(bool affectsRows);
    int locateWith(const std::string& sql, const std::vector<Value>& binds, bool single);
    std::vector<int> lastUpdateFields_;
    std::string lastUpdateSql_;
    std::unordered_map<std::string, std::string> locateSql_;

    std::string tableName_;
    std::string stored_;  // name as created
    TableDef def_;
    bool exclusive_ = false;
    bool readOnly_ = false;
    int lockFd_ = -1;
    std::string indexName_;
    std::vector<std::string> indexFields_;
    std::vector<std::int64_t> rows_;
    std::unordered_map<std::int64_t, int> posMap_;
    bool posMapValid_ = false;
    bool stale_ = true;
    std::uint64_t seenVersion_ = 0;
    std::int64_t currentId_ = 0;  // rowid of the current record (also right after an insert)
    std::vector<bool> rowsetFields_;
    std::string selectRowSql_;
};

class Query : public Dataset {
public:
    explicit Query(Database& db, std::string sql = {});

    void setSql(const std::string& sql);  // closes the query
    const std::string& sql() const { return sql_; }
    void setParam(const std::string& name, const Value& v);
    // Tables the query reads: their passwords are registered before it opens.
    void registerPassword(const std::string& table, const std::string& password) { db_.registerPassword(table, password); }
    std::string adaptedSql() const;

protected:
    void doOpen() override;
    void buildRows() override;
    int rowCount() const override { return static_cast<int>(view_.size()); }
    void loadRow(int pos, std::vector<Value>& buf) override;
    std::int64_t rowIdentity(int pos) const override { return view_[static_cast<size_t>(pos)]; }
    int positionOf(std::int64_t id) override;
    void checkWritable() const override;

private:
    std::string sql_;
    std::unordered_map<std::string, Value> params_;
    std::vector<std::vector<Value>> data_;
    std::vector<std::int64_t> view_;
};

}  // namespace zuna
