#pragma once

#include <QByteArray>
#include <QString>

namespace kavo {

/// The page a phone opens to record: one self-contained HTML text compiled into the program, with the token and this
/// computer's name filled in for each request.
class PhonePage
{
public:
    /// The page for this token and computer name.
    static QByteArray html(const QString& token, const QString& computerName);

    /// The token as it may stand in a script's string: ASCII letters and digits only, everything else dropped.
    static QString jsEscaped(const QString& token);
    /// The text with "&", "<", ">", '"' and "'" written as entities.
    static QString htmlEscaped(const QString& text);

    /// This computer's name as people know it: the pretty host name of /etc/machine-info, else the host name, else
    /// "Linux".
    static QString computerName();
    /// The name from the text of a machine-info file and the host name.
    static QString computerName(const QByteArray& machineInfo, const QString& hostName);
};

} // namespace kavo
