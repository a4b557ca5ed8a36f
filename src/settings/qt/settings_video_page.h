#pragma once

#include "options/options.h"
#include "settings/qt/settings_page_parts.h"

class QCheckBox;
class QLabel;
class QSlider;

namespace zuv {

// The Video page of the settings dialog.
class VideoPage : public SettingsPage
{
    Q_OBJECT

public:
    VideoPage();
    void Translate();
    void ApplyOptions(const Options& options);
    void GatherOptions(Options& options) const;

private:
    void tbPanScanChange();

    QLabel* Label1 = nullptr;
    QCheckBox* cbDoubleBuffer = nullptr;
    QCheckBox* cbDri = nullptr;
    QCheckBox* cbEq2 = nullptr;
    QCheckBox* cbPostProcessing = nullptr;
    QLabel* Label8 = nullptr;
    QCheckBox* cbYUY2 = nullptr;
    QCheckBox* cbExpand = nullptr;
    QCheckBox* cbPanScan = nullptr;
    QLabel* labelPanScan = nullptr;
    QSlider* tbPanScan = nullptr;
};

} // namespace zuv
