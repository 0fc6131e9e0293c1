// The real program on a real X server (Xvfb) with a PulseAudio null sink: it starts, shows
// its window, closes on a close request and writes its history.
#include "PulseServer.h"
#include "TestFiles.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <string>

namespace sveltor {
namespace {

// An X server of the test's own on a free display, stopped with the object.
class TXServer {
public:
    TXServer()
        : FProcess("Xvfb", {"-displayfd", "1", "-screen", "0", "1024x768x24", "-nolisten", "tcp"},
                   FDir / "display") {
        for (int i = 0; i < 250 && FDisplay.empty(); ++i) {
            ::usleep(20000);
            const test::TBytes text = test::ReadBytes(FDir / "display");
            for (const unsigned char c : text)
                if (c >= '0' && c <= '9')
                    FDisplay += static_cast<char>(c);
        }
        if (FDisplay.empty())
            throw std::runtime_error("Xvfb did not start");
        FDisplay = ":" + FDisplay;
    }
    const std::string& Display() const noexcept { return FDisplay; }

private:
    test::TTempDir FDir;
    test::TBackgroundProcess FProcess;
    std::string FDisplay;
};

TEST(DesktopRun, StartsShowsClosesOnRequestAndWritesItsHistory) {
    test::TPulseServer audio;
    TXServer x;
    ::setenv("DISPLAY", x.Display().c_str(), 1);
    ::setenv("QT_QPA_PLATFORM", "xcb", 1);
    test::TTempDir start;

    test::TBackgroundProcess program(SVELTOR_PROGRAM, {}, {}, start.Path());
    const test::TRunResult found = test::RunProgram(
        "/usr/bin/timeout", {"30", "xdotool", "search", "--sync", "--name", "^Sveltor$"});
    ASSERT_EQ(found.ExitCode, 0) << found.Err;
    const std::string window = found.Out.substr(0, found.Out.find('\n'));
    ASSERT_FALSE(window.empty());

    // No window manager runs here to give the new window the focus; the user's click does.
    const test::TRunResult focused =
        test::RunProgram("/usr/bin/xdotool", {"windowfocus", "--sync", window});
    ASSERT_EQ(focused.ExitCode, 0) << focused.Err;
    ::usleep(1000000); // time for the first activation, which reads the history

    const test::TRunResult closed = test::RunProgram(SVELTOR_CLOSE_REQUEST, {window});
    ASSERT_EQ(closed.ExitCode, 0) << closed.Err;
    EXPECT_EQ(program.Wait(15000), 0) << "the program ended by itself, returning 0";

    const test::TBytes history = test::ReadBytes(start / "dir.hst");
    EXPECT_EQ(std::string(history.begin(), history.end()), start.Path());
}

} // namespace
} // namespace sveltor
