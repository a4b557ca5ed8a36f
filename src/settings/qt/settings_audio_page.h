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
    QLabel* Label2;
    QCheckBox* cbNormalize;
    QCheckBox* cbSetChannels;
    QComboBox* comboChannels;
    QCheckBox* cbDolbySurroundDecode;
    QCheckBox* cbSubChannel;
    QLabel* Label9;
    QLabel* Label3;
    QCheckBox* cbEqualizer;
    QPushButton* btnShowEQ;
    QCheckBox* cbCustomChannelMapping;
    QComboBox* comboCustomChannelMapping;
};

} // namespace zuv
