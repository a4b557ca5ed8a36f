#include "app/main_window_layout.h"

#include <gtest/gtest.h>
#include <string>
#include <utility>
#include <vector>

using namespace zuv;

namespace {

// Texts as narrow as the font the window was drawn for: every control fits its drawn box.
MainWindowMeasures DrawnFont()
{
    MainWindowMeasures m;
    m.Label1 = {52, 13};
    m.Label2 = {36, 13};
    m.Label3 = {135, 13};
    m.comboHeight = 21;
    m.btnSelFile = m.btnSelSub = {50, 23};
    m.btnSettings = {70, 23};
    m.cbFullscreen = {96, 16};
    m.cbLoop = {60, 16};
    m.cbIdx = {95, 16};
    m.cbShutdown = {165, 16};
    m.cbOnTop = {125, 16};
    m.btnHelp = {60, 23};
    m.Label4 = {90, 8};
    m.cbCustomVolume = {80, 16};
    m.lVolume = {20, 13};
    m.cbExtraStereo = {85, 16};
    m.trackBarHeight = 21;
    m.btnPlaylist = {55, 23};
    m.btnAddPlaylist = m.btnDelPlaylist = {20, 23};
    m.btnPlaylistUp = m.btnPlaylistDown = {30, 23};
    m.btnStop = {70, 23};
    m.btnStart = {50, 23};
    return m;
}

// Every control with what it needs (zero where only its drawn size counts).
std::vector<std::pair<std::string, std::pair<ControlRect, ControlSize>>>
Controls(const MainWindowGeometry& g, const MainWindowMeasures& m)
{
    return {
        {"Label1", {g.Label1, m.Label1}},
        {"comboFile", {g.comboFile, {0, m.comboHeight}}},
        {"btnSelFile", {g.btnSelFile, m.btnSelFile}},
        {"Label2", {g.Label2, m.Label2}},
        {"comboSub", {g.comboSub, {0, m.comboHeight}}},
        {"btnSelSub", {g.btnSelSub, m.btnSelSub}},
        {"Bevel1", {g.Bevel1, {}}},
        {"Label3", {g.Label3, m.Label3}},
        {"comboParams", {g.comboParams, {0, m.comboHeight}}},
        {"btnSettings", {g.btnSettings, m.btnSettings}},
        {"cbFullscreen", {g.cbFullscreen, m.cbFullscreen}},
        {"cbLoop", {g.cbLoop, m.cbLoop}},
        {"cbIdx", {g.cbIdx, m.cbIdx}},
        {"cbShutdown", {g.cbShutdown, m.cbShutdown}},
        {"cbOnTop", {g.cbOnTop, m.cbOnTop}},
        {"btnHelp", {g.btnHelp, m.btnHelp}},
        {"Label4", {g.Label4, m.Label4}},
        {"cbCustomVolume", {g.cbCustomVolume, m.cbCustomVolume}},
        {"lVolume", {g.lVolume, m.lVolume}},
        {"tbVolume", {g.tbVolume, {0, m.trackBarHeight}}},
        {"cbExtraStereo", {g.cbExtraStereo, m.cbExtraStereo}},
        {"tbExtraStereo", {g.tbExtraStereo, {0, m.trackBarHeight}}},
        {"Bevel2", {g.Bevel2, {}}},
        {"btnPlaylist", {g.btnPlaylist, m.btnPlaylist}},
        {"btnAddPlaylist", {g.btnAddPlaylist, m.btnAddPlaylist}},
        {"btnDelPlaylist", {g.btnDelPlaylist, m.btnDelPlaylist}},
        {"btnPlaylistUp", {g.btnPlaylistUp, m.btnPlaylistUp}},
        {"btnPlaylistDown", {g.btnPlaylistDown, m.btnPlaylistDown}},
        {"lvPlaylist", {g.lvPlaylist, {}}},
        {"btnStop", {g.btnStop, m.btnStop}},
        {"btnStart", {g.btnStart, m.btnStart}},
    };
}

bool Intersect(const ControlRect& a, const ControlRect& b)
{
    return a.left < b.Right() && b.left < a.Right() && a.top < b.Bottom() && b.top < a.Bottom();
}

} // namespace

TEST(MainWindowLayout, NarrowTextsKeepTheDrawnPlaces)
{
    const MainWindowGeometry g = LayOutMainWindow(DrawnFont());
    EXPECT_EQ(g.width, 497);
    EXPECT_EQ(g.heightWithPlaylist, 457);
    EXPECT_EQ(g.heightWithoutPlaylist, 288);
    const std::pair<ControlRect, ControlRect> drawn[] = {
        {g.comboFile, {8, 24, 401, 21}},
        {g.btnSelFile, {416, 24, 73, 25}},
        {g.comboSub, {8, 64, 401, 21}},
        {g.btnSelSub, {416, 64, 73, 25}},
        {g.comboParams, {8, 128, 401, 21}},
        {g.btnSettings, {416, 128, 73, 25}},
        {g.Bevel1, {8, 96, 481, 2}},
        {g.Bevel2, {8, 240, 481, 2}},
        {g.btnHelp, {176, 208, 73, 25}},
        {g.lVolume, {441, 160, 40, 16}},
        {g.tbVolume, {288, 176, 201, 25}},
        {g.tbExtraStereo, {392, 208, 97, 25}},
        {g.btnPlaylist, {8, 256, 73, 25}},
        {g.btnAddPlaylist, {88, 256, 33, 25}},
        {g.btnDelPlaylist, {128, 256, 33, 25}},
        {g.btnPlaylistUp, {168, 256, 33, 25}},
        {g.btnPlaylistDown, {208, 256, 33, 25}},
        {g.lvPlaylist, {8, 288, 481, 161}},
        {g.btnStop, {328, 256, 75, 25}},
        {g.btnStart, {416, 256, 73, 25}},
    };
    for (const auto& [got, want] : drawn)
        EXPECT_EQ(got, want) << got.left << "," << got.top << " " << got.width << "x" << got.height;
    // The labels and check boxes at their drawn top-left corners.
    const std::pair<ControlRect, std::pair<int, int>> corners[] = {
        {g.Label1, {8, 8}},
        {g.Label2, {8, 48}},
        {g.Label3, {8, 112}},
        {g.cbFullscreen, {8, 160}},
        {g.cbLoop, {8, 184}},
        {g.cbIdx, {8, 208}},
        {g.cbShutdown, {112, 160}},
        {g.cbOnTop, {112, 184}},
        {g.Label4, {16, 232}},
        {g.cbCustomVolume, {288, 160}},
        {g.cbExtraStereo, {288, 216}},
    };
    for (const auto& [got, corner] : corners)
        EXPECT_EQ(std::make_pair(got.left, got.top), corner);
}

// Longer texts and larger fonts: every control gets what it needs, none overlaps another, all
// stay inside the window, and the arrangement (columns, rows, Stop before Start) is kept.
TEST(MainWindowLayout, TextsThatNeedMoreRoomMoveTheOthersAndGrowTheWindow)
{
    MainWindowMeasures german = DrawnFont();
    german.btnSettings = {110, 23};
    german.cbIdx = {125, 20};
    german.cbShutdown = {215, 20};
    german.cbOnTop = {200, 20};
    german.cbCustomVolume = {125, 20};
    german.Label3 = {190, 16};
    MainWindowMeasures larger; // everything about one and a half times the drawn font
    for (auto [size, from] : {std::pair{&larger.Label1, &german.Label1},
                              {&larger.Label2, &german.Label2},
                              {&larger.Label3, &german.Label3},
                              {&larger.btnSelFile, &german.btnSelFile},
                              {&larger.btnSelSub, &german.btnSelSub},
                              {&larger.btnSettings, &german.btnSettings},
                              {&larger.cbFullscreen, &german.cbFullscreen},
                              {&larger.cbLoop, &german.cbLoop},
                              {&larger.cbIdx, &german.cbIdx},
                              {&larger.cbShutdown, &german.cbShutdown},
                              {&larger.cbOnTop, &german.cbOnTop},
                              {&larger.btnHelp, &german.btnHelp},
                              {&larger.Label4, &german.Label4},
                              {&larger.cbCustomVolume, &german.cbCustomVolume},
                              {&larger.lVolume, &german.lVolume},
                              {&larger.cbExtraStereo, &german.cbExtraStereo},
                              {&larger.btnPlaylist, &german.btnPlaylist},
                              {&larger.btnAddPlaylist, &german.btnAddPlaylist},
                              {&larger.btnDelPlaylist, &german.btnDelPlaylist},
                              {&larger.btnPlaylistUp, &german.btnPlaylistUp},
                              {&larger.btnPlaylistDown, &german.btnPlaylistDown},
                              {&larger.btnStop, &german.btnStop},
                              {&larger.btnStart, &german.btnStart}})
        *size = {from->width * 3 / 2, from->height * 3 / 2};
    larger.comboHeight = 32;
    larger.trackBarHeight = 30;
    MainWindowMeasures wideCredit = DrawnFont(); // a credit line that reaches the help button
    wideCredit.Label4 = {200, 12};
    MainWindowMeasures wideButtons = DrawnFont(); // the bottom row wider than the drawn window
    wideButtons.btnPlaylist = wideButtons.btnStop = wideButtons.btnStart = {140, 30};

    for (const auto& [name, measures] : {std::pair{"drawn", DrawnFont()},
                                         {"German", german},
                                         {"larger font", larger},
                                         {"wide credit", wideCredit},
                                         {"wide buttons", wideButtons}}) {
        SCOPED_TRACE(name);
        const MainWindowGeometry g = LayOutMainWindow(measures);
        EXPECT_GE(g.width, 497);
        EXPECT_EQ(g.heightWithoutPlaylist, g.lvPlaylist.top);
        EXPECT_EQ(g.heightWithPlaylist, g.lvPlaylist.Bottom() + 8);
        const auto controls = Controls(g, measures);
        for (std::size_t i = 0; i < controls.size(); ++i) {
            const auto& [name1, placed1] = controls[i];
            const ControlRect& rect = placed1.first;
            EXPECT_GE(rect.width, placed1.second.width) << name1;
            EXPECT_GE(rect.height, placed1.second.height) << name1;
            EXPECT_TRUE(rect.left >= 0 && rect.top >= 0 && rect.Right() <= g.width &&
                        rect.Bottom() <= g.heightWithPlaylist)
                << name1;
            for (std::size_t j = i + 1; j < controls.size(); ++j)
                EXPECT_FALSE(Intersect(rect, controls[j].second.first))
                    << name1 << " overlaps " << controls[j].first;
        }
        // The three columns of switches left to right, the fields top to bottom.
        EXPECT_LT(g.cbFullscreen.left, g.cbShutdown.left);
        EXPECT_LT(g.cbShutdown.left, g.cbCustomVolume.left);
        EXPECT_EQ(g.cbLoop.left, g.cbFullscreen.left);
        EXPECT_EQ(g.cbOnTop.left, g.cbShutdown.left);
        EXPECT_LT(g.comboFile.top, g.comboSub.top);
        EXPECT_LT(g.comboSub.top, g.Bevel1.top);
        EXPECT_LT(g.Bevel1.top, g.comboParams.top);
        EXPECT_LT(g.btnStop.left, g.btnStart.left);
        EXPECT_EQ(g.btnStart.Right(), g.width - 8);
        EXPECT_GE(g.comboFile.width, 401);
    }
}
