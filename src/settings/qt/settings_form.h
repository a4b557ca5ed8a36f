#pragma once

#include "options/options.h"
#include "settings/qt/settings_page_parts.h"

#include <QWidget>

class QTabWidget;

namespace zuv {

class AudioPage;
class FontPage;
class InfoPage;
class OtherPage;
class VideoPage;

// The settings dialog: the less frequent options on five pages (Video, Audio, Font, Other, Info).
// It has no caption bar of its own and hangs at the main window's right edge, following it.
// Its controls are the pages' own; others read the options through GatherOptions and find a
// control, when they must, by its object name.
class TSettingsForm : public QWidget
{
    Q_OBJECT

public:
    using Hooks = SettingsHooks;

    // The designed client size; the dialog grows beyond it when its texts need more room.
    static constexpr int kDesignedWidth = 247;
    static constexpr int kDesignedHeight = 287;

    // `mainWindow` owns the dialog and is the window it hangs beside.
    explicit TSettingsForm(QWidget* mainWindow);

    void SetHooks(Hooks hooks) { m_hooks = std::move(hooks); }

    // Puts the dialog at the main window's right edge, 16 pixels below its top; at its left edge
    // or over it where the screen has no room, always inside the screen's free area.
    void PlaceBesideMainWindow();
    // The subtitle text scale: 1 + 0.2 x tbFontScale position.
    double GetSubFontScale() const;
    // tbFontScale to (v - 1) x 5 rounded half up, within 0..25.
    void SetSubFontScale(double scale);
    void TranslateSettingsForm();
    // Fills the versions, the player's name and its home page into the information text; may
    // run again when a version becomes known.
    void SetVersions(const QString& programVersion, const QString& playerVersion,
                     const QString& playerName = QStringLiteral("MPlayer"));
    // Builds the language list from the language files.
    void FillLanguageList();

    // The options this dialog holds, from and to the controls.
    void ApplyOptions(const Options& options);
    void GatherOptions(Options& options) const;

signals:
    // cbDisableScrSaver changed; it counts at once, also in the middle of a run.
    void DisableScrSaverToggled(bool on);

protected:
    bool event(QEvent* event) override;
    void changeEvent(QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void SetActivePage(int storedPage);
    void PageChosen();
    // Gives the dialog the designed size, or more where its texts need it.
    void FitToTexts();

    Hooks m_hooks;
    QTabWidget* PageControl1 = nullptr;
    VideoPage* TabSheet1 = nullptr;
    AudioPage* TabSheet2 = nullptr;
    FontPage* TabSheet3 = nullptr;
    OtherPage* TabSheet4 = nullptr;
    InfoPage* TabSheet5 = nullptr;
    bool m_noActivePage = false; // a stored page outside the range leaves none chosen
    bool m_fitting = false;
};

} // namespace zuv
