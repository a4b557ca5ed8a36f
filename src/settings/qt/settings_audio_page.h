#pragma once

#include "options/options.h"
#include "settings/qt/settings_page_parts.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;

namespace zuv {

// The Audio page of the settings dialog.
class AudioPage : public SettingsPage
{
    Q_OBJECT

public:
    explicit AudioPage(const SettingsHooks& hooks);
    void Translate();
    void ApplyOptions(const Options& options);
    void GatherOptions(Options& options) const;

private:
    QLabel* Label2 = nullptr;
    QCheckBox* cbNormalize = nullptr;
    QCheckBox* cbSetChannels = nullptr;
    QComboBox* comboChannels = nullptr;
    QCheckBox* cbDolbySurroundDecode = nullptr;
    QCheckBox* cbSubChannel = nullptr;
    QLabel* Label9 = nullptr;
    QLabel* Label3 = nullptr;
    QCheckBox* cbEqualizer = nullptr;
    QPushButton* btnShowEQ = nullptr;
    QCheckBox* cbCustomChannelMapping = nullptr;
    QComboBox* comboCustomChannelMapping = nullptr;
};

} // namespace zuv
