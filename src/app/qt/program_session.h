#pragma once

#include "options/config_file.h"
#include "playback/playlist.h"

#include <QObject>
#include <QStringList>

class QTimer;

#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace zuv {

class DesktopMediaControls;
class HandoverServer;
class QtTranslations;
class TZUVMainForm;

// The program's life around its main window: the start-up steps that fill the windows from the
// configuration, the language and the automatic playlist; the command line; the hand-over from
// a second copy; and the exit steps that store everything again.
class ProgramSession : public QObject
{
    Q_OBJECT

public:
    struct Folders
    {
        ConfigFolders config;
        std::string playlistProfile;
        std::string playlistProgram;
        static Folders Default();
    };

    ProgramSession(TZUVMainForm& form, Folders folders = Folders::Default());
    ~ProgramSession() override;

    // The start-up steps, ending with the command line (the program's arguments without its
    // own path). Version texts: the program's now, the player's when it has answered.
    void Startup(const QStringList& arguments);
    // Listens for second copies; false when another copy holds the socket (or there is none).
    // Called before the start-up, second copies wait until it has finished. A copy that could
    // not listen tries again while it takes files, so that it takes over when the holder ends.
    bool ListenForSecondCopies();
    // Offers the desktop's media controls (media keys, the panel's player) until the exit.
    void PublishMediaControls();
    // Runs `task` once the window has first been painted (the start-up must have begun): for
    // what the first frame does not need, such as the session bus.
    void WhenPainted(std::function<void()> task) { m_whenPainted.push_back(std::move(task)); }

    // The replies of the two hand-over messages.
    bool AcceptsFiles() const;
    bool ReceiveFiles();
    // Handles a second copy's command line text (program path and switches included).
    void TakeOverCommandLine(const std::string& commandLine);

    const ConfigurationFile& Configuration() const { return *m_config; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void LoadOptions();
    void Exit();
    void CommandLine(const QStringList& arguments);
    void ShowPlaylistFileError(const PlaylistFileResult& result);
    void FinishStartup();

    TZUVMainForm& m_form;
    Folders m_folders;
    std::optional<ConfigurationFile> m_config;
    AutomaticPlaylistFile m_playlistFile;
    std::unique_ptr<HandoverServer> m_handover;
    std::unique_ptr<DesktopMediaControls> m_mediaControls;
    std::unique_ptr<QtTranslations> m_qtTranslations;
    QTimer* m_listenRetry = nullptr;
    bool m_listening = false;
    bool m_started = false;
    bool m_exited = false;
    std::vector<std::function<void()>> m_whenPainted;
};

// True when an argument is the switch "start" after "-" or "/", in any letter case.
bool IsStartSwitch(const QString& argument);

} // namespace zuv
