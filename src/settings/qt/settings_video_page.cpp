#include "settings/qt/settings_video_page.h"

#include "widgets/qt/accessible_name.h"

#include <QCheckBox>
#include <QLabel>
#include <QSlider>
#include <QVBoxLayout>

namespace zuv {

VideoPage::VideoPage() : SettingsPage("TabSheet1", QStringLiteral("&Video"))
{
    Label1 = AddHeading("Label1", QStringLiteral("Video beállítások"));
    cbDoubleBuffer = AddCheck("cbDoubleBuffer", QStringLiteral("Dupla buferelés"));
    cbDri = AddCheck("cbDri", QStringLiteral("Direct rendering"));
    cbEq2 = AddCheck("cbEq2", QStringLiteral("Grafikus ekvalizer (fényerő stb.)"));
    cbPostProcessing = AddCheck("cbPostProcessing", QStringLiteral("Post processing (képjavítás)"));
    Label8 = Named(new QLabel(QStringLiteral("(nagyon lassú lehet direct rendering-el)"), this),
                   "Label8");
    Label8->setAlignment(Qt::AlignRight);
    PageLayout()->addWidget(Label8);
    cbYUY2 = AddCheck("cbYUY2", QStringLiteral("YUY2-es colorspace használata"));
    cbExpand = AddCheck("cbExpand", QStringLiteral("Kép kibővítése fekete sávval"));
    cbPanScan = Named(new QCheckBox(QStringLiteral("PanScan emuláció"), this), "cbPanScan");
    labelPanScan = MakeValueLabel("labelPanScan");
    labelPanScan->setEnabled(false);
    AddRow(cbPanScan, labelPanScan);
    tbPanScan = AddTrackBar("tbPanScan", 0, 99, 10, 10, 49);
    tbPanScan->setEnabled(false);
    PageLayout()->addStretch();

    EnableWith(cbPanScan, {tbPanScan, labelPanScan});
    connect(tbPanScan, &QSlider::valueChanged, this, &VideoPage::tbPanScanChange);
    tbPanScanChange();
}

void VideoPage::Translate()
{
    TranslateCaption("100");
    TranslateComponents({
        {Label1, "220"},
        {cbDoubleBuffer, "221"},
        {cbDri, "222"},
        {cbEq2, "223"},
        {cbYUY2, "224"},
        {cbPostProcessing, "225"},
        {Label8, "226"},
        {cbExpand, "227"},
        {cbPanScan, "228"},
    });
    NameAfter(tbPanScan, cbPanScan);
}

void VideoPage::tbPanScanChange()
{
    labelPanScan->setText(QString::number(tbPanScan->value()) + QStringLiteral(" %"));
}

void VideoPage::ApplyOptions(const Options& options)
{
    cbDoubleBuffer->setChecked(options.Double);
    cbDri->setChecked(options.dri);
    cbEq2->setChecked(options.GraphicEq);
    cbYUY2->setChecked(options.ForceYUY2);
    cbPostProcessing->setChecked(options.PostProcessing);
    cbExpand->setChecked(options.Expand);
    cbPanScan->setChecked(options.PanScan);
    tbPanScan->setValue(ClampToRange(options.PanScanValue, kPanScanValueRange));
}

void VideoPage::GatherOptions(Options& options) const
{
    options.Double = cbDoubleBuffer->isChecked();
    options.dri = cbDri->isChecked();
    options.GraphicEq = cbEq2->isChecked();
    options.ForceYUY2 = cbYUY2->isChecked();
    options.PostProcessing = cbPostProcessing->isChecked();
    options.Expand = cbExpand->isChecked();
    options.PanScan = cbPanScan->isChecked();
    options.PanScanValue = tbPanScan->value();
}

} // namespace zuv
