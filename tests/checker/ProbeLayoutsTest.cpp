// The probe on both registry layouts: the 9x hub key first, then the NT
// layout's hub keys in order, every key opened kept open while the verdict
// shows and closed after it.
#include "CheckerHarness.h"

using checker_test::CheckerRun;
using checker_test::Contacts;

namespace {

const std::string Hub9x = "Enum\\USB\\ROOT_HUB";
const std::string UsbNt = "SYSTEM\\CurrentControlSet\\Enum\\USB\\";
const std::vector<std::string> AllHubKeys{Hub9x, UsbNt + "ROOT_HUB", UsbNt + "ROOT_HUB20", UsbNt + "ROOT_HUB30"};

// Starts a run over these keys and clicks the brand window away.
void startToVerdict(CheckerRun& run, const std::vector<std::string>& keys, bool nt) {
    run.prefix.file("A:\\Busprobe.dat", Contacts);
    run.registry(keys, nt);
    run.start();
    run.driver.click("frmLogo");
}

// The paths the probe opened, in order.
std::vector<std::string> openedPaths(CheckerRun& run) {
    std::vector<std::string> r;
    for (const auto& c : run.calls().calls) {
        if (c.op == "open") r.push_back(c.arg);
    }
    return r;
}

// Closes the verdict and checks that every handle the probe wrote, 0 from a
// failed open included, was closed once, after the window went, in the order
// opened; and that each enumeration asked index 0 of the handle just opened.
void expectEveryKeyClosedAfterTheVerdict(CheckerRun& run, const char* verdict) {
    const auto& calls = run.calls().calls;
    std::vector<sysaccess::HKEY32> opened;
    for (std::size_t i = 0; i < calls.size(); ++i) {
        ASSERT_NE(calls[i].op, "close") << "closed while the verdict shows";
        if (calls[i].op == "open") {
            opened.push_back(calls[i].handle);
            ASSERT_LT(i + 1, calls.size());
            EXPECT_EQ(calls[i + 1].op, "enum");
            EXPECT_EQ(calls[i + 1].handle, calls[i].handle);
            EXPECT_EQ(calls[i + 1].arg, "0");
        }
    }
    const std::size_t before = calls.size();
    run.driver.advance(3000);
    EXPECT_EQ(calls.size(), before);  // nothing more while the window is up
    run.driver.close(verdict);
    EXPECT_TRUE(run.driver.finished());
    std::vector<sysaccess::HKEY32> closed;
    for (std::size_t i = before; i < calls.size(); ++i) {
        EXPECT_EQ(calls[i].op, "close");
        closed.push_back(calls[i].handle);
    }
    EXPECT_EQ(closed, opened);
    EXPECT_TRUE(run.calls().openHandles().empty());
}

}  // namespace

TEST(ProbeLayouts, EachNtHubKeyAloneGivesTheGoodVerdictAndStopsTheAsking) {
    for (std::size_t k = 1; k < AllHubKeys.size(); ++k) {
        SCOPED_TRACE(AllHubKeys[k]);
        CheckerRun run;
        // The keys before it exist without hubs; the ones after it are not asked.
        std::vector<std::string> keys{UsbNt + "VID_046D&PID_C00E\\5&1"};
        for (std::size_t e = 1; e < k; ++e) keys.push_back(AllHubKeys[e]);
        keys.push_back(AllHubKeys[k] + "\\4&2A1B3C&0");
        for (std::size_t e = k + 1; e < AllHubKeys.size(); ++e) keys.push_back(AllHubKeys[e] + "\\4&FF&0");
        startToVerdict(run, keys, true);

        ASSERT_TRUE(run.driver.form("frmGood"));
        EXPECT_FALSE(run.driver.form("frmWrong"));
        EXPECT_EQ(openedPaths(run), std::vector<std::string>(AllHubKeys.begin(), AllHubKeys.begin() + k + 1));
        // Only the keys that exist gave handles; every one of them stays open.
        EXPECT_EQ(run.calls().openHandles().size(), k);
        expectEveryKeyClosedAfterTheVerdict(run, "frmGood");
    }
}

TEST(ProbeLayouts, NoHubUnderAnyKeyGivesTheWrongVerdictAfterAskingAllFour) {
    struct Case {
        const char* name;
        std::vector<std::string> keys;
        std::size_t handles;
    };
    const std::vector<Case> cases{
        {"no hub keys", {UsbNt + "VID_046D&PID_C00E\\5&1"}, 0},
        {"all four keys without subkeys", AllHubKeys, 4},
        {"hubs under keys the probe does not know",
         {UsbNt + "ROOT_HUB31\\4&1&0", UsbNt + "ROOTHUB\\4&1&0", "Enum\\USB\\ROOT_HUB20\\4&1&0"},
         0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CheckerRun run;
        startToVerdict(run, c.keys, true);
        ASSERT_TRUE(run.driver.form("frmWrong"));
        EXPECT_FALSE(run.driver.form("frmGood"));
        EXPECT_EQ(openedPaths(run), AllHubKeys);
        EXPECT_EQ(run.calls().openHandles().size(), c.handles);
        expectEveryKeyClosedAfterTheVerdict(run, "frmWrong");
    }
}

TEST(ProbeLayouts, TheNineXHubKeyIsAskedFirstAndAloneDecidesWhenItNamesAHub) {
    // A hub under the 9x key: the NT keys are never opened, even with hubs.
    {
        CheckerRun run;
        startToVerdict(run, {Hub9x + "\\PCI&VEN_8086&DEV_7112", UsbNt + "ROOT_HUB20\\4&1&0"}, false);
        ASSERT_TRUE(run.driver.form("frmGood"));
        EXPECT_EQ(openedPaths(run), std::vector<std::string>{Hub9x});
        expectEveryKeyClosedAfterTheVerdict(run, "frmGood");
    }
    // The host's hubs appear under the 9x key, so they decide on the first key too.
    {
        CheckerRun run;
        run.hostHub("usb2");
        startToVerdict(run, {UsbNt + "VID_046D&PID_C00E\\5&1"}, true);
        ASSERT_TRUE(run.driver.form("frmGood"));
        EXPECT_EQ(openedPaths(run), std::vector<std::string>{Hub9x});
        expectEveryKeyClosedAfterTheVerdict(run, "frmGood");
    }
    // An empty 9x key is no answer: the NT keys are asked after it.
    {
        CheckerRun run;
        startToVerdict(run, {Hub9x, UsbNt + "ROOT_HUB30\\4&1&0"}, false);
        ASSERT_TRUE(run.driver.form("frmGood"));
        EXPECT_EQ(openedPaths(run), AllHubKeys);
        expectEveryKeyClosedAfterTheVerdict(run, "frmGood");
    }
}
