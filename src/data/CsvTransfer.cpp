#include "data/CsvTransfer.h"

#include <cmath>
#include <cstdio>
#include <fstream>
#include <map>
#include <memory>
#include <sstream>

#include "app/fmVarGlobal.h"
#include "data/EmployeeRecords.h"
#include "data/ZunaData.h"

namespace zuna {

// ------------------------------------------------------------------ CSV text

std::vector<CsvRecord> ParseCsv(std::istream& in, const std::string& fileName) {
    std::string s((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    size_t i = 0;
    if (s.compare(0, 3, "\xEF\xBB\xBF") == 0) i = 3;  // byte-order mark of spreadsheet exports
    std::vector<CsvRecord> out;
    int line = 1;
    const size_t n = s.size();
    while (i < n) {
        CsvRecord rec;
        rec.line = line;
        bool endOfRecord = false;
        while (!endOfRecord) {
            CsvField f;
            if (i < n && s[i] == '"') {
                f.quoted = true;
                ++i;
                for (;;) {
                    if (i >= n)
                        throw EngineError(fileName + " line " + std::to_string(rec.line) +
                                          ": a quoted field is not closed before the end of the file");
                    char c = s[i];
                    if (c == '"') {
                        if (i + 1 < n && s[i + 1] == '"') {
                            f.text += '"';
                            i += 2;
                            continue;
                        }
                        ++i;
                        break;
                    }
                    if (c == '\n' || (c == '\r' && !(i + 1 < n && s[i + 1] == '\n'))) ++line;
                    f.text += c;
                    ++i;
                }
                if (i < n && s[i] != ',' && s[i] != '\r' && s[i] != '\n')
                    throw EngineError(fileName + " line " + std::to_string(line) +
                                      ": text follows the closing quote of a field (a quote inside a field is written twice)");
            } else {
                while (i < n && s[i] != ',' && s[i] != '\r' && s[i] != '\n') f.text += s[i++];
            }
            rec.fields.push_back(std::move(f));
            if (i >= n) {
                endOfRecord = true;
            } else if (s[i] == ',') {
                ++i;
                if (i >= n) rec.fields.push_back({});  // a last, empty field
                endOfRecord = i >= n;
            } else {
                if (s[i] == '\r' && i + 1 < n && s[i + 1] == '\n') ++i;
                ++i;
                ++line;
                endOfRecord = true;
            }
        }
        // A line with nothing on it is no record.
        if (rec.fields.size() == 1 && !rec.fields[0].quoted && rec.fields[0].text.empty()) continue;
        out.push_back(std::move(rec));
    }
    return out;
}

std::string CsvQuote(const std::string& t) {
    bool needs = t.empty() || t.find_first_of(",\"\r\n") != std::string::npos || t.front() == ' ' ||
                 t.back() == ' ' || t.front() == '\t' || t.back() == '\t';
    if (!needs) return t;
    std::string q = "\"";
    for (char c : t) {
        if (c == '"') q += '"';
        q += c;
    }
    return q + '"';
}

// ------------------------------------------------------------------ base64

static const char kB64[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

std::string Base64Encode(const std::string& b) {
    std::string out;
    out.reserve((b.size() + 2) / 3 * 4);
    size_t i = 0;
    for (; i + 2 < b.size(); i += 3) {
        unsigned v = (static_cast<unsigned char>(b[i]) << 16) | (static_cast<unsigned char>(b[i + 1]) << 8) |
                     static_cast<unsigned char>(b[i + 2]);
        out += kB64[(v >> 18) & 63];
        out += kB64[(v >> 12) & 63];
        out += kB64[(v >> 6) & 63];
        out += kB64[v & 63];
    }
    if (i < b.size()) {
        unsigned v = static_cast<unsigned char>(b[i]) << 16;
        if (i + 1 < b.size()) v |= static_cast<unsigned char>(b[i + 1]) << 8;
        out += kB64[(v >> 18) & 63];
        out += kB64[(v >> 12) & 63];
        out += i + 1 < b.size() ? kB64[(v >> 6) & 63] : '=';
        out += '=';
    }
    return out;
}

bool Base64Decode(const std::string& text, std::string& out) {
    std::string t;
    for (char c : text)
        if (c != ' ' && c != '\t' && c != '\r' && c != '\n') t += c;
    out.clear();
    if (t.size() % 4 != 0) return false;
    auto val = [](char c) -> int {
        if (c >= 'A' && c <= 'Z') return c - 'A';
        if (c >= 'a' && c <= 'z') return c - 'a' + 26;
        if (c >= '0' && c <= '9') return c - '0' + 52;
        if (c == '+') return 62;
        if (c == '/') return 63;
        return -1;
    };
    for (size_t i = 0; i < t.size(); i += 4) {
        bool last = i + 4 == t.size();
        int pad = 0;
        if (last && t[i + 3] == '=') pad = t[i + 2] == '=' ? 2 : 1;
        unsigned v = 0;
        for (int k = 0; k < 4; ++k) {
            char c = t[i + static_cast<size_t>(k)];
            int d = (k >= 4 - pad) ? 0 : val(c);
            if (d < 0) return false;
            v = (v << 6) | static_cast<unsigned>(d);
        }
        out += static_cast<char>((v >> 16) & 255);
        if (pad < 2) out += static_cast<char>((v >> 8) & 255);
        if (pad < 1) out += static_cast<char>(v & 255);
    }
    return true;
}

// ------------------------------------------------------------------ keys

bool IsSingleRecordTable(const std::string& table) {
    const std::string n = toLower(table);
    return n == "paysys" || n == "paynhif" || n == "paylasc";
}

std::vector<std::string> ImportKey(Database& db, const std::string& table) {
    // Tables whose stored index does not tell their rows apart.
    static const std::map<std::string, std::vector<std::string>> identifying = {
        {"payrf07", {"EMPNO", "CODE"}},            // an employee's benefits, one per benefit code
        {"payrf09", {"BATCH", "LN"}},              // batch lines by line number
        {"payrf10", {"Empno", "FromDate", "Code"}},
        {"payrf11", {"Empno", "Date", "Code"}},
        {"payrf12", {"EmpNo", "Name"}},
        {"payrf08", {"COUNTRY"}},                  // one row per country
        {"paybranch", {"CODE"}},
        {"payrf02", {"BANKREF"}},                  // the reference employees and the company use
        {"paylog", {}},                            // the audit log only grows
    };
    const TableDef& def = db.schema(table);
    std::vector<std::string> key;
    if (IsSingleRecordTable(def.name)) return key;
    auto it = identifying.find(toLower(def.name));
    if (it != identifying.end()) {
        for (const std::string& k : it->second) key.push_back(def.field(k) ? def.field(k)->name : k);
        return key;
    }
    if (const IndexDef* pk = def.primary()) key = pk->fields;
    return key;
}

// ------------------------------------------------------------------ export

namespace {

// Shortest text that reads back as the same number, without an exponent for whole amounts
// ("500000", not "5e+05"), so that the file reads well in a spreadsheet.
std::string numberText(double v) {
    if (v == std::trunc(v) && std::fabs(v) < 1e15) {
        char b[32];
        std::snprintf(b, sizeof b, "%.0f", v == 0 ? 0.0 : v);
        return b;
    }
    return formatShortest(v);
}

}  // namespace

int ExportCsv(Database& db, const std::string& table, std::ostream& out) {
    const std::string stored = db.storedName(table);
    if (stored.empty()) throw EngineError("There is no table " + table + " in the database (zuna tables lists them)");
    const TableDef def = db.schema(stored);
    db.flushPending();
    std::string sql = "SELECT ";
    for (size_t i = 0; i < def.fields.size(); ++i) {
        if (i) {
            sql += ", ";
            out << ',';
        }
        sql += quoteIdent(def.fields[i].name);
        out << CsvQuote(def.fields[i].name);
    }
    out << "\r\n";
    sql += " FROM " + quoteIdent(stored) + " ORDER BY ";
    if (const IndexDef* pk = def.primary())
        for (const std::string& f : pk->fields) sql += quoteIdent(f) + ", ";
    sql += "rowid";
    Stmt s = db.prepare(sql);
    int rows = 0;
    Value v;
    while (s.step()) {
        for (size_t i = 0; i < def.fields.size(); ++i) {
            if (i) out << ',';
            s.columnInto(static_cast<int>(i), v);
            if (v.isNull()) continue;
            switch (def.fields[i].type) {
                case FieldType::Text: out << CsvQuote(v.toString()); break;
                case FieldType::SmallInt:
                case FieldType::Integer: out << v.toInt(); break;
                case FieldType::Float: out << numberText(v.toDouble()); break;
                case FieldType::Logical: out << (v.toBool() ? "true" : "false"); break;
                case FieldType::Binary: out << Base64Encode(v.text()); break;
                case FieldType::Date:
                case FieldType::Time: out << CsvQuote(v.toString()); break;
            }
        }
        out << "\r\n";
        ++rows;
    }
    if (!out) throw EngineError("The export of " + stored + " could not be written");
    return rows;
}

// ------------------------------------------------------------------ import

namespace {

// The value of one cell for a field; false with the reason when it does not convert.
bool convertCell(const FieldDef& f, const CsvField& c, Value& out, std::string& why) {
    out = Value();
    if (!c.quoted && c.text.empty()) return true;
    const std::string t = Trim(c.text);
    switch (f.type) {
        case FieldType::Text: out = Value(c.text); return true;
        case FieldType::SmallInt:
        case FieldType::Integer: {
            if (t.empty()) return true;
            double d;
            if (!parseNumber(t, d) || d != std::trunc(d)) {
                why = "is not a whole number";
                return false;
            }
            if (f.type == FieldType::SmallInt && (d < -32768 || d > 32767)) {
                why = "is outside the range -32768 to 32767";
                return false;
            }
            out = Value(static_cast<long long>(d));
            return true;
        }
        case FieldType::Float: {
            if (t.empty()) return true;
            double d;
            if (!parseNumber(t, d) || !std::isfinite(d)) {
                why = "is not a number";
                return false;
            }
            out = Value(d);
            return true;
        }
        case FieldType::Logical: {
            if (t.empty()) return true;
            const std::string l = toLower(t);
            if (l == "true" || l == "t" || l == "yes" || l == "y" || l == "1") out = Value(true);
            else if (l == "false" || l == "f" || l == "no" || l == "n" || l == "0") out = Value(false);
            else {
                why = "is not true or false";
                return false;
            }
            return true;
        }
        case FieldType::Date: {
            if (t.empty()) return true;
            auto d = Date::parse(t);
            if (!d) {
                why = "is not a date (YYYY-MM-DD or dd/mm/yyyy)";
                return false;
            }
            out = Value(*d);
            return true;
        }
        case FieldType::Time: {
            if (t.empty()) return true;
            int h = 0, m = 0, sec = 0;
            char extra = 0;
            int got = std::sscanf(t.c_str(), "%d:%d:%d%c", &h, &m, &sec, &extra);
            if (got < 2 || got > 3 || h < 0 || h > 23 || m < 0 || m > 59 || sec < 0 || sec > 59) {
                why = "is not a time of day (HH:MM:SS)";
                return false;
            }
            char b[16];
            std::snprintf(b, sizeof b, "%02d:%02d:%02d", h, m, sec);
            out = Value(std::string(b));
            return true;
        }
        case FieldType::Binary: {
            std::string bytes;
            if (!Base64Decode(c.text, bytes)) {
                why = "is not base64 text";
                return false;
            }
            out = Value::blob(bytes);
            return true;
        }
    }
    return true;
}

std::string shown(const std::string& text) {
    std::string s = text.size() > 60 ? cutToChars(text, 57) + "..." : text;
    for (char& c : s)
        if (c == '\n' || c == '\r') c = ' ';
    return "'" + s + "'";
}

struct ImportRow {
    int line = 0;
    std::vector<Value> values;  // one per column of the file
};

}  // namespace

ImportResult ImportCsv(TdmPayroll& dm, const std::string& table, const std::string& path, bool replace) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw EngineError("Cannot read the file " + path);
    return ImportCsv(dm, table, in, path, replace);
}

ImportResult ImportCsv(TdmPayroll& dm, const std::string& table, std::istream& in, const std::string& fileName,
                       bool replace) {
    Database& db = dm.db();
    const std::string stored = db.storedName(table);
    if (stored.empty()) throw EngineError("There is no table " + table + " in the database (zuna tables lists them)");
    const TableDef def = db.schema(stored);
    const std::string at = fileName + " line ";

    // --- read and check everything before anything is written
    std::vector<CsvRecord> records = ParseCsv(in, fileName);
    if (records.empty()) throw EngineError(fileName + ": the file is empty; its first line names the fields");
    const CsvRecord& header = records.front();
    std::vector<int> fieldOf;  // column -> field of the table
    for (size_t c = 0; c < header.fields.size(); ++c) {
        const std::string name = Trim(header.fields[c].text);
        if (name.empty())
            throw EngineError(at + std::to_string(header.line) + ", column " + std::to_string(c + 1) +
                              ": the header names no field");
        int fi = def.fieldIndex(name);
        if (fi < 0)
            throw EngineError(at + std::to_string(header.line) + ", field " + name + ": table " + stored +
                              " has no such field");
        for (size_t k = 0; k < c; ++k)
            if (fieldOf[k] == fi)
                throw EngineError(at + std::to_string(header.line) + ", field " + name +
                                  ": the header names the field twice");
        fieldOf.push_back(fi);
    }
    const bool single = IsSingleRecordTable(stored);
    const std::vector<std::string> key = ImportKey(db, stored);
    std::vector<size_t> keyCols;
    for (const std::string& k : key) {
        size_t c = 0;
        while (c < fieldOf.size() && !iequals(def.fields[static_cast<size_t>(fieldOf[c])].name, k)) ++c;
        if (c == fieldOf.size())
            throw EngineError(at + std::to_string(header.line) + ": the header has no field " + k +
                              ", which tells the rows of " + stored + " apart");
        keyCols.push_back(c);
    }

    std::vector<ImportRow> rows;
    std::map<std::vector<std::string>, int> seen;  // key -> line
    for (size_t r = 1; r < records.size(); ++r) {
        const CsvRecord& rec = records[r];
        const std::string here = at + std::to_string(rec.line);
        if (rec.fields.size() != fieldOf.size())
            throw EngineError(here + ": " + std::to_string(rec.fields.size()) + " fields where the header names " +
                              std::to_string(fieldOf.size()));
        ImportRow row;
        row.line = rec.line;
        for (size_t c = 0; c < rec.fields.size(); ++c) {
            const FieldDef& f = def.fields[static_cast<size_t>(fieldOf[c])];
            Value v;
            std::string why;
            if (!convertCell(f, rec.fields[c], v, why))
                throw EngineError(here + ", field " + f.name + ": " + shown(rec.fields[c].text) + " " + why);
            row.values.push_back(std::move(v));
        }
        std::vector<std::string> keyText;
        for (size_t c : keyCols) {
            const FieldDef& f = def.fields[static_cast<size_t>(fieldOf[c])];
            const Value& v = row.values[c];
            if (v.isNull()) throw EngineError(here + ", field " + f.name + ": the field identifies the row and is empty");
            if (f.type == FieldType::Text && cutToChars(v.toString(), f.textWidth()) != v.toString())
                throw EngineError(here + ", field " + f.name + ": " + shown(v.toString()) + " is longer than the " +
                                  std::to_string(f.textWidth()) + " characters of the field");
            keyText.push_back(v.toString());
        }
        if (!keyCols.empty()) {
            auto [it, fresh] = seen.emplace(keyText, rec.line);
            if (!fresh) {
                const FieldDef& f = def.fields[static_cast<size_t>(fieldOf[keyCols.front()])];
                throw EngineError(here + ", field " + f.name + ": " + shown(keyText.front()) +
                                  " repeats the row of line " + std::to_string(it->second));
            }
        }
        rows.push_back(std::move(row));
    }
    if (single && rows.size() > 1)
        throw EngineError(at + std::to_string(rows[1].line) + ": table " + stored +
                          " holds a single record, and the file has " + std::to_string(rows.size()) + " rows");

    // --- write, all or nothing
    ImportResult result;
    Transaction t(db);
    if (replace) {
        db.flushPending();
        db.exec("DELETE FROM " + quoteIdent(stored));
        db.bump(db.tableState(stored));
    }
    Table tab(db, stored);
    dm.AttachRecordRules(tab);
    tab.open();
    std::vector<Value> keyValues(keyCols.size());
    std::string keyFields;
    for (size_t k = 0; k < keyCols.size(); ++k)
        keyFields += (k ? ";" : "") + def.fields[static_cast<size_t>(fieldOf[keyCols[k]])].name;
    std::unique_ptr<EmployeeRecordMaker> maker;
    if (iequals(stored, "payrf01")) maker = std::make_unique<EmployeeRecordMaker>(db);

    for (const ImportRow& row : rows) {
        try {
            bool inserting = false;
            if (single) {
                if (tab.isEmpty()) {
                    tab.append();
                    inserting = true;
                } else {
                    tab.first();
                    tab.edit();
                }
            } else if (!keyCols.empty()) {
                for (size_t k = 0; k < keyCols.size(); ++k) keyValues[k] = row.values[keyCols[k]];
                if (tab.locate(keyFields, keyValues)) {
                    tab.edit();
                } else {
                    tab.append();
                    inserting = true;
                }
            } else {
                tab.append();
                inserting = true;
            }
            for (size_t c = 0; c < fieldOf.size(); ++c) {
                // An empty cell of a new row leaves the table's value for new records.
                if (inserting && row.values[c].isNull()) continue;
                tab.setValue(fieldOf[c], row.values[c]);
            }
            tab.post();
            ++result.rows;
            if (inserting) {
                ++result.inserted;
                if (maker) result.detailRows += maker->create(tab.asString("EMPNO"));
            } else {
                ++result.updated;
            }
        } catch (const EngineError& e) {
            throw EngineError(at + std::to_string(row.line) + ": " + e.what());
        } catch (const SilentAbort&) {
            throw EngineError(at + std::to_string(row.line) + ": the row was refused");
        }
    }
    tab.close();
    t.commit();
    return result;
}

}  // namespace zuna
