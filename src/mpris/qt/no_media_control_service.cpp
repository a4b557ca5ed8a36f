#include "mpris/qt/media_control_service.h"

namespace zuv {

// No session bus here: the media controls are not offered.
struct MediaControlService::State
{};

MediaControlService::MediaControlService(MediaControl&) {}

MediaControlService::~MediaControlService() = default;

bool MediaControlService::Published() const
{
    return false;
}

void MediaControlService::Withdraw() {}

std::string DesktopMimeTypeOf(std::string_view)
{
    return {};
}

} // namespace zuv
