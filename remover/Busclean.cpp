#include "remover/Busclean.h"

#include "remover/Uninstall.h"
#include "sysaccess/ui/Application.h"

namespace busclean {

int run(sysaccess::ui::Driver& driver) {
    sysaccess::ui::Application app(driver, "Busclean");
    return app.run(app.form<Uninstall>());
}

}  // namespace busclean
