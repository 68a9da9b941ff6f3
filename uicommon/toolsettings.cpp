#include "toolsettings.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>

#include <cmath>

namespace toolsettings {

namespace {

// An INI file under the user's configuration directory, the same on every
// platform: zandor/zandor.ini.
QSettings store() { return QSettings(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("zandor"), QStringLiteral("zandor")); }

const QString RecentKey = QStringLiteral("recentFiles");
const QString MaterialKey = QStringLiteral("detector/material");
const QString FwhmKey = QStringLiteral("detector/fwhmMnKa_eV");
const QString BeamKey = QStringLiteral("detector/beam_kV");

void writeRecent(const QStringList &before, const QStringList &after)
{
    if (after == before)
        return;
    QSettings s = store();
    s.setValue(RecentKey, after);
}

} // namespace

QStringList recentFiles()
{
    QStringList files = store().value(RecentKey).toStringList();
    files.removeAll(QString());
    return files.mid(0, MaxRecentFiles);
}

void addRecentFile(const QString &path)
{
    const QString file = QFileInfo(path).absoluteFilePath();
    const QStringList before = recentFiles();
    QStringList after = before;
    after.removeAll(file);
    after.prepend(file);
    writeRecent(before, after.mid(0, MaxRecentFiles));
}

void removeRecentFile(const QString &path)
{
    const QStringList before = recentFiles();
    QStringList after = before;
    after.removeAll(QFileInfo(path).absoluteFilePath());
    writeRecent(before, after);
}

std::optional<Detector> detector()
{
    const QSettings s = store();
    bool ok = false;
    const double fwhm = s.value(FwhmKey).toDouble(&ok);
    const QString material = s.value(MaterialKey).toString();
    if (!ok || !(fwhm > 0) || !std::isfinite(fwhm) || material.isEmpty())
        return std::nullopt;
    return Detector{material, fwhm};
}

void setDetector(const Detector &chosen)
{
    if (detector() == chosen)
        return;
    QSettings s = store();
    s.setValue(MaterialKey, chosen.material);
    s.setValue(FwhmKey, chosen.fwhm_eV);
}

std::optional<double> beam_kV()
{
    bool ok = false;
    const double kV = store().value(BeamKey).toDouble(&ok);
    if (!ok || !(kV > 0) || !std::isfinite(kV))
        return std::nullopt;
    return kV;
}

void setBeam_kV(double kV)
{
    if (beam_kV() == kV)
        return;
    QSettings s = store();
    s.setValue(BeamKey, kV);
}

} // namespace toolsettings
