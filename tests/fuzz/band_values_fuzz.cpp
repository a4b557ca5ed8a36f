// The band value string: any text keeps the bands in range, and an accepted text, written out
// again, reads back to the same bands and the same text.
#include "equalizer/band_values.h"
#include "fuzz_check.h"

#include <string>

using zuv::EqualizerPositions;

namespace {

bool InRange(const EqualizerPositions& positions)
{
    for (const int position : positions) {
        if (position < zuv::kEqualizerMinPosition || position > zuv::kEqualizerMaxPosition)
            return false;
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text = zuv::fuzz::InputText(data, size);

    const EqualizerPositions before{-120, -95, -7, 0, 1, 15, 60, 99, 119, 120};
    EqualizerPositions positions = before;
    const bool accepted = zuv::ApplyBandValueString(text, positions);
    FUZZ_CHECK(InRange(positions));
    if (!accepted) {
        FUZZ_CHECK(positions == before);
        return 0;
    }

    const std::string formatted = zuv::FormatBandValueString(positions);
    EqualizerPositions again{};
    FUZZ_CHECK(zuv::ApplyBandValueString(formatted, again));
    FUZZ_CHECK(again == positions);
    FUZZ_CHECK(zuv::FormatBandValueString(again) == formatted);

    // Each gain on its own reads back to its position.
    for (const int position : positions)
        FUZZ_CHECK(zuv::ParseBandGain(zuv::FormatBandGain(position)) == position);

    // A field on its own: in range when it is a number at all.
    const std::string_view field = text.substr(0, text.find_first_of(":\r\n"));
    if (const auto gain = zuv::ParseBandGain(field))
        FUZZ_CHECK(*gain >= zuv::kEqualizerMinPosition && *gain <= zuv::kEqualizerMaxPosition);
    return 0;
}
