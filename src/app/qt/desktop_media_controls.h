#pragma once

#include "mpris/media_control.h"
#include "playback/picture_geometry.h"

#include <QObject>

#include <memory>

namespace zuv {

class MediaControlService;
class TZUVMainForm;

// The main window behind the desktop's media controls: tells them what plays and what can be
// done, does what they ask through the window's own actions, and tells them of every change.
// Offered on the session bus while this object lives, where there is one.
class DesktopMediaControls : public QObject, private MediaControlHost
{
    Q_OBJECT

public:
    explicit DesktopMediaControls(TZUVMainForm& form);
    ~DesktopMediaControls() override;

    // For the exit steps: leaves the bus and does nothing more that is asked. Destroyed only
    // after the event loop ends, as a call may still run inside an error box's loop.
    void Withdraw();

private:
    MediaState State() const override;
    void Start() override;
    void Stop() override;
    void StopAndRestart() override;
    void SkipToItem(int row) override;
    void SelectItem(int row) override;
    void SetMediaFile(const std::string& path) override;
    void AddPlaylistItem(const std::string& path) override;
    void Raise() override;
    void Quit() override;
    void SetPaused(bool on) override;
    void SeekTo(std::int64_t position) override;
    void SeekBy(std::int64_t offset) override;
    void SetVolume(double volume) override;

    void WatchTheWindow();
    // Many changes come at once (a run ends, the next begins): one refresh after them.
    void ScheduleRefresh();

    TZUVMainForm& m_form;
    MediaControl m_control;
    std::unique_ptr<MediaControlService> m_service;
    ProbeFunction m_windowProbe;
    bool m_refreshScheduled = false;
    bool m_withdrawn = false;
};

} // namespace zuv
