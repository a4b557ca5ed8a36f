#include "playback/qt/playback_control.h"

#include "app/qt/main_form.h"
#include "archive/subtitle_extraction.h"
#include "lang/qt/translate.h"
#include "platform/screen_saver.h"
#include "platform/system_utils.h"
#include "playback/capture_run.h"
#include "playback/command_line_builder.h"
#include "playback/qt/player_runner.h"
#include "playback/qt/playlist_model.h"
#include "playback/qt/result_form.h"
#include "settings/qt/settings_form.h"
#include "shutdown/qt/countdown_form.h"
#include "shutdown/qt/power_off.h"
#include "util/text_utils.h"
#include "widgets/qt/history_combo.h"

#include <QAction>
#include <QCheckBox>
#include <QGuiApplication>
#include <QScreen>
#include <QSlider>
#include <QTreeView>

namespace zuv {

namespace {

constexpr int kShutdownSeconds = 30;

bool IsCleanEnd(int exitCode)
{
    return exitCode == 0 || exitCode == 255;
}

QString ReplacedAll(const QString& text, const char* pattern, const std::string& replacement)
{
    std::string utf8 = text.toStdString();
    ReplaceAll(utf8, pattern, replacement);
    return QString::fromStdString(utf8);
}

} // namespace

PlaybackControl::PlaybackControl(TZUVMainForm& form)
    : QObject(&form), m_form(form), m_runner(new PlayerRunner(this)),
      m_screenSaver(std::make_unique<platform::ScreenSaverInhibitor>()),
      m_probe(MakeProbe(PlayerCaptureFunction()))
{
    connect(m_form.ActionStart, &QAction::triggered, this, &PlaybackControl::ActionStartExecute);
    connect(m_form.ActionStop, &QAction::triggered, this, &PlaybackControl::ActionStopExecute);
    connect(m_runner, &PlayerRunner::LinesReceived, m_form.ResultForm(), &TResultForm::AddLines);
    connect(m_runner, &PlayerRunner::Exited, this, &PlaybackControl::PlayerExited);
    // The switch counts at once, also in the middle of a run.
    connect(m_form.SettingsForm()->cbDisableScrSaver, &QCheckBox::toggled, this, [this](bool on) {
        if (!m_playing)
            return;
        if (on)
            m_screenSaver->Inhibit();
        else
            m_screenSaver->Release();
    });
}

PlaybackControl::~PlaybackControl() = default;

bool PlaybackControl::ScreenSaverInhibited() const
{
    return m_screenSaver->Inhibited();
}

void PlaybackControl::ActionStartExecute()
{
    // Every way of starting comes here (button, Enter, drop, command line, hand-over, restart):
    // a disabled Start, while a player runs or is being started, does nothing.
    if (!m_form.ActionStart->isEnabled())
        return;
    PlaylistModel* playlist = m_form.Playlist();
    if (m_form.PlaylistShown() && playlist->Count() > 0) {
        m_playlistMode = true;
        const int selected = m_form.SelectedPlaylistItem();
        if (selected >= 0) {
            m_playlistIndex = selected;
        } else {
            m_playlistIndex = 0;
            m_form.SelectPlaylistItem(0);
        }
        PlayItem(m_playlistIndex);
        return;
    }
    m_playlistMode = false;
    Play(m_form.comboFile->currentText(), m_form.comboSub->currentText());
}

bool PlaybackControl::PlayItem(int row)
{
    const PlaylistItem& item = m_form.Playlist()->Items().Item(static_cast<std::size_t>(row));
    return Play(QString::fromStdString(item.mediaPath), QString::fromStdString(item.subtitlePath));
}

bool PlaybackControl::Play(const QString& mediaPath, const QString& subtitlePath)
{
    m_restartPending = false;
    if (mediaPath.isEmpty())
        return false;
    m_form.ActionStart->setEnabled(false);

    const std::string media = mediaPath.toStdString();
    std::string subtitle = subtitlePath.toStdString();
    if (!subtitle.empty() && ToUpperAscii(ExtensionPart(subtitle)) == ".ZIP") {
        const SubtitleExtraction extracted = ExtractSubtitle(subtitle);
        if (!extracted.error.empty()) {
            // The film still plays, without its subtitle.
            m_form.ShowError(QString::fromStdString(subtitle + "\n\n" + extracted.error));
        }
        subtitle = extracted.path;
    }

    const Options options = m_form.CurrentOptions();
    const std::string optionsText =
        BuildOptionsText(options, m_form.cbLoop->isChecked(), media, CurrentScreenSize(), m_probe,
                         m_playerInfo.Get().dialect);
    const std::string arguments = PlayerArguments(media, subtitle, optionsText);

    TSettingsForm* settings = m_form.SettingsForm();
    TResultForm* result = m_form.ResultForm();
    if (settings->cbShowResult->isChecked() && !settings->cbResultIfUnclean->isChecked() &&
        !result->isVisible())
        result->Show();

    const platform::ProcessStartError error = m_runner->Start(
        PlayerCommandLine(media, subtitle, optionsText), settings->tbPriority->value());
    if (error.failed()) {
        QString message;
        if (error.step == platform::ProcessStartStep::CreatePipe) {
            message = ReplacedAll(
                GetText("Errors", "100", QStringLiteral("Nem tudom elindítani az MPlayert! (%e)")),
                "%e", "CreatePipe");
        } else {
            message = ReplacedAll(
                GetText("Errors", "100", QStringLiteral("Nem tudom elindítani az MPlayert!\n\n%e")),
                "%e", SystemErrorText(error.error));
        }
        m_form.ShowError(message);
        m_form.ActionStart->setEnabled(true);
        return false;
    }
    result->Clear();
    result->AddLine("commandline: \"" + arguments + '"');
    SetPlayingState(true);
    if (settings->cbDisableScrSaver->isChecked())
        m_screenSaver->Inhibit();
    return true;
}

void PlaybackControl::SetPlayingState(bool on)
{
    m_playing = on;
    m_form.ActionStart->setEnabled(!on);
    m_form.ActionStop->setVisible(on);
    m_form.lvPlaylist->setEnabled(!on);
    for (QAction* action : {m_form.ActionPlToggle, m_form.ActionPlAdd, m_form.ActionPlDel,
                            m_form.ActionPlUp, m_form.ActionPlDown})
        action->setEnabled(!on);
}

void PlaybackControl::ActionStopExecute()
{
    if (!m_playing)
        return;
    m_playlistMode = false;
    m_runner->Stop();
}

void PlaybackControl::SkipToPlaylistItem(int row)
{
    if (!m_playing || row < 0 || row >= m_form.Playlist()->Count())
        return;
    m_playlistMode = true;
    m_playlistIndex = row - 1;
    m_runner->Stop();
}

void PlaybackControl::PlayerExited(int exitCode)
{
    TResultForm* result = m_form.ResultForm();
    m_screenSaver->Release();
    if (!result) {
        // The program is ending: its windows are gone and nothing follows the run.
        SetPlayingState(false);
        return;
    }
    result->AddLine("...exited, code: " + std::to_string(exitCode));

    TSettingsForm* settings = m_form.SettingsForm();
    if (!IsCleanEnd(exitCode)) {
        SetPlayingState(false);
        if (settings->cbShowResult->isChecked() && settings->cbResultIfUnclean->isChecked())
            result->Show();
        return;
    }

    if (m_playlistMode) {
        ++m_playlistIndex;
        if (m_playlistIndex < m_form.Playlist()->Count()) {
            m_form.SelectPlaylistItem(m_playlistIndex);
            if (PlayItem(m_playlistIndex))
                return;
            // The next item did not start: no player runs, so the window must not look busy.
            SetPlayingState(false);
            return;
        }
        m_playlistIndex = 0;
        m_form.SelectPlaylistItem(0);
    }
    SetPlayingState(false);

    if (m_restartPending) {
        ActionStartExecute();
        return;
    }
    if (m_form.cbShutdown->isChecked()) {
        TCountdownForm* countdown = m_form.CountdownForm();
        countdown->StartCountdown(kShutdownSeconds);
        if (countdown->exec() == QDialog::Accepted) {
            PowerOff();
            m_form.close();
        }
    }
}

ScreenSize PlaybackControl::CurrentScreenSize() const
{
    if (m_screenSize)
        return *m_screenSize;
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen)
        return {};
    const QSize size = screen->geometry().size() * screen->devicePixelRatio();
    return {size.width(), size.height()};
}

} // namespace zuv
