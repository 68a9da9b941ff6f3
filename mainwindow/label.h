// A label as the window definitions describe it: a caption, transparent or
// opaque background, text colour, alignment, and optionally auto-size.
#pragma once

#include <QColor>
#include <QFont>
#include <QHash>
#include <QLabel>

#include <optional>
#include <vector>

class Label : public QLabel {
    Q_OBJECT

public:
    explicit Label(QWidget *parent = nullptr);

    // Sets the caption. An auto-size label then takes the size of its text:
    // a right-aligned label keeps its right edge and grows to the left, any
    // other keeps its left edge; the top edge always stays. It does so again
    // when its font changes.
    void setCaption(const QString &caption);
    QString caption() const { return text(); }

    void setAutoSize(bool on);
    bool autoSize() const { return autoSize_; }

    // Opaque labels fill their rectangle with the back colour.
    void setOpaque(bool on);
    bool isOpaque() const { return autoFillBackground(); }

    void setForeColor(const QColor &c);
    QColor foreColor() const;
    void setBackColor(const QColor &c);
    QColor backColor() const;
    // Both at once; nullopt leaves one as it is.
    void setColors(const std::optional<QColor> &fore, const std::optional<QColor> &back);

    // Draws the caption `steps` steps of shrinkfit.h smaller than the design
    // font; 0 restores the design font. The design font is the label's font
    // as it was when the label last left its design size.
    void setShrinkSteps(int steps);
    int shrinkSteps() const { return shrinkSteps_; }
    QFont designFont() const { return shrinkSteps_ ? design_ : font(); }

protected:
    void changeEvent(QEvent *event) override;

private:
    void fitToCaption();
    QSize captionSize();

    bool autoSize_ = false;
    int shrinkSteps_ = 0;
    QFont design_;

    // The sizes that auto-size has measured, by font and caption. Measuring
    // a text lays it out anew every time; the detail panel shows the same
    // few hundred captions over and over, in one or two fonts each.
    struct Measured {
        QFont font;
        QHash<QString, QSize> sizes;
    };
    std::vector<Measured> measured_;
};
