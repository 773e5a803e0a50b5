#include "app/program_start.h"

#include "app/application.h"
#include "app/tfcontavtascontado.h"

namespace app {

Tfcontavtascontado* startMainWindow() {
    auto* window = new Tfcontavtascontado;
    Application::runGuarded([window] { window->FormCreate(); });
    window->show();
    return window;
}

} // namespace app
