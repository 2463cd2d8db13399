#pragma once

#include "store/raw_value.h"

#include <QObject>
#include <QUuid>
#include <QtQmlIntegration/qqmlintegration.h>

namespace kavo {

/// Requests to show a place in the main window, from anywhere (the tray, the pill, the dictation): the window
/// listens and decides how to get there. It holds no state of its own.
class Navigation : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("The application owns the navigation")

public:
    enum class Screen { history, notes, vocabulary, phone };
    Q_ENUM(Screen)
    enum class SettingsTab { general, shortcuts, ai, microphone, advanced };
    Q_ENUM(SettingsTab)

    using QObject::QObject;

    /// The tab's title in the interface language.
    Q_INVOKABLE static QString settingsTabTitle(kavo::Navigation::SettingsTab tab);

Q_SIGNALS:
    void screenRequested(kavo::Navigation::Screen screen);
    /// Show this note on the Notes screen, in its folder.
    void noteRequested(const QUuid& note);
    void settingsRequested(kavo::Navigation::SettingsTab tab);
};

template <> struct RawValues<Navigation::Screen>
{
    static constexpr std::array<std::pair<Navigation::Screen, const char*>, 4> table { {
        { Navigation::Screen::history, "history" },
        { Navigation::Screen::notes, "notes" },
        { Navigation::Screen::vocabulary, "vocabulary" },
        { Navigation::Screen::phone, "phone" },
    } };
};

template <> struct RawValues<Navigation::SettingsTab>
{
    static constexpr std::array<std::pair<Navigation::SettingsTab, const char*>, 5> table { {
        { Navigation::SettingsTab::general, "general" },
        { Navigation::SettingsTab::shortcuts, "shortcuts" },
        { Navigation::SettingsTab::ai, "ai" },
        { Navigation::SettingsTab::microphone, "microphone" },
        { Navigation::SettingsTab::advanced, "advanced" },
    } };
};

} // namespace kavo
