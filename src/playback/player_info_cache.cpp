#include "playback/player_info_cache.h"

#include "playback/player_choice.h"

namespace zuv {

void PlayerInfoCache::Start(CaptureFunction capture, std::function<void(const PlayerInfo&)> ready)
{
    m_deferred.reset();
    m_asked = Question{capture, ready};
    m_answeredChoice = m_choice;
    m_info = std::async(std::launch::async, [capture = std::move(capture), ready = std::move(ready),
                                             choice = m_choice] {
                 PlayerInfo info = AskChosenPlayer(choice, capture);
                 if (ready)
                     ready(info);
                 return info;
             }).share();
}

void PlayerInfoCache::Defer(CaptureFunction capture, std::function<void(const PlayerInfo&)> ready)
{
    m_deferred = Question{std::move(capture), std::move(ready)};
}

void PlayerInfoCache::Launch()
{
    if (!m_deferred)
        return;
    Question question = std::move(*m_deferred);
    Start(std::move(question.capture), std::move(question.ready));
}

void PlayerInfoCache::Set(PlayerInfo info)
{
    m_deferred.reset();
    m_asked.reset();
    std::promise<PlayerInfo> known;
    known.set_value(std::move(info));
    m_info = known.get_future().share();
}

PlayerInfo PlayerInfoCache::Get()
{
    Launch();
    return m_info.valid() ? m_info.get() : PlayerInfo{};
}

PlayerInfo PlayerInfoCache::Get(int storedChoice)
{
    m_choice = storedChoice;
    Launch();
    if (m_asked && m_answeredChoice != storedChoice) {
        // The earlier answer (and what it tells) comes first, so the newer one is told last.
        Get();
        Question question = *m_asked;
        Start(std::move(question.capture), std::move(question.ready));
    }
    return Get();
}

} // namespace zuv
