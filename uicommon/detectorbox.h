// The detector and beam settings shared by the spectrum and finder windows:
// the detector's material (Si, Ge or CdTe), its FWHM at Mn K-alpha and the
// beam energy. The user's choices are remembered (toolsettings); a beam
// energy that a spectrum file gives is shown but not remembered. The
// settings hold from the start; the boxes are made when first shown.
#pragma once

#include "lazypanel.h"

#include "xray/detector.h"

#include <optional>

class QComboBox;
class QDoubleSpinBox;
class QLabel;

class DetectorBox : public LazyPanel {
    Q_OBJECT

public:
    explicit DetectorBox(QWidget *parent = nullptr);

    xray::Detector detector() const;
    // True when the FWHM is one the user chose: not the material's usual
    // one. Identification measures the resolution on the spectrum's peaks
    // unless it is told one.
    bool fwhmChosen() const;
    // The beam energy in eV; nothing when the box is set to none (0).
    std::optional<double> beam_eV() const;

    // Shows the beam energy of a file (kV), or the user's own again when the
    // file has none.
    void setBeamFromFile(std::optional<double> kV);

    QComboBox *materialBox() const { return (ensureBuilt(), material_); }
    QDoubleSpinBox *fwhmBox() const { return (ensureBuilt(), fwhm_); }
    QDoubleSpinBox *beamBox() const { return (ensureBuilt(), beam_); }

signals:
    // The detector or the beam changed, by the user or by a file.
    void changed();

protected:
    void build() override;
    void changeEvent(QEvent *event) override;

private:
    void retranslate();
    void userChangedDetector();
    void userChangedBeam();
    void showBeam(double kV);
    void showSettings(); // the settings into the boxes

    QLabel *materialLabel_ = nullptr;
    QLabel *fwhmLabel_ = nullptr;
    QLabel *beamLabel_ = nullptr;
    QLabel *beamNote_ = nullptr;
    QComboBox *material_ = nullptr;
    QDoubleSpinBox *fwhm_ = nullptr;
    QDoubleSpinBox *beam_ = nullptr;
    bool programmatic_ = false; // the program, not the user, is setting a box
    // The settings, as the boxes hold them (rounded to their decimals).
    xray::Material materialValue_ = xray::Material::Si;
    double fwhm_eV_ = 129;
    double beam_kV_ = 0;
    bool beamFromFile_ = false;
};
