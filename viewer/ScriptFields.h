#pragma once
// The removal script's fields as the remover reads them at start-up: through
// the remover's own field reader, 145 fields at most, each with the line of
// the file where it begins.
#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "sysaccess/files/InputFile.h"

namespace busview {

inline constexpr int ScriptFieldCount = 145;

class ScriptFields {
public:
    // Reads up to 145 fields; a file that ends sooner, or a field the reader
    // refuses, stops the reading there (failure() tells why).
    explicit ScriptFields(std::unique_ptr<sysaccess::files::InputFile> file);

    // Fields read, at most 145.
    int count() const { return static_cast<int>(values_.size()); }
    bool complete() const { return count() == ScriptFieldCount; }
    // Field `n` (from 1); "" for a field never read.
    const std::string& value(int n) const;
    // Line where field `n` begins; for a field never read, the line of the
    // last field read (0 for an empty file).
    std::size_t line(int n) const;
    // Why reading stopped before field 145, or "".
    const std::string& failure() const { return failure_; }

private:
    std::vector<std::string> values_;
    std::vector<std::size_t> lines_;
    std::string failure_;
};

}  // namespace busview
