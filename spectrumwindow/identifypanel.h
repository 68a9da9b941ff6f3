// The spectrum window's results of automatic identification: the elements
// found, each with its confidence and the lines it explains, ticked while it
// is kept (pinned, its peaks labelled); untick one to remove it, tick it to
// add it back. Below them the peaks with what each is, and the notes.
#pragma once

#include "identify/identify.h"
#include "uicommon/lazypanel.h"

#include <QList>

#include <optional>

class QLabel;
class QListWidget;
class QPushButton;
class QTableWidget;

class IdentifyPanel : public LazyPanel {
    Q_OBJECT

public:
    explicit IdentifyPanel(QWidget *parent = nullptr);

    // Shows an identification (of the spectrum named), or, with none, what
    // to do to get one.
    void setIdentification(const std::optional<identify::Identification> &id, const QString &spectrum = {});
    // The elements kept: their ticks, and the peaks of the others greyed.
    void setKept(const QList<int> &kept);

    QPushButton *identifyButton() const { return (ensureBuilt(), identify_); }
    QListWidget *elementList() const { return (ensureBuilt(), elements_); }
    QTableWidget *peakTable() const { return (ensureBuilt(), peaks_); }
    QLabel *summary() const { return (ensureBuilt(), summary_); }
    // The resolution and how far the file's energies are off.
    QLabel *response() const { return (ensureBuilt(), response_); }

signals:
    void identifyRequested();
    void keptChanged(int Z, bool kept);

protected:
    void build() override;
    void changeEvent(QEvent *event) override;

private:
    void retranslate();
    void fill();
    void greyPeaks();
    QString responseText() const;
    QString noteText(const identify::Note &note) const;
    // The reasons of identification in the window's language.
    QString reasonText(const identify::ElementReason &reason) const;
    QString reasonText(const identify::PeakReason &reason) const;
    QString rivalText(const identify::Rival &rival) const;

    std::optional<identify::Identification> id_;
    QString spectrum_;
    QList<int> kept_;
    QPushButton *identify_ = nullptr;
    QLabel *summary_ = nullptr;
    QLabel *response_ = nullptr;
    QLabel *elementsTitle_ = nullptr;
    QListWidget *elements_ = nullptr;
    QLabel *peaksTitle_ = nullptr;
    QTableWidget *peaks_ = nullptr;
    QLabel *notes_ = nullptr;
    bool filling_ = false;
};
