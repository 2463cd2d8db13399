#include "level_line.h"

#include <QString>

namespace kavo::cli {

void showLevel(QTextStream& stream, double value, bool terminal)
{
    if (!terminal) {
        stream << "level " << QString::number(value, 'f', 2) << '\n';
        stream.flush();
        return;
    }
    constexpr int width = 40;
    const int filled = int(value * width + 0.5);
    stream << '\r' << QString(filled, u'#') << QString(width - filled, u'.') << ' '
           << QStringLiteral("%1%").arg(int(value * 100 + 0.5), 3);
    stream.flush();
}

} // namespace kavo::cli
