#pragma once
// A host file read in pieces through the standard library, on every build.
#include <fstream>
#include <string>

#include "sysaccess/RuntimeError.h"
#include "sysaccess/files/InputFile.h"

namespace busview {

class StreamInputFile final : public sysaccess::files::InputFile {
public:
    explicit StreamInputFile(const std::string& hostPath) : in_(hostPath, std::ios::binary) {
        if (!in_) sysaccess::raise(sysaccess::err::FileNotFound, "File not found");
        in_.seekg(0, std::ios::end);
        size_ = static_cast<std::uint64_t>(in_.tellg());
        in_.seekg(0);
    }
    std::uint64_t size() const override { return size_; }
    std::size_t read(char* into, std::size_t capacity) override {
        in_.read(into, static_cast<std::streamsize>(capacity));
        const auto got = static_cast<std::size_t>(in_.gcount());
        if (in_.bad()) sysaccess::raise(sysaccess::err::PathFileAccess, "Path/File access error");
        in_.clear();
        return got;
    }
    void seek(std::uint64_t offset) override {
        in_.clear();
        in_.seekg(static_cast<std::streamoff>(offset));
    }

private:
    std::ifstream in_;
    std::uint64_t size_ = 0;
};

}  // namespace busview
