// The author's contact data: captions of the two contact labels of the main
// window, their link targets, and the credits of the About window.
#pragma once

#include <QString>
#include <QUrl>

#include <array>

namespace contact {

inline QString AuthorName() { return QStringLiteral("Zandor project"); }
inline QString Email() { return QStringLiteral("zandor@example.org"); }

// The web address as the main window shows it. It has to fit the fixed
// width of Label3 at 18 pt, so it goes without the scheme.
inline QString WebCaption() { return QStringLiteral("www.example.org/zandor"); }
// The web address that the link opens, in its short form.
inline QString WebTargetText() { return QStringLiteral("example.org/zandor"); }
inline QUrl WebTarget() { return QUrl(QStringLiteral("https://") + WebTargetText()); }

inline QUrl MailTarget() { return QUrl(QStringLiteral("mailto:") + Email()); }

struct Institution {
    const char *name;
    const char *web;
};

// From the smallest unit to the largest.
inline constexpr std::array<Institution, 4> Institutions{{
    {"Zandor project group", "www.example.org/group"},
    {"X-ray Spectroscopy Laboratory", "www.example.org/lab"},
    {"Institute of Physics", "www.example.org/institute"},
    {"Example University", "www.example.org"},
}};

} // namespace contact
