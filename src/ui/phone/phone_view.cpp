#include "phone_view.h"

#include "format/format.h"
#include "state/phone_status.h"
#include "state/toasts.h"
#include "store/history_manager.h"
#include "store/settings.h"

#include <QClipboard>
#include <QGuiApplication>

#include <utility>

namespace kavo {

PhoneView::PhoneView(PhoneStatus& phone, Settings& settings, HistoryManager& history, Toasts& toasts, QObject* parent)
    : QObject(parent)
    , m_phone(phone)
    , m_settings(settings)
    , m_toasts(toasts)
    , m_recordings(history)
    , m_lastSeen(phone.lastSeen())
{
    m_recheck.setInterval(recheckInterval);
    connect(&m_recheck, &QTimer::timeout, this, &PhoneView::recheckConnection);
    connect(&settings, &Settings::phoneServerEnabledChanged, this, [this] {
        Q_EMIT serverOnChanged();
        updateTimer();
        recheckConnection();
    });
    connect(&phone, &PhoneStatus::phoneURLsChanged, this, &PhoneView::firstLinkChanged);
    connect(&phone, &PhoneStatus::errorChanged, this, &PhoneView::errorChanged);
    connect(&phone, &PhoneStatus::lastSeenChanged, this, &PhoneView::phoneSeen);
    updateTimer();
    recheckConnection();
}

void PhoneView::setClock(std::function<QDateTime()> clock)
{
    m_recordings.setClock(clock);
    m_clock = std::move(clock);
    recheckConnection();
}

bool PhoneView::isServerOn() const
{
    return m_settings.phoneServerEnabled();
}

QString PhoneView::firstLink() const
{
    const QStringList links = m_phone.phoneURLs();
    return links.isEmpty() ? QString() : links.first();
}

QString PhoneView::statusLine() const
{
    return m_connected ? tr("Phone connected — you can talk") : tr("Waiting for the phone");
}

QString PhoneView::buttonText() const
{
    return m_connected ? tr("Disconnect") : tr("New code");
}

QString PhoneView::error() const
{
    return m_phone.error();
}

void PhoneView::turnOn()
{
    m_settings.setPhoneServerEnabled(true);
}

void PhoneView::copyLink()
{
    const QString link = firstLink();
    if (link.isEmpty())
        return;
    QGuiApplication::clipboard()->setText(link);
    m_toasts.show(tr("Copied"), {}, Toasts::Tone::success);
}

void PhoneView::copyText(const QString& id)
{
    const std::optional<HistoryEntry> recording = m_recordings.recording(QUuid::fromString(id));
    if (!recording)
        return;
    QGuiApplication::clipboard()->setText(recording->text);
    m_toasts.show(tr("Copied"), Format::wordCount(History::wordCount(recording->text)), Toasts::Tone::success);
}

void PhoneView::recheckConnection()
{
    const bool connected = isServerOn() && m_phone.isConnected(m_clock());
    if (connected == m_connected)
        return;
    m_connected = connected;
    Q_EMIT connectedChanged();
}

void PhoneView::phoneSeen()
{
    const QDateTime previous = std::exchange(m_lastSeen, m_phone.lastSeen());
    // A phone that polls stays one connection; only the first contact, or one after a silence as long as the
    // contact window, is news.
    if (m_lastSeen.isValid()
        && (!previous.isValid()
            || previous.msecsTo(m_lastSeen) >= std::chrono::milliseconds(PhoneStatus::contactWindow).count()))
        m_toasts.show(tr("Phone connected"), {}, Toasts::Tone::success);
    recheckConnection();
}

void PhoneView::updateTimer()
{
    if (isServerOn())
        m_recheck.start();
    else
        m_recheck.stop();
}

} // namespace kavo
