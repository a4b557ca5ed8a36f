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

    QLabel* Label1;
    QCheckBox* cbDoubleBuffer;
    QCheckBox* cbDri;
    QCheckBox* cbEq2;
    QCheckBox* cbPostProcessing;
    QLabel* Label8;
    QCheckBox* cbYUY2;
    QCheckBox* cbExpand;
    QCheckBox* cbPanScan;
    QLabel* labelPanScan;
    QSlider* tbPanScan;
};

} // namespace zuv
