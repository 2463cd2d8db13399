#pragma once

#include <QRgb>

namespace kavo {

/// A token's value in one appearance: an sRGB colour and its opacity.
struct Swatch
{
    constexpr Swatch(QRgb rgb, double alpha = 1.0)
        : rgb(rgb)
        , alpha(alpha)
    { }

    QRgb rgb;
    double alpha;
};

constexpr Swatch translucent(QRgb rgb, double alpha)
{
    return Swatch(rgb, alpha);
}

} // namespace kavo

// Every colour token of the design system with its light and its dark value, in one place: the token object
// expands this list into its properties and accessors. X(name, light, dark). The QR code's modules and plate keep
// their colours in the dark appearance too, so that phone cameras read the code.
#define KAVO_COLOR_TOKENS(X)                                                                                           \
    X(blue50, 0xEEF4FF, 0x16223F)                                                                                      \
    X(blue100, 0xDCE7FE, 0x1B2B52)                                                                                     \
    X(blue200, 0xBFD3FE, 0x26407A)                                                                                     \
    X(blue300, 0x93B4FD, 0x93B4FD)                                                                                     \
    X(blue600, 0x2563EB, 0x2563EB)                                                                                     \
    X(blue700, 0x1D4FD8, 0x1D4FD8)                                                                                     \
    X(blue800, 0x1E40AF, 0x1E40AF)                                                                                     \
    X(neutral300, 0xD0D6DF, 0x3A4355)                                                                                  \
    X(neutral400, 0x9AA3B2, 0x6B7485)                                                                                  \
    X(green50, 0xECFDF3, 0x10261C)                                                                                     \
    X(green500, 0x17B26A, 0x17B26A)                                                                                    \
    X(green600, 0x079455, 0x2FC47E)                                                                                    \
    X(green700, 0x067647, 0x067647)                                                                                    \
    X(red50, 0xFEF3F2, 0x2A1616)                                                                                       \
    X(red500, 0xF04438, 0xF04438)                                                                                      \
    X(red600, 0xD92D20, 0xF2645A)                                                                                      \
    X(red700, 0xB42318, 0xB42318)                                                                                      \
    X(amber50, 0xFFFAEB, 0x2A2112)                                                                                     \
    X(amber500, 0xF59E0B, 0xF59E0B)                                                                                    \
    X(amber600, 0xDC8A05, 0xDC8A05)                                                                                    \
    X(amber700, 0xB54708, 0xF5B544)                                                                                    \
    X(purple50, 0xF7F3FF, 0x1F1833)                                                                                    \
    X(purple600, 0x7A45E8, 0xA583F5)                                                                                   \
    X(teal50, 0xEDFCFA, 0x0F2626)                                                                                      \
    X(teal600, 0x0E9384, 0x2DC7B4)                                                                                     \
    X(pink50, 0xFDF2F8, 0x2A1422)                                                                                      \
    X(pink500, 0xEC4899, 0xEC4899)                                                                                     \
    X(bgApp, 0xF5F7FA, 0x0D1118)                                                                                       \
    X(surfaceCard, 0xFFFFFF, 0x151A24)                                                                                 \
    X(surfaceSubtle, 0xFAFBFD, 0x181E29)                                                                               \
    X(surfaceSunken, 0xEEF1F5, 0x1F2633)                                                                               \
    X(surfaceHover, 0xF5F7FA, 0x1B212D)                                                                                \
    X(surfaceBrandSoft, 0xEEF4FF, 0x16223F)                                                                            \
    X(surfaceOverlay, translucent(0x111522, 0.4), translucent(0x000000, 0.55))                                         \
    X(borderDefault, 0xE4E8EE, 0x2A3241)                                                                               \
    X(borderSubtle, 0xEEF1F5, 0x1F2633)                                                                                \
    X(borderStrong, 0xD0D6DF, 0x3A4355)                                                                                \
    X(borderFocus, 0x3B74F6, 0x3B74F6)                                                                                 \
    X(textPrimary, 0x111522, 0xF1F3F7)                                                                                 \
    X(textSecondary, 0x6B7485, 0x98A1B1)                                                                               \
    X(textTertiary, 0x9AA3B2, 0x6B7485)                                                                                \
    X(textBody, 0x343B49, 0xCBD1DB)                                                                                    \
    X(textLink, 0x2563EB, 0x6090FA)                                                                                    \
    X(positive, 0x079455, 0x2FC47E)                                                                                    \
    X(positiveBg, 0xECFDF3, 0x10261C)                                                                                  \
    X(positiveBorder, 0xA6EFC0, 0x1E5237)                                                                              \
    X(negative, 0xD92D20, 0xF2645A)                                                                                    \
    X(negativeBg, 0xFEF3F2, 0x2A1616)                                                                                  \
    X(negativeBorder, 0xFECDCA, 0x5C2522)                                                                              \
    X(warning, 0xB54708, 0xF5B544)                                                                                     \
    X(warningBg, 0xFFFAEB, 0x2A2112)                                                                                   \
    X(warningBorder, 0xFEDF89, 0x5A4418)                                                                               \
    X(info, 0x2563EB, 0x6090FA)                                                                                        \
    X(infoBg, 0xEEF4FF, 0x16223F)                                                                                      \
    X(infoBorder, 0xBFD3FE, 0x26407A)                                                                                  \
    X(tintGreenBg, 0xF2FBF5, 0x10221A)                                                                                 \
    X(tintGreenBorder, 0xBDEBCB, 0x1E4A33)                                                                             \
    X(tintAmberBg, 0xFFFAEF, 0x231C10)                                                                                 \
    X(tintAmberBorder, 0xF5DDA6, 0x4A3A17)                                                                             \
    X(logoBlue, 0x2563EB, 0x2563EB)                                                                                    \
    X(qrModule, 0x111522, 0x111522)                                                                                    \
    X(qrPlate, 0xFFFFFF, 0xFFFFFF)                                                                                     \
    X(ring, translucent(0x3B74F6, 0.22), translucent(0x3B74F6, 0.22))                                                  \
    X(errorRing, translucent(0xF04438, 0.18), translucent(0xF04438, 0.18))                                             \
    X(shadow, 0x111522, 0x000000)

// Tokens that name another token. X(name, token).
#define KAVO_ALIAS_TOKENS(X)                                                                                           \
    X(brand, blue600)                                                                                                  \
    X(brandHover, blue700)                                                                                             \
    X(brandPress, blue800)
