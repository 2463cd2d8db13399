#pragma once

#include "delivery/injection_backend.h"

#include <QByteArray>
#include <QObject>

#include <chrono>
#include <map>
#include <memory>

union _XEvent;

namespace kavo {

class X11Connection;

/// CLIPBOARD and PRIMARY through the X selection protocol on this application's own connection: a hidden window
/// owns the selections it sets and answers other clients' requests for them from the Qt event loop.
class X11Clipboard : public QObject, public Clipboard
{
    Q_OBJECT

public:
    /// `connection` must be open and outlive the clipboard.
    explicit X11Clipboard(X11Connection& connection, QObject* parent = nullptr);
    ~X11Clipboard() override;

    QCoro::Task<std::optional<QString>> text(ClipboardSelection selection) override;
    QCoro::Task<> setText(ClipboardSelection selection, QString text) override;

    /// The clipboard of the display in $DISPLAY on a connection of its own; null when the display cannot be opened.
    static std::unique_ptr<Clipboard> open();

    /// How long another owner may take to start or continue sending its text.
    static constexpr auto replyTimeout = std::chrono::milliseconds(300);

private:
    unsigned long selectionAtom(ClipboardSelection selection) const;
    struct Conversion
    {
        bool answered = false;
        std::optional<QString> text;
    };
    QCoro::Task<Conversion> convert(unsigned long selection, unsigned long target);
    std::optional<QByteArray> readTransfer(unsigned long& type);
    QCoro::Task<std::optional<QByteArray>> receiveIncrementally();
    QCoro::Task<unsigned long> serverTime();
    void handle(const _XEvent& event);
    void answer(const _XEvent& request);
    unsigned long writeReply(const _XEvent& request) const;

    struct Owned
    {
        QByteArray utf8;
        unsigned long since; ///< server time of taking the selection
    };

    X11Connection& m_connection;
    unsigned long m_window = 0;
    std::map<unsigned long, Owned> m_owned; ///< the selections this window owns, by atom

    struct Atoms
    {
        unsigned long clipboard, primary, targets, timestamp, text, utf8String, string, plainUtf8, incr, transfer,
            clock;
    } m_atoms;
};

} // namespace kavo
