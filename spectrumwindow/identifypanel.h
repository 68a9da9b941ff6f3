// The spectrum window's results of automatic identification: the elements
// found, each with its confidence and the lines it explains, ticked while it
// is kept (pinned, its peaks labelled); untick one to remove it, tick it to
// add it back. Below them the peaks with what each is, and the notes.
#pragma once

#include "identify/identify.h"

#include <QList>
#include <QWidget>

#include <optional>

class QLabel;
class QListWidget;
class QPushButton;
class QTableWidget;

class IdentifyPanel : public QWidget {
    Q_OBJECT

public:
    explicit IdentifyPanel(QWidget *parent = nullptr);

    // Shows an identification (of the spectrum named), or, with none, what
    // to do to get one.
    void setIdentification(const std::optional<identify::Identification> &id, const QString &spectrum = {});
    // The elements kept: their ticks, and the peaks of the others greyed.
    void setKept(const QList<int> &kept);

    QPushButton *identifyButton() const { return identify_; }
    QListWidget *elementList() const { return elements_; }
    QTableWidget *peakTable() const { return peaks_; }
    QLabel *summary() const { return summary_; }

signals:
    void identifyRequested();
    void keptChanged(int Z, bool kept);

protected:
    void changeEvent(QEvent *event) override;

private:
    void retranslate();
    void fill();
    void greyPeaks();
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
    QLabel *elementsTitle_ = nullptr;
    QListWidget *elements_ = nullptr;
    QLabel *peaksTitle_ = nullptr;
    QTableWidget *peaks_ = nullptr;
    QLabel *notes_ = nullptr;
    bool filling_ = false;
};
