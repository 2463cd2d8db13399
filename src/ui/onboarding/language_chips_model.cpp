#include "language_chips_model.h"

#include "store/config.h"
#include "store/settings.h"
#include "ui/settings/settings_options.h"

namespace kavo {

LanguageChipsModel::LanguageChipsModel(Settings& settings, QObject* parent)
    : QAbstractListModel(parent)
    , m_settings(settings)
    , m_selected(settings.languageCodes())
{
    m_extraCodes = unknownCodes();
    connect(&settings, &Settings::languageCodesChanged, this, &LanguageChipsModel::follow);
}

int LanguageChipsModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(SpokenLanguage::all().size() + m_extraCodes.size());
}

QVariant LanguageChipsModel::data(const QModelIndex& index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    const QList<SpokenLanguage>& table = SpokenLanguage::all();
    const QString code
        = index.row() < table.size() ? table.at(index.row()).code : m_extraCodes.at(index.row() - table.size());
    switch (role) {
    case codeRole:
        return code;
    case labelRole:
    case Qt::DisplayRole:
        return SpokenLanguage::chipLabel(code);
    case selectedRole:
        return m_selected.contains(code);
    default:
        return {};
    }
}

QHash<int, QByteArray> LanguageChipsModel::roleNames() const
{
    return { { codeRole, "code" }, { labelRole, "label" }, { selectedRole, "selected" } };
}

void LanguageChipsModel::toggle(const QString& code)
{
    m_settings.setLanguageCodes(SettingsOptions::toggledLanguage(m_settings.languageCodes(), code));
}

QStringList LanguageChipsModel::unknownCodes() const
{
    QStringList unknown;
    for (const QString& code : m_selected) {
        if (!SpokenLanguage::find(code))
            unknown.append(code);
    }
    return unknown;
}

// The table's rows stay and only change their mark; the rows of unknown codes are replaced when they differ.
void LanguageChipsModel::follow()
{
    const QStringList before = m_selected;
    m_selected = m_settings.languageCodes();
    const QList<SpokenLanguage>& table = SpokenLanguage::all();
    for (int row = 0; row < table.size(); ++row) {
        const QString& code = table.at(row).code;
        if (before.contains(code) != m_selected.contains(code))
            Q_EMIT dataChanged(index(row), index(row), { selectedRole });
    }
    const QStringList extra = unknownCodes();
    if (extra == m_extraCodes)
        return;
    const int first = int(table.size());
    if (!m_extraCodes.isEmpty()) {
        beginRemoveRows({}, first, first + int(m_extraCodes.size()) - 1);
        m_extraCodes.clear();
        endRemoveRows();
    }
    if (!extra.isEmpty()) {
        beginInsertRows({}, first, first + int(extra.size()) - 1);
        m_extraCodes = extra;
        endInsertRows();
    }
}

} // namespace kavo
