#include "ui/app/program.h"

namespace flextor {

Program::Program()
    : loop_(Glib::MainLoop::create()),
      signals_(std::make_unique<TerminationSignals>([this] { OnTerminationSignal(); })) {}

Program::~Program() {
    Uninstall();
}

int Program::Run(const CommandLine& command_line) {
    if (!Start(command_line)) {
        Uninstall();
        return 1;
    }
    RunLoop();
    Shutdown();
    Uninstall();
    return 0;
}

}  // namespace flextor
