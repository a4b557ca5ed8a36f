#include "app/qt/program_session.h"

#include "app/qt/benchmark_seam.h"
#include "app/qt/desktop_media_controls.h"
#include "app/qt/handover.h"
#include "app/qt/main_form.h"
#include "lang/language.h"
#include "lang/qt/qt_translations.h"
#include "lang/qt/translate.h"
#include "platform/folders.h"
#include "platform/handover_block.h"
#include "platform/qt/file_name.h"
#include "platform/system_utils.h"
#include "platform/version_info.h"
#include "platform/zuvora_error.h"
#include "playback/capture_run.h"
#include "playback/player_choice.h"
#include "playback/qt/playback_control.h"
#include "playback/qt/playlist_model.h"
#include "playback/qt/result_form.h"
#include "util/text_utils.h"

#include <QApplication>
#include <QPointer>
#include <QTimer>

#include <utility>

namespace zuv {

namespace {

// A command line is short; a larger block is not from a copy of ours.
constexpr std::size_t kMaxHandoverBytes = 1024 * 1024;
// How often a copy that wants second copies' files looks whether the socket has become free.
constexpr int kListenRetryMs = 500;

} // namespace

ProgramSession::Folders ProgramSession::Folders::Default()
{
    // One look at the folders (and whether the program folder is shared) for zuv.ini and
    // playlist.txt alike.
    const ProgramFileFolders folders = DefaultProgramFileFolders();
    return {{folders.program, folders.profile, folders.programShared},
            folders.profile,
            folders.program};
}

ProgramSession::ProgramSession(TZUVMainForm& form, Folders folders)
    : QObject(&form), m_form(form), m_folders(std::move(folders)),
      m_playlistFile(m_folders.playlistProfile, m_folders.playlistProgram,
                     m_folders.config.programFolderShared),
      m_qtTranslations(std::make_unique<QtTranslations>())
{
    connect(&m_form, &TZUVMainForm::Closing, this, &ProgramSession::Exit);
}

ProgramSession::~ProgramSession() = default;

bool IsStartSwitch(const QString& argument)
{
    return IsSwitch(argument.toStdString()) &&
           argument.mid(1).compare(QStringLiteral("start"), Qt::CaseInsensitive) == 0;
}

void ProgramSession::Startup(const QStringList& arguments)
{
    // Second copies that came meanwhile are served once the start-up is over, however it ends.
    struct Finish
    {
        ProgramSession* session;
        ~Finish() { session->FinishStartup(); }
    } finish{this};

    m_config = ConfigurationFile::Open(m_folders.config);
    StartupPhase("configuration");

    // The program's version now; the player's once it has answered. The player is asked when
    // the window has first been painted (or when playback needs the answer earlier), so that its
    // start does not compete with ours.
    const QString programVersion =
        QString::fromStdString(FileVersionNumber(platform::ProgramFile(), true));
    m_form.SetVersions(programVersion, QString());
    QPointer<TZUVMainForm> form(&m_form);
    m_form.installEventFilter(this);
    m_form.Playback()->PlayerInfo().Defer(
        PlayerCaptureFunction(), [form, programVersion](const zuv::PlayerInfo& info) {
            const QString playerVersion = QString::fromStdString(info.version);
            const QString playerName = QString::fromStdString(PlayerName(info.dialect));
            QMetaObject::invokeMethod(
                qApp,
                [form, programVersion, playerVersion, playerName] {
                    if (form)
                        form->SetVersions(programVersion, playerVersion, playerName);
                },
                Qt::QueuedConnection);
        });

    Langunit().LoadLanguage(m_config->Document().ReadString("Main", "Language", "enu"));
    m_qtTranslations->Follow(Langunit().CurrentLanguage());
    m_form.TranslateMainForm();
    StartupPhase("language");
    Langunit().SetLanguageChangedHandler([form, qtTranslations = m_qtTranslations.get()] {
        if (!form)
            return;
        qtTranslations->Follow(Langunit().CurrentLanguage());
        form->TranslateMainForm();
        form->TranslateOwnedWindows();
    });

    LoadOptions();
    StartupPhase("options");

    Playlist playlist;
    // An unreadable list is kept on disk; the user should know why the panel is empty.
    if (const PlaylistFileResult loaded = m_playlistFile.Load(playlist); !loaded.ok())
        ShowPlaylistFileError(loaded);
    m_form.Playlist()->Replace(std::move(playlist));

    CommandLine(arguments);
    StartupPhase("playlist");
}

void ProgramSession::FinishStartup()
{
    m_started = true;
    if (m_handover && !m_exited)
        m_handover->Hold(false);
}

bool ProgramSession::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == &m_form && event->type() == QEvent::Paint) {
        m_form.removeEventFilter(this);
        QTimer::singleShot(0, this, [this] {
            for (const std::function<void()>& task : std::exchange(m_whenPainted, {}))
                task();
            m_form.Playback()->PlayerInfo().Launch();
        });
    }
    return QObject::eventFilter(watched, event);
}

void ProgramSession::LoadOptions()
{
    Options options = ReadOptions(m_config->Document());
    const std::vector<std::string> dropped = DropUnusableValues(options);
    m_form.Playback()->PlayerInfo().Choose(options.Player);
    const std::string& path = m_config->Path();
    m_form.SetHistoryFile(path);
    m_form.ApplyOptions(options);
    m_form.LoadHistories();
    if (!dropped.empty()) {
        QStringList reasons;
        for (const std::string& reason : dropped)
            reasons << QString::fromStdString(reason);
        m_form.ShowError(QString::fromStdString(path) + QStringLiteral("\n\n") +
                         reasons.join(QLatin1Char('\n')));
    }
}

void ProgramSession::CommandLine(const QStringList& arguments)
{
    // A refused name is not replaced by the next argument (a switch, say).
    if (arguments.isEmpty() || m_form.TakeableNames(arguments).size() != arguments.size())
        return;
    m_form.SetMediaFile(arguments.first());
    const bool startSwitch = std::any_of(arguments.begin(), arguments.end(), IsStartSwitch);
    if (startSwitch || m_form.CurrentOptions().AutoStartCmdLine)
        m_form.Playback()->ActionStartExecute();
}

bool ProgramSession::ListenForSecondCopies()
{
    if (m_exited)
        return false;
    if (m_listening)
        return true;
    if (!m_handover) {
        m_handover = std::make_unique<HandoverServer>([this] { return AcceptsFiles(); },
                                                      [this] { return ReceiveFiles(); });
        m_handover->Hold(!m_started);
    }
    if (m_handover->Listen()) {
        m_listening = true;
        if (m_listenRetry)
            m_listenRetry->stop();
        return true;
    }
    if (!m_listenRetry) {
        m_listenRetry = new QTimer(this);
        m_listenRetry->setInterval(kListenRetryMs);
        connect(m_listenRetry, &QTimer::timeout, this, [this] {
            if (AcceptsFiles())
                ListenForSecondCopies();
        });
        m_listenRetry->start();
    }
    return false;
}

void ProgramSession::PublishMediaControls()
{
    if (!m_exited)
        m_mediaControls = std::make_unique<DesktopMediaControls>(m_form);
    StartupPhase("session bus");
}

bool ProgramSession::AcceptsFiles() const
{
    return !m_exited && m_form.CurrentOptions().OneInstanceOnly;
}

bool ProgramSession::ReceiveFiles()
{
    const platform::HandoverBlockText block =
        platform::ReadHandoverBlock(platform::HandoverBlockName(), kMaxHandoverBytes);
    if (block.error) {
        m_form.ShowError(QString::fromStdString(platform::ErrorMessage(block.error)));
        return false;
    }
    TakeOverCommandLine(block.text);
    return true;
}

void ProgramSession::TakeOverCommandLine(const std::string& commandLine)
{
    std::vector<std::string> arguments;
    QStringList names;
    for (const std::string& file : HandedOverFiles(commandLine))
        names << platform::NameToQString(file);
    for (const QString& name : m_form.TakeableNames(names))
        arguments.push_back(platform::NameToBytes(name));
    if (arguments.empty())
        return;
    m_form.BringWindowsToFront();
    PlaybackControl* playback = m_form.Playback();
    if (playback->Playing())
        playback->ActionStopExecute();
    m_form.SetMediaFile(platform::NameToQString(arguments.front()));
    if (arguments.size() > 1) {
        PlaylistModel* playlist = m_form.Playlist();
        playlist->Clear();
        for (const std::string& argument : arguments)
            playlist->AddItem(argument, {});
        m_form.ShowPlaylist();
    }
    playback->SetRestartPending(true);
}

void ProgramSession::Exit()
{
    if (m_exited || !m_config)
        return;
    m_exited = true;
    if (m_listenRetry)
        m_listenRetry->stop();
    // Neither is destroyed here: a hand-over or a D-Bus call that opened an error box may run on
    // after the exit steps, which a Quit inside that box's loop started.
    if (m_handover)
        m_handover->Hold(true);
    if (m_mediaControls)
        m_mediaControls->Withdraw();
    PlaybackControl* playback = m_form.Playback();
    if (playback->Playing())
        playback->ActionStopExecute();

    const Options options = m_form.CurrentOptions();
    WriteOptions(m_config->Document(), options);
    if (const std::error_code error = WriteWithProfileFallback(*m_config, m_folders.config)) {
        // Say so rather than lose the settings without a word.
        std::string why = platform::ErrorMessage(error);
        if (error == ZuvoraError::TooLarge &&
            m_config->Document().Serialize().size() > kMaxConfigFileBytes)
            why += " (the settings would exceed the 16 MiB a configuration file may hold: the "
                   "file was left as it was)";
        m_form.ShowError(QString::fromStdString(m_config->Path() + "\n\n" + why));
    }

    // Releasing the equalizer window writes the presets.
    m_form.ReleaseOwnedWindows();

    if (const std::error_code historyError = m_form.SaveHistories(m_config->Path())) {
        std::string message = "Unable to write to %s";
        ReplaceAll(message, "%s", m_config->Path());
        m_form.ShowError(
            QString::fromStdString(message + "\n\n" + platform::ErrorMessage(historyError)));
    }

    StorePlayerChoice(m_config->Path(), options);

    const PlaylistFileResult saved = m_playlistFile.SaveOrDelete(m_form.Playlist()->Items());
    if (!saved.ok())
        ShowPlaylistFileError(saved);
    Langunit().UnloadLanguage();
}

void ProgramSession::ShowPlaylistFileError(const PlaylistFileResult& result)
{
    m_form.ShowError(QString::fromStdString(m_playlistFile.FilePath() + "\n\n" + result.errorText));
}

} // namespace zuv
