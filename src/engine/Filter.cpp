#include "engine/Filter.h"

#include <strings.h>

#include <algorithm>
#include <cmath>

#include "engine/EngineError.h"
#include "engine/SqlDialect.h"

namespace zuna {

struct Filter::Node {
    enum Kind { Lit, Field, Not, And, Or, Cmp, Arith, Neg, Func, IsNull } kind;
    Value lit;
    FilterField field{0, FieldType::Text};
    std::string op;  // comparison / arithmetic operator or function name
    bool negate = false;
    std::vector<std::shared_ptr<Node>> kids;
    // Static type hint: the type of a field operand (for dates and nulls).
    bool isDate() const { return kind == Field && field.type == FieldType::Date; }
};

using NodeP = std::shared_ptr<Filter::Node>;

namespace {

struct Parser {
    const std::string& text;
    std::vector<SqlToken> toks;
    size_t k = 0;
    const Filter::Resolver& resolve;
    std::vector<int>& fields;

    [[noreturn]] void fail(const std::string& what) const {
        throw EngineError("Cannot read the filter \"" + text + "\" at position " + std::to_string(toks[k].pos + 1) + ": " +
                          what);
    }
    const SqlToken& peek() const { return toks[k]; }
    bool isWord(const char* w) const { return peek().kind == SqlToken::Ident && strcasecmp(peek().text.c_str(), w) == 0; }

    NodeP make(Filter::Node::Kind kind) {
        auto n = std::make_shared<Filter::Node>();
        n->kind = kind;
        return n;
    }

    NodeP parseOr() {
        NodeP l = parseAnd();
        while (isWord("or")) {
            ++k;
            NodeP n = make(Filter::Node::Or);
            n->kids = {l, parseAnd()};
            l = n;
        }
        return l;
    }
    NodeP parseAnd() {
        NodeP l = parseNot();
        while (isWord("and")) {
            ++k;
            NodeP n = make(Filter::Node::And);
            n->kids = {l, parseNot()};
            l = n;
        }
        return l;
    }
    NodeP parseNot() {
        if (isWord("not")) {
            ++k;
            NodeP n = make(Filter::Node::Not);
            n->kids = {parseNot()};
            return n;
        }
        return parseCmp();
    }
    NodeP parseCmp() {
        NodeP l = parseAdd();
        if (peek().kind == SqlToken::Op) {
            const std::string& op = peek().text;
            if (op == "=" || op == "<>" || op == "<" || op == ">" || op == "<=" || op == ">=" || op == "!=") {
                ++k;
                NodeP n = make(Filter::Node::Cmp);
                n->op = op == "!=" ? "<>" : op;
                n->kids = {l, parseAdd()};
                return n;
            }
        }
        if (isWord("is")) {
            ++k;
            NodeP n = make(Filter::Node::IsNull);
            if (isWord("not")) {
                ++k;
                n->negate = true;
            }
            if (!isWord("null")) fail("expected NULL");
            ++k;
            n->kids = {l};
            return n;
        }
        return l;
    }
    NodeP parseAdd() {
        NodeP l = parseMul();
        while (peek().kind == SqlToken::Op && (peek().text == "+" || peek().text == "-" || peek().text == "||")) {
            std::string op = peek().text == "||" ? "+" : peek().text;
            ++k;
            NodeP n = make(Filter::Node::Arith);
            n->op = op;
            n->kids = {l, parseMul()};
            l = n;
        }
        return l;
    }
    NodeP parseMul() {
        NodeP l = parseUnary();
        while (peek().kind == SqlToken::Op && (peek().text == "*" || peek().text == "/")) {
            std::string op = peek().text;
            ++k;
            NodeP n = make(Filter::Node::Arith);
            n->op = op;
            n->kids = {l, parseUnary()};
            l = n;
        }
        return l;
    }
    NodeP parseUnary() {
        if (peek().kind == SqlToken::Op && peek().text == "-") {
            ++k;
            NodeP n = make(Filter::Node::Neg);
            n->kids = {parseUnary()};
            return n;
        }
        return parsePrimary();
    }
    NodeP parsePrimary() {
        const SqlToken& t = peek();
        switch (t.kind) {
            case SqlToken::Number: {
                ++k;
                NodeP n = make(Filter::Node::Lit);
                double d;
                if (!parseNumber(t.text, d)) fail("bad number " + t.text);
                n->lit = (t.text.find_first_of(".eE") == std::string::npos && std::fabs(d) < 9e15)
                             ? Value(static_cast<long long>(d))
                             : Value(d);
                return n;
            }
            case SqlToken::String: {
                ++k;
                NodeP n = make(Filter::Node::Lit);
                n->lit = Value(t.text);
                return n;
            }
            case SqlToken::LParen: {
                ++k;
                NodeP e = parseOr();
                if (peek().kind != SqlToken::RParen) fail("expected )");
                ++k;
                return e;
            }
            case SqlToken::Ident: {
                if (strcasecmp(t.text.c_str(), "true") == 0 || strcasecmp(t.text.c_str(), "false") == 0) {
                    ++k;
                    NodeP n = make(Filter::Node::Lit);
                    n->lit = Value(strcasecmp(t.text.c_str(), "true") == 0);
                    return n;
                }
                if (strcasecmp(t.text.c_str(), "null") == 0) {
                    ++k;
                    return make(Filter::Node::Lit);
                }
                if (toks[k + 1].kind == SqlToken::LParen) return parseFunc();
                ++k;
                auto f = resolve(t.text);
                if (!f) {
                    --k;
                    fail("unknown field " + t.text);
                }
                NodeP n = make(Filter::Node::Field);
                n->field = *f;
                if (std::find(fields.begin(), fields.end(), f->index) == fields.end()) fields.push_back(f->index);
                return n;
            }
            case SqlToken::End: fail("the expression ends too early");
            default: fail("unexpected '" + t.text + "'");
        }
    }
    NodeP parseFunc() {
        std::string name = toks[k].text;
        static const std::pair<const char*, int> known[] = {{"contains", 2}, {"year", 1},  {"month", 1}, {"day", 1},
                                                            {"trim", 1},     {"upper", 1}, {"lower", 1}};
        int arity = -1;
        for (auto& [fn, a] : known)
            if (strcasecmp(fn, name.c_str()) == 0) arity = a;
        if (arity < 0) fail("unknown function " + name);
        k += 2;
        NodeP n = make(Filter::Node::Func);
        for (auto& c : name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        n->op = name;
        if (peek().kind != SqlToken::RParen) {
            n->kids.push_back(parseOr());
            while (peek().kind == SqlToken::Comma) {
                ++k;
                n->kids.push_back(parseOr());
            }
        }
        if (peek().kind != SqlToken::RParen) fail("expected ) after the arguments of " + name);
        if (static_cast<int>(n->kids.size()) != arity)
            fail(name + " takes " + std::to_string(arity) + " argument" + (arity == 1 ? "" : "s"));
        ++k;
        return n;
    }
};

std::string rtrim(const std::string& s) {
    size_t e = s.find_last_not_of(' ');
    return e == std::string::npos ? std::string() : s.substr(0, e + 1);
}

std::string trimBoth(const std::string& s) {
    size_t b = s.find_first_not_of(' ');
    if (b == std::string::npos) return {};
    return s.substr(b, s.find_last_not_of(' ') - b + 1);
}

Value emptyOf(FieldType t) {
    switch (t) {
        case FieldType::Text: return Value(std::string());
        case FieldType::Date:
        case FieldType::Time:
        case FieldType::Binary: return Value();
        default: return Value(0);
    }
}

struct Evaluator {
    const Filter::Getter& get;

    Value eval(const Filter::Node& n) const {
        using K = Filter::Node;
        switch (n.kind) {
            case K::Lit: return n.lit;
            case K::Field: {
                Value v = get(n.field.index);
                if (v.isNull()) return emptyOf(n.field.type);
                if (n.field.type == FieldType::Logical) return Value(v.toBool());
                return v;
            }
            case K::Not: return Value(!truth(*n.kids[0]));
            case K::And: return Value(truth(*n.kids[0]) && truth(*n.kids[1]));
            case K::Or: return Value(truth(*n.kids[0]) || truth(*n.kids[1]));
            case K::Cmp: return Value(compare(n));
            case K::IsNull: {
                const auto& c = *n.kids[0];
                bool isNull = c.kind == K::Field ? get(c.field.index).isNull() : eval(c).isNull();
                return Value(n.negate ? !isNull : isNull);
            }
            case K::Neg: return Value(-eval(*n.kids[0]).toDouble());
            case K::Arith: {
                Value a = eval(*n.kids[0]), b = eval(*n.kids[1]);
                if (n.op == "+" && (a.isText() || b.isText()) &&
                    !(numberLike(a) && numberLike(b)))
                    return Value(a.toString() + b.toString());
                double x = a.toDouble(), y = b.toDouble();
                if (n.op == "+") return Value(x + y);
                if (n.op == "-") return Value(x - y);
                if (n.op == "*") return Value(x * y);
                return y == 0 ? Value() : Value(x / y);
            }
            case K::Func: {
                if (n.op == "contains") {
                    std::string h = eval(*n.kids[0]).toString(), nd = eval(*n.kids[1]).toString();
                    for (auto& c : h) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
                    for (auto& c : nd) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
                    return Value(h.find(nd) != std::string::npos);
                }
                if (n.op == "year" || n.op == "month" || n.op == "day") {
                    Date d = eval(*n.kids[0]).toDate();
                    if (d.isNull()) return Value(0);
                    return Value(n.op == "year" ? d.year : n.op == "month" ? d.month : d.day);
                }
                std::string s = eval(*n.kids[0]).toString();
                if (n.op == "trim") return Value(trimBoth(s));
                for (auto& c : s)
                    c = static_cast<char>(n.op == "upper" ? std::toupper(static_cast<unsigned char>(c))
                                                          : std::tolower(static_cast<unsigned char>(c)));
                return Value(s);
            }
        }
        return Value();
    }

    static bool numberLike(const Value& v) {
        if (v.isNumber()) return true;
        double d;
        return v.isText() && parseNumber(v.text(), d);
    }

    bool truth(const Filter::Node& n) const {
        Value v = eval(n);
        return v.isNumber() ? v.toDouble() != 0 : v.toBool();
    }

    bool compare(const Filter::Node& n) const {
        const auto& ln = *n.kids[0];
        const auto& rn = *n.kids[1];
        Value a = eval(ln), b = eval(rn);
        int c;
        if (ln.isDate() || rn.isDate()) {
            long x = a.toDate().serial(), y = b.toDate().serial();
            if (a.isText() && !a.text().empty() && a.toDate().isNull() && !ln.isDate()) return n.op == "<>";
            if (b.isText() && !b.text().empty() && b.toDate().isNull() && !rn.isDate()) return n.op == "<>";
            c = x < y ? -1 : x > y ? 1 : 0;
        } else if (a.isNull() || b.isNull()) {
            // Only a literal null gets here: nothing equals it.
            return n.op == "<>" ? !(a.isNull() && b.isNull()) : (n.op == "=" ? a.isNull() && b.isNull() : false);
        } else if ((a.isNumber() || b.isNumber()) && numberLike(a) && numberLike(b)) {
            double x = a.toDouble(), y = b.toDouble();
            c = x < y ? -1 : x > y ? 1 : 0;
        } else {
            std::string x = rtrim(a.toString()), y = rtrim(b.toString());
            c = x.compare(y);
            c = c < 0 ? -1 : c > 0 ? 1 : 0;
        }
        if (n.op == "=") return c == 0;
        if (n.op == "<>") return c != 0;
        if (n.op == "<") return c < 0;
        if (n.op == ">") return c > 0;
        if (n.op == "<=") return c <= 0;
        return c >= 0;
    }
};

}  // namespace

std::shared_ptr<Filter> Filter::parse(const std::string& text, const Resolver& resolve) {
    auto f = std::make_shared<Filter>();
    f->text_ = text;
    std::vector<SqlToken> toks;
    try {
        toks = tokenizeSql(text);
    } catch (const EngineError& e) {
        throw EngineError("Cannot read the filter: " + std::string(e.what()));
    }
    Parser p{text, std::move(toks), 0, resolve, f->fields_};
    if (p.peek().kind == SqlToken::End) p.fail("the filter is empty");
    f->root_ = p.parseOr();
    if (p.peek().kind != SqlToken::End) p.fail("unexpected '" + p.peek().text + "'");
    return f;
}

bool Filter::matches(const Getter& get) const {
    Evaluator ev{get};
    return ev.truth(*root_);
}

}  // namespace zuna
