// A frame with a caption, drawn like the window's other frames: the same
// etched line, with the caption standing in a gap of its top line.
#pragma once

#include <QGroupBox>

class CaptionFrame : public QGroupBox {
    Q_OBJECT

public:
    explicit CaptionFrame(const QString &caption, QWidget *parent = nullptr);

protected:
    void paintEvent(QPaintEvent *event) override;
};
