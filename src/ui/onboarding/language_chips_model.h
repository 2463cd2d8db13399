#pragma once

#include <QAbstractListModel>
#include <QStringList>
#include <QtQmlIntegration/qqmlintegration.h>

namespace kavo {

class Settings;

/// The language chips: every language of the table, then the chosen codes the table does not know, each with its
/// label and whether it is chosen. Follows the `languageCodes` setting and toggles codes in it.
class LanguageChipsModel : public QAbstractListModel
{
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("The onboarding view owns its language chips")

public:
    enum Role { codeRole = Qt::UserRole, labelRole, selectedRole };

    explicit LanguageChipsModel(Settings& settings, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QHash<int, QByteArray> roleNames() const override;

    /// Chooses the language of `code`, or drops it when it is chosen.
    Q_INVOKABLE void toggle(const QString& code);

private:
    void follow();
    QStringList unknownCodes() const;

    Settings& m_settings;
    /// The codes of the rows after the table's, as the view last saw them.
    QStringList m_extraCodes;
    /// The chosen codes as the view last saw them.
    QStringList m_selected;
};

} // namespace kavo
