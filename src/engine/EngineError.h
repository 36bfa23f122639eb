// The one error type of the table-engine layer. Its text is shown to the user as it stands.
#pragma once

#include <stdexcept>
#include <string>

namespace zuna {

class EngineError : public std::runtime_error {
public:
    explicit EngineError(const std::string& what) : std::runtime_error(what) {}
};

}  // namespace zuna
