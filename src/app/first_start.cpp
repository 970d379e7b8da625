// A first start: without Options.ini the program does not know whether the relay
// board switches on at a high level or at a low one, and driving the outputs
// "low" would turn every relay of a low-switching board on. So it asks, before
// the outputs guard is started and before any pin is exported, and waits for
// the answer however long that takes (an autostart at boot with nobody at the
// screen touches nothing). A start with Options.ini present never asks.
#include <sys/stat.h>

#include <cstdio>

#include "app/program.h"
#include "app/program_folder.h"
#include "core/options/options.h"
#include "ui/widgets/relay_board_dialog.h"

namespace flextor {

// False when the question was closed unanswered (by its close button or a
// termination signal): the program then ends without having touched a pin.
bool Program::AskRelayBoardOnFirstStart() {
    const std::string path = ProgramFolder() + kOptionsFileName;
    struct stat info {};
    if (lstat(path.c_str(), &info) == 0) {
        return true;
    }
    const RelayBoardAnswer answer = AskRelayBoard();
    if (answer == RelayBoardAnswer::kNone) {
        std::fprintf(stderr,
                     "flextor: the relay board was not chosen; no pin was touched, the program "
                     "ends and asks again at its next start\n");
        return false;
    }
    first_start_active_low_ = answer == RelayBoardAnswer::kLow;
    Options options;
    options.outputs.active_low = *first_start_active_low_;
    // A file that cannot be written is reported by LoadOptionsFile, which tries
    // again; this run follows the answer either way.
    static_cast<void>(SaveOptions(path, options));
    return true;
}

}  // namespace flextor
