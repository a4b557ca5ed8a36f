#include "playback/player_info_cache.h"

namespace zuv {

void PlayerInfoCache::Start(CaptureFunction capture, std::function<void(const PlayerInfo&)> ready)
{
    m_info =
        std::async(std::launch::async, [capture = std::move(capture), ready = std::move(ready)] {
            PlayerInfo info = ReadPlayerInfo(capture);
            if (ready)
                ready(info);
            return info;
        }).share();
}

void PlayerInfoCache::Set(PlayerInfo info)
{
    std::promise<PlayerInfo> known;
    known.set_value(std::move(info));
    m_info = known.get_future().share();
}

PlayerInfo PlayerInfoCache::Get()
{
    return m_info.valid() ? m_info.get() : PlayerInfo{};
}

} // namespace zuv
