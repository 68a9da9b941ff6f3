// The selection frame: a red one-pixel outline with a see-through interior.
// It lets the pointer through to whatever lies below it.
#pragma once

#include <QColor>
#include <QWidget>

class SelectionShape : public QWidget {
    Q_OBJECT

public:
    explicit SelectionShape(QWidget *parent = nullptr);

    QColor borderColor() const { return border_; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QColor border_;
};
