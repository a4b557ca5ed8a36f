#include "playback/qt/playlist_model.h"

namespace zuv {

PlaylistModel::PlaylistModel(QObject* parent)
    : QAbstractTableModel(parent), m_captions{QStringLiteral("Média fájl"),
                                              QStringLiteral("Felirat")}
{}

void PlaylistModel::AddItem(const std::string& mediaPath, const std::string& subtitlePath)
{
    const int row = Count();
    beginInsertRows({}, row, row);
    m_playlist.AddItem(mediaPath, subtitlePath);
    endInsertRows();
}

void PlaylistModel::SetItemSubtitle(int row, const std::string& subtitlePath)
{
    if (row < 0 || !m_playlist.SetItemSubtitle(static_cast<std::size_t>(row), subtitlePath))
        return;
    emit dataChanged(index(row, 0), index(row, SubtitleColumn));
}

void PlaylistModel::DeleteItem(int row)
{
    if (row < 0 || row >= Count())
        return;
    beginRemoveRows({}, row, row);
    m_playlist.DeleteItem(static_cast<std::size_t>(row));
    endRemoveRows();
}

int PlaylistModel::MoveItemUp(int row)
{
    if (row <= 0 || row >= Count())
        return row;
    const int moved = static_cast<int>(m_playlist.MoveItemUp(static_cast<std::size_t>(row)));
    emit dataChanged(index(moved, 0), index(row, SubtitleColumn));
    return moved;
}

int PlaylistModel::MoveItemDown(int row)
{
    if (row < 0 || row + 1 >= Count())
        return row;
    const int moved = static_cast<int>(m_playlist.MoveItemDown(static_cast<std::size_t>(row)));
    emit dataChanged(index(row, 0), index(moved, SubtitleColumn));
    return moved;
}

void PlaylistModel::Clear()
{
    beginResetModel();
    m_playlist.Clear();
    endResetModel();
}

PlaylistFileResult PlaylistModel::LoadFile(const std::string& path)
{
    Playlist loaded;
    PlaylistFileResult result = loaded.LoadFile(path);
    if (!result.ok() || loaded.Empty())
        return result;
    // One insertion for the whole file, so the view updates once.
    const int first = Count();
    beginInsertRows({}, first, first + static_cast<int>(loaded.Count()) - 1);
    for (const PlaylistItem& item : loaded.Items())
        m_playlist.AddItem(item.mediaPath, item.subtitlePath);
    endInsertRows();
    return result;
}

PlaylistFileResult PlaylistModel::SaveFile(const std::string& path) const
{
    return m_playlist.SaveFile(path);
}

void PlaylistModel::Replace(Playlist playlist)
{
    beginResetModel();
    m_playlist = std::move(playlist);
    endResetModel();
}

int PlaylistModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : Count();
}

int PlaylistModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : 2;
}

QVariant PlaylistModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= Count())
        return {};
    const auto row = static_cast<std::size_t>(index.row());
    const PlaylistItem& item = m_playlist.Item(row);
    switch (role) {
    case Qt::DisplayRole:
        return QString::fromStdString(index.column() == MediaColumn ? item.caption
                                                                    : item.subtitleName);
    case Qt::ToolTipRole:
        return QString::fromStdString(m_playlist.InfoTip(row));
    default:
        return {};
    }
}

QVariant PlaylistModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 || section > 1)
        return QAbstractTableModel::headerData(section, orientation, role);
    return m_captions[section];
}

bool PlaylistModel::setHeaderData(int section, Qt::Orientation orientation, const QVariant& value,
                                  int role)
{
    if (orientation != Qt::Horizontal || section < 0 || section > 1 ||
        (role != Qt::EditRole && role != Qt::DisplayRole))
        return false;
    m_captions[section] = value.toString();
    emit headerDataChanged(orientation, section, section);
    return true;
}

} // namespace zuv
