// outputs-guard: started by the program with one end of a socket pair as its
// standard input, it outlives the program and drives every output low when the
// program ends without dismissing it (killed, out of memory, its display gone,
// a restart that failed), or kills it first when its logic cycle stops giving
// signs (frozen, stopped). It sleeps in a poll, woken only by what the program
// sends (once a second) or by the end of the freeze time.
#include <signal.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cstdio>

#include "platform/gpio/sysfs_gpio.h"
#include "platform/guard/program_watch.h"

int main() {
    // A terminal's Ctrl-C or hang-up ends the program, not its guard.
    signal(SIGINT, SIG_IGN);
    signal(SIGHUP, SIG_IGN);
    signal(SIGPIPE, SIG_IGN);
    static_cast<void>(setsid());  // already a session leader when the program made it so
    // Any other copy of the program's end held here would keep the socket open.
    syscall(SYS_close_range, 3U, ~0U, 0U);
    struct stat status {};
    if (fstat(STDIN_FILENO, &status) != 0 || !S_ISSOCK(status.st_mode)) {
        std::fprintf(stderr, "outputs-guard: to be started by flextor, with its socket as input\n");
        return 2;
    }
    flextor::SysfsGpio gpio(flextor::GpioRootFromEnvironment());
    const flextor::GuardOutcome outcome = flextor::WatchProgram(STDIN_FILENO, gpio);
    return outcome.failed_pins.empty() ? 0 : 1;
}
