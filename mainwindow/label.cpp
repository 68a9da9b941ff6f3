#include "label.h"

#include "colors.h"
#include "shrinkfit.h"

#include <QEvent>

#include <algorithm>

namespace {

// Bounds of the size cache: fonts kept, and captions kept per font.
constexpr std::size_t MaxFonts = 8;
constexpr qsizetype MaxCaptions = 1024;

} // namespace

Label::Label(QWidget *parent) : QLabel(parent)
{
    // The size cache relies on these staying as set here.
    setFrameShape(QFrame::NoFrame);
    setMargin(0);
    setIndent(0);
    setWordWrap(false);
    setTextFormat(Qt::PlainText);
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
    setForeColor(SystemWindowText());
    setBackColor(SystemWindowBackground());
    setOpaque(false);
}

void Label::setCaption(const QString &caption)
{
    setText(caption);
    if (autoSize_)
        fitToCaption();
}

void Label::setAutoSize(bool on)
{
    autoSize_ = on;
    if (on)
        fitToCaption();
}

void Label::setShrinkSteps(int steps)
{
    const QFont design = designFont();
    steps = std::clamp(steps, 0, shrinkfit::MaxSteps(design));
    if (steps == shrinkSteps_)
        return;
    design_ = design;
    shrinkSteps_ = steps;
    setFont(shrinkfit::Smaller(design, steps));
}

void Label::changeEvent(QEvent *event)
{
    QLabel::changeEvent(event);
    switch (event->type()) {
    case QEvent::StyleChange:
        measured_.clear();
        [[fallthrough]];
    case QEvent::FontChange:
        if (autoSize_)
            fitToCaption();
        break;
    default:
        break;
    }
}

// What sizeHint() gives for the caption in the current font.
QSize Label::captionSize()
{
    const QFont &current = font();
    auto entry = measured_.begin();
    while (entry != measured_.end() && !(entry->font == current))
        ++entry;
    if (entry == measured_.end()) {
        if (measured_.size() >= MaxFonts)
            measured_.erase(measured_.begin());
        measured_.push_back({current, {}});
        entry = measured_.end() - 1;
    }
    const QString caption = text();
    if (const auto found = entry->sizes.constFind(caption); found != entry->sizes.cend())
        return *found;
    if (entry->sizes.size() >= MaxCaptions)
        entry->sizes.clear();
    const QSize size = sizeHint();
    entry->sizes.insert(caption, size);
    return size;
}

void Label::fitToCaption()
{
    const int right = geometry().right();
    const QSize size = captionSize();
    if (alignment() & Qt::AlignRight)
        setGeometry(right - size.width() + 1, y(), size.width(), size.height());
    else
        setGeometry(x(), y(), size.width(), size.height());
}

void Label::setOpaque(bool on) { setAutoFillBackground(on); }

void Label::setForeColor(const QColor &c)
{
    QPalette p = palette();
    for (QPalette::ColorGroup g : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
        p.setColor(g, QPalette::WindowText, c);
    setPalette(p);
}

QColor Label::foreColor() const { return palette().color(QPalette::Active, QPalette::WindowText); }

void Label::setBackColor(const QColor &c)
{
    QPalette p = palette();
    for (QPalette::ColorGroup g : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
        p.setColor(g, QPalette::Window, c);
    setPalette(p);
}

QColor Label::backColor() const { return palette().color(QPalette::Active, QPalette::Window); }
