// libFuzzer target for the field reader: the input is a data file. The fields
// the reader returns must be exactly those of the plain tokenizer below, which
// follows the field syntax in FieldReader.h character by character; atEnd()
// must say whether another field comes, and reading past the last field must
// raise "Input past end of file". Reads outside the file stop the run (the
// fuzz build checks string indexing).
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "sysaccess/RuntimeError.h"
#include "sysaccess/files/FieldReader.h"

namespace {

// The fields of a file, one character at a time.
std::vector<std::string> referenceFields(const std::string& s) {
    enum class State { BeforeField, Unquoted, Quoted, AfterQuote };
    std::vector<std::string> fields;
    State state = State::BeforeField;
    std::string field;
    bool commaSeen = false;  // the last delimiter was a comma
    bool skipLf = false;     // a CR just ended a line: an LF right after it belongs to it
    auto finish = [&](char delimiter) {
        fields.push_back(field);
        field.clear();
        commaSeen = delimiter == ',';
        skipLf = delimiter == '\r';
        state = State::BeforeField;
    };
    for (const char c : s) {
        const bool lf = skipLf && c == '\n';
        skipLf = false;
        if (lf) continue;
        const bool delimiter = c == ',' || c == '\r' || c == '\n';
        switch (state) {
        case State::BeforeField:
            if (c == ' ' || c == '\t') break;
            if (delimiter) {
                finish(c);  // nothing before the delimiter: an empty field
            } else if (c == '"') {
                state = State::Quoted;
            } else {
                field += c;
                state = State::Unquoted;
            }
            break;
        case State::Unquoted:
            if (delimiter) {
                while (!field.empty() && (field.back() == ' ' || field.back() == '\t')) field.pop_back();
                finish(c);
            } else {
                field += c;
            }
            break;
        case State::Quoted:
            if (c == '"') {
                state = State::AfterQuote;
            } else {
                field += c;
            }
            break;
        case State::AfterQuote:
            if (delimiter) finish(c);
            break;
        }
    }
    switch (state) {
    case State::BeforeField:
        if (commaSeen) fields.push_back("");
        break;
    case State::Unquoted:
        while (!field.empty() && (field.back() == ' ' || field.back() == '\t')) field.pop_back();
        fields.push_back(field);
        break;
    case State::Quoted:
    case State::AfterQuote:
        fields.push_back(field);
        break;
    }
    return fields;
}

[[noreturn]] void fail(const char* what, std::size_t field) {
    std::fprintf(stderr, "field reader: %s (field %zu)\n", what, field);
    __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    const std::vector<std::string> expected = referenceFields(bytes);

    sysaccess::files::FieldReader reader(bytes);
    std::size_t count = 0;
    std::size_t total = 0;
    while (!reader.atEnd()) {
        if (count >= expected.size()) fail("more fields than the file holds", count);
        const std::string field = reader.next();
        if (field != expected[count]) fail("field differs from the reference", count);
        total += field.size();
        ++count;
    }
    if (count != expected.size()) fail("fewer fields than the file holds", count);
    if (total > size) fail("fields longer than the file", count);
    try {
        reader.next();
        fail("reading past the last field returned a field", count);
    } catch (const sysaccess::RuntimeError& e) {
        if (e.number() != sysaccess::err::InputPastEnd) fail("wrong error past the last field", count);
    }
    if (!reader.atEnd()) fail("no longer at the end after the error", count);
    return 0;
}
