#include "fonts.h"

#include <QStringList>

namespace fonts {

// Liberation Sans (the metrics of Arial) stands in for both classic faces.
// Point sizes follow Qt's logical DPI, which is 96 on the desktops Qt
// supports (higher densities scale whole pixels), so 8.25 pt is the designed
// 11 pixels.
//
// Liberation Sans runs 3 to 6 % wider than the widths that the window
// definitions give for their captions. Every caption still fits its box, but
// the density caption leaves a double blank after "cm" for the separate
// raised "3" at a fixed position in each language, and at full width "cm"
// runs into it (by one pixel in Portuguese, two in English). Two changes,
// checked on rendered windows in both languages, leave a clear pixel on both
// sides of the "3":
// - MS Sans Serif text is set at 98 % of Liberation Sans' advance, a little
//   closer to the designed widths;
// - Small Fonts, a narrow bitmap face whose digits are three pixels wide, is
//   drawn at 8/9 of its point size (6.75 pt gives 8 pixels instead of 9), where
//   Liberation Sans' digits have that width too.
// Vertical-only hinting keeps the advances the same on every platform instead
// of following the desktop's hinting setting.
constexpr double LetterSpacingPercent = 98;
constexpr double SmallFontsScale = 8.0 / 9.0;

void InstallFontFaces()
{
    for (const char *face : {MsSansSerif, SmallFonts}) {
        const QString name = QString::fromLatin1(face);
        if (!QFont::substitutes(name).contains(QLatin1String(InstalledFace)))
            QFont::insertSubstitution(name, QString::fromLatin1(InstalledFace));
    }
}

QFont Font(const char *face, double points, bool bold)
{
    QFont f(QString::fromLatin1(face));
    const bool small = qstrcmp(face, SmallFonts) == 0;
    f.setPointSizeF(small ? points * SmallFontsScale : points);
    f.setWeight(bold ? QFont::Bold : QFont::Normal);
    f.setItalic(false);
    f.setUnderline(false);
    f.setStrikeOut(false);
    f.setHintingPreference(QFont::PreferVerticalHinting);
    f.setLetterSpacing(QFont::PercentageSpacing, LetterSpacingPercent);
    return f;
}

QFont DefaultFont() { return Font(MsSansSerif, 8.25); }

} // namespace fonts
