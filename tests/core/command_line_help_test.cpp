#include "app/command_line_help.h"

#include <gtest/gtest.h>

using namespace zuv;

TEST(CommandLineHelp, OnlyTheFirstArgumentAsksForHelpOrVersion)
{
    std::string version = "Zuvora " + std::to_string(ZUVORA_VERSION_MAJOR) + "." +
                          std::to_string(ZUVORA_VERSION_MINOR) + "." +
                          std::to_string(ZUVORA_VERSION_PATCH);
    if (ZUVORA_PRERELEASE)
        version += " b";
    EXPECT_EQ(CommandLineInformation({"zuvora", "--version"}), version + "\n");
    EXPECT_EQ(CommandLineInformation({"zuvora", "--help", "film.avi"}), HelpText());

    // Everything else starts the program, with the first argument as its media file.
    for (const std::vector<std::string>& commandLine :
         std::vector<std::vector<std::string>>{{"zuvora"},
                                               {"zuvora", "film.avi", "--version"},
                                               {"zuvora", "-start", "--help"},
                                               {"zuvora", "--HELP"},
                                               {"zuvora", "-help"},
                                               {"zuvora", "/version"},
                                               {"zuvora", ""}}) {
        EXPECT_FALSE(CommandLineInformation(commandLine)) << commandLine.back();
    }
}
