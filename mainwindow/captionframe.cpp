#include "captionframe.h"

#include <QPainter>
#include <qdrawutil.h>

namespace {
constexpr int CaptionLeft = 6; // pixels from the frame's left edge
}

CaptionFrame::CaptionFrame(const QString &caption, QWidget *parent) : QGroupBox(caption, parent) {}

void CaptionFrame::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    const QFontMetrics fm(font());
    // The etched line of QFrame::Box | QFrame::Sunken, from half the caption's
    // height down.
    qDrawShadeRect(&p, rect().adjusted(0, fm.height() / 2, 0, 0), palette(), true, 1, 0);
    if (title().isEmpty())
        return;
    const QRect caption(CaptionLeft, 0, fm.horizontalAdvance(title()), fm.height());
    p.fillRect(caption, palette().window());
    p.setPen(palette().color(QPalette::WindowText));
    p.drawText(caption, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, title());
}
