#pragma once

#include <QCoreApplication>
#include <QString>

#include <exception>

namespace kavo {

/// Why a recording could not start or go on, with the text shown to the user.
class RecorderFailure : public std::exception
{
    Q_DECLARE_TR_FUNCTIONS(RecorderFailure)

public:
    enum class Kind { couldNotStart, noMicrophone, alreadyRecording };

    /// "Could not start the microphone. " followed by `reason`.
    static RecorderFailure couldNotStart(const QString& reason);
    static RecorderFailure noMicrophone();
    static RecorderFailure alreadyRecording();

    Kind kind() const { return m_kind; }
    /// The user-facing text in the interface language.
    QString message() const;
    const char* what() const noexcept override { return m_english.constData(); }

private:
    RecorderFailure(Kind kind, const QString& reason);
    QString text(bool translated) const;

    Kind m_kind;
    QString m_reason;
    QByteArray m_english;
};

/// The text to log or show for an error of the audio code: the kavo error types' own message, else `what()`.
QString audioErrorText(const std::exception& error);

} // namespace kavo
