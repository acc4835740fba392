#include "viewer/ScriptFields.h"

#include "sysaccess/RuntimeError.h"
#include "sysaccess/files/FieldReader.h"

namespace busview {

ScriptFields::ScriptFields(std::unique_ptr<sysaccess::files::InputFile> file) {
    sysaccess::files::FieldReader reader(std::move(file));
    try {
        while (count() < ScriptFieldCount) {
            std::string field = reader.next();
            values_.push_back(std::move(field));
            lines_.push_back(reader.fieldLine());
        }
    } catch (const sysaccess::RuntimeError& e) {
        failure_ = e.what();
    }
}

const std::string& ScriptFields::value(int n) const {
    static const std::string none;
    if (n < 1 || n > count()) return none;
    return values_[static_cast<std::size_t>(n - 1)];
}

std::size_t ScriptFields::line(int n) const {
    if (lines_.empty()) return 0;
    if (n < 1 || n > count()) return lines_.back();
    return lines_[static_cast<std::size_t>(n - 1)];
}

}  // namespace busview
