// Code-page conversions through the C library's iconv.
#include <iconv.h>

#include <cerrno>
#include <map>
#include <mutex>
#include <utility>
#include <vector>

#include "sysaccess/text/CodePage.h"

namespace sysaccess::text {
namespace {

// iconv names of a code page, best first.
std::vector<std::string> charsetNames(unsigned codePage) {
    switch (codePage) {
        case 950: return {"CP950", "BIG5"};
        case 936: return {"CP936", "GBK"};
        case 932: return {"CP932", "SHIFT_JIS"};
        case 949: return {"CP949", "UHC", "EUC-KR"};
        case 1361: return {"CP1361", "JOHAB"};
        case 20127: return {"ASCII"};
        case 28591: return {"ISO-8859-1"};
        case kUtf8CodePage: return {"UTF-8"};
        default: return {"CP" + std::to_string(codePage)};
    }
}

enum class Direction { ToUtf32, ToUtf8, FromUtf8 };

// One converter per code page and direction, shared under a lock (an iconv
// descriptor keeps state and may not be used by two threads at once).
// A page iconv does not know is served by Windows-1252's converter.
class Converters {
public:
    ~Converters() {
        for (auto& [key, cd] : open_) {
            if (cd != invalid()) iconv_close(cd);
        }
    }
    std::mutex mutex;
    iconv_t get(unsigned codePage, Direction d) {
        iconv_t cd = find(codePage, d);
        return cd != invalid() ? cd : find(1252, d);
    }
    static iconv_t invalid() { return reinterpret_cast<iconv_t>(-1); }

private:
    iconv_t find(unsigned codePage, Direction d) {
        const auto key = std::make_pair(codePage, d);
        if (auto it = open_.find(key); it != open_.end()) return it->second;
        iconv_t cd = invalid();
        for (const auto& name : charsetNames(codePage)) {
            if (d == Direction::ToUtf32) cd = iconv_open("UTF-32LE", name.c_str());
            if (d == Direction::ToUtf8) cd = iconv_open("UTF-8", name.c_str());
            if (d == Direction::FromUtf8) cd = iconv_open(name.c_str(), "UTF-8");
            if (cd != invalid()) break;
        }
        open_.emplace(key, cd);
        return cd;
    }
    std::map<std::pair<unsigned, Direction>, iconv_t> open_;
};

Converters& converters() {
    static Converters instance;
    return instance;
}

bool isAscii(std::string_view bytes) {
    for (char c : bytes) {
        if (static_cast<unsigned char>(c) >= 0x80) return false;
    }
    return true;
}

void appendUtf32le(std::u32string& out, const char* bytes, std::size_t count) {
    for (std::size_t i = 0; i + 3 < count; i += 4) {
        const auto b = [&](std::size_t k) { return static_cast<char32_t>(static_cast<unsigned char>(bytes[i + k])); };
        out.push_back(b(0) | b(1) << 8 | b(2) << 16 | b(3) << 24);
    }
}

std::u32string decodeLossy(iconv_t cd, std::string_view bytes) {
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

// Every character converted, none of them approximated; nullopt otherwise.
std::optional<std::string> convertExact(iconv_t cd, std::string_view bytes) {
    std::string out;
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    char buffer[1024];
    char* in = const_cast<char*>(bytes.data());
    std::size_t inLeft = bytes.size();
    for (bool flushed = false; !flushed;) {
        char* outPtr = buffer;
        std::size_t outLeft = sizeof buffer;
        // With no input left, one more call writes what a stateful page
        // still owes (its return to the initial shift state).
        const std::size_t rc = inLeft > 0 ? iconv(cd, &in, &inLeft, &outPtr, &outLeft)
                                          : iconv(cd, nullptr, nullptr, &outPtr, &outLeft);
        out.append(buffer, sizeof buffer - outLeft);
        if (rc == static_cast<std::size_t>(-1)) {
            if (errno != E2BIG) return std::nullopt;
            continue;
        }
        if (rc > 0) return std::nullopt;  // irreversible: a look-alike was written
        flushed = inLeft == 0 && outPtr == buffer;
    }
    return out;
}

}  // namespace

std::u32string decodeAnsi(std::string_view bytes, unsigned codePage) {
    if (isAscii(bytes) && codePage != kUtf8CodePage) return std::u32string(bytes.begin(), bytes.end());

    auto& pool = converters();
    std::lock_guard lock(pool.mutex);
    iconv_t cd = pool.get(codePage, Direction::ToUtf32);
    if (cd == Converters::invalid()) {
        std::u32string latin1;
        for (char c : bytes) latin1.push_back(static_cast<unsigned char>(c));
        return latin1;
    }
    return decodeLossy(cd, bytes);
}

std::optional<std::string> ansiToUtf8(std::string_view bytes, unsigned codePage) {
    if (isAscii(bytes)) return std::string(bytes);
    auto& pool = converters();
    std::lock_guard lock(pool.mutex);
    iconv_t cd = pool.get(codePage, Direction::ToUtf8);
    if (cd == Converters::invalid()) return std::nullopt;
    return convertExact(cd, bytes);
}

std::optional<std::string> utf8ToAnsi(std::string_view utf8, unsigned codePage) {
    if (isAscii(utf8)) return std::string(utf8);
    auto& pool = converters();
    std::lock_guard lock(pool.mutex);
    iconv_t to = pool.get(codePage, Direction::FromUtf8);
    iconv_t back = pool.get(codePage, Direction::ToUtf8);
    if (to == Converters::invalid() || back == Converters::invalid()) return std::nullopt;
    auto ansi = convertExact(to, utf8);
    // Some pages map several characters to the same bytes; such a name has no
    // spelling of its own in the page.
    if (!ansi || convertExact(back, *ansi) != std::string(utf8)) return std::nullopt;
    return ansi;
}

}  // namespace sysaccess::text
