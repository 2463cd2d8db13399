#include "vocabulary_model.h"

#include "store/settings.h"

namespace kavo {

namespace {

QString languageLabel(const QString& code)
{
    if (code.isEmpty())
        return {};
    for (const VocabularyWord::Language& language : VocabularyWord::languages()) {
        if (language.code == code)
            return language.label;
    }
    return {};
}

} // namespace

VocabularyModel::VocabularyModel(const Settings& settings, QObject* parent)
    : RecordListModel(parent)
{
    follow(settings.vocabulary());
    connect(&settings, &Settings::vocabularyChanged, this, [this, &settings] { follow(settings.vocabulary()); });
}

QVariant VocabularyModel::data(const QModelIndex& index, int role) const
{
    const VocabularyWord* word = recordAt(index);
    if (!word)
        return {};
    switch (role) {
    case Qt::DisplayRole:
    case WordRole:
        return word->word;
    case IdRole:
        return word->id.toString(QUuid::WithoutBraces);
    case LanguageLabelRole:
        return languageLabel(word->language);
    case DeleteLabelRole:
        return tr("Delete %1").arg(word->word);
    default:
        return {};
    }
}

QHash<int, QByteArray> VocabularyModel::roleNames() const
{
    return {
        { IdRole, "wordId" },
        { WordRole, "word" },
        { LanguageLabelRole, "languageLabel" },
        { DeleteLabelRole, "deleteLabel" },
    };
}

} // namespace kavo
