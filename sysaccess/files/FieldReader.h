#pragma once
// Sequential reading of a text file as a stream of comma- and line-separated
// fields, in the manner of the desktop's "Input #" statement. The file is held
// as raw bytes in the machine's 8-bit code page and never decoded here.
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
#include <cstddef>
#include <string>

namespace sysaccess::files {

class FieldReader {
public:
    explicit FieldReader(std::string bytes);

    // The next field; raises RuntimeError(err::InputPastEnd) when none is left.
    std::string next();

    // True when no further field can be read.
    bool atEnd() const;

private:
    std::string readQuoted();
    std::string readUnquoted();
    void skipBlanks();
    void skipToDelimiter();
    void consumeDelimiter();

    std::string bytes_;
    std::size_t pos_ = 0;
    bool afterComma_ = false;  // a comma was consumed: one more field follows
};

}  // namespace sysaccess::files
