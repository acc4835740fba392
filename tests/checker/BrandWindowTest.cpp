// The brand window: what it shows, when it gives up silently, and which
// events run the probe.
#include "CheckerHarness.h"
#include "sysaccess/paint/Bmp.h"
#include "sysaccess/ui/Control.h"

using checker_test::CheckerRun;
using checker_test::Contacts;
using sysaccess::ui::Label;
using sysaccess::ui::PictureBox;

namespace {

std::string smallBmp() {
    sysaccess::paint::Image img;
    img.width = 3;
    img.height = 2;
    img.pixels.assign(6, {0, 128, 128});
    return sysaccess::paint::encodeBmp24(img);
}

std::vector<std::string> contactCaptions(CheckerRun& run) {
    std::vector<std::string> r;
    for (const char* n : {"Labcompany", "Labaddress", "Labphone", "Labfax", "Labmail"}) {
        r.push_back(run.control<Label>("frmLogo", n).Caption);
    }
    return r;
}

// A run that must end before any window shows, silently.
void expectSilentEnd(CheckerRun& run) {
    EXPECT_TRUE(run.driver.finished());
    EXPECT_TRUE(run.driver.openedWindows().empty());
    EXPECT_TRUE(run.driver.boxes().empty());
    EXPECT_TRUE(run.driver.unexpectedBoxes().empty());
    EXPECT_FALSE(run.driver.failure());
}

}  // namespace

TEST(BrandWindow, FillsContactsFromDataFileOnDriveRootWithQuotedCommas) {
    CheckerRun run;
    run.prefix.file("A:\\Busprobe.dat", Contacts);
    run.start("A:\\");
    ASSERT_FALSE(run.driver.finished());
    EXPECT_EQ(contactCaptions(run),
              (std::vector<std::string>{"Tarnwick Devices, Inc.", "12 Mill Lane, Suite 4", "+1 555 0100",
                                        "+1 555 0101", "support@tarnwick.example"}));
    EXPECT_EQ(run.driver.openedWindows(), std::vector<std::string>{"frmLogo"});
}

TEST(BrandWindow, ReadsDataFileBesideProgramInAFolderAndSplitsUnquotedCommas) {
    CheckerRun run;
    // Items one per line, the address unquoted: it splits and the rest shifts.
    run.prefix.file("A:\\Setup\\Busprobe.dat", "Tarnwick\r\n12 Mill Lane, Suite 4\r\n555\r\n556\r\nx@y\r\n");
    run.prefix.file("A:\\Busprobe.dat", "wrong,file,at,the,root\r\n");
    run.start("A:\\Setup");
    ASSERT_FALSE(run.driver.finished());
    EXPECT_EQ(contactCaptions(run),
              (std::vector<std::string>{"Tarnwick", "12 Mill Lane", "Suite 4", "555", "556"}));
}

TEST(BrandWindow, EndsSilentlyWithoutFiveItemsOrWithABadPicture) {
    {
        CheckerRun missing;
        missing.start();
        expectSilentEnd(missing);
    }
    {
        CheckerRun four;
        four.prefix.file("A:\\Busprobe.dat", "a,b,c,d\r\n");
        four.start();
        expectSilentEnd(four);
    }
    {
        CheckerRun badPicture;
        badPicture.prefix.file("A:\\Busprobe.dat", Contacts);
        badPicture.prefix.file("C:\\Brand.bmp", "BM this is no picture");
        badPicture.start("A:\\", "C:\\");
        expectSilentEnd(badPicture);
    }
}

TEST(BrandWindow, BrandPictureComesFromCurrentDirectoryOnlyAndNeverHidden) {
    {
        CheckerRun inCwd;
        inCwd.prefix.file("A:\\Busprobe.dat", Contacts);
        inCwd.prefix.file("C:\\work\\brand.BMP", smallBmp());
        inCwd.start("A:\\", "C:\\work");
        auto& pic = inCwd.control<PictureBox>("frmLogo", "Picture1");
        ASSERT_TRUE(pic.picture);
        EXPECT_EQ(pic.picture->width, 3);
    }
    {
        CheckerRun onlyBesideProgram;
        onlyBesideProgram.prefix.file("A:\\Busprobe.dat", Contacts);
        onlyBesideProgram.prefix.file("A:\\Brand.bmp", smallBmp());
        onlyBesideProgram.prefix.folder("C:\\work");
        onlyBesideProgram.start("A:\\", "C:\\work");
        auto& pic = onlyBesideProgram.control<PictureBox>("frmLogo", "Picture1");
        ASSERT_TRUE(pic.picture);
        EXPECT_EQ(pic.picture->width, 180);  // the built-in brand picture stays
        EXPECT_TRUE(pic.Visible);
    }
    {
        CheckerRun hidden;
        hidden.prefix.file("A:\\Busprobe.dat", Contacts);
        // Hidden and system pictures do not count, even when unloadable.
        hidden.prefix.file("C:\\Brand.bmp", "garbage", fixtures::Attr::Hidden);
        hidden.start("A:\\", "C:\\");
        ASSERT_FALSE(hidden.driver.finished());
        EXPECT_EQ(hidden.control<PictureBox>("frmLogo", "Picture1").picture->width, 180);
    }
}

TEST(BrandWindow, TimerRunsTheProbeAfterFiveSeconds) {
    CheckerRun run;
    run.prefix.file("A:\\Busprobe.dat", Contacts);
    run.start();
    run.driver.advance(4999);
    EXPECT_TRUE(run.driver.form("frmLogo"));
    EXPECT_TRUE(run.calls().calls.empty());
    run.driver.advance(1);
    EXPECT_FALSE(run.driver.form("frmLogo"));
    EXPECT_TRUE(run.driver.form("frmWrong"));
    // No hub key at all: each of the four hub keys is asked once.
    EXPECT_EQ(run.calls().ops(),
              (std::vector<std::string>{"open", "enum", "open", "enum", "open", "enum", "open", "enum"}));
}

TEST(BrandWindow, EachOfTheFourteenTriggersRunsTheProbeOnceAtOnce) {
    using Act = std::function<void(CheckerRun&)>;
    auto click = [](std::string c) { return Act([c](CheckerRun& r) { r.driver.click("frmLogo", c); }); };
    auto drop = [](std::string f) {
        return Act([f](CheckerRun& r) { r.driver.dragDrop("frmLogo", f, "Label4"); });
    };
    const std::vector<std::pair<std::string, Act>> triggers{
        {"Form", click("")},           {"Frame1 drop", drop("Frame1")}, {"Frame2 drop", drop("Frame2")},
        {"Frame3 drop", drop("Frame3")}, {"Labaddress", click("Labaddress")},
        {"Labcompany", click("Labcompany")}, {"Label1", click("Label1")}, {"Label2", click("Label2")},
        {"Label3", click("Label3")},   {"Labfax", click("Labfax")},   {"Labmail", click("Labmail")},
        {"Labphone", click("Labphone")}, {"Picture1", click("Picture1")},
        {"Timer1", Act([](CheckerRun& r) { r.driver.advance(4000); })}};
    for (const auto& [name, act] : triggers) {
        SCOPED_TRACE(name);
        CheckerRun run;
        run.prefix.file("A:\\Busprobe.dat", Contacts);
        run.registry({"Enum\\USB\\ROOT_HUB\\PCI0"});
        run.start();
        run.driver.advance(1000);
        act(run);
        EXPECT_EQ(run.driver.clock(), name == "Timer1" ? 5000u : 1000u);
        EXPECT_FALSE(run.driver.form("frmLogo"));
        ASSERT_TRUE(run.driver.form("frmGood"));
        // The brand window's timer went with it: no second probe later.
        run.driver.advance(10000);
        EXPECT_EQ(run.calls().ops(), (std::vector<std::string>{"open", "enum"}));
        run.driver.close("frmGood");
        EXPECT_TRUE(run.driver.finished());
        EXPECT_EQ(run.calls().ops(), (std::vector<std::string>{"open", "enum", "close"}));
        EXPECT_EQ(run.driver.openedWindows(), (std::vector<std::string>{"frmLogo", "frmGood"}));
    }
}

TEST(BrandWindow, ClicksWithoutHandlersAndClosingDoNotProbe) {
    CheckerRun run;
    run.prefix.file("A:\\Busprobe.dat", Contacts);
    run.start();
    for (const char* c : {"Label4", "Label5", "Label6", "Label7", "Frame1", "Frame2", "Frame3"}) {
        run.driver.click("frmLogo", c);
    }
    // (100, 42) px is 1380, 630 twips inside Frame3: in the strip of the grey
    // Label6 (275..650 down) below its coloured Label1 (240..615).
    run.driver.clickAt("frmLogo", 100, 42);
    EXPECT_TRUE(run.driver.form("frmLogo"));
    EXPECT_TRUE(run.calls().calls.empty());
    run.driver.close("frmLogo");
    EXPECT_TRUE(run.driver.finished());
    run.driver.advance(10000);
    EXPECT_TRUE(run.calls().calls.empty());
    EXPECT_EQ(run.driver.openedWindows(), std::vector<std::string>{"frmLogo"});
}

TEST(BrandWindow, ClickInsideColouredTitleLabelIsATrigger) {
    CheckerRun run;
    run.prefix.file("A:\\Busprobe.dat", Contacts);
    run.start();
    // Label1 spans x 352..3607, y 240..615 twips inside Frame3 at (120, 0).
    run.driver.clickAt("frmLogo", (120 + 400) / 15, 300 / 15);
    EXPECT_FALSE(run.driver.form("frmLogo"));
    EXPECT_TRUE(run.driver.form("frmWrong"));
}
