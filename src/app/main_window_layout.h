#pragma once

// Where the main window's controls go. The window was drawn for one narrow font; here the drawn
// places and sizes are the least each control gets, and a control whose text needs more room
// pushes the controls after it right or down and the window wider or taller.

namespace zuv {

struct ControlSize
{
    int width = 0;
    int height = 0;
};

struct ControlRect
{
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;

    int Right() const { return left + width; }
    int Bottom() const { return top + height; }
    bool operator==(const ControlRect&) const = default;
};

// What the controls need in the loaded language and font. Buttons: their caption's room inside
// the button's frame; labels and check boxes: their size hints; the others: their height only.
struct MainWindowMeasures
{
    ControlSize Label1, Label2, Label3;
    int comboHeight = 0;
    ControlSize btnSelFile, btnSelSub, btnSettings;
    ControlSize cbFullscreen, cbLoop, cbIdx, cbShutdown, cbOnTop;
    ControlSize btnHelp;
    ControlSize Label4;
    ControlSize cbCustomVolume, lVolume, cbExtraStereo;
    int trackBarHeight = 0;
    ControlSize btnPlaylist, btnAddPlaylist, btnDelPlaylist, btnPlaylistUp, btnPlaylistDown;
    ControlSize btnStop, btnStart;
};

struct MainWindowGeometry
{
    ControlRect Label1, comboFile, btnSelFile;
    ControlRect Label2, comboSub, btnSelSub;
    ControlRect Bevel1;
    ControlRect Label3, comboParams, btnSettings;
    ControlRect cbFullscreen, cbLoop, cbIdx, cbShutdown, cbOnTop, btnHelp, Label4;
    ControlRect cbCustomVolume, lVolume, tbVolume, cbExtraStereo, tbExtraStereo;
    ControlRect Bevel2;
    ControlRect btnPlaylist, btnAddPlaylist, btnDelPlaylist, btnPlaylistUp, btnPlaylistDown;
    ControlRect lvPlaylist, btnStop, btnStart;
    // The client area; without the list it ends just above the list.
    int width = 0;
    int heightWithPlaylist = 0;
    int heightWithoutPlaylist = 0;
};

MainWindowGeometry LayOutMainWindow(const MainWindowMeasures& measures);

} // namespace zuv
