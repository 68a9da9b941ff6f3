#include "label.h"

#include "shrinkfit.h"
#include "uicommon/colors.h"

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
    // Fore and back colour in one palette (see setColors).
    setColors(SystemWindowText(), SystemWindowBackground());
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

// A widget resolves every palette it is given against its parents' before
// it can tell that nothing changed; the main window's 148 labels would spend
// a good part of its start-up on that. A colour already set explicitly in
// every group is therefore left alone here, which gives the same palette.
void Label::setColors(const std::optional<QColor> &fore, const std::optional<QColor> &back)
{
    constexpr QPalette::ColorGroup groups[] = {QPalette::Active, QPalette::Inactive, QPalette::Disabled};
    const auto alreadySet = [this, &groups](QPalette::ColorRole role, const QColor &c) {
        const QPalette &p = palette();
        return std::all_of(std::begin(groups), std::end(groups),
                           [&](QPalette::ColorGroup g) { return p.isBrushSet(g, role) && p.color(g, role) == c; });
    };
    const bool setFore = fore && !alreadySet(QPalette::WindowText, *fore);
    const bool setBack = back && !alreadySet(QPalette::Window, *back);
    if (!setFore && !setBack)
        return;
    QPalette p = palette();
    for (QPalette::ColorGroup g : groups) {
        if (setFore)
            p.setColor(g, QPalette::WindowText, *fore);
        if (setBack)
            p.setColor(g, QPalette::Window, *back);
    }
    setPalette(p);
}

void Label::setForeColor(const QColor &c) { setColors(c, std::nullopt); }

QColor Label::foreColor() const { return palette().color(QPalette::Active, QPalette::WindowText); }

void Label::setBackColor(const QColor &c) { setColors(std::nullopt, c); }

QColor Label::backColor() const { return palette().color(QPalette::Active, QPalette::Window); }
