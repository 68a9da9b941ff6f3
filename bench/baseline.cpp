// baseline-startprobe: the least a Qt Widgets program with a window like
// Zandor's main window does at start-up. A main window of the given size
// with a menu bar of two menus (two items and a separator each) and, at
// fixed positions, the given numbers of plain labels, line edits, frames,
// group boxes and bare widgets; no data, no fonts or icons of its own, no
// event handling. Started by `zandor-benchmark`, which counts those controls
// in the real main window and passes the counts on; see firstpaint.h.
//
//   baseline-startprobe WIDTHxHEIGHT LABELS EDITS FRAMES GROUPS WIDGETS
#include "firstpaint.h"

#include <QApplication>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>

#include <cstdio>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const QStringList args = QApplication::arguments().mid(1);
    QList<int> counts;
    for (const QString &a : args.mid(1)) {
        bool ok = false;
        counts << a.toInt(&ok);
        if (!ok || counts.last() < 0)
            counts.clear();
    }
    const QStringList size = args.value(0).split(u'x');
    if (args.size() != 6 || counts.size() != 5 || size.size() != 2) {
        std::fprintf(stderr, "usage: baseline-startprobe WIDTHxHEIGHT LABELS EDITS FRAMES GROUPS WIDGETS\n");
        return 2;
    }
    const int labels = counts[0], edits = counts[1], frames = counts[2], groups = counts[3], widgets = counts[4];

    QMainWindow w;
    w.setWindowTitle(QStringLiteral("Baseline"));
    for (const char *title : {"&File", "&Help"}) {
        QMenu *menu = w.menuBar()->addMenu(QString::fromLatin1(title));
        menu->addAction(QStringLiteral("&First"));
        menu->addSeparator();
        menu->addAction(QStringLiteral("&Second"));
    }
    auto *client = new QWidget(&w);
    w.setCentralWidget(client);

    // Row after row of small cells, 40 by 20 pixels, wrapping at the width.
    const int width = size[0].toInt(), height = size[1].toInt();
    const int perRow = qMax(1, width / 40);
    int cell = 0;
    auto place = [&](QWidget *c) { c->setGeometry(cell % perRow * 40, cell / perRow * 20 % qMax(20, height - 40), 38, 18); ++cell; };
    for (int i = 1; i < widgets; ++i) // the central widget is one of them
        place(new QWidget(client));
    for (int i = 0; i < frames; ++i) {
        auto *frame = new QFrame(client);
        frame->setFrameShape(QFrame::Box);
        place(frame);
    }
    for (int i = 0; i < groups; ++i)
        place(new QGroupBox(QStringLiteral("Group"), client));
    for (int i = 0; i < labels; ++i)
        place(new QLabel(QStringLiteral("Ab"), client));
    for (int i = 0; i < edits; ++i)
        place(new QLineEdit(QStringLiteral("123.4"), client));

    w.setFixedSize(width, height);
    FirstPaint probe(&w);
    w.show();
    return app.exec();
}
