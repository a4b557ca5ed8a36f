#pragma once

// Media made by the tests for the installed MPlayer, and what its runs leave behind.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zuv::test {

inline constexpr int kClipWidth = 160;
inline constexpr int kClipHeight = 64; // wider than any usual screen: pan-scan cuts it
inline constexpr int kToneAmplitude = 1024;

// An AVI of one second: raw I420 frames at 10 per second and a 441 Hz stereo tone of 16-bit PCM
// whose peaks are exactly kToneAmplitude, with an index.
std::string ClipBytes();

// An SRT subtitle over the clip's second.
std::string SubtitleBytes();

// A ZIP archive (stored, not compressed) holding one file.
std::string ZipBytes(std::string_view name, std::string_view content);

struct WavInfo
{
    int channels = 0;
    int peak = 0; // the largest sample magnitude
};

// The channel count and peak of a 16-bit PCM WAV file; none when it is not one.
std::optional<WavInfo> ReadWav(const std::string& path);

// The players' lines that refuse an option or a filter, or say the picture cannot be shown.
std::vector<std::string> RefusalLines(std::string_view output);

// The picture size of the "VO:" line (either player's), as "WxH"; empty without one.
std::string VideoOutputSize(std::string_view output);

} // namespace zuv::test
