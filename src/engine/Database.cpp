#define SQLITE_HAS_CODEC 1
#include "engine/Database.h"

#include <sqlcipher/sqlite3.h>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "engine/SqlDialect.h"

namespace fs = std::filesystem;

namespace zuna {

std::string toLower(std::string s) {
    for (auto& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}
std::string toUpper(std::string s) {
    for (auto& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return s;
}
bool iequals(const std::string& a, const std::string& b) { return strcasecmp(a.c_str(), b.c_str()) == 0; }

std::string quoteIdent(const std::string& name) {
    std::string r = "\"";
    for (char c : name) {
        if (c == '"') r += '"';
        r += c;
    }
    return r + "\"";
}

std::string cutToChars(const std::string& s, int n) {
    if (n <= 0) return {};
    int count = 0;
    for (size_t i = 0; i < s.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(s[i]);
        if ((c & 0xC0) != 0x80) {
            if (count == n) return s.substr(0, i);
            ++count;
        }
    }
    return s;
}

// ---------------------------------------------------------------- Stmt

Stmt::Stmt(Stmt&& o) noexcept : db_(o.db_), s_(o.s_), inUse_(o.inUse_), sql_(std::move(o.sql_)) {
    o.s_ = nullptr;
    o.inUse_ = nullptr;
}

Stmt::~Stmt() {
    if (!s_) return;
    if (inUse_) {
        sqlite3_reset(s_);
        sqlite3_clear_bindings(s_);
        *inUse_ = false;
    } else {
        sqlite3_finalize(s_);
    }
}

void Stmt::reset() {
    sqlite3_reset(s_);
    sqlite3_clear_bindings(s_);
}

void Stmt::bind(int i, const Value& v) {
    int rc = SQLITE_OK;
    switch (v.kind()) {
        case Value::Kind::Null: rc = sqlite3_bind_null(s_, i); break;
        case Value::Kind::Int: rc = sqlite3_bind_int64(s_, i, v.toInt()); break;
        case Value::Kind::Real: rc = sqlite3_bind_double(s_, i, v.toDouble()); break;
        case Value::Kind::Text:
            rc = sqlite3_bind_text(s_, i, v.text().data(), static_cast<int>(v.text().size()), SQLITE_TRANSIENT);
            break;
        case Value::Kind::Blob:
            rc = sqlite3_bind_blob(s_, i, v.text().data(), static_cast<int>(v.text().size()), SQLITE_TRANSIENT);
            break;
    }
    if (rc != SQLITE_OK) db_->fail("binding a value");
}

void Stmt::bind(const std::string& name, const Value& v) {
    int i = sqlite3_bind_parameter_index(s_, (":" + name).c_str());
    if (i == 0) throw EngineError("The statement has no parameter :" + name);
    bind(i, v);
}

bool Stmt::hasParameter(const std::string& name) const {
    return sqlite3_bind_parameter_index(s_, (":" + name).c_str()) != 0;
}

bool Stmt::step() {
    int rc = sqlite3_step(s_);
    if (rc == SQLITE_ROW) return true;
    if (rc == SQLITE_DONE) return false;
    std::string msg = sqlite3_errmsg(db_->handle());
    int ext = sqlite3_extended_errcode(db_->handle());
    sqlite3_reset(s_);
    if ((ext & 0xff) == SQLITE_CONSTRAINT) throw EngineError("Key violation: " + msg);
    if (rc == SQLITE_BUSY || rc == SQLITE_LOCKED)
        throw EngineError("The database is in use by another program: " + msg);
    throw EngineError(msg + " (in: " + sql_ + ")");
}

int Stmt::columnCount() const { return sqlite3_column_count(s_); }
std::string Stmt::columnName(int i) const {
    const char* n = sqlite3_column_name(s_, i);
    return n ? n : "";
}
std::string Stmt::columnDeclType(int i) const {
    const char* n = sqlite3_column_decltype(s_, i);
    return n ? n : "";
}

Value Stmt::column(int i) const {
    switch (sqlite3_column_type(s_, i)) {
        case SQLITE_INTEGER: return Value(static_cast<long long>(sqlite3_column_int64(s_, i)));
        case SQLITE_FLOAT: return Value(sqlite3_column_double(s_, i));
        case SQLITE_TEXT: {
            const unsigned char* t = sqlite3_column_text(s_, i);
            return Value(std::string(reinterpret_cast<const char*>(t), static_cast<size_t>(sqlite3_column_bytes(s_, i))));
        }
        case SQLITE_BLOB: {
            const void* b = sqlite3_column_blob(s_, i);
            return Value::blob(std::string(static_cast<const char*>(b), static_cast<size_t>(sqlite3_column_bytes(s_, i))));
        }
        default: return Value();
    }
}
void Stmt::columnInto(int i, Value& out) const {
    sqlite3_value* v = sqlite3_column_value(s_, i);
    switch (sqlite3_value_type(v)) {
        case SQLITE_INTEGER: out.setInt(sqlite3_value_int64(v)); break;
        case SQLITE_FLOAT: out.setReal(sqlite3_value_double(v)); break;
        case SQLITE_TEXT:
            out.setText(reinterpret_cast<const char*>(sqlite3_value_text(v)), static_cast<size_t>(sqlite3_value_bytes(v)));
            break;
        case SQLITE_BLOB: {
            const void* b = sqlite3_value_blob(v);
            out.setText(static_cast<const char*>(b), static_cast<size_t>(sqlite3_value_bytes(v)), true);
            break;
        }
        default: out.setNull();
    }
}

double Stmt::columnDouble(int i) const { return sqlite3_column_double(s_, i); }
std::int64_t Stmt::columnInt(int i) const { return sqlite3_column_int64(s_, i); }
bool Stmt::columnIsNull(int i) const { return sqlite3_column_type(s_, i) == SQLITE_NULL; }

// ---------------------------------------------------------------- Database

Database::Database(std::string folder, sqlite3* db) : folder_(std::move(folder)), db_(db) {}

Database::~Database() {
    for (auto& [sql, e] : cache_)
        if (e.stmt) sqlite3_finalize(e.stmt);
    if (db_) sqlite3_close_v2(db_);
}

std::string Database::filePath() const { return (fs::path(folder_) / kFileName).string(); }
std::string Database::picturesFolder() const { return (fs::path(folder_) / "Picts").string(); }
std::string Database::lockFolder() const { return (fs::path(folder_) / "locks").string(); }

static sqlite3* openKeyed(const std::string& path, const std::string& key, int flags) {
    sqlite3* db = nullptr;
    int rc = sqlite3_open_v2(path.c_str(), &db, flags, nullptr);
    if (rc != SQLITE_OK) {
        std::string msg = db ? sqlite3_errmsg(db) : "out of memory";
        if (db) sqlite3_close_v2(db);
        throw EngineError("Cannot open the database " + path + ": " + msg);
    }
    sqlite3_key(db, key.data(), static_cast<int>(key.size()));
    // 4 KiB cipher pages: fewer pages to encrypt and authenticate per row written.
    sqlite3_exec(db, "PRAGMA cipher_page_size = 4096", nullptr, nullptr, nullptr);
    sqlite3_extended_result_codes(db, 1);
    sqlite3_busy_timeout(db, 10000);
    return db;
}

static void setUp(sqlite3* db, const std::string& path) {
    // Reading the schema is the first read through the key: a wrong key or a foreign file fails here.
    char* err = nullptr;
    int rc = sqlite3_exec(db, "SELECT count(*) FROM sqlite_master", nullptr, nullptr, &err);
    if (rc != SQLITE_OK) {
        std::string msg = err ? err : sqlite3_errmsg(db);
        sqlite3_free(err);
        sqlite3_close_v2(db);
        if (rc == SQLITE_NOTADB)
            throw EngineError("Cannot open the database " + path +
                              ": wrong table password, or the file is not a Zuna database");
        throw EngineError("Cannot open the database " + path + ": " + msg);
    }
    const char* pragmas =
        "PRAGMA journal_mode=WAL; PRAGMA synchronous=FULL; PRAGMA cache_size=-65536; "
        "PRAGMA temp_store=MEMORY; PRAGMA foreign_keys=OFF;";
    rc = sqlite3_exec(db, pragmas, nullptr, nullptr, &err);
    if (rc != SQLITE_OK) {
        std::string msg = err ? err : "";
        sqlite3_free(err);
        sqlite3_close_v2(db);
        throw EngineError("Cannot prepare the database " + path + ": " + msg);
    }
}

std::unique_ptr<Database> Database::open(const std::string& folder, const std::string& key) {
    if (folder.empty()) throw EngineError("No database folder is given");
    std::error_code ec;
    if (!fs::is_directory(folder, ec))
        throw EngineError("The database folder " + folder + " does not exist (prepare one with 'zuna init')");
    std::string path = (fs::path(folder) / kFileName).string();
    if (!fs::exists(path, ec))
        throw EngineError("There is no Zuna database in " + folder + " (prepare one with 'zuna init')");
    sqlite3* h = openKeyed(path, key, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX);
    setUp(h, path);
    std::unique_ptr<Database> db(new Database(folder, h));
    db->key_ = key;
    db->registerFunctions();
    fs::create_directories(db->lockFolder(), ec);
    return db;
}

std::unique_ptr<Database> Database::create(const std::string& folder, const std::string& key) {
    if (folder.empty()) throw EngineError("No database folder is given");
    std::error_code ec;
    fs::create_directories(folder, ec);
    if (!fs::is_directory(folder, ec)) throw EngineError("Cannot create the database folder " + folder);
    std::string path = (fs::path(folder) / kFileName).string();
    if (fs::exists(path, ec)) throw EngineError("A Zuna database already exists in " + folder);
    sqlite3* h = openKeyed(path, key, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX);
    setUp(h, path);
    std::unique_ptr<Database> db(new Database(folder, h));
    db->key_ = key;
    db->registerFunctions();
    fs::create_directories(db->lockFolder(), ec);
    fs::create_directories(db->picturesFolder(), ec);
    return db;
}

static std::string trimmed(const std::string& s) {
    size_t b = s.find_first_not_of(" \t\r\n");
    if (b == std::string::npos) return {};
    size_t e = s.find_last_not_of(" \t\r\n");
    return s.substr(b, e - b + 1);
}

static std::string aliasFromIni(const fs::path& ini, const std::string& alias) {
    std::ifstream in(ini);
    std::string line;
    bool inAliases = false;
    while (std::getline(in, line)) {
        line = trimmed(line);
        if (line.empty() || line[0] == ';' || line[0] == '#') continue;
        if (line.front() == '[') {
            inAliases = iequals(line, "[Aliases]");
            continue;
        }
        auto eq = line.find('=');
        if (inAliases && eq != std::string::npos && iequals(trimmed(line.substr(0, eq)), alias)) {
            fs::path p = trimmed(line.substr(eq + 1));
            if (p.is_relative()) p = ini.parent_path() / p;
            return p.lexically_normal().string();
        }
    }
    return {};
}

std::string Database::resolveAlias(const std::string& alias) {
    if (const char* d = std::getenv("ZUNA_DATA"); d && *d) return d;
    std::vector<fs::path> places;
    if (const char* ini = std::getenv("ZUNA_INI"); ini && *ini) {
        fs::path p = ini;
        places.push_back(fs::is_directory(p) ? p / "zuna.ini" : p);
    }
    std::error_code ec;
    places.push_back(fs::current_path(ec) / "zuna.ini");
    fs::path exe = fs::read_symlink("/proc/self/exe", ec);
    if (!ec) places.push_back(exe.parent_path() / "zuna.ini");
    const char* home = std::getenv("HOME");
    if (const char* x = std::getenv("XDG_CONFIG_HOME"); x && *x)
        places.push_back(fs::path(x) / "zuna" / "zuna.ini");
    else if (home)
        places.push_back(fs::path(home) / ".config" / "zuna" / "zuna.ini");
    for (const auto& p : places) {
        if (!fs::is_regular_file(p, ec)) continue;
        std::string f = aliasFromIni(p, alias);
        if (!f.empty()) return f;
    }
    if (const char* x = std::getenv("XDG_DATA_HOME"); x && *x) return (fs::path(x) / "zuna" / "data").string();
    return (fs::path(home ? home : ".") / ".local" / "share" / "zuna" / "data").string();
}

void Database::registerPassword(const std::string& table, const std::string& password) const {
    if (password != key_)
        throw EngineError("The password registered for table " + table + " is not the table password");
}

void Database::fail(const std::string& context) const {
    throw EngineError(context + ": " + sqlite3_errmsg(db_));
}

std::int64_t Database::lastInsertRowid() const { return sqlite3_last_insert_rowid(db_); }
int Database::changes() const { return sqlite3_changes(db_); }

Stmt Database::prepare(const std::string& sql) {
    auto& e = cache_[sql];
    if (e.stmt && !e.inUse) {
        e.inUse = true;
        return Stmt(this, e.stmt, &e.inUse, sql);
    }
    sqlite3_stmt* s = nullptr;
    if (sqlite3_prepare_v2(db_, sql.c_str(), static_cast<int>(sql.size()), &s, nullptr) != SQLITE_OK) {
        std::string msg = sqlite3_errmsg(db_);
        if (!e.stmt) cache_.erase(sql);
        throw EngineError(msg + " (in: " + sql + ")");
    }
    if (!e.stmt) {
        e.stmt = s;
        e.inUse = true;
        return Stmt(this, s, &e.inUse, sql);
    }
    return Stmt(this, s, nullptr, sql);  // the cached one is busy: a private one
}

void Database::exec(const std::string& sql) {
    flushPending();
    char* err = nullptr;
    if (sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, &err) != SQLITE_OK) {
        std::string msg = err ? err : sqlite3_errmsg(db_);
        sqlite3_free(err);
        throw EngineError(msg + " (in: " + sql + ")");
    }
}

// ---------------------------------------------------------------- schema

static const char* declType(const FieldDef& f) {
    switch (f.type) {
        case FieldType::Text: return "TEXT";
        case FieldType::SmallInt: return "SMALLINT";
        case FieldType::Float: return "FLOAT";
        case FieldType::Date: return "DATE";
        case FieldType::Time: return "TIME";
        case FieldType::Logical: return "LOGICAL";
        case FieldType::Binary: return "BINARY";
        case FieldType::Integer: return "INTEGER";
    }
    return "TEXT";
}

static FieldDef parseDecl(const std::string& name, const std::string& decl) {
    std::string d = toUpper(decl);
    FieldDef f(name, FieldType::Text);
    if (d.rfind("TEXT", 0) == 0) {
        f.type = FieldType::Text;
        auto p = d.find('(');
        f.width = p == std::string::npos ? 20 : std::atoi(d.c_str() + p + 1);
    } else if (d == "SMALLINT") f.type = FieldType::SmallInt;
    else if (d == "FLOAT" || d == "REAL" || d == "DOUBLE") f.type = FieldType::Float;
    else if (d == "DATE") f.type = FieldType::Date;
    else if (d == "TIME") f.type = FieldType::Time;
    else if (d == "LOGICAL") f.type = FieldType::Logical;
    else if (d == "BINARY" || d == "BLOB") f.type = FieldType::Binary;
    else if (d == "INTEGER" || d == "INT") f.type = FieldType::Integer;
    return f;
}

// The new-record value of a field as an SQL literal.
static std::string defaultLiteral(const std::string& table, const FieldDef& f) {
    const std::string& v = f.newValue;
    auto quoted = [](const std::string& t) {
        std::string r = "'";
        for (char c : t) {
            if (c == '\'') r += '\'';
            r += c;
        }
        return r + "'";
    };
    double d;
    switch (f.type) {
        case FieldType::Logical: {
            std::string l = toLower(v);
            if (l == "true" || l == "1" || l == "t") return "1";
            if (l == "false" || l == "0" || l == "f") return "0";
            break;
        }
        case FieldType::SmallInt:
        case FieldType::Integer:
        case FieldType::Float:
            if (parseNumber(v, d)) return v;
            break;
        case FieldType::Date: {
            auto dt = Date::parse(v);
            if (dt) return quoted(dt->iso());
            break;
        }
        default: return quoted(v);
    }
    throw EngineError("The new-record value '" + v + "' of field " + f.name + " of table " + table + " is not a " +
                      fieldTypeName(f.type));
}

static std::string indexSqlName(const std::string& table, const std::string& index) { return table + "$" + index; }

bool Database::tableExists(const std::string& name) { return !storedName(name).empty(); }

std::string Database::storedName(const std::string& name) {
    Stmt s = prepare("SELECT name FROM sqlite_master WHERE type='table' AND name = ?1 COLLATE NOCASE");
    s.bind(1, Value(name));
    return s.step() ? s.column(0).toString() : std::string();
}

std::vector<std::string> Database::tableNames() {
    std::vector<std::string> out;
    Stmt s = prepare("SELECT name FROM sqlite_master WHERE type='table' AND name NOT LIKE 'sqlite%' ORDER BY name COLLATE NOCASE");
    while (s.step()) out.push_back(s.column(0).toString());
    return out;
}

TableDef Database::readSchema(const std::string& name) {
    std::string stored = storedName(name);
    if (stored.empty()) throw EngineError("Table " + name + " does not exist in the database");
    TableDef def;
    def.name = stored;
    {
        Stmt s = prepare("PRAGMA table_info(" + quoteIdent(stored) + ")");
        while (s.step()) {
            FieldDef f = parseDecl(s.column(1).toString(), s.column(2).toString());
            std::string dv = s.column(4).toString();
            if (dv.size() >= 2 && dv.front() == '\'' && dv.back() == '\'') {
                std::string u;
                for (size_t i = 1; i + 1 < dv.size(); ++i) {
                    u += dv[i];
                    if (dv[i] == '\'' && i + 2 < dv.size() && dv[i + 1] == '\'') ++i;
                }
                dv = u;
            } else if (f.type == FieldType::Logical) {
                dv = dv == "1" ? "true" : dv == "0" ? "false" : dv;
            }
            f.newValue = dv;
            def.fields.push_back(std::move(f));
        }
    }
    std::vector<std::pair<std::string, bool>> idx;
    {
        Stmt s = prepare("PRAGMA index_list(" + quoteIdent(stored) + ")");
        while (s.step()) idx.emplace_back(s.column(1).toString(), s.column(2).toInt() != 0);
    }
    std::string prefix = stored + "$";
    for (auto& [iname, unique] : idx) {
        if (iname.size() <= prefix.size() || !iequals(iname.substr(0, prefix.size()), prefix)) continue;
        IndexDef ix;
        ix.name = iname.substr(prefix.size());
        ix.unique = unique;
        Stmt s = prepare("PRAGMA index_info(" + quoteIdent(iname) + ")");
        std::vector<std::pair<int, std::string>> cols;
        while (s.step()) cols.emplace_back(static_cast<int>(s.column(0).toInt()), s.column(2).toString());
        std::sort(cols.begin(), cols.end());
        for (auto& c : cols) ix.fields.push_back(c.second);
        def.indexes.push_back(std::move(ix));
    }
    // Keep the catalogue's order of indexes stable: PRIMARY first, then by name.
    std::stable_sort(def.indexes.begin(), def.indexes.end(), [](const IndexDef& a, const IndexDef& b) {
        bool pa = iequals(a.name, "PRIMARY"), pb = iequals(b.name, "PRIMARY");
        if (pa != pb) return pa;
        return toLower(a.name) < toLower(b.name);
    });
    return def;
}

const TableDef& Database::schema(const std::string& name) {
    std::string key = toLower(name);
    auto it = schemas_.find(key);
    if (it != schemas_.end()) return it->second;
    return schemas_.emplace(key, readSchema(name)).first->second;
}

void Database::createTable(const TableDef& def) {
    if (def.name.empty()) throw EngineError("A table needs a name");
    if (tableExists(def.name)) throw EngineError("Table " + def.name + " already exists");
    if (def.fields.empty()) throw EngineError("Table " + def.name + " has no fields");
    std::string sql = "CREATE TABLE " + quoteIdent(def.name) + " (";
    for (size_t i = 0; i < def.fields.size(); ++i) {
        const auto& f = def.fields[i];
        if (i) sql += ", ";
        sql += quoteIdent(f.name) + " " + declType(f);
        if (f.type == FieldType::Text) sql += "(" + std::to_string(f.textWidth()) + ")";
        if (!f.newValue.empty()) sql += " DEFAULT " + defaultLiteral(def.name, f);
    }
    sql += ")";
    Transaction t(*this);
    exec(sql);
    for (const auto& ix : def.indexes) {
        std::string s = std::string(ix.unique ? "CREATE UNIQUE INDEX " : "CREATE INDEX ") +
                        quoteIdent(indexSqlName(def.name, ix.name)) + " ON " + quoteIdent(def.name) + " (";
        for (size_t i = 0; i < ix.fields.size(); ++i) {
            if (def.fieldIndex(ix.fields[i]) < 0)
                throw EngineError("Index " + ix.name + " of table " + def.name + " names an unknown field " + ix.fields[i]);
            s += (i ? ", " : "") + quoteIdent(ix.fields[i]);
        }
        exec(s + ")");
    }
    t.commit();
    schemas_.erase(toLower(def.name));
    bump(tableState(def.name));
}

void Database::dropTable(const std::string& name) {
    std::string stored = storedName(name);
    if (stored.empty()) throw EngineError("Table " + name + " does not exist in the database");
    exec("DROP TABLE " + quoteIdent(stored));
    schemas_.erase(toLower(name));
    bump(tableState(name));
}

void Database::copyTable(const std::string& src, const std::string& dst, const std::vector<std::int64_t>* rowids) {
    TableDef def = schema(src);
    def.name = dst;
    Transaction t(*this);
    createTable(def);
    flushPending();
    std::string cols;
    for (size_t i = 0; i < def.fields.size(); ++i) cols += (i ? ", " : "") + quoteIdent(def.fields[i].name);
    std::string base = "INSERT INTO " + quoteIdent(dst) + " (" + cols + ") SELECT " + cols + " FROM " +
                       quoteIdent(storedName(src));
    if (!rowids) {
        exec(base + " ORDER BY rowid");
    } else {
        Stmt s = prepare(base + " WHERE rowid = ?1");
        for (auto id : *rowids) {
            s.bind(1, Value(static_cast<long long>(id)));
            s.step();
            s.reset();
        }
    }
    t.commit();
    bump(tableState(dst));
}

TableState* Database::tableState(const std::string& name) {
    auto& p = states_[toLower(name)];
    if (!p) p = std::make_unique<TableState>();
    return p.get();
}

void Database::bumpAll() {
    for (auto& [n, st] : states_) bump(st.get());
}

// ---------------------------------------------------------------- pending rows

void Database::addPending(PendingWriter* w) {
    if (std::find(pending_.begin(), pending_.end(), w) == pending_.end()) pending_.push_back(w);
}
void Database::removePending(PendingWriter* w) { pending_.erase(std::remove(pending_.begin(), pending_.end(), w), pending_.end()); }

void Database::flushPending(const TableState* table) {
    if (pending_.empty()) return;
    // writePending removes the writer from the list.
    for (size_t i = 0; i < pending_.size();) {
        PendingWriter* w = pending_[i];
        if (table && w->pendingTable() != table) {
            ++i;
            continue;
        }
        w->writePending();
        if (i < pending_.size() && pending_[i] == w) ++i;  // it kept itself (should not happen)
    }
}

// ---------------------------------------------------------------- transactions

void Database::begin() {
    if (depth_ == 0) {
        exec("BEGIN IMMEDIATE");
    } else {
        flushPending();
        exec("SAVEPOINT zsp" + std::to_string(depth_));
    }
    ++depth_;
}

void Database::commitLevel() {
    flushPending();
    if (depth_ == 1)
        exec("COMMIT");
    else
        exec("RELEASE zsp" + std::to_string(depth_ - 1));
    --depth_;
}

void Database::rollbackLevel() {
    // Nothing that is held back may land after the rollback.
    if (depth_ == 1) {
        auto held = pending_;
        for (auto* w : held) w->discardPending();
        pending_.clear();
    } else {
        try {
            flushPending();
        } catch (...) {
            auto held = pending_;
            for (auto* w : held) w->discardPending();
            pending_.clear();
        }
    }
    char* err = nullptr;
    std::string sql = depth_ == 1 ? std::string("ROLLBACK")
                                  : "ROLLBACK TO zsp" + std::to_string(depth_ - 1) + "; RELEASE zsp" +
                                        std::to_string(depth_ - 1);
    sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, &err);
    sqlite3_free(err);
    --depth_;
    schemas_.clear();
    bumpAll();
}

Transaction::Transaction(Database& db) : db_(db) { db_.begin(); }

Transaction::~Transaction() {
    if (!done_) db_.rollbackLevel();
}

void Transaction::commit() {
    if (done_) throw EngineError("The transaction has ended already");
    try {
        db_.commitLevel();
    } catch (...) {
        done_ = true;
        db_.rollbackLevel();
        throw;
    }
    done_ = true;
}

void Transaction::rollback() {
    if (done_) return;
    done_ = true;
    db_.rollbackLevel();
}

// ---------------------------------------------------------------- SQL functions

void Database::registerFunctions() { registerSqlFunctions(db_); }

}  // namespace zuna
