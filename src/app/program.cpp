#include "app/program.h"

namespace flextor {

Program::Program()
    : loop_(Glib::MainLoop::create()),
      signals_(std::make_unique<TerminationSignals>([this] { OnTerminationSignal(); })) {}

Program::~Program() {
    Uninstall();
}

// The destructor takes the core's views of the window back.
int Program::Run(const CommandLine& command_line) {
    if (!Start(command_line)) {
        return 1;
    }
    RunLoop();
    Shutdown();
    return 0;
}

}  // namespace flextor
