// Filter expressions over the fields of a dataset: = <> < > <= >=, and, or, not, parentheses,
// 'text', numbers, true/false, fields in any letter case, Contains, Year, Month, Day, Trim,
// Upper, Lower, + - * /, IS [NOT] NULL. Dates are written 'dd/mm/yyyy'.
// A null field compares as the empty value of its type (0, '', false); a null date as no date.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "engine/Schema.h"
#include "engine/Value.h"

namespace zuna {

struct FilterField {
    int index;
    FieldType type;
};

class Filter {
public:
    using Resolver = std::function<std::optional<FilterField>(const std::string&)>;
    using Getter = std::function<Value(int)>;

    // EngineError quoting the text and the position of the fault.
    static std::shared_ptr<Filter> parse(const std::string& text, const Resolver& resolve);

    bool matches(const Getter& get) const;
    const std::vector<int>& fieldsUsed() const { return fields_; }
    const std::string& text() const { return text_; }

    struct Node;

private:
    std::shared_ptr<Node> root_;
    std::vector<int> fields_;
    std::string text_;
};

}  // namespace zuna
