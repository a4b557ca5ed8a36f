#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace zuv {

// Ten equalizer bands, band 0 (31.25 Hz) first. A position is the gain in tenths of a decibel with
// the sign inverted (a vertical slider has its minimum at the top): -120 is +12 dB, 120 is -12 dB.
inline constexpr int kEqualizerBandCount = 10;
inline constexpr int kEqualizerMinPosition = -120;
inline constexpr int kEqualizerMaxPosition = 120;
using EqualizerPositions = std::array<int, kEqualizerBandCount>;

// The gain of one position in dB as the shortest decimal text: "11.5", "-0.1", "0".
std::string FormatBandGain(int position);

// The band value string: the ten gains joined by ":", as written to zuv.ini, the presets and the
// player's equalizer filter.
std::string FormatBandValueString(const EqualizerPositions& positions);

// The position for one field of a band value string (a gain in dB), or none when the field is not
// a number. Accepted: blanks (space, tab) around the number, an optional sign, digits with an
// optional "." and fraction (".5" and "5." too), and an optional exponent ("1.2e1"). No commas,
// no "inf"/"nan", no hexadecimal. The value is worked out exactly in decimal, so the fraction
// after the tenths is cut off toward zero ("1.25" gives -12, "-0.1" gives 1) with no rounding
// error; the result is clamped to -120..120.
std::optional<int> ParseBandGain(std::string_view field);

// Applies a band value string to `positions`. Refused (false, nothing changed) when the text is
// empty or holds fewer than ten fields; fields after the tenth are ignored. ":" and line breaks
// both separate fields. Reading stops at the first field that is not a number: the bands before it
// take their new positions, it and the rest keep theirs, and the text still counts as accepted.
bool ApplyBandValueString(std::string_view text, EqualizerPositions& positions);

} // namespace zuv
