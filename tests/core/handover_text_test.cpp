#include "app/handover_text.h"

#include <gtest/gtest.h>

using namespace zuv;
using namespace std::string_literals;

namespace {

using Arguments = std::vector<std::string>;

TEST(HandedOverFiles, TakesTheFilesUpToTheFirstNul)
{
#ifdef _WIN32
    GTEST_SKIP() << "on Windows an argument that begins with / is a switch";
#else
    const std::string block = "zuvora \"/films/Egy film.avi\" -start /b.mkv /start\0/old/c.avi"s;
    EXPECT_EQ(HandedOverFiles(block), (Arguments{"/films/Egy film.avi", "/b.mkv"}));
    EXPECT_EQ(HandedOverFiles("\0zuvora /a.avi"s), Arguments{});
    EXPECT_EQ(HandedOverFiles("zuvora"), Arguments{});
#endif
}

TEST(HandedOverFiles, GivesBackWhatTheSenderJoined)
{
#ifdef _WIN32
    GTEST_SKIP() << "on Windows an argument that begins with / is a switch";
#else
    const Arguments sent{"/usr/bin/zuvora", "/films/Egy film.avi", "", "/x/plain.mkv", "-start"};
    EXPECT_EQ(HandedOverFiles(JoinCommandLine(sent)),
              (Arguments{"/films/Egy film.avi", "", "/x/plain.mkv"}));
#endif
}

} // namespace
