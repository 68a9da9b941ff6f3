// A panel whose controls are made when it is first shown, or first asked
// for, rather than with it: a window of several tabs then builds only the
// tab on show, and opening it costs what that tab costs. Until it is built
// the panel keeps what its setters are given and shows it once built.
#pragma once

#include <QWidget>

class LazyPanel : public QWidget {
    Q_OBJECT

public:
    using QWidget::QWidget;

    bool isBuilt() const { return built_; }
    // Builds the controls now, if they are not yet; the accessors of a
    // panel's controls call it, so that they never return nothing.
    void ensureBuilt() const;

protected:
    // Makes the controls, lays them out and shows the state kept so far.
    virtual void build() = 0;
    void showEvent(QShowEvent *event) override;

private:
    bool built_ = false;
};
