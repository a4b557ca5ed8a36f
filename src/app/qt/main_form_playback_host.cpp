#include "app/qt/main_form_playback_host.h"

#include "app/qt/main_form.h"
#include "playback/qt/playback_control.h"
#include "playback/qt/player_runner.h"
#include "playback/qt/playlist_model.h"
#include "playback/qt/result_form.h"
#include "shutdown/qt/countdown_form.h"
#include "shutdown/qt/power_off.h"

namespace zuv {

MainFormPlaybackHost::MainFormPlaybackHost(TZUVMainForm& form)
    : m_form(form), m_playback(new PlaybackControl(*this, &form))
{
    QObject::connect(&form, &TZUVMainForm::StartRequested, m_playback,
                     &PlaybackControl::ActionStartExecute);
    QObject::connect(&form, &TZUVMainForm::StopRequested, m_playback,
                     &PlaybackControl::ActionStopExecute);
    QObject::connect(&m_playback->Runner(), &PlayerRunner::LinesReceived, &form,
                     [&form](const std::vector<std::string>& lines) {
                         if (TResultForm* result = form.ResultForm())
                             result->AddLines(lines);
                     });
    QObject::connect(&form, &TZUVMainForm::DisableScrSaverToggled, m_playback,
                     &PlaybackControl::SetScreenSaverSwitch);
}

MainFormPlaybackHost::~MainFormPlaybackHost()
{
    delete m_playback;
}

RunOptions MainFormPlaybackHost::CurrentOptions() const
{
    return {m_form.CurrentOptions(), m_form.LoopChecked()};
}

const Playlist& MainFormPlaybackHost::PlaylistItems() const
{
    return m_form.Playlist()->Items();
}

int MainFormPlaybackHost::SelectedPlaylistItem() const
{
    return m_form.SelectedPlaylistItem();
}

void MainFormPlaybackHost::SelectPlaylistItem(int row)
{
    m_form.SelectPlaylistItem(row);
}

bool MainFormPlaybackHost::StartEnabled() const
{
    return m_form.StartEnabled();
}

void MainFormPlaybackHost::EnableStart(bool on)
{
    m_form.EnableStart(on);
}

void MainFormPlaybackHost::ShowPlayingState(bool on)
{
    m_form.ShowPlayingState(on);
}

void MainFormPlaybackHost::ShowError(const std::string& text)
{
    m_form.ShowError(QString::fromStdString(text));
}

bool MainFormPlaybackHost::ResultWindowVisible() const
{
    return m_form.ResultWindowShown();
}

void MainFormPlaybackHost::ShowResultWindow()
{
    if (TResultForm* result = m_form.ResultForm())
        result->Show();
}

void MainFormPlaybackHost::ClearResult()
{
    if (TResultForm* result = m_form.ResultForm())
        result->Clear();
}

void MainFormPlaybackHost::AddResultLine(const std::string& line)
{
    if (TResultForm* result = m_form.ResultForm())
        result->AddLine(line);
}

bool MainFormPlaybackHost::RunCountdown(int seconds)
{
    TCountdownForm* countdown = m_form.CountdownForm();
    countdown->StartCountdown(seconds);
    return countdown->exec() == QDialog::Accepted;
}

void MainFormPlaybackHost::PowerOff()
{
    zuv::PowerOff();
}

void MainFormPlaybackHost::CloseMainWindow()
{
    m_form.close();
}

bool MainFormPlaybackHost::WindowsReleased() const
{
    return m_form.OwnedWindowsReleased();
}

} // namespace zuv
