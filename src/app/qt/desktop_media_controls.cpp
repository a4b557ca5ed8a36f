#include "app/qt/desktop_media_controls.h"

#include "app/qt/main_form.h"
#include "mpris/qt/media_control_service.h"
#include "platform/qt/file_name.h"
#include "playback/qt/mpv_control.h"
#include "playback/qt/playback_control.h"
#include "playback/qt/player_runner.h"
#include "playback/qt/playlist_model.h"

namespace zuv {

DesktopMediaControls::DesktopMediaControls(TZUVMainForm& form)
    : m_form(form), m_control(*this, DesktopMimeTypeOf)
{
    m_control.Refresh();
    m_service = std::make_unique<MediaControlService>(m_control);
    if (m_service->Published())
        WatchTheWindow();
}

DesktopMediaControls::~DesktopMediaControls()
{
    if (m_windowProbe)
        m_form.Playback()->SetProbe(m_windowProbe);
}

void DesktopMediaControls::Withdraw()
{
    m_withdrawn = true;
    m_service->Withdraw();
}

void DesktopMediaControls::WatchTheWindow()
{
    // Start and Stop change with the playing state, the playlist's buttons with its panel.
    connect(&m_form, &TZUVMainForm::ControlsStateChanged, this,
            &DesktopMediaControls::ScheduleRefresh);
    PlaylistModel* playlist = m_form.Playlist();
    connect(playlist, &QAbstractItemModel::rowsInserted, this,
            &DesktopMediaControls::ScheduleRefresh);
    connect(playlist, &QAbstractItemModel::rowsRemoved, this,
            &DesktopMediaControls::ScheduleRefresh);
    connect(playlist, &QAbstractItemModel::rowsMoved, this, &DesktopMediaControls::ScheduleRefresh);
    connect(playlist, &QAbstractItemModel::modelReset, this,
            &DesktopMediaControls::ScheduleRefresh);
    connect(playlist, &QAbstractItemModel::layoutChanged, this,
            &DesktopMediaControls::ScheduleRefresh);

    PlaybackControl* playback = m_form.Playback();
    // The next playlist item starts while the window keeps its playing state.
    connect(&playback->Runner(), &PlayerRunner::Exited, this,
            &DesktopMediaControls::ScheduleRefresh);
    connect(&playback->Runner(), &PlayerRunner::LinesReceived, this,
            [this](const std::vector<std::string>& lines) { m_control.PlayerOutput(lines); });
    // mpv's pause, volume and seeks, through its control socket.
    connect(playback, &PlaybackControl::PlayerControlChanged, this,
            &DesktopMediaControls::ScheduleRefresh);
    connect(playback, &PlaybackControl::PlayerSeeked, this, [this] { m_control.PlayerSeeked(); });
    // The size probe may tell the length before the run starts.
    m_windowProbe = playback->Probe();
    if (m_windowProbe) {
        playback->SetProbe([this, probe = m_windowProbe](const std::string& mediaPath) {
            std::optional<std::string> output = probe(mediaPath);
            if (output)
                m_control.ProbeAnswered(mediaPath, *output);
            return output;
        });
    }
}

void DesktopMediaControls::ScheduleRefresh()
{
    if (m_refreshScheduled)
        return;
    m_refreshScheduled = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            m_refreshScheduled = false;
            m_control.Refresh();
        },
        Qt::QueuedConnection);
}

MediaState DesktopMediaControls::State() const
{
    PlaybackControl* playback = m_form.Playback();
    const PlaylistModel* playlist = m_form.Playlist();
    MediaState state;
    state.playing = playback->Playing();
    state.startEnabled = m_form.StartEnabled();
    state.playlistCount = playlist->Count();
    state.playlistInUse = m_form.PlaylistShown() && state.playlistCount > 0;
    state.playlistRun = state.playing && playback->PlaylistMode();
    state.playlistItem =
        state.playlistRun ? playback->PlaylistIndex() : m_form.SelectedPlaylistItem();
    state.mediaFile = platform::NameToBytes(m_form.MediaFile());
    state.fileTypes = m_form.FileTypes();
    if (state.playing) {
        state.runId = playback->Runner().ProcessId();
        const int item = state.playlistItem;
        state.runMediaPath = state.playlistRun && item >= 0 && item < state.playlistCount
                                 ? playlist->Items().Item(static_cast<std::size_t>(item)).mediaPath
                                 : state.mediaFile;
        if (const MpvControl* control = playback->PlayerControl(); control && control->Ready())
            state.player = PlayerReportOf(control->State());
    }
    return state;
}

void DesktopMediaControls::Start()
{
    if (m_withdrawn)
        return;
    m_form.Playback()->ActionStartExecute();
}

void DesktopMediaControls::Stop()
{
    if (m_withdrawn)
        return;
    m_form.Playback()->ActionStopExecute();
}

void DesktopMediaControls::StopAndRestart()
{
    if (m_withdrawn)
        return;
    PlaybackControl* playback = m_form.Playback();
    playback->ActionStopExecute();
    playback->SetRestartPending(true);
}

void DesktopMediaControls::SkipToItem(int row)
{
    if (m_withdrawn)
        return;
    m_form.Playback()->SkipToPlaylistItem(row);
}

void DesktopMediaControls::SelectItem(int row)
{
    if (m_withdrawn)
        return;
    m_form.SelectPlaylistItem(row);
}

void DesktopMediaControls::SetMediaFile(const std::string& path)
{
    if (m_withdrawn)
        return;
    m_form.SetMediaFile(platform::NameToQString(path));
}

void DesktopMediaControls::AddPlaylistItem(const std::string& path)
{
    if (m_withdrawn)
        return;
    m_form.Playlist()->AddItem(path, {});
}

void DesktopMediaControls::Raise()
{
    if (m_withdrawn)
        return;
    m_form.show();
    m_form.BringWindowsToFront();
}

void DesktopMediaControls::Quit()
{
    if (m_withdrawn)
        return;
    // Closing runs the exit steps, which end this object: not from inside its own call.
    QMetaObject::invokeMethod(
        &m_form, [&form = m_form] { form.close(); }, Qt::QueuedConnection);
}

} // namespace zuv

namespace zuv {

// The commands come only while State() tells of a player that takes them.

void DesktopMediaControls::SetPaused(bool on)
{
    if (MpvControl* control = m_form.Playback()->PlayerControl())
        control->SetPause(on);
}

void DesktopMediaControls::SeekTo(std::int64_t position)
{
    if (MpvControl* control = m_form.Playback()->PlayerControl())
        control->Seek(position, true);
}

void DesktopMediaControls::SeekBy(std::int64_t offset)
{
    if (MpvControl* control = m_form.Playback()->PlayerControl())
        control->Seek(offset, false);
}

void DesktopMediaControls::SetVolume(double volume)
{
    if (MpvControl* control = m_form.Playback()->PlayerControl())
        control->SetVolume(volume * 100.0);
}

} // namespace zuv
