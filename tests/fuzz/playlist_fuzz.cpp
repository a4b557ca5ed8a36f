// Playlist files: loading and saving agree, so that the automatic playlist survives any number of
// program runs unchanged.
#include "fuzz_check.h"
#include "playback/playlist.h"
#include "util/text_utils.h"

#include <string>

namespace {

bool SameItems(const zuv::Playlist& a, const zuv::Playlist& b)
{
    if (a.Count() != b.Count())
        return false;
    for (std::size_t i = 0; i < a.Count(); ++i) {
        const zuv::PlaylistItem& x = a.Item(i);
        const zuv::PlaylistItem& y = b.Item(i);
        if (x.mediaPath != y.mediaPath || x.subtitlePath != y.subtitlePath ||
            x.caption != y.caption || x.subtitleName != y.subtitleName)
            return false;
    }
    return true;
}

bool HoldsLineEnd(std::string_view text)
{
    return text.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view input = zuv::fuzz::InputText(data, size);

    // Any file: what was loaded saves to a text that loads back to the same list and saves to
    // the same text again.
    zuv::Playlist loaded;
    loaded.LoadText(input);
    for (const zuv::PlaylistItem& item : loaded.Items()) {
        FUZZ_CHECK(!HoldsLineEnd(item.mediaPath) && !HoldsLineEnd(item.subtitlePath));
        FUZZ_CHECK(item.mediaPath.find('|') == std::string::npos);
        FUZZ_CHECK(item.caption == zuv::FileNamePart(item.mediaPath));
    }
    const std::string saved = loaded.SaveText();
    zuv::Playlist reloaded;
    reloaded.LoadText(saved);
    FUZZ_CHECK(SameItems(loaded, reloaded));
    FUZZ_CHECK(reloaded.SaveText() == saved);

    // Loading appends to what is there.
    zuv::Playlist twice = loaded;
    twice.LoadText(saved);
    FUZZ_CHECK(twice.Count() == 2 * loaded.Count());

    // Items made in the program (the input's lines as "media|subtitle" pairs; a line without "|"
    // is a media path alone) survive saving and loading when their paths can be written: no line
    // ends, no "|" in the media path.
    zuv::Playlist built;
    zuv::fuzz::InputParts lines(input, '\n');
    while (!lines.Rest().empty()) {
        const std::string_view line = lines.Next();
        const std::size_t bar = line.find('|');
        const std::string_view media = bar == std::string_view::npos ? line : line.substr(0, bar);
        const std::string_view subtitle =
            bar == std::string_view::npos ? std::string_view() : line.substr(bar + 1);
        if (HoldsLineEnd(media) || HoldsLineEnd(subtitle))
            continue;
        built.AddItem(media, subtitle);
    }
    zuv::Playlist builtReloaded;
    builtReloaded.LoadText(built.SaveText());
    FUZZ_CHECK(SameItems(built, builtReloaded));

    // Editing keeps the list consistent.
    if (!built.Empty()) {
        const std::size_t last = built.Count() - 1;
        FUZZ_CHECK(built.MoveItemDown(last) == last);
        FUZZ_CHECK(built.MoveItemUp(0) == 0);
        FUZZ_CHECK(built.MoveItemUp(last) == (last == 0 ? 0 : last - 1));
        FUZZ_CHECK(built.SetItemSubtitle(0, input.substr(0, 16)));
        FUZZ_CHECK(!built.SetItemSubtitle(built.Count(), "x"));
        FUZZ_CHECK(built.DeleteItem(0));
        FUZZ_CHECK(!built.DeleteItem(built.Count()));
    }
    return 0;
}
