#include "snippet_model.h"

#include "store/settings.h"

namespace kavo {

SnippetModel::SnippetModel(const Settings& settings, QObject* parent)
    : RecordListModel(parent)
{
    follow(settings.snippets());
    connect(&settings, &Settings::snippetsChanged, this, [this, &settings] { follow(settings.snippets()); });
}

QVariant SnippetModel::data(const QModelIndex& index, int role) const
{
    const Snippet* snippet = recordAt(index);
    if (!snippet)
        return {};
    switch (role) {
    case IdRole:
        return snippet->id.toString(QUuid::WithoutBraces);
    case Qt::DisplayRole:
    case TriggerRole:
        return snippet->trigger;
    case TextRole:
        return snippet->text;
    case DeleteLabelRole: {
        const QString trigger = snippet->trigger.trimmed();
        return trigger.isEmpty() ? tr("Delete") : tr("Delete %1").arg(trigger);
    }
    default:
        return {};
    }
}

QHash<int, QByteArray> SnippetModel::roleNames() const
{
    return {
        { IdRole, "snippetId" },
        { TriggerRole, "trigger" },
        { TextRole, "text" },
        { DeleteLabelRole, "deleteLabel" },
    };
}

} // namespace kavo
