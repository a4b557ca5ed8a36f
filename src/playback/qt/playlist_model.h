#pragma once

#include "playback/playlist.h"

#include <QAbstractTableModel>

namespace zuv {

// The playlist as the list view shows it: the media file name and the subtitle file name, the
// full paths kept behind them, and each item's hint.
class PlaylistModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    enum Column
    {
        MediaColumn = 0,
        SubtitleColumn = 1,
    };

    explicit PlaylistModel(QObject* parent = nullptr);

    const Playlist& Items() const { return m_playlist; }
    int Count() const { return static_cast<int>(m_playlist.Count()); }

    void AddItem(const std::string& mediaPath, const std::string& subtitlePath);
    void SetItemSubtitle(int row, const std::string& subtitlePath);
    void DeleteItem(int row);
    // The item's new row.
    int MoveItemUp(int row);
    int MoveItemDown(int row);
    void Clear();
    // Loading and saving in the playlist file format; loading adds to the list.
    PlaylistFileResult LoadFile(const std::string& path);
    PlaylistFileResult SaveFile(const std::string& path) const;
    // Replaces the whole list at once (the automatic playlist at start-up).
    void Replace(Playlist playlist);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    bool setHeaderData(int section, Qt::Orientation orientation, const QVariant& value,
                       int role = Qt::EditRole) override;

private:
    Playlist m_playlist;
    QString m_captions[2];
};

} // namespace zuv
