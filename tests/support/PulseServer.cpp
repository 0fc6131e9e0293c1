#include "PulseServer.h"

#include <unistd.h>

#include <cstdlib>
#include <stdexcept>

namespace sveltor::test {

TPulseServer::TPulseServer() {
    // The server and every client of this process find each other through these.
    ::setenv("XDG_RUNTIME_DIR", FDir.Path().c_str(), 1);
    ::setenv("PULSE_RUNTIME_PATH", (FDir / "pulse").c_str(), 1);
    ::setenv("HOME", FDir.Path().c_str(), 1);
    const TRunResult started =
        RunProgram("/usr/bin/pulseaudio",
                   {"-D", "--exit-idle-time=-1", "-n", "--load=module-native-protocol-unix",
                    "--load=module-null-sink sink_name=nullsink"});
    if (started.ExitCode != 0)
        throw std::runtime_error("pulseaudio did not start: " + started.Err);
    for (int i = 0; i < 100; ++i) {
        if (RunProgram("/usr/bin/pactl", {"info"}).ExitCode == 0)
            return;
        ::usleep(50000);
    }
    throw std::runtime_error("pulseaudio did not answer");
}

TPulseServer::~TPulseServer() {
    RunProgram("/usr/bin/pulseaudio", {"-k"});
}

} // namespace sveltor::test
