// Files dropped on the main window: subtitles and media to the fields or the playlist.
#include "app/qt/main_form.h"
#include "platform/qt/file_name.h"
#include "playback/qt/playback_control.h"
#include "playback/qt/playlist_model.h"
#include "util/text_utils.h"
#include "widgets/qt/history_combo.h"

#include <QDropEvent>
#include <QLineEdit>
#include <QMimeData>
#include <QTreeView>
#include <QUrl>

#include <algorithm>

namespace zuv {

namespace {

bool HasLocalFiles(const QDropEvent& event)
{
    const QList<QUrl> urls = event.mimeData()->urls();
    return std::any_of(urls.begin(), urls.end(), [](const QUrl& url) { return url.isLocalFile(); });
}

} // namespace

void TZUVMainForm::DropFiles(const QStringList& droppedFiles, const QPoint& point)
{
    const QStringList files = TakeableNames(droppedFiles);
    static constexpr std::string_view kSubtitleExtensions = ".SRT.SUB.TXT.ZIP.VOB";
    // The list's rectangle, its right and bottom edges included.
    const bool onPlaylist =
        m_playlistShown && lvPlaylist->geometry().adjusted(0, 0, 1, 1).contains(point);
    bool mediaDropped = false;
    for (qsizetype i = 0; i < files.size(); ++i) {
        const QString& file = files[i];
        const std::string name = platform::NameToBytes(file);
        const std::string extension = ToUpperAscii(ExtensionPart(FileNamePart(name)));
        if (!extension.empty() && kSubtitleExtensions.find(extension) != std::string_view::npos) {
            if (onPlaylist) {
                const QModelIndex item =
                    lvPlaylist->indexAt(lvPlaylist->viewport()->mapFrom(this, point));
                if (item.isValid())
                    m_playlist->SetItemSubtitle(item.row(), name);
            } else {
                comboSub->setEditText(file);
            }
        } else {
            mediaDropped = true;
            if (onPlaylist) {
                m_playlist->AddItem(name, {});
                mediaDropped = false;
            } else {
                if (i == 0)
                    SetMediaFile(file);
                if (files.size() > 1) {
                    ShowPlaylist();
                    m_playlist->AddItem(name, {});
                }
            }
        }
        BringWindowsToFront();
    }
    if (mediaDropped && CurrentOptions().AutoStartDragDrop)
        Playback()->ActionStartExecute();
}

void TZUVMainForm::dragEnterEvent(QDragEnterEvent* event)
{
    const QList<QUrl> urls = event->mimeData()->urls();
    if (!urls.isEmpty() &&
        std::all_of(urls.begin(), urls.end(), [](const QUrl& url) { return url.isLocalFile(); }))
        event->acceptProposedAction();
}

void TZUVMainForm::dropEvent(QDropEvent* event)
{
    QStringList files;
    for (const QUrl& url : event->mimeData()->urls()) {
        if (url.isLocalFile())
            files << platform::NameToQString(platform::LocalFileName(url));
    }
    if (files.isEmpty())
        return;
    event->acceptProposedAction();
    DropFiles(files, event->position().toPoint());
}

bool TZUVMainForm::IsFileDragOnField(const QObject* watched, QEvent* event) const
{
    return event->type() == QEvent::DragEnter && HasLocalFiles(*static_cast<QDropEvent*>(event)) &&
           (watched == comboFile->lineEdit() || watched == comboSub->lineEdit() ||
            watched == comboParams->lineEdit());
}

} // namespace zuv
