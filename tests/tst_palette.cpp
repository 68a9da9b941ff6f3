// The main window under the desktop's colours: the colours the window fixes
// (white background, blue and grey cells, blue series captions, red selection
// frame) stay as designed under a dark palette, the controls drawn in system
// colours follow the palette, and their text stays readable against what is
// really behind it on screen.
#include "mainwindow/form1.h"
#include "mainwindow/label.h"
#include "mainwindow/periodictable.h"
#include "mainwindow/selectionshape.h"
#include "mainwindow/textbox.h"
#include "testsupport.h"
#include "uicommon/colors.h"
#include "uicommon/errorreport.h"

#include <QApplication>
#include <QDir>
#include <QImage>
#include <QLineEdit>
#include <QPalette>
#include <QtTest>

#include <cmath>
#include <map>
#include <memory>

namespace {

// A dark desktop palette: dark window and base, light text.
QPalette darkPalette()
{
    const QColor window(0x2d, 0x2d, 0x2d), base(0x1e, 0x1e, 0x1e), text(0xe6, 0xe6, 0xe6);
    const QColor dim(0x80, 0x80, 0x80);
    QPalette p(window);
    for (QPalette::ColorGroup g : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        const bool disabled = g == QPalette::Disabled;
        p.setColor(g, QPalette::Window, window);
        p.setColor(g, QPalette::WindowText, disabled ? dim : text);
        p.setColor(g, QPalette::Base, base);
        p.setColor(g, QPalette::AlternateBase, window);
        p.setColor(g, QPalette::Text, disabled ? dim : text);
        p.setColor(g, QPalette::PlaceholderText, dim);
        p.setColor(g, QPalette::Button, window);
        p.setColor(g, QPalette::ButtonText, disabled ? dim : text);
        p.setColor(g, QPalette::BrightText, Qt::white);
        p.setColor(g, QPalette::Highlight, QColor(0x3d, 0x7a, 0xd6));
        p.setColor(g, QPalette::HighlightedText, Qt::white);
        p.setColor(g, QPalette::ToolTipBase, base);
        p.setColor(g, QPalette::ToolTipText, text);
        p.setColor(g, QPalette::Link, QColor(0x6c, 0xb4, 0xff));
    }
    return p;
}

// Relative luminance and contrast ratio as web accessibility guidelines
// define them: 1 for equal colours, 21 for black on white.
double luminance(QRgb c)
{
    auto channel = [](int v) {
        const double s = v / 255.0;
        return s <= 0.03928 ? s / 12.92 : std::pow((s + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * channel(qRed(c)) + 0.7152 * channel(qGreen(c)) + 0.0722 * channel(qBlue(c));
}

double contrast(QRgb a, QRgb b)
{
    const double la = luminance(a), lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// The colour covering most of an image: the background behind a caption.
QRgb dominantColour(const QImage &image)
{
    std::map<QRgb, int> count;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            ++count[image.pixel(x, y) | 0xFF000000u];
    return std::max_element(count.begin(), count.end(),
                            [](const auto &a, const auto &b) { return a.second < b.second; })
        ->first;
}

// The pixel that stands out most from the background: the core of the text.
QRgb strongestPixel(const QImage &image, QRgb background)
{
    QRgb best = background;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QRgb c = image.pixel(x, y) | 0xFF000000u;
            if (contrast(c, background) > contrast(best, background))
                best = c;
        }
    return best;
}

// What w looks like where it stands, drawn with whatever lies behind it; a
// text box without its one-line border.
QImage onScreen(const QWidget *w)
{
    QRect area = w->geometry();
    if (qobject_cast<const QLineEdit *>(w))
        area.adjust(2, 2, -2, -2);
    return w->parentWidget()->grab(area).toImage().convertToFormat(QImage::Format_RGB32);
}

QString hex(QRgb c) { return QColor(c).name(); }

// Text thinner than large print needs 4.5:1, and even large print 3:1. The
// smallest of the captions checked here is 8 pt bold, so 3:1 is a floor no
// readable caption falls under.
constexpr double MinimumContrast = 3.0;

// Colours as the window definitions give them (0x00BBGGRR).
const QColor White = FromBgr(0x00FFFFFF);
const QColor BlueCell = FromBgr(periodictable::BlueCellBgr);
const QColor GreyCell = FromBgr(periodictable::GreyCellBgr);
const QColor Blue = FromBgr(0x00FF0000);
const QColor Red = FromBgr(0x000000FF);

} // namespace

class TestPalette : public QObject {
    Q_OBJECT

private:
    QPalette systemPalette_;
    QString pictureDir_;
    ErrorReporter previousReporter_;
    QStringList errors_;
    std::unique_ptr<testsupport::ScratchDir> scratch_;
    std::unique_ptr<Form1> window_;

    // Sets the palette named by the current data row, then creates the main
    // window and runs its start-up on the shipped data.
    Form1 *startWindow()
    {
        QFETCH(bool, dark);
        QApplication::setPalette(dark ? darkPalette() : systemPalette_);
        scratch_ = std::make_unique<testsupport::ScratchDir>();
        if (!scratch_->copyShipped())
            return nullptr;
        window_ = testsupport::startWindow();
        return window_.get();
    }

    void paletteRows()
    {
        QTest::addColumn<bool>("dark");
        QTest::newRow("system palette") << false;
        QTest::newRow("dark palette") << true;
    }

    // Keeps a picture of the window next to the test's output, for a person
    // to look at when a readability check fails.
    void keepPicture()
    {
        QFETCH(bool, dark);
        const QString path = QDir(pictureDir_).filePath(dark ? QStringLiteral("form1-dark.png")
                                                             : QStringLiteral("form1-system.png"));
        if (window_ && !QFileInfo::exists(path) && window_->grab().save(path))
            qInfo("picture of the window: %s", qPrintable(path));
    }

private slots:
    void initTestCase()
    {
        systemPalette_ = QApplication::palette();
        pictureDir_ = QDir::currentPath();
        previousReporter_ = SetErrorReporter([this](const QString &title, const QString &text) {
            errors_ << title + QStringLiteral(": ") + text;
        });
    }

    void cleanupTestCase()
    {
        SetErrorReporter(previousReporter_);
        QApplication::setPalette(systemPalette_);
    }

    void cleanup()
    {
        window_.reset();
        scratch_.reset();
        QApplication::setPalette(systemPalette_);
        QVERIFY2(errors_.isEmpty(), qPrintable(errors_.join(u'\n')));
    }

    void fixedColoursStay_data() { paletteRows(); }
    void fixedColoursStay()
    {
        Form1 *w = startWindow();
        QVERIFY(w);

        // The client area and the white panels, as set and as drawn.
        for (QWidget *panel : {w->centralWidget(), static_cast<QWidget *>(w->Frame1),
                               static_cast<QWidget *>(w->Frame3)}) {
            QCOMPARE(panel->palette().color(QPalette::Window), White);
            QCOMPARE(hex(panel->grab(QRect(3, 3, 1, 1)).toImage().pixel(0, 0)), White.name());
        }

        // Every cell keeps its colour, and a cell is drawn in it around its
        // symbol.
        for (int Z = 1; Z <= 109; ++Z) {
            QFrame *cell = w->fmePTElement(Z);
            const QColor expected = periodictable::IsBlueCell(Z) ? BlueCell : GreyCell;
            QVERIFY2(cell->palette().color(QPalette::Window) == expected, qPrintable(cell->objectName()));
        }
        for (int Z : {1, 3, 26, 86}) {
            QFrame *cell = w->fmePTElement(Z);
            const QColor expected = periodictable::IsBlueCell(Z) ? BlueCell : GreyCell;
            const QImage drawn = cell->grab().toImage();
            QCOMPARE(hex(drawn.pixel(2, 2)), expected.name());
            QCOMPARE(hex(drawn.pixel(drawn.width() - 3, drawn.height() - 3)), expected.name());
        }

        // The series captions are written in blue.
        for (int i : {10, 11}) {
            Label *caption = w->Label1(i);
            QCOMPARE(caption->foreColor(), Blue);
            const QImage drawn = onScreen(caption);
            const QRgb ink = strongestPixel(drawn, dominantColour(drawn));
            QVERIFY2(qBlue(ink) > qRed(ink) + 60 && qBlue(ink) > qGreen(ink) + 60,
                     qPrintable(caption->objectName() + u' ' + hex(ink)));
        }

        // The selection frame is a red outline, drawn over the table.
        auto *frame = qobject_cast<SelectionShape *>(w->ElementSelShape);
        QVERIFY(frame);
        QCOMPARE(frame->borderColor(), Red);
        const QImage drawn = w->Frame1->grab(frame->geometry()).toImage();
        for (QPoint at : {QPoint(0, 0), QPoint(drawn.width() - 1, drawn.height() / 2),
                          QPoint(drawn.width() / 2, drawn.height() - 1)})
            QCOMPARE(hex(drawn.pixel(at)), Red.name());
    }

    void systemColoursFollow_data() { paletteRows(); }
    void systemColoursFollow()
    {
        Form1 *w = startWindow();
        QVERIFY(w);
        const QPalette palette = QApplication::palette();
        const QColor text = palette.color(QPalette::Active, QPalette::Text);
        const QColor base = palette.color(QPalette::Active, QPalette::Base);

        // Text on the window's own fixed light colours follows the palette
        // while it can be read there; a dark scheme's light text turns black.
        QFETCH(bool, dark);
        const QColor onFixedLight = dark ? QColor(Qt::black) : text;
        for (int Z = 1; Z <= 109; ++Z)
            QVERIFY2(w->ElementSelectionLabel(Z)->foreColor() == onFixedLight,
                     qPrintable(w->ElementSelectionLabel(Z)->objectName()));
        QCOMPARE(w->Label2(1)->foreColor(), onFixedLight);
        QCOMPARE(w->PTLineKa1(1)->palette().color(QPalette::Text), onFixedLight);

        // An opaque control in the system colours follows the palette whole.
        QCOMPARE(w->Label3->foreColor(), text);
        QCOMPARE(w->Label3->backColor(), base);
        QVERIFY(w->Label3->isOpaque());

        for (QLineEdit *box : {w->ElementText1, w->ElementText2}) {
            QCOMPARE(static_cast<TextBox *>(box)->backColor(), base);
            QCOMPARE(box->palette().color(QPalette::Text), text);
            QCOMPARE(hex(onScreen(box).pixel(1, 1)), base.name());
        }
    }

    // Text in a system colour must stand out from what is drawn behind it,
    // whether that is its own background or a fixed cell or panel.
    void textStaysReadable_data()
    {
        QTest::addColumn<bool>("dark");
        QTest::addColumn<QString>("control");
        const struct {
            const char *tag;
            const char *control;
        } controls[] = {
            {"symbol on a blue cell", "ElementSelectionLabel(1)"},
            {"symbol on a grey cell", "ElementSelectionLabel(26)"},
            {"web address", "Label3"},
            {"e-mail address", "Label2(1)"},
            {"group heading", "PTGroupsLabel(0)"},
            {"detail value", "PTLabel(4)"},
            {"detail caption", "Label1(3)"},
            {"line grid heading", "PTTitleText(0)"},
            {"silicon energy", "PTLineSiScapeText(1)"},
            {"number box", "ElementText1"},
            {"symbol box", "ElementText2"},
        };
        for (bool dark : {false, true})
            for (const auto &c : controls)
                QTest::addRow("%s, %s", dark ? "dark palette" : "system palette", c.tag)
                    << dark << QString::fromLatin1(c.control);
    }
    void textStaysReadable()
    {
        QFETCH(QString, control);
        Form1 *w = startWindow();
        QVERIFY(w);
        w->ElementText1->setText(QStringLiteral("26"));
        w->ElementText2->setText(QStringLiteral("Fe"));

        auto *widget = w->findChild<QWidget *>(control);
        QVERIFY2(widget, qPrintable(control));
        QVERIFY(widget->isVisible());
        const QImage drawn = onScreen(widget);
        const QRgb background = dominantColour(drawn);
        const QRgb ink = strongestPixel(drawn, background);
        const double ratio = contrast(ink, background);
        const QString detail = QStringLiteral("%1: text %2 on %3, contrast %4:1")
                                   .arg(control, hex(ink), hex(background))
                                   .arg(ratio, 0, 'f', 2);
        if (ratio < MinimumContrast) {
            qInfo("%s", qPrintable(detail));
            keepPicture();
        }
        QVERIFY2(ratio >= MinimumContrast, qPrintable(detail));
    }
};

QTEST_MAIN(TestPalette)
#include "tst_palette.moc"
