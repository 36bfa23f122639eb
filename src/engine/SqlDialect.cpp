#include "engine/SqlDialect.h"

#include <sqlcipher/sqlite3.h>
#include <strings.h>

#include <cctype>
#include <vector>

#include "engine/Date.h"
#include "engine/EngineError.h"

namespace zuna {

static std::string where(const std::string& text, size_t pos) {
    return "\"" + text + "\" at position " + std::to_string(pos + 1);
}

std::vector<SqlToken> tokenizeSql(const std::string& s) {
    std::vector<SqlToken> out;
    size_t i = 0, n = s.size();
    while (i < n) {
        if (!out.empty() && out.back().end == 0) out.back().end = i;
        char c = s[i];
        if (std::isspace(static_cast<unsigned char>(c))) {
            ++i;
            continue;
        }
        size_t start = i;
        if (std::isalpha(static_cast<unsigned char>(c)) || c == '_' || c == '$' || c == '#') {
            while (i < n && (std::isalnum(static_cast<unsigned char>(s[i])) || s[i] == '_' || s[i] == '$' || s[i] == '#')) ++i;
            out.push_back({SqlToken::Ident, s.substr(start, i - start), start});
        } else if (std::isdigit(static_cast<unsigned char>(c)) ||
                   (c == '.' && i + 1 < n && std::isdigit(static_cast<unsigned char>(s[i + 1])))) {
            while (i < n && (std::isdigit(static_cast<unsigned char>(s[i])) || s[i] == '.')) ++i;
            if (i < n && (s[i] == 'e' || s[i] == 'E') && i + 1 < n &&
                (std::isdigit(static_cast<unsigned char>(s[i + 1])) || s[i + 1] == '-' || s[i + 1] == '+')) {
                i += 2;
                while (i < n && std::isdigit(static_cast<unsigned char>(s[i]))) ++i;
            }
            out.push_back({SqlToken::Number, s.substr(start, i - start), start});
        } else if (c == '\'' || c == '"') {
            char q = c;
            std::string v;
            ++i;
            bool closed = false;
            while (i < n) {
                if (s[i] == q) {
                    if (i + 1 < n && s[i + 1] == q) {
                        v += q;
                        i += 2;
                        continue;
                    }
                    ++i;
                    closed = true;
                    break;
                }
                v += s[i++];
            }
            if (!closed) throw EngineError("Unterminated text in " + where(s, start));
            // A double-quoted name is an identifier in SQL.
            out.push_back({q == '\'' ? SqlToken::String : SqlToken::Ident, v, start});
        } else if (c == ':' && i + 1 < n && (std::isalpha(static_cast<unsigned char>(s[i + 1])) || s[i + 1] == '_')) {
            ++i;
            while (i < n && (std::isalnum(static_cast<unsigned char>(s[i])) || s[i] == '_')) ++i;
            out.push_back({SqlToken::Param, s.substr(start + 1, i - start - 1), start});
        } else if (c == '(') {
            out.push_back({SqlToken::LParen, "(", i++});
        } else if (c == ')') {
            out.push_back({SqlToken::RParen, ")", i++});
        } else if (c == ',') {
            out.push_back({SqlToken::Comma, ",", i++});
        } else if (c == '.') {
            out.push_back({SqlToken::Dot, ".", i++});
        } else if (c == ';') {
            out.push_back({SqlToken::Semicolon, ";", i++});
        } else if (c == '<' || c == '>' || c == '!' || c == '=') {
            if (i + 1 < n && (s[i + 1] == '=' || (c == '<' && s[i + 1] == '>'))) {
                out.push_back({SqlToken::Op, s.substr(i, 2), i});
                i += 2;
            } else if (c == '!') {
                throw EngineError("Unexpected character '!' in " + where(s, i));
            } else {
                out.push_back({SqlToken::Op, std::string(1, c), i++});
            }
        } else if (c == '|' && i + 1 < n && s[i + 1] == '|') {
            out.push_back({SqlToken::Op, "||", i});
            i += 2;
        } else if (c == '+' || c == '-' || c == '*' || c == '/' || c == '%') {
            out.push_back({SqlToken::Op, std::string(1, c), i++});
        } else {
            throw EngineError(std::string("Unexpected character '") + c + "' in " + where(s, i));
        }
    }
    if (!out.empty() && out.back().end == 0) out.back().end = i;
    out.push_back({SqlToken::End, "", n, n});
    return out;
}

static bool isTextFunction(const std::string& name) {
    static const char* fns[] = {"trim", "ltrim", "rtrim", "upper", "lower", "substr", "substring", "replace", "Contains"};
    for (auto f : fns)
        if (strcasecmp(f, name.c_str()) == 0) return true;
    return false;
}

static bool looksLikeDmy(const std::string& v) {
    if (v.size() < 8 || v.size() > 10) return false;
    int slashes = 0;
    for (char c : v) {
        if (c == '/') ++slashes;
        else if (!std::isdigit(static_cast<unsigned char>(c))) return false;
    }
    return slashes == 2 && Date::parse(v).has_value();
}

static std::string quoteText(const std::string& v) {
    std::string r = "'";
    for (char c : v) {
        if (c == '\'') r += '\'';
        r += c;
    }
    return r + "'";
}

std::string adaptSql(const std::string& sql, const std::function<bool(const std::string&)>& isTextColumn) {
    auto toks = tokenizeSql(sql);
    // Drop trailing semicolons.
    while (toks.size() >= 2 && toks[toks.size() - 2].kind == SqlToken::Semicolon) toks.erase(toks.end() - 2);
    for (const auto& t : toks)
        if (t.kind == SqlToken::Semicolon) throw EngineError("Only one statement may be given: \"" + sql + "\"");

    // Is the operand that ends at token index e (inclusive) text-like?
    auto endsText = [&](size_t e) -> bool {
        const auto& t = toks[e];
        if (t.kind == SqlToken::String) return true;
        if (t.kind == SqlToken::Ident) {
            std::string name = t.text;
            if (e >= 2 && toks[e - 1].kind == SqlToken::Dot && toks[e - 2].kind == SqlToken::Ident)
                name = toks[e - 2].text + "." + t.text;
            return isTextColumn(name);
        }
        if (t.kind == SqlToken::RParen) {
            int depth = 0;
            for (size_t k = e + 1; k-- > 0;) {
                if (toks[k].kind == SqlToken::RParen) ++depth;
                else if (toks[k].kind == SqlToken::LParen && --depth == 0) {
                    return k > 0 && toks[k - 1].kind == SqlToken::Ident && isTextFunction(toks[k - 1].text);
                }
            }
        }
        return false;
    };
    auto startsText = [&](size_t b) -> bool {
        const auto& t = toks[b];
        if (t.kind == SqlToken::String) return true;
        if (t.kind == SqlToken::Ident) {
            if (b + 1 < toks.size() && toks[b + 1].kind == SqlToken::LParen) return isTextFunction(t.text);
            std::string name = t.text;
            if (b + 2 < toks.size() && toks[b + 1].kind == SqlToken::Dot && toks[b + 2].kind == SqlToken::Ident)
                name = t.text + "." + toks[b + 2].text;
            return isTextColumn(name);
        }
        return false;
    };

    auto isDatePartCall = [&](size_t e) -> bool {  // toks[e] is ')' of month(...)/year(...)/day(...)?
        if (toks[e].kind != SqlToken::RParen) return false;
        int depth = 0;
        for (size_t k = e + 1; k-- > 0;) {
            if (toks[k].kind == SqlToken::RParen) ++depth;
            else if (toks[k].kind == SqlToken::LParen && --depth == 0)
                return k > 0 && toks[k - 1].kind == SqlToken::Ident &&
                       (strcasecmp(toks[k - 1].text.c_str(), "month") == 0 || strcasecmp(toks[k - 1].text.c_str(), "year") == 0 ||
                        strcasecmp(toks[k - 1].text.c_str(), "day") == 0);
        }
        return false;
    };
    auto isCmp = [&](size_t k) {
        const auto& t = toks[k];
        return t.kind == SqlToken::Op && (t.text == "=" || t.text == "<>" || t.text == "<" || t.text == ">" ||
                                          t.text == "<=" || t.text == ">=" || t.text == "!=");
    };
    auto comparedWithDatePart = [&](size_t k) -> bool {
        if (k >= 2 && isCmp(k - 1) && isDatePartCall(k - 2)) return true;
        if (k + 2 < toks.size() && isCmp(k + 1) && toks[k + 2].kind == SqlToken::Ident &&
            toks[k + 3].kind == SqlToken::LParen) {
            // :p = month(x)
            std::string fn = toks[k + 2].text;
            return strcasecmp(fn.c_str(), "month") == 0 || strcasecmp(fn.c_str(), "year") == 0 ||
                   strcasecmp(fn.c_str(), "day") == 0;
        }
        return false;
    };

    std::string out;
    size_t last = 0;  // copy source text between tokens to keep the statement's layout
    for (size_t k = 0; k + 1 < toks.size(); ++k) {
        const auto& t = toks[k];
        std::string repl;
        bool replace = false;
        if (t.kind == SqlToken::Ident && (strcasecmp(t.text.c_str(), "true") == 0 || strcasecmp(t.text.c_str(), "false") == 0) &&
            !(k > 0 && toks[k - 1].kind == SqlToken::Dot)) {
            repl = strcasecmp(t.text.c_str(), "true") == 0 ? "1" : "0";
            replace = true;
        } else if (t.kind == SqlToken::Op && t.text == "+" && k > 0 && (endsText(k - 1) || startsText(k + 1))) {
            repl = "||";
            replace = true;
        } else if (t.kind == SqlToken::Param && comparedWithDatePart(k)) {
            // month(x) = :p with a text parameter "07": compare as numbers.
            repl = "CAST(:" + t.text + " AS INTEGER)";
            replace = true;
        } else if (t.kind == SqlToken::String && looksLikeDmy(t.text)) {
            repl = quoteText(Date::parse(t.text)->iso());
            replace = true;
        }
        if (!replace) continue;
        out += sql.substr(last, t.pos - last);
        out += repl;
        last = t.end;
    }
    size_t stop = toks.size() >= 2 ? toks[toks.size() - 2].end : 0;
    if (stop > last) out += sql.substr(last, stop - last);
    return out;
}

// ---------------------------------------------------------------- functions

static void datePart(sqlite3_context* ctx, int argc, sqlite3_value** argv, int which) {
    if (argc != 1 || sqlite3_value_type(argv[0]) == SQLITE_NULL) {
        sqlite3_result_null(ctx);
        return;
    }
    const unsigned char* t = sqlite3_value_text(argv[0]);
    auto d = Date::parse(t ? reinterpret_cast<const char*>(t) : "");
    if (!d) {
        sqlite3_result_null(ctx);
        return;
    }
    sqlite3_result_int(ctx, which == 0 ? d->year : which == 1 ? d->month : d->day);
}

static void fnYear(sqlite3_context* c, int n, sqlite3_value** v) { datePart(c, n, v, 0); }
static void fnMonth(sqlite3_context* c, int n, sqlite3_value** v) { datePart(c, n, v, 1); }
static void fnDay(sqlite3_context* c, int n, sqlite3_value** v) { datePart(c, n, v, 2); }

static void fnContains(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
    if (argc != 2) {
        sqlite3_result_int(ctx, 0);
        return;
    }
    const unsigned char* a = sqlite3_value_text(argv[0]);
    const unsigned char* b = sqlite3_value_text(argv[1]);
    if (!a || !b) {
        sqlite3_result_int(ctx, 0);
        return;
    }
    std::string h(reinterpret_cast<const char*>(a)), nd(reinterpret_cast<const char*>(b));
    for (auto& c : h) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    for (auto& c : nd) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    sqlite3_result_int(ctx, h.find(nd) != std::string::npos ? 1 : 0);
}

void registerSqlFunctions(sqlite3* db) {
    const int flags = SQLITE_UTF8 | SQLITE_DETERMINISTIC;
    sqlite3_create_function(db, "year", 1, flags, nullptr, fnYear, nullptr, nullptr);
    sqlite3_create_function(db, "month", 1, flags, nullptr, fnMonth, nullptr, nullptr);
    sqlite3_create_function(db, "day", 1, flags, nullptr, fnDay, nullptr, nullptr);
    sqlite3_create_function(db, "contains", 2, flags, nullptr, fnContains, nullptr, nullptr);
}

}  // namespace zuna
