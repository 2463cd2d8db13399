#pragma once

#include "state/navigation.h"

#include <QObject>
#include <QtQml/qqmlregistration.h>

namespace kavo {

class DictationState;
class Settings;

/// What the main window shows around its screens: the screen and settings tab chosen, the sidebar's search text,
/// the dictation card's texts and the user's name. Navigation requests from anywhere arrive here.
class MainView : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("The application owns the main window's state")
    // QML sees the screen by its place in the navigation: history, notes, vocabulary, phone.
    Q_PROPERTY(int screenIndex READ screenIndex WRITE setScreenIndex NOTIFY screenChanged)
    Q_PROPERTY(QString screenTitle READ screenTitle NOTIFY screenChanged)
    Q_PROPERTY(QString search READ search WRITE setSearch NOTIFY searchChanged)
    Q_PROPERTY(int searchFocus READ searchFocus NOTIFY searchFocusChanged)
    Q_PROPERTY(bool settingsOpen READ isSettingsOpen WRITE setSettingsOpen NOTIFY settingsChanged)
    Q_PROPERTY(kavo::Navigation::SettingsTab settingsTab READ settingsTab NOTIFY settingsChanged)
    // QML sees the settings tab by its place in the panel: general, shortcuts, AI, microphone, advanced.
    Q_PROPERTY(int settingsTabIndex READ settingsTabIndex WRITE setSettingsTabIndex NOTIFY settingsChanged)
    Q_PROPERTY(QString settingsTitle READ settingsTitle NOTIFY settingsChanged)
    Q_PROPERTY(bool recording READ isRecording NOTIFY dictationChanged)
    Q_PROPERTY(bool failed READ hasFailed NOTIFY dictationChanged)
    Q_PROPERTY(QString dictationStatus READ dictationStatus NOTIFY dictationChanged)
    Q_PROPERTY(QString dictationHint READ dictationHint NOTIFY dictationChanged)
    Q_PROPERTY(QString dictationButton READ dictationButton NOTIFY dictationChanged)
    Q_PROPERTY(QString userName READ userName CONSTANT)

public:
    MainView(const Navigation& navigation, const DictationState& dictation, const Settings& settings,
        QObject* parent = nullptr);

    Navigation::Screen screen() const { return m_screen; }
    void setScreen(Navigation::Screen screen);
    int screenIndex() const { return int(m_screen); }
    void setScreenIndex(int index) { setScreen(Navigation::Screen(index)); }
    /// The navigation item's text of a screen.
    static QString screenName(Navigation::Screen screen);
    Q_INVOKABLE static QString screenName(int index) { return screenName(Navigation::Screen(index)); }
    QString screenTitle() const { return screenName(m_screen); }

    QString search() const { return m_search; }
    void setSearch(const QString& search);
    int searchFocus() const { return m_searchFocus; }
    /// Asks the search field to take the keyboard focus.
    Q_INVOKABLE void focusSearch();

    bool isSettingsOpen() const { return m_settingsOpen; }
    void setSettingsOpen(bool open);
    Navigation::SettingsTab settingsTab() const { return m_settingsTab; }
    int settingsTabIndex() const { return int(m_settingsTab); }
    void setSettingsTabIndex(int index) { openSettings(Navigation::SettingsTab(index)); }
    QString settingsTitle() const { return Navigation::settingsTabTitle(m_settingsTab); }
    /// Opens the settings panel on `tab`.
    void openSettings(Navigation::SettingsTab tab);
    /// Opens the settings panel on the tab chosen last.
    Q_INVOKABLE void openSettings() { openSettings(m_settingsTab); }

    bool isRecording() const;
    bool hasFailed() const;
    QString dictationStatus() const;
    QString dictationHint() const;
    QString dictationButton() const;

    /// The user's full name from the account database, else the login name.
    static QString userName();

Q_SIGNALS:
    void screenChanged();
    /// The screen shown until now gave way to another.
    void screenLeft(kavo::Navigation::Screen screen);
    void searchChanged();
    void searchFocusChanged();
    void settingsChanged();
    void dictationChanged();
    /// The "Try it" button: start a dictation, or stop the one recording.
    void dictationToggled();

private:
    const DictationState& m_dictation;
    const Settings& m_settings;
    Navigation::Screen m_screen = Navigation::Screen::history;
    QString m_search;
    int m_searchFocus = 0;
    bool m_settingsOpen = false;
    Navigation::SettingsTab m_settingsTab = Navigation::SettingsTab::general;
};

} // namespace kavo
