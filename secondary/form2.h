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

// How much of readme.txt the read-me window shows: the first ReadMeMaxBytes
// bytes of the file, and of each line the first ReadMeMaxLineChars
// characters. The shipped guide is about 6 KB in lines of at most 62
// characters; showing a file of any size whole would hold the window up in
// proportion to its size, for seconds at 50 MB.
inline constexpr qint64 ReadMeMaxBytes = 64 * 1024;
inline constexpr qsizetype ReadMeMaxLineChars = 1000;

// The text that the read-me window shows for the file at `path`: its lines,
// read as Windows-1252, each followed by CR LF. A line ends at LF, with a CR
// before it dropped; a last line without a line end gets one like the others.
// A line longer than ReadMeMaxLineChars shows its first ReadMeMaxLineChars - 1
// characters and CutMark (ansi.h); a file longer than ReadMeMaxBytes shows
// what those bytes hold and then a line of CutMark alone. An empty file, or
// one that cannot be read, gives an empty text.
QString ReadMeText(const QString &path);

// The file the read-me command shows, by bare name in the working directory.
inline constexpr const char *ReadMeFile = "readme.txt";
