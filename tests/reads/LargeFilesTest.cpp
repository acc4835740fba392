// Both programs on 2 GB sparse data files and pictures: they read only the
// fields and pixels they use, so their memory stays small and their windows
// come at once. Each run happens in a child process, whose peak resident
// memory (getrusage) is compared with what it was when the child began.
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>

#include "checker/CheckerHarness.h"
#include "remover/RemoverHarness.h"
#include "sysaccess/paint/Bmp.h"
#include "sysaccess/ui/Control.h"

namespace {

constexpr std::uintmax_t TwoGigabytes = std::uintmax_t{2} << 30;
constexpr long MemoryLimitKb = 64 * 1024;
constexpr long TimeLimitMs = 10'000;

// What a run in a child process came to.
struct ChildRun {
    long peakRiseKb = -1;  // rise of the peak resident memory during the run
    long ms = -1;          // time the run took
    std::string failure;   // what the run found wrong; empty when all was well
};

long peakKb() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

// Runs `body` in a child process; `body` returns what it found wrong.
ChildRun inChild(const std::function<std::string()>& body) {
    int pipeFds[2];
    if (pipe(pipeFds) != 0) return {-1, -1, "no pipe"};
    const pid_t pid = fork();
    if (pid < 0) return {-1, -1, "no fork"};
    if (pid == 0) {
        close(pipeFds[0]);
        const long before = peakKb();
        const auto start = std::chrono::steady_clock::now();
        std::string failure;
        try {
            failure = body();
        } catch (const std::exception& e) {
            failure = e.what();
        }
        const long ms = static_cast<long>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                              std::chrono::steady_clock::now() - start).count());
        const std::string report = std::to_string(peakKb() - before) + " " + std::to_string(ms) + " " + failure;
        (void)!write(pipeFds[1], report.data(), report.size());
        _exit(0);
    }
    close(pipeFds[1]);
    std::string report;
    char buffer[512];
    for (ssize_t n; (n = read(pipeFds[0], buffer, sizeof buffer)) > 0;) report.append(buffer, static_cast<std::size_t>(n));
    close(pipeFds[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    ChildRun run;
    int used = 0;
    if (std::sscanf(report.c_str(), "%ld %ld %n", &run.peakRiseKb, &run.ms, &used) < 2)
        return {-1, -1, "the child reported nothing (status " + std::to_string(status) + ")"};
    run.failure = report.substr(static_cast<std::size_t>(used));
    return run;
}

void expectSmallAndQuick(const ChildRun& run) {
    EXPECT_EQ(run.failure, "");
    EXPECT_GE(run.peakRiseKb, 0);
    EXPECT_LT(run.peakRiseKb, MemoryLimitKb) << "peak memory rose by " << run.peakRiseKb / 1024 << " MB";
    EXPECT_LT(run.ms, TimeLimitMs);
}

// Makes a file 2 GB long; all after its content reads as zeros.
void growSparse(const std::filesystem::path& host) { std::filesystem::resize_file(host, TwoGigabytes); }

// A 64 x 64 24-bit bitmap's headers alone: the pixels are the zeros after them.
std::string brandHeaders() {
    sysaccess::paint::Image black{64, 64, std::vector<sysaccess::paint::Rgb>(64 * 64)};
    return sysaccess::paint::encodeBmp24(black).substr(0, 54);
}

// A setup-information file of 61 fields naming the adapter, with its line end.
std::string oemInf() {
    std::string text = "[Version]\r\nSignature=\"$CHICAGO$\"\r\n[Models]\r\n%Dev%=Install,USB\\VID_0E4B&PID_0204\r\n";
    for (int i = 0; i < 28; ++i) text += "HKR,Value" + std::to_string(i) + "\r\n";
    return text;
}

}  // namespace

TEST(LargeFiles, CheckerShowsContactsAndPictureFromHugeSparseFiles) {
    const ChildRun run = inChild([] {
        checker_test::CheckerRun checker;
        growSparse(checker.prefix.file("A:\\Busprobe.dat", checker_test::Contacts));
        growSparse(checker.prefix.file("C:\\Brand.bmp", brandHeaders()));
        checker.start();
        if (checker.driver.finished()) return std::string("the checker ended");
        if (checker.control<sysaccess::ui::Label>("frmLogo", "Labmail").Caption != "support@tarnwick.example")
            return std::string("the contacts were not read");
        const auto& picture = checker.control<sysaccess::ui::PictureBox>("frmLogo", "Picture1").picture;
        if (!picture || picture->width != 64 || picture->height != 64) return std::string("no 64 x 64 picture");
        return std::string();
    });
    expectSmallAndQuick(run);
}

TEST(LargeFiles, RemoverReadsScriptOemFileAndPictureFromHugeSparseFiles) {
    const ChildRun run = inChild([] {
        remover_test::RemoverRun remover;
        remover_test::Script script;
        script.removal = {"[Delete W2kinf]", "oem"};
        growSparse(remover.prefix.file("A:\\Unins.dat", script.text()));
        growSparse(remover.prefix.file("C:\\windows\\inf\\oem1.inf", oemInf()));
        growSparse(remover.prefix.file("C:\\Brand.bmp", brandHeaders()));
        remover.start();
        if (remover.driver.finished()) return std::string("the remover ended");
        busclean::Uninstall& window = remover.window();
        if (window.Check1.Caption != script.device) return std::string("the script was not read");
        if (!window.Check1.Enabled) return std::string("the oem file's identifiers were not read");
        if (!window.Picture1.picture || window.Picture1.picture->width != 64) return std::string("no picture");
        return std::string();
    });
    expectSmallAndQuick(run);
}

TEST(LargeFiles, AFieldRunningIntoTheTailOrPixelsBeyondTheFileEndTheCheckerSmall) {
    // The last contact has no line end: it would be the whole 2 GB tail.
    const ChildRun endlessField = inChild([] {
        checker_test::CheckerRun checker;
        growSparse(checker.prefix.file("A:\\Busprobe.dat", "a,b,c,d,e"));
        checker.start();
        return checker.driver.finished() && checker.driver.openedWindows().empty() ? std::string()
                                                                                   : std::string("a window showed");
    });
    expectSmallAndQuick(endlessField);

    // 16384 x 4096 32-bit pixels declared by a picture that is far shorter.
    const ChildRun shortPicture = inChild([] {
        checker_test::CheckerRun checker;
        checker.prefix.file("A:\\Busprobe.dat", checker_test::Contacts);
        std::string headers = brandHeaders();
        for (auto [at, value] : {std::pair{18, 16384}, std::pair{22, 4096}, std::pair{28, 32}})
            for (int i = 0; i < 4 - (at == 28) * 2; ++i) headers[at + i] = static_cast<char>(value >> (8 * i));
        const auto brand = checker.prefix.file("C:\\Brand.bmp", headers);
        std::filesystem::resize_file(brand, 200u << 20);
        checker.start();
        return checker.driver.finished() && checker.driver.openedWindows().empty() ? std::string()
                                                                                   : std::string("a window showed");
    });
    expectSmallAndQuick(shortPicture);
}
