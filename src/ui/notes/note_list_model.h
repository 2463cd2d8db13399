#pragma once

#include <QAbstractListModel>
#include <QDateTime>
#include <QList>
#include <QUuid>
#include <QtQmlIntegration/qqmlintegration.h>

namespace kavo {

class NotesManager;

/// The notes of one folder (or of all) that match the search, newest change first, as the Notes screen lists them.
/// Each announced change of a note moves, adds, removes or redraws only the rows it touches; a new folder or search
/// reads the list again.
class NoteListModel : public QAbstractListModel
{
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("The Notes screen's view owns its note list")
    Q_PROPERTY(int selectedRow READ selectedRow NOTIFY selectedRowChanged)

public:
    enum Role { IdRole = Qt::UserRole, TitleRole, SnippetRole, TimeRole, SelectedRole };

    explicit NoteListModel(const NotesManager& notes, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QHash<int, QByteArray> roleNames() const override;

    /// The null UUID lists every note.
    void setFilter(const QUuid& folder, const QString& query);
    /// The null UUID selects none.
    void setSelected(const QUuid& note);
    int selectedRow() const { return m_selectedRow; }

    /// The note of a row; the null UUID for rows out of range.
    QUuid noteAt(int row) const;
    int rowOf(const QUuid& note) const;

    /// "14:05" for today, "Yesterday, 14:05" and then the short date for older changes.
    static QString timeText(const QDateTime& updated, const QDateTime& now);

Q_SIGNALS:
    void selectedRowChanged();

private:
    struct Row
    {
        QUuid id;
        QString title;
        QString snippet;
        QDateTime updated;

        bool operator==(const Row&) const = default;
    };

    QList<Row> wantedRows() const;
    void reload();
    void follow();
    void updateSelectedRow();

    const NotesManager& m_notes;
    QUuid m_folder;
    QString m_query;
    QUuid m_selected;
    int m_selectedRow = -1;
    QList<Row> m_rows;
};

} // namespace kavo
