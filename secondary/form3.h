// The About window: the product line, the author's contact data and
// affiliations, centred on white.
#pragma once

#include <QString>
#include <QWidget>

class QTextEdit;

class Form3 : public QWidget {
    Q_OBJECT

public:
    // A fixed tool window, deleted when closed; `parent` is the main window.
    explicit Form3(QWidget *parent = nullptr);

    QTextEdit *Text1 = nullptr;
};

// The About text: fourteen lines joined by CR LF, no line end after the last.
// The same in both languages.
QString AboutText();
