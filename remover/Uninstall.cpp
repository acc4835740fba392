#include "remover/Uninstall.h"

#include "sysaccess/RuntimeError.h"

namespace busclean {

Uninstall::Uninstall() : Form("Uninstall") {
    layout();
    Command1.Click = [this] { Command1_Click(); };
    Command2.Click = [this] { Command2_Click(); };
    Label1.Click = [this] { Label1_Click(); };
    Picture1.Click = [this] { Picture1_Click(); };
}

const std::string& Uninstall::CurrentEntry() const {
    if (EntryIndex < 0 || EntryIndex > 200) sysaccess::raise(sysaccess::err::SubscriptOutOfRange, "Subscript out of range");
    return RemovalList[static_cast<std::size_t>(EntryIndex)];
}

Label& Uninstall::Block(int n) {
    static constexpr Label Uninstall::*blocks[27] = {
        &Uninstall::Label9,  &Uninstall::Label10, &Uninstall::Label11, &Uninstall::Label12, &Uninstall::Label13,
        &Uninstall::Label14, &Uninstall::Label15, &Uninstall::Label16, &Uninstall::Label17, &Uninstall::Label18,
        &Uninstall::Label19, &Uninstall::Label20, &Uninstall::Label21, &Uninstall::Label22, &Uninstall::Label23,
        &Uninstall::Label24, &Uninstall::Label25, &Uninstall::Label26, &Uninstall::Label27, &Uninstall::Label28,
        &Uninstall::Label29, &Uninstall::Label30, &Uninstall::Label31, &Uninstall::Label32, &Uninstall::Label33,
        &Uninstall::Label34, &Uninstall::Label35};
    if (n < 1 || n > 27) sysaccess::raise(sysaccess::err::SubscriptOutOfRange, "Subscript out of range");
    return this->*blocks[n - 1];
}

}  // namespace busclean
