#pragma once

#include "options/options.h"
#include "settings/qt/settings_page_parts.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class QSlider;

namespace zuv {

// The Other page of the settings dialog: program behaviour and the player's priority.
class OtherPage : public SettingsPage
{
    Q_OBJECT

public:
    explicit OtherPage(const SettingsHooks& hooks);
    void Translate();
    void ApplyOptions(const Options& options);
    void GatherOptions(Options& options) const;

signals:
    // cbDisableScrSaver changed, by the user or the program.
    void DisableScrSaverToggled(bool on);

private:
    void tbPriorityChange();
    void FillPlayerList();
    void btnSetKeysClick();

    const SettingsHooks& m_hooks;
    QCheckBox* cbDisableScrSaver = nullptr;
    QCheckBox* cbAutostartDragDrop = nullptr;
    QCheckBox* cbAutostartCmd = nullptr;
    QCheckBox* cbOneInstance = nullptr;
    QCheckBox* cbShowResult = nullptr;
    QCheckBox* cbResultIfUnclean = nullptr;
    QLabel* Label10 = nullptr;
    QLabel* labelPriority = nullptr;
    QSlider* tbPriority = nullptr;
    QLabel* labelPlayer = nullptr;
    QComboBox* cbPlayer = nullptr;
    QPushButton* btnFileAssoc = nullptr;
    QPushButton* btnSetKeys = nullptr;
};

} // namespace zuv
