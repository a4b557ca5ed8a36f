#pragma once

#include <memory>
#include <string>
#include <string_view>

namespace zuv {

class MediaControl;

// The media controls on the session bus (MPRIS), from construction to destruction: the
// desktop's media keys, its panel and lock screen drive `control` through it and hear of its
// changes. Where there is no session bus, or on a system without one, it offers nothing and
// says nothing.
class MediaControlService
{
public:
    explicit MediaControlService(MediaControl& control);
    ~MediaControlService();
    MediaControlService(const MediaControlService&) = delete;
    MediaControlService& operator=(const MediaControlService&) = delete;

    // True when the service is on the bus.
    bool Published() const;
    // Leaves the bus: no further calls arrive, no changes are signalled. The objects that answer
    // stay until destruction, as a call being served may still run (inside an error box).
    void Withdraw();

private:
    struct State;
    std::unique_ptr<State> m_state;
};

// The MIME type of files ending in `extension` (".avi") in the desktop's MIME database; empty
// when unknown or where the media controls are not offered.
std::string DesktopMimeTypeOf(std::string_view extension);

} // namespace zuv
