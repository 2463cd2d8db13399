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

    WlClipboard();

    /// Whether wl-copy is installed; without it nothing can be set.
    bool isAvailable() const { return !m_copy.isEmpty(); }

    std::optional<QString> text(ClipboardSelection selection) override;
    void setText(ClipboardSelection selection, const QString& text) override;

private:
    QString m_copy;
    QString m_paste;
};

} // namespace kavo
