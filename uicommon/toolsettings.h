// What the spectrum and finder windows remember between runs: the recent
// spectrum files and the detector. Kept with QSettings in the user's
// configuration directory (zandor/zandor.ini under XDG_CONFIG_HOME, ~/.config by default), read
// when a window first needs them and written only when the user changes
// them; the program writes no other file of its own.
#pragma once

#include <QString>
#include <QStringList>

#include <optional>

namespace toolsettings {

// Most recent first, at most MaxRecentFiles.
inline constexpr int MaxRecentFiles = 10;
QStringList recentFiles();
// Puts the file first in the list; writes only when the list changes.
void addRecentFile(const QString &path);
// Takes a file off the list (one that could not be opened).
void removeRecentFile(const QString &path);

// The detector the user chose: its material key ("si", "ge", "cdte") and
// its FWHM at Mn K-alpha in eV. Nothing until the user first chose one.
struct Detector {
    QString material;
    double fwhm_eV = 0;
    bool operator==(const Detector &) const = default;
};
std::optional<Detector> detector();
void setDetector(const Detector &detector);

// The beam energy the user typed, in kV, for spectra whose files give
// none.
std::optional<double> beam_kV();
void setBeam_kV(double kV);

} // namespace toolsettings
