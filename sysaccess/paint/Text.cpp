#include "sysaccess/paint/Text.h"

#include <iconv.h>

#include <cerrno>
#include <map>
#include <mutex>
#include <vector>

namespace sysaccess::paint {
namespace {

// iconv names of a code page, best first.
std::vector<std::string> charsetNames(unsigned codePage) {
    switch (codePage) {
        case 950: return {"CP950", "BIG5"};
        case 936: return {"CP936", "GBK"};
        case 932: return {"CP932", "SHIFT_JIS"};
        case 949: return {"CP949", "UHC", "EUC-KR"};
        case 20127: return {"ASCII"};
        case 28591: return {"ISO-8859-1"};
        case 65001: return {"UTF-8"};
        default: return {"CP" + std::to_string(codePage)};
    }
}

// One converter per code page, shared under a lock (an iconv descriptor
// keeps state and may not be used by two threads at once).
class Converters {
public:
    ~Converters() {
        for (auto& [page, cd] : open_) {
            if (cd != invalid()) iconv_close(cd);
        }
    }
    std::mutex mutex;
    iconv_t get(unsigned codePage) {
        auto it = open_.find(codePage);
        if (it != open_.end()) return it->second;
        iconv_t cd = invalid();
        for (const auto& name : charsetNames(codePage)) {
            cd = iconv_open("UTF-32LE", name.c_str());
            if (cd != invalid()) break;
        }
        open_.emplace(codePage, cd);
        return cd;
    }
    static iconv_t invalid() { return reinterpret_cast<iconv_t>(-1); }

private:
    std::map<unsigned, iconv_t> open_;
};

Converters& converters() {
    static Converters instance;
    return instance;
}

void appendUtf32le(std::u32string& out, const char* bytes, std::size_t count) {
    for (std::size_t i = 0; i + 3 < count; i += 4) {
        const auto b = [&](std::size_t k) { return static_cast<char32_t>(static_cast<unsigned char>(bytes[i + k])); };
        out.push_back(b(0) | b(1) << 8 | b(2) << 16 | b(3) << 24);
    }
}

std::u32string convert(iconv_t cd, std::string_view bytes) {
    std::u32string out;
    iconv(cd, nullptr, nullptr, nullptr, nullptr);  // initial shift state
    char buffer[1024];
    char* in = const_cast<char*>(bytes.data());
    std::size_t inLeft = bytes.size();
    while (inLeft > 0) {
        char* outPtr = buffer;
        std::size_t outLeft = sizeof buffer;
        const std::size_t rc = iconv(cd, &in, &inLeft, &outPtr, &outLeft);
        appendUtf32le(out, buffer, sizeof buffer - outLeft);
        if (rc != static_cast<std::size_t>(-1)) continue;
        if (errno == E2BIG) continue;
        // EILSEQ: a byte that starts no character; EINVAL: the text ends in
        // the middle of a multi-byte character. Either way one byte is lost.
        out.push_back(kReplacementChar);
        ++in;
        --inLeft;
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
    }
    return out;
}

}  // namespace

std::u32string decodeAnsi(std::string_view bytes, unsigned codePage) {
    bool ascii = true;
    for (char c : bytes) ascii = ascii && static_cast<unsigned char>(c) < 0x80;
    if (ascii && codePage != 65001) return std::u32string(bytes.begin(), bytes.end());

    auto& pool = converters();
    std::lock_guard lock(pool.mutex);
    iconv_t cd = pool.get(codePage);
    if (cd == Converters::invalid()) cd = pool.get(1252);
    if (cd == Converters::invalid()) {
        std::u32string latin1;
        for (char c : bytes) latin1.push_back(static_cast<unsigned char>(c));
        return latin1;
    }
    return convert(cd, bytes);
}

}  // namespace sysaccess::paint
