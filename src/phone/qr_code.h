#pragma once

#include <QList>
#include <QString>

#include <optional>

namespace kavo {

/// A QR code as a square matrix of modules, without the quiet zone around it, so that a view can draw crisp modules
/// at any size.
struct QRCode
{
    /// Modules per side.
    int size = 0;
    /// size × size values, row by row from the top, each row from the left; true is a dark module.
    QList<bool> dark;

    bool operator==(const QRCode&) const = default;

    /// The code of the text's UTF-8 bytes in byte mode at error-correction level M, in the smallest version that
    /// holds them; none when the encoder gives nothing (an empty or too long text).
    static std::optional<QRCode> make(const QString& text);
    /// make(), answered from a one-entry cache shared by the whole program when the text is the last one asked for.
    /// Views redraw often, and only one link is shown at a time. Safe from any thread.
    static std::optional<QRCode> cached(const QString& text);

    /// The code for a terminal: one character per module and two rows of modules per line, drawn with the half
    /// blocks "▀", "▄" and "█" inside the 4 light modules of quiet zone that scanners need; a line break ends each
    /// line.
    QString terminalText() const;
};

} // namespace kavo
