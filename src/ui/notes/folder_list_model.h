#pragma once

#include <QAbstractListModel>
#include <QList>
#include <QUuid>
#include <QtQmlIntegration/qqmlintegration.h>

namespace kavo {

class NotesManager;

/// The Notes screen's folders: a first row for all notes with the total count, then one row per folder with the
/// number of notes filed in it. Rows follow the manager's per-folder signals; counts follow its per-note signals.
class FolderListModel : public QAbstractListModel
{
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("The Notes screen's view owns its folder list")
    Q_PROPERTY(int selectedRow READ selectedRow NOTIFY selectedRowChanged)

public:
    enum Role { IdRole = Qt::UserRole, NameRole, CountRole, SelectedRole, RenamingRole };

    explicit FolderListModel(const NotesManager& notes, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    /// The id is a UUID text, null for the all-notes row.
    QVariant data(const QModelIndex& index, int role) const override;
    QHash<int, QByteArray> roleNames() const override;

    /// The folder of a row: the null UUID for the all-notes row and for rows out of range.
    QUuid folderAt(int row) const;
    /// The row of a folder, 0 for the null UUID, -1 when it has none.
    int rowOf(const QUuid& folder) const;

    /// The null UUID selects the all-notes row.
    void setSelected(const QUuid& folder);
    int selectedRow() const { return rowOf(m_selected); }
    /// The null UUID renames none.
    void setRenaming(const QUuid& folder);

Q_SIGNALS:
    void selectedRowChanged();

private:
    struct Row
    {
        QUuid id;
        QString name;
        int count = 0;
    };

    Row folderRow(const QUuid& folder) const;
    void reload();
    void refreshCounts();
    void refreshRow(const QUuid& folder, Role role);

    const NotesManager& m_notes;
    QList<Row> m_rows;
    QUuid m_selected;
    QUuid m_renaming;
};

} // namespace kavo
