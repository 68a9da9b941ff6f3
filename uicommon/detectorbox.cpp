#include "detectorbox.h"

#include "toolsettings.h"

#include <QComboBox>
#include <QDoubleSpinBox>
#include <QEvent>
#include <QFormLayout>
#include <QLabel>

#include <algorithm>
#include <cmath>

namespace {

constexpr xray::Material Materials[] = {xray::Material::Si, xray::Material::Ge, xray::Material::CdTe};

// The beam energy until the user gives one: a common SEM setting.
constexpr double DefaultBeam_kV = 20;

QString keyOf(xray::Material m)
{
    const std::string_view key = xray::materialKey(m);
    return QString::fromLatin1(key.data(), qsizetype(key.size()));
}

// The boxes' ranges and decimals; a setting is held as its box would hold it.
constexpr double MinFwhm = 10, MaxFwhm = 2000;
constexpr double MinBeam = 0, MaxBeam = 500;

double asFwhmBox(double eV) { return std::round(std::clamp(eV, MinFwhm, MaxFwhm)); }
double asBeamBox(double kV) { return std::round(std::clamp(kV, MinBeam, MaxBeam) * 10) / 10; }

} // namespace

DetectorBox::DetectorBox(QWidget *parent) : LazyPanel(parent)
{
    setObjectName(QStringLiteral("DetectorBox"));
    const std::optional<toolsettings::Detector> saved = toolsettings::detector();
    const std::optional<xray::Material> material =
        saved ? xray::parseMaterial(saved->material.toStdString()) : std::nullopt;
    materialValue_ = material.value_or(xray::Material::Si);
    const double fwhm = saved && material ? saved->fwhm_eV : xray::defaultFwhm(materialValue_);
    fwhm_eV_ = std::isfinite(fwhm) ? asFwhmBox(fwhm) : asFwhmBox(xray::defaultFwhm(materialValue_));
    const double beam = toolsettings::beam_kV().value_or(DefaultBeam_kV);
    beam_kV_ = std::isfinite(beam) ? asBeamBox(beam) : DefaultBeam_kV;
}

void DetectorBox::build()
{
    material_ = new QComboBox(this);
    material_->setObjectName(QStringLiteral("DetectorMaterial"));
    for (xray::Material m : Materials) {
        const std::string_view label = xray::materialLabel(m);
        material_->addItem(QString::fromLatin1(label.data(), qsizetype(label.size())), keyOf(m));
    }
    fwhm_ = new QDoubleSpinBox(this);
    fwhm_->setObjectName(QStringLiteral("DetectorFwhm"));
    fwhm_->setRange(MinFwhm, MaxFwhm);
    fwhm_->setDecimals(0);
    fwhm_->setSuffix(QStringLiteral(" eV"));
    beam_ = new QDoubleSpinBox(this);
    beam_->setObjectName(QStringLiteral("BeamEnergy"));
    beam_->setRange(MinBeam, MaxBeam);
    beam_->setDecimals(1);
    beam_->setSuffix(QStringLiteral(" kV"));
    beamNote_ = new QLabel(this);
    beamNote_->setObjectName(QStringLiteral("BeamNote"));

    materialLabel_ = new QLabel(this);
    fwhmLabel_ = new QLabel(this);
    beamLabel_ = new QLabel(this);
    materialLabel_->setBuddy(material_);
    fwhmLabel_->setBuddy(fwhm_);
    beamLabel_->setBuddy(beam_);
    auto *form = new QFormLayout(this);
    form->setContentsMargins(0, 0, 0, 0);
    form->addRow(materialLabel_, material_);
    form->addRow(fwhmLabel_, fwhm_);
    form->addRow(beamLabel_, beam_);
    form->addRow(QString(), beamNote_);
    showSettings();

    connect(material_, &QComboBox::activated, this, [this] {
        // A new material starts from its usual resolution.
        const std::optional<xray::Material> m = xray::parseMaterial(material_->currentData().toString().toStdString());
        materialValue_ = m.value_or(xray::Material::Si);
        fwhm_eV_ = asFwhmBox(xray::defaultFwhm(materialValue_));
        showSettings();
        userChangedDetector();
    });
    connect(fwhm_, &QDoubleSpinBox::valueChanged, this, [this] {
        if (programmatic_)
            return;
        fwhm_eV_ = fwhm_->value();
        userChangedDetector();
    });
    connect(beam_, &QDoubleSpinBox::valueChanged, this, [this] {
        if (programmatic_)
            return;
        beam_kV_ = beam_->value();
        userChangedBeam();
    });
    retranslate();
}

void DetectorBox::showSettings()
{
    if (!isBuilt())
        return;
    const bool wasProgrammatic = programmatic_;
    programmatic_ = true;
    material_->setCurrentIndex(material_->findData(keyOf(materialValue_)));
    fwhm_->setValue(fwhm_eV_);
    beam_->setValue(beam_kV_);
    programmatic_ = wasProgrammatic;
}

xray::Detector DetectorBox::detector() const
{
    return xray::Detector(materialValue_, fwhm_eV_ > 0 && std::isfinite(fwhm_eV_) ? fwhm_eV_ : 129.0);
}

bool DetectorBox::fwhmChosen() const
{
    return fwhm_eV_ != asFwhmBox(xray::defaultFwhm(materialValue_));
}

std::optional<double> DetectorBox::beam_eV() const
{
    if (!(beam_kV_ > 0))
        return std::nullopt;
    return beam_kV_ * 1000;
}

void DetectorBox::showBeam(double kV)
{
    beam_kV_ = asBeamBox(kV);
    showSettings();
}

void DetectorBox::setBeamFromFile(std::optional<double> kV)
{
    const double before = beam_kV_;
    beamFromFile_ = kV && *kV > 0 && std::isfinite(*kV);
    showBeam(beamFromFile_ ? *kV : toolsettings::beam_kV().value_or(DefaultBeam_kV));
    retranslate();
    if (beam_kV_ != before)
        emit changed();
}

void DetectorBox::userChangedDetector()
{
    const xray::Detector d = detector();
    const std::string_view key = xray::materialKey(d.material());
    toolsettings::setDetector({QString::fromLatin1(key.data(), qsizetype(key.size())), d.fwhmMnKa()});
    emit changed();
}

void DetectorBox::userChangedBeam()
{
    beamFromFile_ = false;
    toolsettings::setBeam_kV(beam_kV_);
    retranslate();
    emit changed();
}

void DetectorBox::retranslate()
{
    if (!isBuilt())
        return;
    materialLabel_->setText(tr("&Detector:"));
    fwhmLabel_->setText(tr("FWHM at Mn K\u03B1:"));
    beamLabel_->setText(tr("&Beam energy:"));
    beam_->setSpecialValueText(tr("none"));
    beamNote_->setText(beamFromFile_ ? tr("(from the spectrum file)") : QString());
    material_->setToolTip(tr("The detector's material: silicon (SDD, Si(Li)), germanium or CdTe"));
    fwhm_->setToolTip(tr("The detector's resolution, as the full width at half maximum of Mn K\u03B1"));
    beam_->setToolTip(tr("Lines whose shell's edge lies above the beam energy are not excited; 0: no limit"));
}

void DetectorBox::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange)
        retranslate();
    LazyPanel::changeEvent(event);
}
