#include "app/main_window_layout.h"

#include <algorithm>

namespace zuv {

namespace {

constexpr int kMargin = 8;
// The least room between a text and the next control to its right.
constexpr int kTextGap = 8;
// A label above its field.
constexpr int kLabelGap = 3;
// A row of fields or buttons and what comes below it.
constexpr int kRowGap = 7;
// Buttons side by side, and Stop before Start.
constexpr int kButtonGap = 7;
constexpr int kStopGap = 13;
// A separator line and the row below it.
constexpr int kBevelHeight = 2;
constexpr int kBelowBevel = 16;

// Drawn sizes.
constexpr int kWindowWidth = 497;
constexpr int kComboWidth = 401;
constexpr int kComboHeight = 21;
constexpr ControlSize kButton{73, 25};
constexpr ControlSize kSmallButton{33, 25};
constexpr ControlSize kStopButton{75, 25};
constexpr int kCheckPitch = 24;
constexpr int kHelpIndent = 64; // btnHelp under the second column of check boxes
constexpr ControlSize kVolumeLabel{40, 16};
constexpr int kTrackBarHeight = 25;
constexpr int kVolumeWidth = 201;
constexpr int kStereoWidth = 97;
constexpr int kStereoCheckDrop = 8; // cbExtraStereo sits lower than its track bar
constexpr int kPlaylistHeight = 161;

// Drawn places that the rows keep while the texts above them leave room.
constexpr int kColumnB = 112;
constexpr int kColumnC = 288;
constexpr int kSwitchesTop = 160;
constexpr int kCreditTop = 232;
constexpr int kBevel2Top = 240;

ControlSize AtLeast(ControlSize needed, ControlSize drawn)
{
    return {std::max(needed.width, drawn.width), std::max(needed.height, drawn.height)};
}

ControlRect At(int left, int top, ControlSize size)
{
    return {left, top, size.width, size.height};
}

} // namespace

MainWindowGeometry LayOutMainWindow(const MainWindowMeasures& m)
{
    MainWindowGeometry g;

    // Widths first: the window is as wide as its widest row needs, and never narrower than drawn.
    const int comboHeight = std::max(m.comboHeight, kComboHeight);
    const ControlSize browse =
        AtLeast(AtLeast(AtLeast(m.btnSelFile, kButton), m.btnSelSub), m.btnSettings);
    const int fieldRow = std::max(comboHeight, browse.height);

    const int columnA = std::max({m.cbFullscreen.width, m.cbLoop.width, m.cbIdx.width});
    const ControlSize help = AtLeast(m.btnHelp, kButton);
    const int leftB = std::max(kColumnB, kMargin + columnA + kTextGap);
    const int columnB = std::max({m.cbShutdown.width, m.cbOnTop.width, kHelpIndent + help.width});
    const int leftC = std::max(kColumnC, leftB + columnB + kTextGap);
    const ControlSize volume = AtLeast(m.lVolume, kVolumeLabel);
    const int columnC =
        std::max({kVolumeWidth, m.cbCustomVolume.width + kTextGap + volume.width + kMargin,
                  m.cbExtraStereo.width + kTextGap + kStereoWidth});

    const ControlSize playlistButtons[] = {
        AtLeast(m.btnPlaylist, kButton), AtLeast(m.btnAddPlaylist, kSmallButton),
        AtLeast(m.btnDelPlaylist, kSmallButton), AtLeast(m.btnPlaylistUp, kSmallButton),
        AtLeast(m.btnPlaylistDown, kSmallButton)};
    const ControlSize stop = AtLeast(m.btnStop, kStopButton);
    const ControlSize start = AtLeast(m.btnStart, kButton);
    int buttonRow = kMargin;
    int buttonHeight = std::max(stop.height, start.height);
    for (const ControlSize& button : playlistButtons) {
        buttonRow += button.width + kButtonGap;
        buttonHeight = std::max(buttonHeight, button.height);
    }
    buttonRow += stop.width + kStopGap + start.width + kMargin;

    const int width =
        std::max({kWindowWidth, kMargin + kComboWidth + kButtonGap + browse.width + kMargin,
                  leftC + columnC + kMargin, buttonRow, kMargin + m.Label1.width + kMargin,
                  kMargin + m.Label2.width + kMargin, kMargin + m.Label3.width + kMargin});
    g.width = width;
    const int comboWidth = width - kMargin - kButtonGap - browse.width - kMargin;
    const int browseLeft = width - kMargin - browse.width;

    // The three fields, each under its label with its button beside it.
    g.Label1 = At(kMargin, kMargin, m.Label1);
    const int row1 = std::max(24, g.Label1.Bottom() + kLabelGap);
    g.comboFile = {kMargin, row1, comboWidth, comboHeight};
    g.btnSelFile = At(browseLeft, row1, browse);

    g.Label2 = At(kMargin, std::max(48, row1 + comboHeight + kLabelGap), m.Label2);
    const int row2 = std::max({64, g.Label2.Bottom() + kLabelGap, g.btnSelFile.Bottom() + 2});
    g.comboSub = {kMargin, row2, comboWidth, comboHeight};
    g.btnSelSub = At(browseLeft, row2, browse);

    g.Bevel1 = {kMargin, std::max(96, row2 + fieldRow + kRowGap), width - 2 * kMargin,
                kBevelHeight};

    g.Label3 = At(kMargin, g.Bevel1.top + kBelowBevel, m.Label3);
    const int row3 = std::max(128, g.Label3.Bottom() + kLabelGap);
    g.comboParams = {kMargin, row3, comboWidth, comboHeight};
    g.btnSettings = At(browseLeft, row3, browse);

    // The switches: three columns of check boxes, the volume and extra-stereo bars at the right.
    const int checkHeight =
        std::max({m.cbFullscreen.height, m.cbLoop.height, m.cbIdx.height, m.cbShutdown.height,
                  m.cbOnTop.height, m.cbCustomVolume.height, m.cbExtraStereo.height});
    const int pitch = std::max(kCheckPitch, checkHeight + 4);
    const int rowA = std::max(kSwitchesTop, row3 + fieldRow + kRowGap);
    const int rowB = rowA + pitch;
    const int rowC = rowB + pitch;

    g.cbFullscreen = At(kMargin, rowA, m.cbFullscreen);
    g.cbLoop = At(kMargin, rowB, m.cbLoop);
    g.cbIdx = At(kMargin, rowC, m.cbIdx);
    g.cbShutdown = At(leftB, rowA, m.cbShutdown);
    g.cbOnTop = At(leftB, rowB, m.cbOnTop);
    g.btnHelp = At(leftB + kHelpIndent, rowC, help);
    // The credit line under the first column, and under the help button where it reaches it.
    int creditTop = std::max(kCreditTop, g.cbIdx.Bottom() + 2);
    if (2 * kMargin + m.Label4.width > g.btnHelp.left)
        creditTop = std::max(creditTop, g.btnHelp.Bottom() + 2);
    g.Label4 = At(2 * kMargin, creditTop, m.Label4);

    const int trackHeight = std::max(m.trackBarHeight, kTrackBarHeight);
    g.cbCustomVolume = At(leftC, rowA, m.cbCustomVolume);
    g.lVolume = At(width - 2 * kMargin - volume.width, rowA, volume);
    const int volumeTop = rowA + std::max({16, m.cbCustomVolume.height, volume.height});
    g.tbVolume = {leftC, volumeTop, width - kMargin - leftC, trackHeight};
    g.tbExtraStereo = {width - kMargin - kStereoWidth,
                       std::max(rowC, g.tbVolume.Bottom() + kRowGap), kStereoWidth, trackHeight};
    g.cbExtraStereo = At(leftC,
                         g.tbExtraStereo.top +
                             std::clamp(trackHeight - m.cbExtraStereo.height, 0, kStereoCheckDrop),
                         m.cbExtraStereo);

    g.Bevel2 = {kMargin,
                std::max({kBevel2Top, g.Label4.Bottom(), g.cbIdx.Bottom() + kRowGap,
                          g.btnHelp.Bottom() + kRowGap, g.tbExtraStereo.Bottom() + kRowGap,
                          g.cbExtraStereo.Bottom() + kRowGap}),
                width - 2 * kMargin, kBevelHeight};

    // The playlist buttons from the left, Stop and Start at the right, the list below them.
    const int rowP = g.Bevel2.top + kBelowBevel;
    ControlRect* playlistRects[] = {&g.btnPlaylist, &g.btnAddPlaylist, &g.btnDelPlaylist,
                                    &g.btnPlaylistUp, &g.btnPlaylistDown};
    int left = kMargin;
    for (int i = 0; i < 5; ++i) {
        *playlistRects[i] = {left, rowP, playlistButtons[i].width, buttonHeight};
        left += playlistButtons[i].width + kButtonGap;
    }
    g.btnStart = {width - kMargin - start.width, rowP, start.width, buttonHeight};
    g.btnStop = {g.btnStart.left - kStopGap - stop.width, rowP, stop.width, buttonHeight};
    g.lvPlaylist = {kMargin, rowP + std::max(32, buttonHeight + kRowGap), width - 2 * kMargin,
                    kPlaylistHeight};

    g.heightWithoutPlaylist = g.lvPlaylist.top;
    g.heightWithPlaylist = g.lvPlaylist.Bottom() + kMargin;
    return g;
}

} // namespace zuv
