#include "format.h"

#include "store/interface_language.h"

#include <unicode/dcfmtsym.h>
#include <unicode/dtptngen.h>
#include <unicode/numberformatter.h>
#include <unicode/smpdtfmt.h>
#include <unicode/timezone.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <map>
#include <memory>

namespace kavo {
namespace {

QString fromIcu(const icu::UnicodeString& text)
{
    return QString(reinterpret_cast<const QChar*>(text.getBuffer()), text.length());
}

/// The instant whose UTC clock reads what the local clock of the date reads. Formatting it in UTC shows the
/// local day, so the zone data is Qt's, the same that decides which calendar day a date lies on.
UDate wallClock(const QDateTime& local)
{
    return UDate(local.toMSecsSinceEpoch() + qint64(local.offsetFromUtc()) * 1000);
}

/// The ICU formatters of one interface language. Creating them takes about a millisecond and using them a few
/// microseconds, so they are made once per language; each thread keeps its own, so no call waits for a lock.
class LocaleFormatters
{
public:
    explicit LocaleFormatters(const QString& code)
    {
        const icu::Locale locale(code.toLatin1().constData());
        UErrorCode status = U_ZERO_ERROR;
        icu::DecimalFormatSymbols symbols(locale, status);
        if (U_SUCCESS(status)) {
            m_decimalSeparator = fromIcu(symbols.getConstSymbol(icu::DecimalFormatSymbols::kDecimalSeparatorSymbol));
            if (!code.startsWith(QLatin1String("en")))
                symbols.setSymbol(icu::DecimalFormatSymbols::kGroupingSeparatorSymbol, u" ");
            m_number = icu::number::NumberFormatter::withLocale(locale).symbols(symbols);
        } else {
            m_number = icu::number::NumberFormatter::withLocale(locale);
        }

        if (code.startsWith(QLatin1String("uz"))) {
            // The locale data has no Uzbek "4-dek" style, which is how dates are written there.
            m_shortDate = makeDateFormat(u"d-MMM", locale);
            m_longDate = makeDateFormat(u"d-MMM, yyyy", locale);
        } else {
            status = U_ZERO_ERROR;
            const std::unique_ptr<icu::DateTimePatternGenerator> generator(
                icu::DateTimePatternGenerator::createInstance(locale, status));
            if (U_SUCCESS(status)) {
                m_shortDate = makeDateFormat(bestPattern(*generator, u"dMMM"), locale);
                m_longDate = makeDateFormat(bestPattern(*generator, u"dMMMyyyy"), locale);
            }
        }
    }

    static LocaleFormatters& current()
    {
        thread_local std::map<QString, std::unique_ptr<LocaleFormatters>> byLanguage;
        const QString code = InterfaceLanguage::current();
        auto& formatters = byLanguage[code];
        if (!formatters)
            formatters = std::make_unique<LocaleFormatters>(code);
        return *formatters;
    }

    QString number(qint64 n) const
    {
        UErrorCode status = U_ZERO_ERROR;
        const icu::UnicodeString text = m_number.formatInt(n, status).toString(status);
        return U_SUCCESS(status) ? fromIcu(text) : QString::number(n);
    }

    QString shortDate(UDate wallClock) { return format(m_shortDate.get(), wallClock); }
    QString longDate(UDate wallClock) { return format(m_longDate.get(), wallClock); }

    const QString& decimalSeparator() const { return m_decimalSeparator; }

private:
    static icu::UnicodeString bestPattern(icu::DateTimePatternGenerator& generator, const char16_t* skeleton)
    {
        UErrorCode status = U_ZERO_ERROR;
        icu::UnicodeString pattern = generator.getBestPattern(skeleton, status);
        return U_SUCCESS(status) ? pattern : icu::UnicodeString();
    }

    static std::unique_ptr<icu::SimpleDateFormat> makeDateFormat(
        const icu::UnicodeString& pattern, const icu::Locale& locale)
    {
        if (pattern.isEmpty())
            return nullptr;
        UErrorCode status = U_ZERO_ERROR;
        auto format = std::make_unique<icu::SimpleDateFormat>(pattern, locale, status);
        if (U_FAILURE(status))
            return nullptr;
        format->setTimeZone(*icu::TimeZone::getGMT());
        return format;
    }

    /// Without locale data the date is still shown, as an ISO date.
    static QString format(icu::SimpleDateFormat* format, UDate wallClock)
    {
        if (!format)
            return QDateTime::fromMSecsSinceEpoch(qint64(wallClock), Qt::UTC).date().toString(Qt::ISODate);
        icu::UnicodeString text;
        format->format(wallClock, text);
        return fromIcu(text);
    }

    icu::number::LocalizedNumberFormatter m_number;
    std::unique_ptr<icu::SimpleDateFormat> m_shortDate;
    std::unique_ptr<icu::SimpleDateFormat> m_longDate;
    QString m_decimalSeparator = QStringLiteral(".");
};

/// How many calendar days the date lies before now, in the calendar's zone.
qint64 daysBefore(const QDateTime& date, const QDateTime& now, const Calendar& calendar)
{
    return date.toTimeZone(calendar.timeZone).date().daysTo(now.toTimeZone(calendar.timeZone).date());
}

} // namespace

QString Format::number(qint64 n)
{
    return LocaleFormatters::current().number(n);
}

QString Format::wordCount(qint64 words)
{
    return tr("%1 words", nullptr, int(std::clamp<qint64>(words, 0, std::numeric_limits<int>::max())))
        .arg(number(words));
}

QString Format::shortDate(const QDateTime& date)
{
    return date.isValid() ? LocaleFormatters::current().shortDate(wallClock(date.toLocalTime())) : QString();
}

QString Format::shortDate(const QDateTime& date, const QTimeZone& zone)
{
    return date.isValid() ? LocaleFormatters::current().shortDate(wallClock(date.toTimeZone(zone))) : QString();
}

QString Format::longDate(const QDateTime& date)
{
    return date.isValid() ? LocaleFormatters::current().longDate(wallClock(date.toLocalTime())) : QString();
}

QString Format::longDate(const QDateTime& date, const QTimeZone& zone)
{
    return date.isValid() ? LocaleFormatters::current().longDate(wallClock(date.toTimeZone(zone))) : QString();
}

QString Format::time(const QDateTime& date)
{
    return date.isValid() ? date.toLocalTime().time().toString(QStringLiteral("HH:mm")) : QString();
}

QString Format::time(const QDateTime& date, const QTimeZone& zone)
{
    return date.isValid() ? date.toTimeZone(zone).time().toString(QStringLiteral("HH:mm")) : QString();
}

QString Format::day(const QDateTime& date, const QDateTime& now, const Calendar& calendar)
{
    if (!date.isValid() || !now.isValid())
        return shortDate(date, calendar.timeZone);
    switch (daysBefore(date, now, calendar)) {
    case 0:
        return tr("Today");
    case 1:
        return tr("Yesterday");
    default:
        return shortDate(date, calendar.timeZone);
    }
}

QString Format::dayAndTime(const QDateTime& date, const QDateTime& now, const Calendar& calendar)
{
    if (!date.isValid() || !now.isValid())
        return shortDate(date, calendar.timeZone);
    const qint64 days = daysBefore(date, now, calendar);
    if (days == 0 || days == 1)
        return day(date, now, calendar) + QStringLiteral(", ") + time(date, calendar.timeZone);
    return shortDate(date, calendar.timeZone);
}

QString Format::duration(double seconds)
{
    // Far beyond any recording, and small enough to convert to an integer exactly.
    constexpr double longest = 1e15;
    const qint64 whole = seconds > 0 ? qint64(std::floor(std::min(seconds, longest))) : 0;
    return QString::number(whole / 60) + u':' + QStringLiteral("%1").arg(whole % 60, 2, 10, QLatin1Char('0'));
}

QString Format::seconds(double seconds)
{
    // to_chars rounds the exact binary value like printf's "%.1f" (1.25 gives 1.2, 1.35 gives 1.4), and unlike
    // printf it ignores the C library's locale, which the application sets from the environment.
    char buffer[32];
    const auto [end, error] = std::to_chars(std::begin(buffer), std::end(buffer), seconds, std::chars_format::fixed, 1);
    QString text = error == std::errc() ? QString::fromLatin1(buffer, end - buffer) : QString::number(seconds, 'f', 1);
    text.replace(u'.', LocaleFormatters::current().decimalSeparator());
    return tr("%1 s").arg(text);
}

} // namespace kavo
