#pragma once

#include "store/snippet.h"
#include "ui/vocabulary/record_list_model.h"

#include <QtQmlIntegration/qqmlintegration.h>

namespace kavo {

class Settings;

/// The snippets in their stored order, following the settings row by row, so that a row being edited keeps its
/// delegate and the keyboard focus while each keystroke is saved.
class SnippetModel : public RecordListModel<Snippet>
{
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("The vocabulary screen's view owns its models")

public:
    enum Role {
        IdRole = Qt::UserRole,
        TriggerRole,
        TextRole,
        DeleteLabelRole, ///< the accessible name of the row's delete button
    };
    Q_ENUM(Role)

    explicit SnippetModel(const Settings& settings, QObject* parent = nullptr);

    QVariant data(const QModelIndex& index, int role) const override;
    QHash<int, QByteArray> roleNames() const override;
};

} // namespace kavo
