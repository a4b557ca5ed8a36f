#include "platform/process.h"
#include "platform/system_error.h"
#include "platform/zuvora_error.h"

#include <gtest/gtest.h>

namespace zuv {
namespace {

using namespace std::chrono_literals;

TEST(RunToEnd, GivesExitCodeAndOutputAndStopsWhatRunsTooLongOrTooLoud)
{
    const struct
    {
        const char* name;
        std::string program;
        std::vector<std::string> arguments;
        std::error_code error;
        int exitCode;
        std::string output;
    } cases[] = {
        {"missing", "no-such-program-here", {}, platform::SystemError(ENOENT), -1, ""},
        {"exit code and both streams",
         "sh",
         {"-c", "echo out; echo err >&2; exit 3"},
         {},
         3,
         "out\nerr\n"},
        // The output is cut, but the program still runs to its end.
        {"too loud",
         "sh",
         {"-c", "yes | head -c 100000; exit 0"},
         {},
         0,
         "y\ny\ny\ny\ny\ny\ny\ny\n"},
        {"too long", "sleep", {"30"}, std::make_error_code(std::errc::timed_out), -1, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const platform::FinishedRun run = platform::RunToEnd(c.program, c.arguments, 1s, 16);
        EXPECT_EQ(run.error, c.error) << run.error.message();
        EXPECT_EQ(run.exitCode, c.exitCode);
        EXPECT_EQ(run.output, c.output);
    }
}

TEST(ZuvoraError, OurCodesNeverMeetSystemCodesOfTheSameNumber)
{
    for (const ZuvoraError error : {ZuvoraError::NoFileType, ZuvoraError::OverriddenDefault}) {
        const std::error_code ours = error;
        EXPECT_NE(ours, platform::SystemError(ours.value()));
        EXPECT_NE(platform::ErrorMessage(ours), platform::SystemErrorMessage(ours.value()));
    }
    EXPECT_EQ(platform::ErrorMessage(platform::SystemError(ENOENT)),
              platform::SystemErrorMessage(ENOENT));
    EXPECT_EQ(platform::ErrorMessage({}), "");
}

} // namespace
} // namespace zuv
