#pragma once

#include <QString>

#include <stdexcept>

namespace kavo {

/// A failure of the audio code whose text is meant for the log and the user: `message()`, and `what()` in UTF-8.
class AudioError : public std::runtime_error
{
public:
    explicit AudioError(const QString& message)
        : std::runtime_error(message.toStdString())
        , m_message(message)
    { }
    QString message() const { return m_message; }

private:
    QString m_message;
};

/// The text to log or show for any error: an `AudioError`'s message, else `what()`.
QString audioErrorText(const std::exception& error);

} // namespace kavo
