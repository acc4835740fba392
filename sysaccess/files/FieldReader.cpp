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

bool isBlank(int c) { return c == ' ' || c == '\t'; }
bool isLineEnd(int c) { return c == '\r' || c == '\n'; }
bool isDelimiter(int c) { return c == ',' || isLineEnd(c); }

}  // namespace

FieldReader::FieldReader(std::unique_ptr<InputFile> file) : file_(std::move(file)) {}

FieldReader::FieldReader(std::string bytes) : FieldReader(std::make_unique<MemoryInputFile>(std::move(bytes))) {}

bool FieldReader::refill() {
    chunk_.resize(ChunkSize);
    chunk_.resize(file_->read(chunk_.data(), chunk_.size()));
    pos_ = 0;
    return !chunk_.empty();
}

void FieldReader::append(std::string& field, char c) {
    if (field.size() == kMaxFieldLength) raise(err::OutOfMemory, "Out of memory");
    field.push_back(c);
}

bool FieldReader::atEnd() {
    if (afterComma_) return false;
    skipBlanks();
    return peek() == End;
}

std::string FieldReader::next() {
    if (atEnd()) raise(err::InputPastEnd, "Input past end of file");
    skipBlanks();
    afterComma_ = false;
    fieldLine_ = lineEnds_ + 1;
    if (peek() == '"') return readQuoted();
    return readUnquoted();
}

std::string FieldReader::readQuoted() {
    advance();  // the opening quote
    std::string value;
    int c;
    while ((c = peek()) != End && c != '"') {
        append(value, static_cast<char>(c));
        advance();
    }
    if (c == End) return value;  // a quote never closed runs to the end
    advance();
    skipToDelimiter();  // text after the closing quote is dropped
    consumeDelimiter();
    return value;
}

std::string FieldReader::readUnquoted() {
    // Blanks are kept back until something follows them: those at the end
    // of the field are dropped, and do not count towards its length.
    std::string value, blanks;
    bool tooLong = false;  // the blanks kept back would make the field too long
    int c;
    while ((c = peek()) != End && !isDelimiter(c)) {
        if (isBlank(c)) {
            if (value.size() + blanks.size() < kMaxFieldLength) blanks.push_back(static_cast<char>(c));
            else tooLong = true;
        } else {
            if (tooLong) raise(err::OutOfMemory, "Out of memory");
            value += blanks;
            blanks.clear();
            append(value, static_cast<char>(c));
        }
        advance();
    }
    consumeDelimiter();
    return value;
}

void FieldReader::skipBlanks() {
    while (isBlank(peek())) advance();
}

void FieldReader::skipToDelimiter() {
    int c;
    while ((c = peek()) != End && !isDelimiter(c)) advance();
}

void FieldReader::consumeDelimiter() {
    const int c = peek();
    if (c == End) return;
    advance();
    if (c == ',') {
        afterComma_ = true;
    } else if (c == '\r' && peek() == '\n') {
        advance();  // CR LF is one line end
    }
}

}  // namespace sysaccess::files
