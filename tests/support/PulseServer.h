#pragma once

#include "TestFiles.h"

#include <string>

namespace sveltor::test {

// A PulseAudio server of the test's own, with a null sink named "nullsink" whose monitor
// can be recorded. It lives in a private runtime folder, which this process's
// environment points at, and is stopped when the object goes.
class TPulseServer {
public:
    TPulseServer();
    ~TPulseServer();
    TPulseServer(const TPulseServer&) = delete;
    TPulseServer& operator=(const TPulseServer&) = delete;

    const std::string& RuntimeDir() const noexcept { return FDir.Path(); }

private:
    TTempDir FDir;
};

} // namespace sveltor::test
