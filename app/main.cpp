#include "app/application.h"
#include "app/program_start.h"

#include <iostream>

int main(int argc, char** argv) {
    if (const std::optional<int> status = app::answerCommandLine(argc, argv, std::cout, std::cerr))
        return *status;
    app::Application application(argc, argv);
    app::startMainWindow();
    return application.exec();
}
