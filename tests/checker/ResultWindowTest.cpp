// The probe's verdict and the result windows' animation, tick by tick on the
// virtual clock.
#include <filesystem>
#include <map>

#include "CheckerHarness.h"
#include "checker/frmGood.h"
#include "checker/frmWrong.h"
#include "sysaccess/ui/Control.h"

using checker_test::CheckerRun;
using checker_test::Contacts;
using namespace sysaccess::ui;

namespace {

// Starts a run whose brand window has just been clicked away.
void startToVerdict(CheckerRun& run, const std::vector<std::string>& keys) {
    run.prefix.file("A:\\Busprobe.dat", Contacts);
    if (!keys.empty()) run.registry(keys);
    run.start();
    run.driver.click("frmLogo");
}

const Color Green = RGB(0, 255, 0), Red = RGB(255, 0, 0), Grey = RGB(192, 192, 192);

}  // namespace

TEST(Probe, VerdictFollowsTheFirstRootHubSubkey) {
    struct Case {
        const char* name;
        std::vector<std::string> keys;
        bool hostHub;
        const char* verdict;
    };
    const std::vector<Case> cases{
        {"no registry at all", {}, false, "frmWrong"},
        {"no hub key", {"Enum\\PCI\\VEN_8086", "Enum\\USB\\VID_1234"}, false, "frmWrong"},
        {"hub key without subkeys", {"Enum\\USB\\ROOT_HUB"}, false, "frmWrong"},
        {"one hub", {"Enum\\USB\\ROOT_HUB\\PCI&VEN_8086&DEV_7112"}, false, "frmGood"},
        {"several hubs", {"Enum\\USB\\ROOT_HUB\\A", "Enum\\USB\\ROOT_HUB\\B", "Enum\\USB\\ROOT_HUB\\C"}, false,
         "frmGood"},
        {"a hub the host kernel lists", {}, true, "frmGood"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CheckerRun run;
        if (c.hostHub) run.hostHub("usb1");
        startToVerdict(run, c.keys);
        EXPECT_TRUE(run.driver.form(c.verdict));
        EXPECT_EQ(run.driver.openedWindows().size(), 2u);
    }
}

TEST(Probe, KeyStaysOpenWhileTheVerdictShowsAndNothingIsWritten) {
    CheckerRun run;
    run.prefix.file("A:\\Busprobe.dat", Contacts);
    run.registry({"Enum\\USB\\ROOT_HUB\\PCI0"});
    // Everything in the image, with content and modification time.
    auto snapshot = [&] {
        std::map<std::string, std::pair<std::string, std::filesystem::file_time_type>> files;
        for (auto& e : std::filesystem::recursive_directory_iterator(run.prefix.scratch().path())) {
            if (e.is_regular_file() && !e.is_symlink()) {
                files[e.path().string()] = {fixtures::readHostFile(e.path()), e.last_write_time()};
            }
        }
        return files;
    };
    const auto before = snapshot();
    run.start();
    run.driver.advance(5000);
    ASSERT_TRUE(run.driver.form("frmGood"));
    const auto open = run.calls().openHandles();
    ASSERT_EQ(open.size(), 1u);
    EXPECT_EQ(run.calls().calls[0].arg, "Enum\\USB\\ROOT_HUB");
    EXPECT_EQ(run.calls().calls[1].handle, open[0]);
    run.driver.advance(3000);
    EXPECT_EQ(run.calls().openHandles(), open);
    run.driver.close("frmGood");
    EXPECT_TRUE(run.driver.finished());
    EXPECT_TRUE(run.calls().openHandles().empty());
    EXPECT_EQ(run.calls().ops(), (std::vector<std::string>{"open", "enum", "close"}));
    EXPECT_EQ(snapshot(), before);
    EXPECT_FALSE(run.driver.failure());
}

TEST(ResultWindow, FirstCycleCaptionsTickByTickThenRestartToT) {
    CheckerRun run;
    startToVerdict(run, {"Enum\\USB\\ROOT_HUB\\PCI0"});
    auto& good = dynamic_cast<busprobe::frmGood&>(run.window("frmGood"));
    EXPECT_EQ(good.Caption, "");
    EXPECT_EQ(good.ScrollLimit, 6120);  // the client width, set when first shown
    const std::string title = "USB Check Result";
    std::vector<std::string> expected{" "};
    for (int n = 1; n <= 16; ++n) expected.push_back(title.substr(16 - n) + " ");
    for (std::size_t i = 0; i < expected.size(); ++i) {
        run.driver.advance(100);
        ASSERT_EQ(good.Caption, expected[i]) << "tick " << i + 1;
    }
    // Then one more leading space a tick until the count reaches 6120: the
    // cycle is ceil(6120 / 50) = 123 ticks; tick 124 restarts it.
    for (int tick = 18; tick <= 123; ++tick) {
        run.driver.advance(100);
        ASSERT_EQ(good.Caption, std::string(static_cast<std::size_t>(tick - 17), ' ') + title + " ");
    }
    run.driver.advance(100);
    EXPECT_EQ(good.Caption, "t");
    EXPECT_EQ(good.ScrollCount, 50);
    run.driver.advance(100);
    EXPECT_EQ(good.Caption, "lt");
    // The second cycle has no trailing space: 16 ticks make the whole title.
    run.driver.advance(1400);
    EXPECT_EQ(good.Caption, title);
}

TEST(ResultWindow, MinimizedCyclesLastSeventyTicks) {
    CheckerRun run;
    startToVerdict(run, {});
    auto& wrong = dynamic_cast<busprobe::frmWrong&>(run.window("frmWrong"));
    run.driver.setState("frmWrong", WindowState::Minimized);
    EXPECT_EQ(wrong.ScrollLimit, 3500);
    // Run into a restart, then count ticks to the next one.
    int restarts = 0;
    int ticksSince = 0;
    std::vector<int> cycles;
    for (int i = 0; i < 300; ++i) {
        run.driver.advance(100);
        ++ticksSince;
        if (wrong.Caption == "t") {
            if (restarts++ > 0) cycles.push_back(ticksSince);
            ticksSince = 0;
        }
    }
    ASSERT_GE(cycles.size(), 2u);
    for (int c : cycles) EXPECT_EQ(c, 70);
    run.driver.setState("frmWrong", WindowState::Normal);
    EXPECT_EQ(wrong.ScrollLimit, 6135);
}

TEST(ResultWindow, ScrollStaysBoundedOnAVeryWideWindowAndAtAZeroBound) {
    CheckerRun run;
    startToVerdict(run, {"Enum\\USB\\ROOT_HUB\\X"});
    auto& good = dynamic_cast<busprobe::frmGood&>(run.window("frmGood"));
    // 2200 pixels wide: a bound the 16-bit count can never reach.
    good.ScaleWidth = 2200 * 15;
    run.driver.setState("frmGood", WindowState::Normal);
    ASSERT_EQ(good.ScrollLimit, 33000);
    std::size_t longest = 0;
    int restarts = 0;
    for (int i = 0; i < 1400; ++i) {
        run.driver.advance(100);
        longest = std::max(longest, good.Caption.size());
        if (good.Caption == "t") ++restarts;
    }
    // The cycle restarts when the next step would pass 32767: 656 ticks.
    EXPECT_EQ(restarts, 2);
    EXPECT_LE(longest, 17u + 655u);
    EXPECT_GE(good.ScrollCount, 0);

    good.ScaleWidth = 0;
    run.driver.setState("frmGood", WindowState::Normal);
    run.driver.advance(100);
    EXPECT_EQ(good.Caption, "t");  // one restart in the tick, not an endless one
    run.driver.advance(100);
    EXPECT_EQ(good.Caption, "t");
}

TEST(ResultWindow, GoodBlinksGreenAndGreyEvery300ms) {
    CheckerRun run;
    startToVerdict(run, {"Enum\\USB\\ROOT_HUB\\X"});
    auto& label = run.control<Label>("frmGood", "Label1");
    EXPECT_EQ(label.ForeColor, Green);
    run.driver.advance(299);
    EXPECT_EQ(label.ForeColor, Green);
    run.driver.advance(1);
    EXPECT_EQ(label.ForeColor, Grey);
    run.driver.advance(300);
    EXPECT_EQ(label.ForeColor, Green);
    EXPECT_FALSE(run.window("frmGood").flashed());
}

TEST(ResultWindow, WrongFlashesAndBlinksLinesAndLabelOnTheSameTick) {
    CheckerRun run;
    startToVerdict(run, {});
    auto& wrong = run.window("frmWrong");
    auto& label = run.control<Label>("frmWrong", "Label1");
    auto& line1 = run.control<Line>("frmWrong", "Line1");
    auto& line2 = run.control<Line>("frmWrong", "Line2");
    EXPECT_EQ(label.ForeColor, Red);
    EXPECT_EQ(line1.borderStyle, LineStyle::Solid);
    std::vector<std::uint64_t> changes;
    bool lastFlash = wrong.flashed();
    for (int ms = 0; ms < 2000; ms += 100) {
        run.driver.advance(100);
        if (wrong.flashed() != lastFlash) {
            changes.push_back(run.driver.clock());
            lastFlash = wrong.flashed();
            // Everything changes together.
            const bool on = (changes.size() % 2) == 0;
            EXPECT_EQ(label.ForeColor, on ? Red : Grey);
            EXPECT_EQ(line1.borderStyle, on ? LineStyle::Solid : LineStyle::Transparent);
            EXPECT_EQ(line2.borderStyle, line1.borderStyle);
        }
    }
    EXPECT_EQ(changes, (std::vector<std::uint64_t>{500, 1000, 1500, 2000}));
}

TEST(ResultWindow, ClosingTheVerdictEndsTheProgram) {
    CheckerRun run;
    startToVerdict(run, {});
    run.driver.advance(700);
    run.driver.close("frmWrong");
    EXPECT_TRUE(run.driver.finished());
    EXPECT_TRUE(run.driver.boxes().empty());
    EXPECT_FALSE(run.driver.failure());
}
