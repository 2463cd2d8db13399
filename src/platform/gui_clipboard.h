#pragma once

#include "delivery/injection_backend.h"

#include <memory>

namespace kavo {

/// The clipboard of a Qt GUI application on X11: Qt serves the text this application offers, and another clipboard
/// reads what other applications offer.
///
/// Qt Quick's text fields ask the clipboard's owner for its formats whenever it changes, and wait for the answer on
/// the main thread. An owner window served from that same thread could only answer once Qt had given up, seconds
/// later, with the interface frozen meanwhile; Qt answers for its own content at once.
class GuiClipboard : public Clipboard
{
public:
    explicit GuiClipboard(std::unique_ptr<Clipboard> reader);

    QCoro::Task<std::optional<QString>> text(ClipboardSelection selection) override;
    QCoro::Task<> setText(ClipboardSelection selection, QString text) override;

    /// Whether this process is a Qt GUI application on an X server, where Qt's clipboard is the one to offer text.
    static bool isAvailable();

private:
    std::unique_ptr<Clipboard> m_reader;
};

} // namespace kavo
