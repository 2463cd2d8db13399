#pragma once

#include <QObject>
#include <QUrl>
#include <QtQml/qqmlregistration.h>

namespace kavo {

class DataActions;
class Toasts;

/// The whole-data buttons of the settings panel: export everything to a file the user chose, open the data folder
/// and delete all data, each reporting its outcome with a toast.
class DataView : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("The application owns the data actions")

public:
    DataView(DataActions& actions, Toasts& toasts, QObject* parent = nullptr);

    /// The name the save dialog proposes for the export, with today's date in the local time zone: read it when the
    /// dialog opens.
    Q_INVOKABLE static QString archiveName();
    /// Writes the export to a local file chosen in the save dialog; shows "Exported" with the file's name. A failure
    /// was logged and shows nothing.
    Q_INVOKABLE bool exportAll(const QUrl& destination);
    /// Shows the data folder, created when missing, in the file manager.
    Q_INVOKABLE static void openFolder();
    /// Deletes History, notes, vocabulary and snippets, keeping the other settings.
    Q_INVOKABLE void wipe();

private:
    DataActions& m_actions;
    Toasts& m_toasts;
};

} // namespace kavo
