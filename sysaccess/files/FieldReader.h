#pragma once
// Sequential reading of a text file as a stream of comma- and line-separated
// fields, in the manner of the desktop's "Input #" statement. The file's bytes
// are in the machine's 8-bit code page and never decoded here. They are read
// in pieces as the fields need them, so a reader holds the piece it is in and
// the field it builds, never the whole file.
//
// Field syntax:
// - A field ends at a comma or at the end of a line. CR LF, a lone CR and a
//   lone LF all end a line.
// - Spaces and tabs in front of a field are skipped; blanks at the end of an
//   unquoted field are dropped.
// - A field whose first character is a double quote runs to the next double
//   quote; commas and line ends in between belong to it, the quotes do not.
//   Anything after the closing quote up to the next comma or line end is
//   dropped, and that comma or line end ends the field. A quote that is never
//   closed runs to the end of the file.
// - A blank line, or nothing between two commas, is one empty field. A comma
//   always announces another field: "a,<line end>" and "a," at the end of the
//   file are both "a" followed by an empty field.
// - The last line may lack its line end; blanks alone after the last line end
//   are no field.
// - Fields are returned exactly as written: "007" stays "007".
// - Reading when no field is left raises run-time error 62 "Input past end
//   of file"; an empty file holds no field at all.
// - A field longer than kMaxFieldLength bytes raises run-time error 7 "Out of
//   memory" instead of being held: such a field is the rest of a damaged file
//   (an unclosed quote, a missing line end before gigabytes of zeros).
#include <cstddef>
#include <memory>
#include <string>

#include "sysaccess/files/InputFile.h"

namespace sysaccess::files {

inline constexpr std::size_t kMaxFieldLength = std::size_t{4} << 20;

class FieldReader {
public:
    explicit FieldReader(std::unique_ptr<InputFile> file);
    // Reads fields from bytes in memory.
    explicit FieldReader(std::string bytes);

    // The next field; raises RuntimeError(err::InputPastEnd) when none is left.
    std::string next();

    // True when no further field can be read. Blanks in front of the next
    // field may be passed over; the next field stays the same.
    bool atEnd();

    // The line (from 1) on which the field last returned by next() begins:
    // where its first character, its opening quote or, for an empty field,
    // its delimiter stands. Line ends are counted as the reader ends lines:
    // CR LF, a lone CR and a lone LF, also inside quoted fields. 0 before
    // the first field.
    std::size_t fieldLine() const { return fieldLine_; }

private:
    static constexpr int End = -1;
    static constexpr std::size_t ChunkSize = 64 * 1024;

    // The byte at the reading position, or End after the last one.
    int peek() {
        if (pos_ == chunk_.size() && !refill()) return End;
        return static_cast<unsigned char>(chunk_[pos_]);
    }
    void advance() {
        // Counts the line ends passed: a CR, or an LF that follows no CR.
        const char c = chunk_[pos_++];
        if (c == '\r' || (c == '\n' && previous_ != '\r')) ++lineEnds_;
        previous_ = c;
    }
    bool refill();
    void append(std::string& field, char c);

    std::string readQuoted();
    std::string readUnquoted();
    void skipBlanks();
    void skipToDelimiter();
    void consumeDelimiter();

    std::unique_ptr<InputFile> file_;
    std::string chunk_;     // the piece of the file being read
    std::size_t pos_ = 0;   // reading position in chunk_
    bool afterComma_ = false;  // a comma was consumed: one more field follows
    char previous_ = 0;        // the byte passed last
    std::size_t lineEnds_ = 0;   // line ends passed so far
    std::size_t fieldLine_ = 0;  // line of the field last returned
};

}  // namespace sysaccess::files
