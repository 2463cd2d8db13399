#pragma once

#include "delivery/injection_backend.h"

#include <chrono>

namespace kavo {

/// The Wayland clipboard through the wl-clipboard tools, for Wayland sessions without XWayland.
class WlClipboard : public Clipboard
{
public:
    /// How long wl-paste may take to hand over the text.
    static constexpr auto replyTimeout = std::chrono::milliseconds(300);
    /// How long wl-copy may take to hand the text to the copy of itself that serves it.
    static constexpr auto copyTimeout = std::chrono::seconds(1);

    WlClipboard();

    /// Whether wl-copy is installed; without it nothing can be set.
    bool isAvailable() const { return !m_copy.isEmpty(); }

    QCoro::Task<std::optional<QString>> text(ClipboardSelection selection) override;
    QCoro::Task<> setText(ClipboardSelection selection, QString text) override;

private:
    QString m_copy;
    QString m_paste;
};

} // namespace kavo
