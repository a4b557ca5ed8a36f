#include "platform/fonts.h"
#include "settings/font_list.h"
#include "support/test_support.h"

#include <filesystem>
#include <gtest/gtest.h>

using namespace zuv;
using zuv::test::ScopedEnv;
using zuv::test::TempDir;
using zuv::test::WriteFile;
using Strings = std::vector<std::string>;

namespace {

const std::string kDejaVuSans = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";
const std::string kDejaVuBold = "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf";

[[maybe_unused]] void Copy(const std::string& from, const std::string& to)
{
    std::filesystem::create_directories(std::filesystem::path(to).parent_path());
    std::filesystem::copy_file(from, to, std::filesystem::copy_options::overwrite_existing);
}

// Fontconfig limited to font folders of the test's own, with its cache inside the temp folder.
class OwnFontConfig
{
public:
    explicit OwnFontConfig(const TempDir& root, const Strings& folders)
        : m_file(root.file("fonts.conf")), m_env("FONTCONFIG_FILE", m_file),
          m_path("FONTCONFIG_PATH", std::nullopt), m_home("HOME", root.file("home")),
          m_dataHome("XDG_DATA_HOME", std::nullopt)
    {
        std::string conf = "<?xml version=\"1.0\"?>\n<!DOCTYPE fontconfig SYSTEM \"fonts.dtd\">\n"
                           "<fontconfig>\n";
        for (const std::string& folder : folders)
            conf += "  <dir>" + folder + "</dir>\n";
        conf += "  <cachedir>" + root.file("cache") + "</cachedir>\n</fontconfig>\n";
        WriteFile(m_file, conf);
    }

private:
    std::string m_file;
    ScopedEnv m_env, m_path, m_home, m_dataHome;
};

} // namespace

TEST(FontNames, ClashingNamesGetTheFileNameThenThePath)
{
    const std::vector<platform::FontFace> faces{
        {"Sans", "Book", "Sans", "/a/Sans.ttf"},
        {"Sans", "Book", "Sans", "/b/Sans.ttf"},
        {"Sans", "Book", "Sans", "/c/Copy.TTF"},
        {"Sans", "Book", "Sans", "/c/Copy.TTF"}, // reported twice
        {"Sans", "Book", "Sans", "/d/Sans.otf"},
        {"serif", "Bold", "", "/e/serif-bold.ttf"},
        {"", "", "", "/f/Nameless.ttf"},
    };
    const auto fonts = NameFontFaces(faces, true);
    Strings names;
    for (const InstalledFont& font : fonts)
        names.push_back(font.displayName);
    EXPECT_EQ(names, (Strings{"Nameless.ttf", "Sans (/a/Sans.ttf)", "Sans (/b/Sans.ttf)",
                              "Sans (Copy.TTF)", "serif Bold"}));
    EXPECT_EQ(fonts[1].file, "/a/Sans.ttf");
    EXPECT_EQ(fonts[3].file, "/c/Copy.TTF");

    // Without the filter the .otf face joins the clash; a lone name stays plain.
    const auto all = NameFontFaces(faces, false);
    EXPECT_EQ(all.size(), 6u);
    EXPECT_EQ(all[4].displayName, "Sans (Sans.otf)");
    EXPECT_EQ(NameFontFaces({faces[4]}, false)[0].displayName, "Sans");
}

TEST(InstalledFonts, ListsTrueTypeFontsFromTheConfigurationAndMapsNamesToFiles)
{
#ifdef _WIN32
    GTEST_SKIP()
        << "fontconfig belongs to Linux; the registry fonts of Windows are tested in tests/win32";
#else
    if (!std::filesystem::exists(kDejaVuSans) || !std::filesystem::exists(kDejaVuBold))
        GTEST_SKIP() << "fonts-dejavu-core is not installed";
    TempDir root;
    const std::string fonts = root.file("fonts/");
    Copy(kDejaVuSans, fonts + "DejaVuSans.ttf");
    Copy(kDejaVuBold, fonts + "DejaVuSans-Bold.TTF");
    Copy(kDejaVuSans, fonts + "other/DejaVuSans.otf"); // the same font, not in a .ttf file
    WriteFile(fonts + "broken.pfb", "not a font");
    OwnFontConfig config(root, {fonts});

    Strings list{"stale"};
    ASSERT_TRUE(ReadInstalledFonts(list, true));
    EXPECT_EQ(list, (Strings{"DejaVu Sans", "DejaVu Sans Bold"}));
    EXPECT_EQ(FontFileFromName("DejaVu Sans"), fonts + "DejaVuSans.ttf");
    EXPECT_EQ(FontFileFromName("DejaVu Sans Bold"), fonts + "DejaVuSans-Bold.TTF");
    EXPECT_EQ(FontFileFromName("DejaVu Serif"), "");
    EXPECT_EQ(FontFileFromName(""), "");

    // Every font: the two faces named alike are told apart, and both names lead to their file.
    ASSERT_TRUE(ReadInstalledFonts(list, false));
    EXPECT_EQ(list, (Strings{"DejaVu Sans (DejaVuSans.otf)", "DejaVu Sans (DejaVuSans.ttf)",
                             "DejaVu Sans Bold"}));
    EXPECT_EQ(FontFileFromName("DejaVu Sans (DejaVuSans.otf)"), fonts + "other/DejaVuSans.otf");
    EXPECT_EQ(FontFileFromName("DejaVu Sans (DejaVuSans.ttf)"), fonts + "DejaVuSans.ttf");
#endif
}

TEST(InstalledFonts, FontFolderIsTheUsersOwnOrTheFirstConfiguredOne)
{
#ifdef _WIN32
    GTEST_SKIP()
        << "fontconfig belongs to Linux; the registry fonts of Windows are tested in tests/win32";
#else
    TempDir root;
    OwnFontConfig config(root, {root.file("missing/"), root.file("fonts/")});
    std::filesystem::create_directories(root.file("fonts"));
    EXPECT_EQ(FontBrowseFolder(), root.file("fonts/"));

    std::filesystem::create_directories(root.file("home/.fonts"));
    EXPECT_EQ(FontBrowseFolder(), root.file("home/.fonts/"));
    std::filesystem::create_directories(root.file("home/.local/share/fonts"));
    EXPECT_EQ(FontBrowseFolder(), root.file("home/.local/share/fonts/"));

    ScopedEnv dataHome("XDG_DATA_HOME", root.file("data"));
    std::filesystem::create_directories(root.file("data/fonts"));
    EXPECT_EQ(FontBrowseFolder(), root.file("data/fonts/"));
#endif
}

TEST(InstalledFonts, BrowserOpensAtTheChosenFontElseWhereFontsAre)
{
#ifdef _WIN32
    GTEST_SKIP()
        << "fontconfig belongs to Linux; the registry fonts of Windows are tested in tests/win32";
#else
    if (!std::filesystem::exists(kDejaVuSans))
        GTEST_SKIP() << "fonts-dejavu-core is not installed";
    TempDir root;
    OwnFontConfig config(root, {root.file("empty/"), root.file("fonts/")});
    std::filesystem::create_directories(root.file("empty"));
    std::filesystem::create_directories(root.file("home/.fonts"));
    Copy(kDejaVuSans, root.file("fonts/truetype/DejaVuSans.ttf"));
    // Empty folders, the user's own among them, are passed over.
    EXPECT_EQ(FontBrowseFolder(), root.file("fonts/"));
    EXPECT_EQ(FontBrowseFolder(root.file("home/.fonts/mine.ttf")), root.file("home/.fonts/"));
    EXPECT_EQ(FontBrowseFolder(root.file("gone/mine.ttf")), root.file("fonts/"));
#endif
}
