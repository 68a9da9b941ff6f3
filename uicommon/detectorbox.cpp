#include "detectorbox.h"

#include "toolsettings.h"

#include <QComboBox>
#include <QDoubleSpinBox>
#include <QEvent>
#include <QFormLayout>
#include <QLabel>

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

} // namespace

DetectorBox::DetectorBox(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("DetectorBox"));
    material_ = new QComboBox(this);
    material_->setObjectName(QStringLiteral("DetectorMaterial"));
    for (xray::Material m : Materials) {
        const std::string_view label = xray::materialLabel(m);
        material_->addItem(QString::fromLatin1(label.data(), qsizetype(label.size())), keyOf(m));
    }
    fwhm_ = new QDoubleSpinBox(this);
    fwhm_->setObjectName(QStringLiteral("DetectorFwhm"));
    fwhm_->setRange(10, 2000);
    fwhm_->setDecimals(0);
    fwhm_->setSuffix(QStringLiteral(" eV"));
    beam_ = new QDoubleSpinBox(this);
    beam_->setObjectName(QStringLiteral("BeamEnergy"));
    beam_->setRange(0, 500);
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

    programmatic_ = true;
    const std::optional<toolsettings::Detector> saved = toolsettings::detector();
    const std::optional<xray::Material> material =
        saved ? xray::parseMaterial(saved->material.toStdString()) : std::nullopt;
    material_->setCurrentIndex(material_->findData(keyOf(material.value_or(xray::Material::Si))));
    fwhm_->setValue(saved && material ? saved->fwhm_eV : xray::defaultFwhm(material.value_or(xray::Material::Si)));
    showBeam(toolsettings::beam_kV().value_or(DefaultBeam_kV));
    programmatic_ = false;

    connect(material_, &QComboBox::activated, this, [this] {
        // A new material starts from its usual resolution.
        programmatic_ = true;
        fwhm_->setValue(xray::defaultFwhm(detector().material()));
        programmatic_ = false;
        userChangedDetector();
    });
    connect(fwhm_, &QDoubleSpinBox::valueChanged, this, [this] {
        if (!programmatic_)
            userChangedDetector();
    });
    connect(beam_, &QDoubleSpinBox::valueChanged, this, [this] {
        if (!programmatic_)
            userChangedBeam();
    });
    retranslate();
}

xray::Detector DetectorBox::detector() const
{
    const std::optional<xray::Material> m = xray::parseMaterial(material_->currentData().toString().toStdString());
    const double fwhm = fwhm_->value();
    return xray::Detector(m.value_or(xray::Material::Si), fwhm > 0 && std::isfinite(fwhm) ? fwhm : 129.0);
}

std::optional<double> DetectorBox::beam_eV() const
{
    const double kV = beam_->value();
    if (!(kV > 0))
        return std::nullopt;
    return kV * 1000;
}

void DetectorBox::showBeam(double kV)
{
    const bool wasProgrammatic = programmatic_;
    programmatic_ = true;
    beam_->setValue(kV);
    programmatic_ = wasProgrammatic;
}

void DetectorBox::setBeamFromFile(std::optional<double> kV)
{
    const double before = beam_->value();
    beamFromFile_ = kV && *kV > 0 && std::isfinite(*kV);
    showBeam(beamFromFile_ ? *kV : toolsettings::beam_kV().value_or(DefaultBeam_kV));
    retranslate();
    if (beam_->value() != before)
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
    toolsettings::setBeam_kV(beam_->value());
    retranslate();
    emit changed();
}

void DetectorBox::retranslate()
{
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
    QWidget::changeEvent(event);
}
