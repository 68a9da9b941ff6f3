// The fixed texts of the main window in both languages. This table is the
// only place that holds the English texts and the Portuguese texts that a
// switch back writes; the window's definition carries its start-up texts.
#pragma once

#include <array>

namespace language {

enum class Language { Portuguese, English };

// What a row writes.
enum class Target {
    MenuTitle,   // title of a menu of the menu bar (QMenu)
    MenuItem,    // caption of a menu item (QAction)
    WindowTitle, // the main window's title bar
    LabelCaption,
    FrameCaption,
    BoxText,
    LabelLeft, // position of a label, in twips
};

struct CaptionRow {
    const char *control; // objectName of the control; unused for the window title
    Target target;
    const char16_t *portuguese = nullptr; // texts; null in the LabelLeft row
    const char16_t *english = nullptr;
    // LabelLeft only: Left in Portuguese, and the shift applied to the
    // current Left in English.
    int portugueseLeft = 0;
    int englishShift = 0;

    const char16_t *text(Language l) const { return l == Language::English ? english : portuguese; }
};

inline constexpr int CaptionRowCount = 23;

// The rows in the order the switch applies them, for both languages.
extern const std::array<CaptionRow, CaptionRowCount> CaptionTable;

// The caption of mnuTranslate while the window is in Portuguese: the item
// offers English. Any other caption means the window is in English.
inline constexpr const char16_t *OfferEnglishCaption = u"English &Version";

} // namespace language
