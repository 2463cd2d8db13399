#pragma once

#include <QString>

#include <array>

namespace kavo {

/// The secret a phone puts in the link to the phone server.
class PhoneToken
{
public:
    /// Letters and digits that cannot be mistaken for one another: no "l", "o", "0" or "1".
    static constexpr char alphabet[] = "abcdefghijkmnpqrstuvwxyz23456789";
    static constexpr int length = 16;

    /// A new token from the system's secure random source.
    static QString make();
    /// The token these random bytes give: each byte modulo 32 picks a letter of the alphabet.
    static QString fromBytes(const std::array<quint8, length>& bytes);
};

} // namespace kavo
