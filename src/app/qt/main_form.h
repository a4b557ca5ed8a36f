#pragma once

#include "options/options.h"
#include "widgets/qt/dialogs.h"

#include <QRect>
#include <QWidget>

#include <memory>
#include <string>
#include <system_error>

class QAction;
class QCheckBox;
class QFrame;
class QLabel;
class QMenu;
class QPushButton;
class QSlider;
class QTreeView;

namespace zuv {

class ListColumn;
class MainFormPlaybackHost;
class PlaybackControl;
class PlaylistModel;
class TCountdownForm;
class TEQForm;
class THistoryCombo;
class TResultForm;
class TSettingsForm;

// The main window: media, subtitle and parameter fields, the most used switches, Start and Stop,
// and the playlist below a separator. It owns the settings dialog, the equalizer window, the
// result window and the countdown window.
class TZUVMainForm : public QWidget
{
    Q_OBJECT

public:
    explicit TZUVMainForm(QWidget* parent = nullptr);
    ~TZUVMainForm() override;

    // The error box: caption "Zuv - " and the language's word for error, error icon, OK.
    void ShowError(const QString& text);
    // The names that may be taken (see RefusalOfName); the others are named in one error box.
    QStringList TakeableNames(const QStringList& names);
    // Language texts of this window and its caption with both version numbers.
    void TranslateMainForm();
    // Language texts of the settings dialog, equalizer and result window, where built.
    void TranslateOwnedWindows();
    // The main window and the settings dialog above other windows (or not); idempotent.
    void SetWindowsOnTop(bool on);
    bool WindowsOnTop() const { return m_onTop; }
    // A new media file: comboFile gets the path, comboSub is emptied.
    void SetMediaFile(const QString& path);
    // The version texts of the caption and the Info page: the program's and the player's.
    // The player's name and version as the player that runs gave them.
    void SetVersions(const QString& programVersion, const QString& playerVersion,
                     const QString& playerName = QStringLiteral("MPlayer"));
    // Raises the main window and, when it is visible, the settings dialog.
    void BringWindowsToFront();
    // Dropped files at a point of the window: subtitles to the subtitle field or to the playlist
    // item under the point, media to the media field and the playlist.
    void DropFiles(const QStringList& files, const QPoint& point);
    // The exit releases the settings dialog, the result window and the equalizer window (which
    // then writes its presets) before the histories and the playlist are stored.
    void ReleaseOwnedWindows();

    // Every option to every window (the ones not built yet take theirs when they are built).
    void ApplyOptions(const Options& options);
    // The options of this window's own controls.
    void GatherOptions(Options& options) const;
    // Every option from every window.
    Options CurrentOptions() const;

    // Playlist panel.
    bool PlaylistShown() const { return m_playlistShown; }
    void TogglePlaylist();
    void ShowPlaylist();
    PlaylistModel* Playlist() const { return m_playlist; }
    int SelectedPlaylistItem() const;
    void SelectPlaylistItem(int row);
    // The media file types for the open dialog and the file-type window.
    const std::string& FileTypes() const { return m_fileTypes; }
    void SetFileTypes(std::string fileTypes) { m_fileTypes = std::move(fileTypes); }

    // Built on first use: most starts never open them, and building them would delay the first
    // frame. Until then the options they show are held here.
    TSettingsForm* SettingsForm();
    TEQForm* EQForm();
    TResultForm* ResultForm();
    bool ResultWindowShown() const;
    // The exit steps have released the owned windows; none is built again.
    bool OwnedWindowsReleased() const { return m_ownedWindowsReleased; }
    TCountdownForm* CountdownForm();
    PlaybackControl* Playback() const;

    // The text of the media field.
    QString MediaFile() const;
    // cbLoop: a run starts again when it ends.
    bool LoopChecked() const;
    // Start may be used (not while a run starts or plays).
    bool StartEnabled() const;
    void EnableStart(bool on);
    // While a run plays: Stop instead of Start, the playlist and its buttons locked.
    void ShowPlayingState(bool on);
    // The histories of the three fields: where they are kept, read after the options are
    // applied, and written; the first write error stops the writing.
    void SetHistoryFile(const std::string& path);
    void LoadHistories();
    std::error_code SaveHistories(const std::string& path);

    // Handlers.
    void tbVolumeChange();
    void cbCustomVolumeClick();
    void cbExtraStereoClick();
    void cbOnTopClick();
    void btnHelpClick();
    // Accessible names of the controls whose caption stands beside them.
    void NameForScreenReaders();
    // Opens a file with the desktop's program for it; a failure goes into the error box.
    void OpenDocument(const QString& path);
    void ActionBrowseFileExecute();
    void ActionBrowseSubExecute();
    void ActionSettingsExecute();
    void ActionShowResultWindowExecute();
    void ActionPlAddExecute();
    void ActionPlDelExecute();
    void ActionPlUpExecute();
    void ActionPlDownExecute();
    void ActionPlClearExecute();
    void ActionPlLoadExecute();
    void ActionPlSaveExecute();
    void lvPlaylistDblClick();
    // The list of the playlist panel, built on first use: a hidden list would cost the start
    // its view, its header's fonts and their layout.
    QTreeView* PlaylistView();
    // The file-type window, opened from the settings dialog.
    void ShowFileTypes();

signals:
    // The window is closing: the exit steps run here, before any window is destroyed.
    void Closing();
    // The settings dialog's screen saver switch changed; it counts at once, also during a run.
    void DisableScrSaverToggled(bool on);
    // Start or Stop was chosen (button, key or menu).
    void StartRequested();
    void StopRequested();
    // What the desktop's media controls show may have changed: Start, Stop, the playlist's
    // buttons, its selection or the media field.
    void ControlsStateChanged();

protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void CreateControls();
    void CreateActions();
    void CreatePlaylistPanel();
    void BuildSettingsForm();
    void BuildEQForm();
    // Places the controls for the texts and font they have now and fixes the window's size to
    // them, with or without the playlist.
    void LayOutControls();
    void ShowFileError(const QString& path, const std::string& reason);
    // The caption with both version numbers in the loaded language.
    void UpdateCaption();
    // A drag of files over one of the fields, which the window takes instead of the field.
    bool IsFileDragOnField(const QObject* watched, QEvent* event) const;

    // Controls and actions, named as the window was designed.
    QLabel* Label1 = nullptr;
    THistoryCombo* comboFile = nullptr;
    QPushButton* btnSelFile = nullptr;
    QLabel* Label2 = nullptr;
    THistoryCombo* comboSub = nullptr;
    QPushButton* btnSelSub = nullptr;
    QFrame* Bevel1 = nullptr;
    QLabel* Label3 = nullptr;
    THistoryCombo* comboParams = nullptr;
    QPushButton* btnSettings = nullptr;
    QCheckBox* cbFullscreen = nullptr;
    QCheckBox* cbLoop = nullptr;
    QCheckBox* cbIdx = nullptr;
    QCheckBox* cbShutdown = nullptr;
    QCheckBox* cbOnTop = nullptr;
    QPushButton* btnHelp = nullptr;
    QLabel* Label4 = nullptr;
    QCheckBox* cbCustomVolume = nullptr;
    QLabel* lVolume = nullptr;
    QSlider* tbVolume = nullptr;
    QCheckBox* cbExtraStereo = nullptr;
    QSlider* tbExtraStereo = nullptr;
    QFrame* Bevel2 = nullptr;
    QPushButton* btnPlaylist = nullptr;
    QPushButton* btnAddPlaylist = nullptr;
    QPushButton* btnDelPlaylist = nullptr;
    QPushButton* btnPlaylistUp = nullptr;
    QPushButton* btnPlaylistDown = nullptr;
    // Built when the playlist is first shown (see PlaylistView).
    QTreeView* lvPlaylist = nullptr;
    QPushButton* btnStop = nullptr;
    QPushButton* btnStart = nullptr;

    QAction* ActionBrowseFile = nullptr;
    QAction* ActionBrowseSub = nullptr;
    QAction* ActionStart = nullptr;
    QAction* ActionStop = nullptr;
    QAction* ActionSettings = nullptr;
    QAction* ActionShowResultWindow = nullptr;
    QAction* ActionPlToggle = nullptr;
    QAction* ActionPlAdd = nullptr;
    QAction* ActionPlDel = nullptr;
    QAction* ActionPlUp = nullptr;
    QAction* ActionPlDown = nullptr;
    QAction* ActionPlClear = nullptr;
    QAction* ActionPlLoad = nullptr;
    QAction* ActionPlSave = nullptr;
    QMenu* pmPlaylist = nullptr; // the list's context menu, built with it
    ListColumn* lvPlaylistColumns[2] = {};

    FileDialog OpenDialog;
    FileDialog OpenSubDialog;
    FileDialog OpenPlDialog;
    FileDialog SavePlDialog;

    std::string m_fileTypes;
    QString m_programVersion;
    QString m_playerVersion;
    QString m_playerName = QStringLiteral("MPlayer");
    bool m_onTop = false;
    bool m_playlistShown = false;
    bool m_showsPlaying = false;
    QRect m_playlistViewPlace;
    // Set once every control exists; a font change before that has nothing to lay out.
    bool m_controlsCreated = false;
    PlaylistModel* m_playlist = nullptr;
    TSettingsForm* m_settings = nullptr;
    TEQForm* m_equalizer = nullptr;
    // The options last applied, for the windows not built (or already released).
    Options m_heldOptions;
    bool m_ownedWindowsReleased = false;
    TResultForm* m_result = nullptr;
    TCountdownForm* m_countdown = nullptr;
    std::unique_ptr<MainFormPlaybackHost> m_playbackHost;
};

} // namespace zuv
