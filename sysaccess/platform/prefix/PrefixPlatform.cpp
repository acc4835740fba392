#include "sysaccess/platform/prefix/PrefixPlatform.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>

#include "sysaccess/RuntimeError.h"

namespace sysaccess::platform_prefix {

namespace fs = std::filesystem;

PrefixOptions PrefixOptions::fromEnvironment() {
    PrefixOptions o;
    if (const char* p = std::getenv("WINEPREFIX"); p && *p) {
        o.prefix = p;
    } else {
        const char* home = std::getenv("HOME");
        o.prefix = fs::path(home && *home ? home : "/root") / ".wine";
    }
    return o;
}

PrefixPlatform::PrefixPlatform(PrefixOptions options) : options_(std::move(options)) {
    registry::Registry::Options r;
    r.systemReg = options_.prefix / "system.reg";
    r.usbDevicesDir = options_.usbDevicesDir;
    r.wineServerRoot = options_.wineServerRoot;
    registry_ = std::make_unique<registry::Registry>(std::move(r));
    // File names are in the code page the machine declares, read once from
    // the registry as the system reads it once at start-up. The registry
    // reads its own file, so this asks nothing of the file services.
    files_ = std::make_unique<files::FileSystem>(files::DriveMap::fromPrefix(options_.prefix, ansiCodePage()),
                                                 [this] { return currentDirectory(); });
}

PrefixPlatform::~PrefixPlatform() = default;

long PrefixPlatform::RegOpenKeyA(HKEY32 key, const std::string& subKey, HKEY32* result) {
    return registry_->RegOpenKeyA(key, subKey, result);
}
long PrefixPlatform::RegEnumKeyA(HKEY32 key, std::int32_t index, char* name, std::uint32_t capacity) {
    return registry_->RegEnumKeyA(key, index, name, capacity);
}
long PrefixPlatform::RegDeleteKeyA(HKEY32 key, const std::string& subKey) {
    return registry_->RegDeleteKeyA(key, subKey);
}
long PrefixPlatform::RegCloseKey(HKEY32 key) { return registry_->RegCloseKey(key); }

std::string PrefixPlatform::windowsDirectory() { return "C:\\windows"; }

bool PrefixPlatform::requestRestart(std::uint32_t flags, std::uint32_t) {
    constexpr std::uint32_t Reboot = 2;
    if (!(flags & Reboot)) return false;
    // The prefix's own restart: Wine runs its start-up work again. Without
    // Wine's restart program, or when it cannot be started, nothing goes
    // down and the caller's windows stay open.
    const fs::path wineboot = options_.wineboot ? *options_.wineboot : findOnPath("wineboot");
    return !wineboot.empty() && spawnDetached({wineboot.string(), "--restart"});
}

std::string PrefixPlatform::findFirstFile(const std::string& pattern) { return files_->findFirstFile(pattern); }
std::vector<std::string> PrefixPlatform::findFiles(const std::string& pattern) {
    return files_->findFiles(pattern, static_cast<std::size_t>(-1));
}
void PrefixPlatform::deleteFile(const std::string& path) { files_->deleteFile(path); }
void PrefixPlatform::checkDeletable(const std::string& path) { files_->checkDeletable(path); }
std::string PrefixPlatform::storedPath(const std::string& path) { return files_->storedPath(path); }
std::string PrefixPlatform::readFile(const std::string& path) { return files_->readFile(path); }
std::unique_ptr<files::InputFile> PrefixPlatform::openInput(const std::string& path) {
    return files_->openInput(path);
}
void PrefixPlatform::writeFile(const std::string& path, const std::string& bytes) {
    files_->writeFile(path, bytes);
}

std::string PrefixPlatform::programFolder() {
    std::error_code ec;
    fs::path exe = options_.programFile.empty() ? fs::read_symlink("/proc/self/exe", ec) : options_.programFile;
    if (ec || exe.empty()) raise(err::PathNotFound, "Path not found");
    return windowsPathOf(exe.parent_path());
}

std::string PrefixPlatform::currentDirectory() {
    std::error_code ec;
    fs::path cwd = options_.currentDir ? *options_.currentDir : fs::current_path(ec);
    if (ec) raise(err::PathNotFound, "Path not found");
    return windowsPathOf(cwd);
}

std::string PrefixPlatform::windowsPathOf(const fs::path& hostFolder) const {
    // A folder whose name the code page cannot spell has no Windows path the
    // program could use.
    auto path = files_->drives().toWindows(hostFolder);
    if (!path) raise(err::PathNotFound, "Path not found");
    return *path;
}

namespace {
std::string firstBytes(const fs::path& file, std::size_t n) {
    std::ifstream in(file, std::ios::binary);
    std::string bytes(n, '\0');
    in.read(bytes.data(), static_cast<std::streamsize>(n));
    bytes.resize(static_cast<std::size_t>(in.gcount()));
    return bytes;
}
}  // namespace

void PrefixPlatform::startProgram(const std::string& path, int windowStyle) {
    (void)windowStyle;  // a new program's window comes up normal and focused anyway
    auto host = files_->drives().toHost(path, currentDirectory());
    std::error_code ec;
    if (!host || !fs::is_regular_file(*host, ec)) raise(err::FileNotFound, "File not found");
    const std::string magic = firstBytes(*host, 4);
    if (magic.rfind("\x7f" "ELF", 0) == 0 && ::access(host->c_str(), X_OK) == 0) {
        if (spawnDetached({host->string()})) return;
    } else if (magic.rfind("MZ", 0) == 0) {
        fs::path wine = findOnPath("wine");
        if (wine.empty()) wine = findOnPath("wine64");
        if (!wine.empty() && spawnDetached({wine.string(), host->string()})) return;
    }
    raise(err::CannotStart, "Invalid procedure call or argument");
}

void PrefixPlatform::openShortcut(const std::string& content) {
    // An Internet shortcut: "URL=<address>" under its [InternetShortcut] header.
    std::istringstream lines(content);
    std::string line, url;
    while (std::getline(lines, line)) {
        while (!line.empty() && (line.back() == '\r' || line.back() == ' ')) line.pop_back();
        if (line.size() > 4 && strncasecmp(line.c_str(), "URL=", 4) == 0) {
            url = line.substr(4);
            break;
        }
    }
    if (url.empty()) raise(err::CannotStart, "The shortcut holds no address");
    fs::path opener = findOnPath("xdg-open");
    if (opener.empty() && options_.allowLaunch) raise(err::CannotStart, "No desktop handler for the shortcut");
    if (!spawnDetached({opener.empty() ? "xdg-open" : opener.string(), url}))
        raise(err::CannotStart, "No desktop handler for the shortcut");
}

unsigned PrefixPlatform::ansiCodePage() {
    // The code page the machine declares; Windows-1252 when it declares none
    // or something that is no code page number.
    constexpr unsigned fallback = 1252;
    const auto acp = registry_->stringValue("System\\CurrentControlSet\\Control\\Nls\\CodePage", "ACP");
    if (!acp || acp->empty() || acp->size() > 5) return fallback;
    unsigned page = 0;
    for (char c : *acp) {
        if (c < '0' || c > '9') return fallback;
        page = page * 10 + static_cast<unsigned>(c - '0');
    }
    return page > 0 && page <= 65535 ? page : fallback;
}

bool PrefixPlatform::spawnDetached(const std::vector<std::string>& argv) {
    if (!options_.allowLaunch) {
        launches_.push_back({argv});
        return true;
    }
    std::vector<char*> args;
    for (const auto& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    const std::string prefix = options_.prefix.string();
    // The started program's exec failure comes back through a pipe that a
    // successful exec closes (close-on-exec), so "started" means started.
    int report[2];
    if (::pipe2(report, O_CLOEXEC) != 0) return false;
    // Double fork: the started program is nobody's child here and never
    // becomes a zombie of ours.
    pid_t child = ::fork();
    if (child < 0) {
        ::close(report[0]);
        ::close(report[1]);
        return false;
    }
    if (child == 0) {
        ::setsid();
        const pid_t grandchild = ::fork();
        if (grandchild == 0) {
            ::setenv("WINEPREFIX", prefix.c_str(), 1);
            int devnull = ::open("/dev/null", O_RDWR);
            if (devnull >= 0) {
                ::dup2(devnull, 0);
            }
            ::execv(args[0], args.data());
            const int error = errno;
            (void)!::write(report[1], &error, sizeof error);
            ::_exit(127);
        }
        ::_exit(grandchild < 0 ? 1 : 0);
    }
    ::close(report[1]);
    int status = 0;
    ::waitpid(child, &status, 0);
    const bool forked = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    int error = 0;
    ssize_t n;
    do {
        n = ::read(report[0], &error, sizeof error);
    } while (n < 0 && errno == EINTR);
    ::close(report[0]);
    return forked && n == 0;
}

fs::path findOnPath(const std::string& name) {
    const char* path = std::getenv("PATH");
    std::string dirs = path ? path : "/usr/local/bin:/usr/bin:/bin";
    dirs += ":/usr/lib/wine";  // Debian keeps Wine's programs here
    std::istringstream in(dirs);
    std::string dir;
    while (std::getline(in, dir, ':')) {
        if (dir.empty()) continue;
        fs::path candidate = fs::path(dir) / name;
        if (::access(candidate.c_str(), X_OK) == 0) return candidate;
    }
    return {};
}

}  // namespace sysaccess::platform_prefix
