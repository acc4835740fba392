#include "checker/Busprobe.h"

#include "checker/frmLogo.h"
#include "sysaccess/ui/Application.h"

namespace busprobe {

int run(sysaccess::ui::Driver& driver) {
    sysaccess::ui::Application app(driver, "Busprobe");
    return app.run(app.form<frmLogo>());
}

}  // namespace busprobe
