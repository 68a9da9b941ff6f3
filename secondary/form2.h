// The read-me window: readme.txt in a scrolling text box.
#pragma once

#include <QString>
#include <QWidget>

class QPlainTextEdit;

class Form2 : public QWidget {
    Q_OBJECT

public:
    // A fixed tool window, deleted when closed; `parent` is the main window.
    explicit Form2(QWidget *parent = nullptr);

    QPlainTextEdit *Text1 = nullptr;
};

// The text that the read-me window shows for the file at `path`: its lines,
// read as Windows-1252, each followed by CR LF. A line ends at LF, with a CR
// before it dropped; a last line without a line end gets one like the others.
// An empty file, or one that cannot be read, gives an empty text.
QString ReadMeText(const QString &path);

// The file the read-me command shows, by bare name in the working directory.
inline constexpr const char *ReadMeFile = "readme.txt";
