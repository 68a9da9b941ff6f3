// Small helpers shared by the tests: scratch directories holding data files,
// writing files byte for byte, synthetic data files, and, in the tests of
// the window (built with ZANDOR_TEST_GUI), the window's start-up.
#pragma once

#include "data/db.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QList>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QTest>

#include <functional>

#ifdef ZANDOR_TEST_GUI
#include "mainwindow/form1.h"
#include "uicommon/ansi.h"

#include <QApplication>
#include <QDropEvent>
#include <QFrame>
#include <QMimeData>
#include <QUrl>
#include <memory>
#endif

namespace testsupport {

inline QString shareDir() { return QStringLiteral(ZANDOR_SHARE_DIR); }

inline bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    return f.write(bytes) == bytes.size();
}

inline QByteArray readFile(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// A scratch directory that becomes the working directory for its lifetime,
// since the program opens its files by bare name.
class ScratchDir {
public:
    ScratchDir() : previous_(QDir::currentPath())
    {
        QDir::setCurrent(dir_.path());
    }
    ~ScratchDir() { QDir::setCurrent(previous_); }
    ScratchDir(const ScratchDir &) = delete;
    ScratchDir &operator=(const ScratchDir &) = delete;

    QString path() const { return dir_.path(); }
    QString file(const QString &name) const { return dir_.filePath(name); }
    bool write(const QString &name, const QByteArray &bytes) const
    {
        return writeFile(file(name), bytes);
    }
    // Copies the shipped data files (and readme.txt) into this directory.
    bool copyShipped() const
    {
        for (const char *name : {"elements.inf", "elements_br.inf", "kl_lines.inf", "readme.txt"}) {
            const QString from = QDir(shareDir()).filePath(QString::fromLatin1(name));
            QFile::remove(file(QString::fromLatin1(name)));
            if (!QFile::copy(from, file(QString::fromLatin1(name))))
                return false;
        }
        return true;
    }

private:
    QString previous_;
    QTemporaryDir dir_;
};

// --- Synthetic data files ------------------------------------------------------

// A record: every field followed by a TAB, then `rest` and the line end.
inline QByteArray record(const QList<QByteArray> &fields, const QByteArray &rest = {},
                         const QByteArray &end = "\r\n")
{
    QByteArray line;
    for (const QByteArray &f : fields)
        line += f + '\t';
    return line + rest + end;
}

// An element file: the header "Z, Symbol, Name", then `rows` records whose
// fields, columns 1 to 18, `field(Z, column)` gives. `edit` may change any
// line, the line end included (0 is the header).
inline QByteArray elementFile(const std::function<QByteArray(int Z, int column)> &field, int rows = db::ElementRows,
                              const std::function<void(int, QByteArray &)> &edit = {})
{
    QByteArray header = record({"Z", "Symbol", "Name"});
    if (edit)
        edit(0, header);
    QByteArray file = header;
    for (int Z = 1; Z <= rows; ++Z) {
        QList<QByteArray> fields;
        for (int c = 1; c <= db::ElementColumns; ++c)
            fields << field(Z, c);
        QByteArray line = record(fields);
        if (edit)
            edit(Z, line);
        file += line;
    }
    return file;
}

// A line file: the header "label, energy, Z, line", then `rows` records
// whose four fields `fields(row)` gives.
inline QByteArray lineFile(const std::function<QList<QByteArray>(int row)> &fields, int rows = db::LineRows)
{
    QByteArray file = record({"label", "energy", "Z", "line"});
    for (int r = 1; r <= rows; ++r)
        file += record(fields(r));
    return file;
}

// The lines of a data file, split at LF with a CR before it dropped, and
// joined again with CR LF.
inline QList<QByteArray> linesOf(const QByteArray &file)
{
    QList<QByteArray> lines = file.split('\n');
    for (QByteArray &line : lines)
        if (line.endsWith('\r'))
            line.chop(1);
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}
inline QByteArray joined(const QList<QByteArray> &lines) { return lines.join("\r\n") + "\r\n"; }

// The file with field `column` (from 1) of line `line` (0: the header)
// replaced.
inline QByteArray withField(const QByteArray &file, int line, int column, const QByteArray &value)
{
    QList<QByteArray> lines = linesOf(file);
    QList<QByteArray> fields = lines[line].split('\t');
    fields[column - 1] = value;
    lines[line] = fields.join('\t');
    return joined(lines);
}

// Every cell of ElementTable, row by row.
inline QStringList wholeTable()
{
    QStringList cells;
    for (int Z = 1; Z <= db::ElementRows; ++Z)
        for (int c = 1; c <= db::ElementColumns; ++c)
            cells << QString::fromLatin1(db::ElementTable(Z, c));
    return cells;
}

#ifdef ZANDOR_TEST_GUI
// --- The window ----------------------------------------------------------------

// ElementTable(Z, column) decoded whole.
inline QString cellText(int Z, int column) { return FromAnsi(db::ElementTable(Z, column)); }

// The main window started as the program starts it, on the data files in
// the working directory: Form1_Load, then shown and exposed. Null when
// start-up fails or the window is not exposed.
inline std::unique_ptr<Form1> startWindow()
{
    auto w = std::make_unique<Form1>();
    if (!w->Form1_Load())
        return nullptr;
    w->show();
    if (!QTest::qWaitForWindowExposed(w.get()))
        return nullptr;
    return w;
}

// Moves the pointer off the table, wherever an earlier test left it: a move
// to the place where the pointer already stands is no move.
inline void pointerOffTable(Form1 &w) { QTest::mouseMove(w.Frame3, QPoint(5, 5)); }

// Drops files onto a widget as a file manager would.
inline void drop(QWidget *target, const QStringList &paths)
{
    QMimeData data;
    QList<QUrl> urls;
    for (const QString &p : paths)
        urls << QUrl::fromLocalFile(p);
    data.setUrls(urls);
    const QPoint at = target->rect().center();
    QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &enter);
    QVERIFY(enter.isAccepted());
    QDropEvent dropped(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &dropped);
}
#endif

} // namespace testsupport
