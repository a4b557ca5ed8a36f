#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace zuv {

// The media file types offered until the user chooses others.
inline constexpr char kDefaultFileTypes[] = ".avi;.mpg;.mpeg;.mpe;.wmv;.asf;.mov;.qt;.rm;.rmvb";

// Every stored user option, one field per configuration key, named by the key and holding its
// first-start default. The windows fill their controls from it and gather it back; the
// configuration file and the command line builder work on it alone. The loop switch of the main
// window is never stored and is therefore not part of it.
struct Options
{
    // [Main]
    std::string Language = "enu";
    std::string LastFile;
    std::string LastSubFile; // several subtitle files joined with ","
    std::string Parameters;  // extra player parameters as typed
    bool Fullscreen = false;
    bool Idx = false;
    bool DisableScrSaver = true;
    bool Shutdown = false;
    bool OnTop = false;
    bool Playlist = false;
    bool AutoStartDragDrop = false;
    bool AutoStartCmdLine = false;
    bool ShowResultWindow = true;
    bool ShowResultOnErrorOnly = true;
    int MPlayerPriority = 2;
    int SettingsPage = 4; // 0 Video, 1 Audio, 2 Font, 3 Other, 4 Info; -1 none
    bool OneInstanceOnly = false;
    std::string FileTypes = kDefaultFileTypes;

    // [Video]
    bool Double = true;
    bool dri = false;
    bool GraphicEq = false;
    bool ForceYUY2 = false;
    bool PostProcessing = false;
    bool Expand = false;
    bool PanScan = false;
    int PanScanValue = 50;

    // [Audio]
    bool CustomVolume = false;
    int Volume = 100;
    bool Normalize = false;
    bool ExtraStereo = false;
    int ExtraStereoVal = 25;
    bool SetChannels = false;
    int Channels = 6; // 1 to 6; 0 when no entry is chosen
    bool EmulateSubwoofer = false;
    bool EQ = false;
    std::string EQPreset;   // empty for the default entry
    std::string EQSettings; // band value string; empty leaves the gains alone
    bool CustomAC3Mixing = false;
    std::string MixerProfile;

    // [Font]
    std::string Font; // path of a font file
    std::string FontFace;
    bool SetFontScale = false;
    double FontScale = 3.0; // 1 + 0.2 x track bar position
    std::string SubCp = "latin2";
    bool SubfontOutline = false;
    int SubfontOutlineValue = 2;
    bool SubfontBlur = false;
    int SubfontBlurValue = 2;

    // [Player], after the sections that older copies know
    int Player = 0; // PlayerChoice
};

// Which player runs: Automatic takes MPlayer when it is found, mpv otherwise.
enum PlayerChoice
{
    kPlayerAutomatic = 0,
    kPlayerMPlayer = 1,
    kPlayerMpv = 2,
};
inline constexpr int kPlayerChoiceCount = 3;

// The positions a track bar can take.
struct TrackBarRange
{
    int minimum;
    int maximum;
};

inline constexpr TrackBarRange kMPlayerPriorityRange{0, 4};
inline constexpr TrackBarRange kPanScanValueRange{0, 99};
inline constexpr TrackBarRange kVolumeRange{0, 255};
inline constexpr TrackBarRange kExtraStereoValRange{0, 50};
inline constexpr TrackBarRange kFontScalePositionRange{0, 25};
inline constexpr TrackBarRange kSubfontOutlineValueRange{0, 8};
inline constexpr TrackBarRange kSubfontBlurValueRange{0, 8};

// A track bar brings a position outside its range to the nearer end.
int ClampToRange(int position, TrackBarRange range);

// The channel list holds the entries "1" to "6": a stored count maps to the entry at count - 1,
// and any other count leaves no entry chosen (-1), which is gathered back as 0.
inline constexpr int kChannelEntryCount = 6;
int ChannelEntryIndex(int channels);
int ChannelsFromEntryIndex(int entryIndex);

// The settings dialog has five pages; a stored page outside 0..4 leaves none active (-1), which is
// gathered back as -1; the page index is the stored page.
inline constexpr int kSettingsPageCount = 5;
int SettingsPageIndex(int storedPage);

// The subtitle text scale of a font scale track bar position: 1, 1.2, ... 6.
double SubFontScaleFromPosition(int position);
// The track bar position of a scale: (v - 1) x 5 rounded half up, clamped to 0..25.
int SubFontScalePosition(double scale);

// The record as its controls show it: every track bar position brought into its range, the
// channel count and settings page as gathered back from their controls (0 / -1 when nothing is
// chosen), the font scale snapped to a track bar step.
Options OptionsAsControlsHold(Options options);

// True when a stored value (code page, band values) goes into the player's options text as one
// argument: not empty, no blank, tab or quote that would split it or hide more arguments.
// Only the parameters field, which the user sees, may hold several.
bool IsOneArgument(std::string_view value);

// The longest text the program's text fields hold; they would cut a longer one.
inline constexpr std::size_t kMaxFieldText = 32767;

// Empties the stored values that cannot be used as they are, and says why, one text for each:
// those that IsOneArgument refuses, and texts for the fields (parameters, last files) longer than
// kMaxFieldText.
std::vector<std::string> DropUnusableValues(Options& options);

} // namespace zuv
