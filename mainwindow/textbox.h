// A single-line text box drawn flat, with a one-line border, as all boxes of
// the main window are.
#pragma once

#include <QColor>
#include <QLineEdit>

class TextBox : public QLineEdit {
    Q_OBJECT

public:
    explicit TextBox(QWidget *parent = nullptr);

    void setBackColor(const QColor &c);
    QColor backColor() const;

protected:
    void paintEvent(QPaintEvent *event) override;
};
