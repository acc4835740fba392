#include "sysaccess/files/FieldReader.h"

#include <utility>

#include "sysaccess/RuntimeError.h"

// The reader works byte by byte and treats every byte >= 0x80 as plain data.
// That is safe for the double-byte code pages too: in Big5 a lead byte is
// 0x81-0xFE and a trail byte 0x40-0x7E or 0xA1-0xFE, so the bytes that carry
// meaning here (comma 0x2C, quote 0x22, CR, LF, space, tab) can never be part
// of a double-byte character. A trail byte such as 0x5C ('\') is data to us.

namespace sysaccess::files {
namespace {

bool isBlank(char c) { return c == ' ' || c == '\t'; }
bool isLineEnd(char c) { return c == '\r' || c == '\n'; }
bool isDelimiter(char c) { return c == ',' || isLineEnd(c); }

}  // namespace

FieldReader::FieldReader(std::string bytes) : bytes_(std::move(bytes)) {}

bool FieldReader::atEnd() const {
    if (afterComma_) return false;
    for (std::size_t i = pos_; i < bytes_.size(); ++i)
        if (!isBlank(bytes_[i])) return false;
    return true;
}

std::string FieldReader::next() {
    if (atEnd()) raise(err::InputPastEnd, "Input past end of file");
    skipBlanks();
    afterComma_ = false;
    if (pos_ < bytes_.size() && bytes_[pos_] == '"') return readQuoted();
    return readUnquoted();
}

std::string FieldReader::readQuoted() {
    const std::size_t start = pos_ + 1;
    const std::size_t close = bytes_.find('"', start);
    if (close == std::string::npos) {
        pos_ = bytes_.size();
        return bytes_.substr(start);
    }
    std::string value = bytes_.substr(start, close - start);
    pos_ = close + 1;
    skipToDelimiter();  // text after the closing quote is dropped
    consumeDelimiter();
    return value;
}

std::string FieldReader::readUnquoted() {
    const std::size_t start = pos_;
    skipToDelimiter();
    std::size_t end = pos_;
    while (end > start && isBlank(bytes_[end - 1])) --end;
    consumeDelimiter();
    return bytes_.substr(start, end - start);
}

void FieldReader::skipBlanks() {
    while (pos_ < bytes_.size() && isBlank(bytes_[pos_])) ++pos_;
}

void FieldReader::skipToDelimiter() {
    while (pos_ < bytes_.size() && !isDelimiter(bytes_[pos_])) ++pos_;
}

void FieldReader::consumeDelimiter() {
    if (pos_ >= bytes_.size()) return;
    const char c = bytes_[pos_++];
    if (c == ',') {
        afterComma_ = true;
    } else if (c == '\r' && pos_ < bytes_.size() && bytes_[pos_] == '\n') {
        ++pos_;  // CR LF is one line end
    }
}

}  // namespace sysaccess::files
