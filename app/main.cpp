#include "app/application.h"
#include "app/program_start.h"

int main(int argc, char** argv) {
    app::Application application(argc, argv);
    app::startMainWindow();
    return application.exec();
}
