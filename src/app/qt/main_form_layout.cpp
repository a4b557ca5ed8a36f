// The main window's layout: what its controls need in the current texts and font, handed to
// LayOutMainWindow, and the places it gives them.
#include "app/main_window_layout.h"
#include "app/qt/main_form.h"
#include "widgets/qt/control_fit.h"
#include "widgets/qt/history_combo.h"

#include <QCheckBox>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QTreeView>

#include <algorithm>

namespace zuv {

namespace {

ControlSize SizeOf(QSize size)
{
    return {size.width(), size.height()};
}

ControlSize HintOf(const QWidget* widget)
{
    return SizeOf(widget->sizeHint());
}

ControlSize CaptionOf(const QPushButton* button)
{
    return SizeOf(ButtonSizeForCaption(*button));
}

void Place(QWidget* widget, const ControlRect& rect)
{
    widget->setGeometry(rect.left, rect.top, rect.width, rect.height);
}

} // namespace

void TZUVMainForm::LayOutControls()
{
    // The credit line a size smaller than the window's font, whatever that is.
    QFont small = font();
    if (small.pointSizeF() > 0)
        small.setPointSizeF(small.pointSizeF() * 7 / 8);
    else
        small.setPixelSize(std::max(1, small.pixelSize() * 7 / 8));
    Label4->setFont(small);

    MainWindowMeasures measures;
    measures.Label1 = HintOf(Label1);
    measures.Label2 = HintOf(Label2);
    measures.Label3 = HintOf(Label3);
    measures.comboHeight = std::max({comboFile->sizeHint().height(), comboSub->sizeHint().height(),
                                     comboParams->sizeHint().height()});
    measures.btnSelFile = CaptionOf(btnSelFile);
    measures.btnSelSub = CaptionOf(btnSelSub);
    measures.btnSettings = CaptionOf(btnSettings);
    measures.cbFullscreen = HintOf(cbFullscreen);
    measures.cbLoop = HintOf(cbLoop);
    measures.cbIdx = HintOf(cbIdx);
    measures.cbShutdown = HintOf(cbShutdown);
    measures.cbOnTop = HintOf(cbOnTop);
    measures.btnHelp = CaptionOf(btnHelp);
    measures.Label4 = HintOf(Label4);
    measures.cbCustomVolume = HintOf(cbCustomVolume);
    // Room for the largest volume, whatever it shows now.
    const QFontMetrics volumeMetrics = lVolume->fontMetrics();
    measures.lVolume = {volumeMetrics.horizontalAdvance(QString::number(tbVolume->maximum())) + 2,
                        std::max(lVolume->sizeHint().height(), volumeMetrics.height())};
    measures.cbExtraStereo = HintOf(cbExtraStereo);
    measures.trackBarHeight =
        std::max(tbVolume->sizeHint().height(), tbExtraStereo->sizeHint().height());
    measures.btnPlaylist = CaptionOf(btnPlaylist);
    measures.btnAddPlaylist = CaptionOf(btnAddPlaylist);
    measures.btnDelPlaylist = CaptionOf(btnDelPlaylist);
    measures.btnPlaylistUp = CaptionOf(btnPlaylistUp);
    measures.btnPlaylistDown = CaptionOf(btnPlaylistDown);
    measures.btnStop = CaptionOf(btnStop);
    measures.btnStart = CaptionOf(btnStart);

    const MainWindowGeometry geometry = LayOutMainWindow(measures);
    const std::pair<QWidget*, const ControlRect*> places[] = {
        {Label1, &geometry.Label1},
        {comboFile, &geometry.comboFile},
        {btnSelFile, &geometry.btnSelFile},
        {Label2, &geometry.Label2},
        {comboSub, &geometry.comboSub},
        {btnSelSub, &geometry.btnSelSub},
        {Bevel1, &geometry.Bevel1},
        {Label3, &geometry.Label3},
        {comboParams, &geometry.comboParams},
        {btnSettings, &geometry.btnSettings},
        {cbFullscreen, &geometry.cbFullscreen},
        {cbLoop, &geometry.cbLoop},
        {cbIdx, &geometry.cbIdx},
        {cbShutdown, &geometry.cbShutdown},
        {cbOnTop, &geometry.cbOnTop},
        {btnHelp, &geometry.btnHelp},
        {Label4, &geometry.Label4},
        {cbCustomVolume, &geometry.cbCustomVolume},
        {lVolume, &geometry.lVolume},
        {tbVolume, &geometry.tbVolume},
        {cbExtraStereo, &geometry.cbExtraStereo},
        {tbExtraStereo, &geometry.tbExtraStereo},
        {Bevel2, &geometry.Bevel2},
        {btnPlaylist, &geometry.btnPlaylist},
        {btnAddPlaylist, &geometry.btnAddPlaylist},
        {btnDelPlaylist, &geometry.btnDelPlaylist},
        {btnPlaylistUp, &geometry.btnPlaylistUp},
        {btnPlaylistDown, &geometry.btnPlaylistDown},
        {btnStop, &geometry.btnStop},
        {btnStart, &geometry.btnStart},
    };
    for (const auto& [widget, rect] : places)
        Place(widget, *rect);
    const ControlRect& list = geometry.lvPlaylist;
    m_playlistViewPlace = QRect(list.left, list.top, list.width, list.height);
    if (lvPlaylist)
        lvPlaylist->setGeometry(m_playlistViewPlace);
    // Fixed for these texts: the user cannot resize it, only the playlist button changes it.
    setFixedSize(geometry.width,
                 m_playlistShown ? geometry.heightWithPlaylist : geometry.heightWithoutPlaylist);
}

} // namespace zuv
