#include "lazypanel.h"

#include <QLayout>

void LazyPanel::ensureBuilt() const
{
    if (built_)
        return;
    auto *self = const_cast<LazyPanel *>(this);
    self->built_ = true;
    self->build();
    if (!isVisible())
        return; // shown with the panel
    // Built while the panel shows (its showEvent): a child made under a
    // visible widget stays hidden until shown, and its layout is placed
    // before the first paint rather than on the next turn of the loop.
    for (QWidget *child : findChildren<QWidget *>(Qt::FindDirectChildrenOnly))
        if (!child->isWindow() && !child->testAttribute(Qt::WA_WState_ExplicitShowHide))
            child->show();
    // The layouts around it learn its new size now too.
    self->updateGeometry();
    for (QWidget *w = self; w; w = w->isWindow() ? nullptr : w->parentWidget())
        if (QLayout *box = w->layout())
            box->activate();
}

void LazyPanel::showEvent(QShowEvent *event)
{
    ensureBuilt();
    QWidget::showEvent(event);
}
