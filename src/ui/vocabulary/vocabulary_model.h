#pragma once

#include "store/vocabulary_word.h"
#include "ui/vocabulary/record_list_model.h"

#include <QtQmlIntegration/qqmlintegration.h>

namespace kavo {

class Settings;

/// The vocabulary's words in their stored order, following the settings row by row.
class VocabularyModel : public RecordListModel<VocabularyWord>
{
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("The vocabulary screen's view owns its models")

public:
    enum Role {
        IdRole = Qt::UserRole,
        WordRole,
        LanguageLabelRole, ///< the language's label, empty for a word of all languages
        DeleteLabelRole, ///< the accessible name of the word's delete button
    };
    Q_ENUM(Role)

    explicit VocabularyModel(const Settings& settings, QObject* parent = nullptr);

    QVariant data(const QModelIndex& index, int role) const override;
    QHash<int, QByteArray> roleNames() const override;
};

} // namespace kavo
