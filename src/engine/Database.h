// The database: one SQLCipher file zuna.db in the database folder, keyed with the table password.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "engine/EngineError.h"
#include "engine/Schema.h"
#include "engine/Value.h"

struct sqlite3;
struct sqlite3_stmt;

namespace zuna {

class Database;

// A prepared statement taken from the database's cache; reset and handed back when it goes.
class Stmt {
public:
    Stmt(Stmt&& o) noexcept;
    Stmt& operator=(Stmt&&) = delete;
    Stmt(const Stmt&) = delete;
    ~Stmt();

    void bind(int index, const Value& v);                   // 1-based
    void bind(const std::string& name, const Value& v);     // ":name"
    bool hasParameter(const std::string& name) const;
    bool step();  // true while a row is available; EngineError on failure
    int columnCount() const;
    std::string columnName(int i) const;
    std::string columnDeclType(int i) const;
    Value column(int i) const;
    void columnInto(int i, Value& out) const;  // without a temporary
    double columnDouble(int i) const;
    std::int64_t columnInt(int i) const;
    bool columnIsNull(int i) const;
    sqlite3_stmt* raw() const { return s_; }
    void reset();

private:
    friend class Database;
    Stmt(Database* db, sqlite3_stmt* s, bool* inUse, std::string sql) : db_(db), s_(s), inUse_(inUse), sql_(std::move(sql)) {}
    Database* db_;
    sqlite3_stmt* s_;
    bool* inUse_;  // null: not cached, finalised on destruction
    std::string sql_;
};

// A dataset holding a posted row that is not yet written.
class PendingWriter {
public:
    virtual ~PendingWriter() = default;
    virtual void writePending() = 0;    // write it now
    virtual void discardPending() = 0;  // the transaction is rolled back: forget it
    virtual const struct TableState* pendingTable() const = 0;
};

// Shared per-table state: the change version that keeps every dataset on a table coherent.
struct TableState {
    std::uint64_t version = 1;
};

class Database {
public:
    static constexpr const char* kTablePassword = "Q47KD";
    static constexpr const char* kFileName = "zuna.db";

    // Open the database of an existing folder. Missing folder, missing file, wrong key or a file
    // that is not a database: EngineError, nothing created.
    static std::unique_ptr<Database> open(const std::string& folder, const std::string& key = kTablePassword);
    // Create a new, empty database in folder (made if missing). EngineError when one exists already.
    static std::unique_ptr<Database> create(const std::string& folder, const std::string& key = kTablePassword);
    // The database folder named by an alias ("Zuna"): $ZUNA_DATA, else [Aliases] of the first zuna.ini
    // found in $ZUNA_INI, the current folder, the executable's folder, $XDG_CONFIG_HOME/zuna; else
    // $XDG_DATA_HOME/zuna/data.
    static std::string resolveAlias(const std::string& alias = "Zuna");

    ~Database();
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    const std::string& folder() const { return folder_; }
    std::string filePath() const;
    std::string picturesFolder() const;  // Picts/ beside zuna.db
    std::string lockFolder() const;      // locks/ beside zuna.db

    // Table password: a table or query registers it; a password that differs from the key is refused.
    void registerPassword(const std::string& table, const std::string& password) const;

    // --- catalogue of what is stored
    bool tableExists(const std::string& name);
    std::vector<std::string> tableNames();
    // The stored definition of a table (field types, widths and indexes); EngineError when unknown.
    const TableDef& schema(const std::string& name);
    std::string storedName(const std::string& name);  // the table's name as created
    void createTable(const TableDef& def);             // EngineError when it exists
    void dropTable(const std::string& name);
    // Copy rows of src into a new table dst of the same shape. rowids: the rows to copy (all when null).
    void copyTable(const std::string& src, const std::string& dst, const std::vector<std::int64_t>* rowids = nullptr);

    // --- statements
    Stmt prepare(const std::string& sql);  // cached
    void exec(const std::string& sql);
    sqlite3* handle() const { return db_; }
    [[noreturn]] void fail(const std::string& context) const;  // EngineError with SQLite's message
    std::int64_t lastInsertRowid() const;
    int changes() const;

    // --- coherence
    TableState* tableState(const std::string& name);
    void bump(TableState* st) { st->version = ++clock_; }
    void bumpAll();

    // --- transactions (see Transaction)
    bool inTransaction() const { return depth_ > 0; }
    int transactionDepth() const { return depth_; }

    // Rows posted inside a transaction may be held by their dataset and written when the row is
    // left, so that a row changed by several steps of one piece of work is written once. Anything
    // that reads a table first makes the pending rows of that table land (all tables: null).
    void addPending(PendingWriter* w);
    void removePending(PendingWriter* w);
    void flushPending(const TableState* table = nullptr);

private:
    friend class Transaction;
    Database(std::string folder, sqlite3* db);
    void begin();
    void commitLevel();
    void rollbackLevel();
    void registerFunctions();
    TableDef readSchema(const std::string& name);

    std::string folder_;
    sqlite3* db_ = nullptr;
    std::string key_;
    struct CacheEntry {
        sqlite3_stmt* stmt = nullptr;
        bool inUse = false;
    };
    std::unordered_map<std::string, CacheEntry> cache_;
    std::unordered_map<std::string, TableDef> schemas_;  // by lower-case name
    std::unordered_map<std::string, std::unique_ptr<TableState>> states_;
    std::uint64_t clock_ = 1;
    int depth_ = 0;
    std::vector<PendingWriter*> pending_;
};

// One unit of work: everything written inside lands whole at commit() or not at all.
// Leaving the scope without commit() (an exception, an early return) rolls it back,
// including tables created or dropped inside. Scopes nest.
class Transaction {
public:
    explicit Transaction(Database& db);
    ~Transaction();
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;
    void commit();
    void rollback();

private:
    Database& db_;
    bool done_ = false;
};

std::string toLower(std::string s);
std::string toUpper(std::string s);
bool iequals(const std::string& a, const std::string& b);
std::string quoteIdent(const std::string& name);
// Cut a UTF-8 text to at most n characters.
std::string cutToChars(const std::string& s, int n);

}  // namespace zuna
