#pragma once
// The start of the program once the application object exists: the main
// window is built, FormCreate runs, and the window is shown, also when
// FormCreate failed.

namespace app {

class Tfcontavtascontado;

// The window deletes itself when it is closed.
Tfcontavtascontado* startMainWindow();

} // namespace app
