// The main window's playlist panel: its buttons, the list with its context menu, and what they do.
#include "app/qt/main_form.h"
#include "app/qt/main_form_parts.h"
#include "lang/qt/translate.h"
#include "platform/qt/file_name.h"
#include "playback/qt/playlist_model.h"
#include "widgets/qt/accessible_name.h"
#include "widgets/qt/action_link.h"
#include "widgets/qt/desktop_window.h"
#include "widgets/qt/history_combo.h"
#include "widgets/qt/named_control.h"

#include <QAction>
#include <QApplication>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QMenu>
#include <QPushButton>
#include <QTreeView>

namespace zuv {

void TZUVMainForm::CreatePlaylistPanel()
{
    btnPlaylist = MakeFormButton(this, "btnPlaylist");
    LinkButtonToAction(btnPlaylist, ActionPlToggle);
    btnAddPlaylist = MakeFormButton(this, "btnAddPlaylist");
    LinkButtonToAction(btnAddPlaylist, ActionPlAdd);
    btnDelPlaylist = MakeFormButton(this, "btnDelPlaylist");
    LinkButtonToAction(btnDelPlaylist, ActionPlDel);
    btnPlaylistUp = MakeFormButton(this, "btnPlaylistUp");
    LinkButtonToAction(btnPlaylistUp, ActionPlUp);
    btnPlaylistDown = MakeFormButton(this, "btnPlaylistDown");
    LinkButtonToAction(btnPlaylistDown, ActionPlDown);

    m_playlist = new PlaylistModel(this);
    lvPlaylistColumns[0] = new ListColumn(m_playlist, PlaylistModel::MediaColumn);
    lvPlaylistColumns[1] = new ListColumn(m_playlist, PlaylistModel::SubtitleColumn);

    btnStop = MakeFormButton(this, "btnStop");
    LinkButtonToAction(btnStop, ActionStop);
    btnStart = MakeFormButton(this, "btnStart");
    LinkButtonToAction(btnStart, ActionStart);
    btnStart->setDefault(true);
    m_controlsCreated = true;
}

QTreeView* TZUVMainForm::PlaylistView()
{
    if (lvPlaylist)
        return lvPlaylist;
    lvPlaylist = Named(new QTreeView(this), "lvPlaylist");
    lvPlaylist->setModel(m_playlist);
    lvPlaylist->setRootIsDecorated(false);
    lvPlaylist->setItemsExpandable(false);
    lvPlaylist->setUniformRowHeights(true);
    lvPlaylist->setSelectionBehavior(QAbstractItemView::SelectRows);
    lvPlaylist->setSelectionMode(QAbstractItemView::SingleSelection);
    lvPlaylist->setEditTriggers(QAbstractItemView::NoEditTriggers);
    lvPlaylist->setContextMenuPolicy(Qt::CustomContextMenu);
    lvPlaylist->header()->setStretchLastSection(false);
    lvPlaylist->header()->setSectionResizeMode(PlaylistModel::MediaColumn, QHeaderView::Stretch);
    lvPlaylist->header()->setSectionResizeMode(PlaylistModel::SubtitleColumn,
                                               QHeaderView::Interactive);
    lvPlaylist->header()->resizeSection(PlaylistModel::SubtitleColumn, 180);
    lvPlaylist->installEventFilter(this);
    lvPlaylist->viewport()->installEventFilter(this);
    connect(lvPlaylist, &QTreeView::doubleClicked, this, &TZUVMainForm::lvPlaylistDblClick);

    pmPlaylist = Named(new QMenu(this), "pmPlaylist");
    pmPlaylist->addAction(ActionPlClear);
    pmPlaylist->addSeparator();
    pmPlaylist->addAction(ActionPlLoad);
    pmPlaylist->addAction(ActionPlSave);
    // The point comes in the list's viewport, below the column headers.
    connect(lvPlaylist, &QTreeView::customContextMenuRequested, this, [this](const QPoint& point) {
        pmPlaylist->popup(lvPlaylist->viewport()->mapToGlobal(point));
    });
    connect(lvPlaylist->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &TZUVMainForm::ControlsStateChanged);

    // In its place among the others: on the window, in the keyboard's order, in its state.
    lvPlaylist->setGeometry(m_playlistViewPlace);
    setTabOrder(btnPlaylistDown, lvPlaylist);
    lvPlaylist->setEnabled(!m_showsPlaying);
    NameAfterCaption(lvPlaylist, ActionPlToggle->text());
    lvPlaylist->setVisible(m_playlistShown);
    return lvPlaylist;
}

void TZUVMainForm::TogglePlaylist()
{
    m_playlistShown = !m_playlistShown;
    // Hidden: the window ends just above the list; shown: the full height.
    LayOutControls();
    for (QAction* action : {ActionPlDel, ActionPlUp, ActionPlDown})
        action->setVisible(m_playlistShown);
    if (m_playlistShown || lvPlaylist)
        PlaylistView()->setVisible(m_playlistShown);
}

void TZUVMainForm::ShowPlaylist()
{
    if (!m_playlistShown)
        TogglePlaylist();
}

int TZUVMainForm::SelectedPlaylistItem() const
{
    // Nothing can be chosen in a list that was never shown.
    if (!lvPlaylist)
        return -1;
    const QModelIndexList rows = lvPlaylist->selectionModel()->selectedRows();
    return rows.isEmpty() ? -1 : rows.first().row();
}

void TZUVMainForm::SelectPlaylistItem(int row)
{
    const bool none = row < 0 || row >= m_playlist->Count();
    if (none && !lvPlaylist)
        return; // a list never built has nothing chosen
    QTreeView* view = PlaylistView();
    if (none) {
        view->clearSelection();
        return;
    }
    const QModelIndex index = m_playlist->index(row, 0);
    view->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect |
                                                       QItemSelectionModel::Rows);
    view->scrollTo(index);
}

void TZUVMainForm::ActionPlAddExecute()
{
    if (comboFile->currentText().isEmpty() ||
        TakeableNames({comboFile->currentText(), comboSub->currentText()}).size() != 2)
        return;
    ShowPlaylist();
    m_playlist->AddItem(platform::NameToBytes(comboFile->currentText()),
                        platform::NameToBytes(comboSub->currentText()));
}

void TZUVMainForm::ActionPlDelExecute()
{
    const int row = SelectedPlaylistItem();
    if (row < 0)
        return;
    m_playlist->DeleteItem(row);
    lvPlaylist->clearSelection();
}

void TZUVMainForm::ActionPlUpExecute()
{
    const int row = SelectedPlaylistItem();
    if (row > 0)
        SelectPlaylistItem(m_playlist->MoveItemUp(row));
}

void TZUVMainForm::ActionPlDownExecute()
{
    const int row = SelectedPlaylistItem();
    if (row >= 0 && row + 1 < m_playlist->Count())
        SelectPlaylistItem(m_playlist->MoveItemDown(row));
}

void TZUVMainForm::ActionPlClearExecute()
{
    m_playlist->Clear();
}

void TZUVMainForm::ShowFileError(const QString& path, const std::string& reason)
{
    // Which file and why, as the system says it.
    MessageBox::Show(this, QMessageBox::Critical, QApplication::applicationName(),
                     path + QStringLiteral("\n\n") + QString::fromStdString(reason));
}

void TZUVMainForm::ActionPlLoadExecute()
{
    const QStringList files = OpenPlDialog.Execute(this);
    if (files.isEmpty())
        return;
    const PlaylistFileResult result = m_playlist->LoadFile(platform::NameToBytes(files.first()));
    if (!result.ok())
        ShowFileError(files.first(), result.errorText);
}

void TZUVMainForm::ActionPlSaveExecute()
{
    const QStringList files = SavePlDialog.Execute(this);
    if (files.isEmpty())
        return;
    const PlaylistFileResult result = m_playlist->SaveFile(platform::NameToBytes(files.first()));
    if (!result.ok())
        ShowFileError(files.first(), result.errorText);
}

void TZUVMainForm::lvPlaylistDblClick()
{
    const int row = SelectedPlaylistItem();
    if (row < 0)
        return;
    const PlaylistItem& item = m_playlist->Items().Item(static_cast<std::size_t>(row));
    comboFile->setEditText(platform::NameToQString(item.mediaPath));
    comboSub->setEditText(platform::NameToQString(item.subtitlePath));
}

} // namespace zuv
