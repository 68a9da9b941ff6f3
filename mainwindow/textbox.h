// A single-line text box drawn flat, with a one-line border, as all boxes of
// the main window are.
#pragma once

#include <QColor>
#include <QFont>
#include <QHash>
#include <QLineEdit>

class TextBox : public QLineEdit {
    Q_OBJECT

public:
    explicit TextBox(QWidget *parent = nullptr);

    void setBackColor(const QColor &c);
    QColor backColor() const;

    // With this on, a text too wide to show whole in the box is drawn in a
    // smaller size of the box's font (see shrinkfit.h), and a text that fits
    // in the font itself; the box's font when this is turned on is its
    // design font. Off restores the design font.
    void setShrinkToFit(bool on);
    bool shrinkToFit() const { return shrinkToFit_; }
    int shrinkSteps() const { return shrinkSteps_; }

    // The width a text may take in this box without being scrolled: the
    // contents less the text margins and the two pixels that QLineEdit keeps
    // free on either side, less the pixel it adds to a text's width.
    int textRoom() const;

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void fitText();
    void applySteps(int steps);

    bool shrinkToFit_ = false;
    int shrinkSteps_ = 0;
    QFont design_;
    QHash<QString, int> fitted_; // steps by text, for the current size and design font
};
