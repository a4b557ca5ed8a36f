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
    const Arguments sent{
        "/usr/bin/zuvora", "/films/Egy film.avi", "",      "/x/plain.mkv", "/films/say \"hi\" now",
        "/tab\tend\\",     "/films/end\\ x\\",    "-start"};
    EXPECT_EQ(HandedOverFiles(JoinCommandLine(sent)),
              (Arguments(sent.begin() + 1, sent.end() - 1)));
    // Names without quotes are joined as the plain quote-when-spaced text.
    EXPECT_EQ(JoinCommandLine({"/usr/bin/zuvora", "/a b/c.avi", ""}),
              "/usr/bin/zuvora \"/a b/c.avi\" \"\"");
#endif
}

} // namespace
