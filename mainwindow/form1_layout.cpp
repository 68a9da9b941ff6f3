// The controls of the main window, built in code from the window definition.
// Geometry is written in twips, as designed, and converted by twRect().
#include "form1.h"

#include "appicon.h"
#include "captionframe.h"
#include "language/translator.h"
#include "periodictable.h"
#include "secondary/contact.h"
#include "selectionshape.h"
#include "textbox.h"
#include "uicommon/colors.h"
#include "uicommon/fonts.h"
#include "uicommon/twips.h"

#include <QMenu>
#include <QMenuBar>

#include <iterator>

namespace {

// Client area of the window, in twips.
constexpr int ClientWidth = 9420;
constexpr int ClientHeight = 6600;

constexpr quint32 White = 0x00FFFFFF;
constexpr quint32 Blue = 0x00FF0000;
constexpr quint32 LightOrange = 0x00C0E0FF;
constexpr quint32 Silver = 0x00C0C0C0;
constexpr quint32 LightGrey = 0x00E0E0E0;
constexpr quint32 PaleBlue = 0x00FFC0C0;

void place(QWidget *w, int left, int top, int width, int height)
{
    w->setGeometry(twRect(left, top, width, height));
}

void setBackground(QWidget *w, const QColor &c)
{
    QPalette p = w->palette();
    for (QPalette::ColorGroup g : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
        p.setColor(g, QPalette::Window, c);
    w->setPalette(p);
    w->setAutoFillBackground(true);
}

// A frame that holds other controls; they are placed relative to its outer
// top-left corner, as the window definition gives them.
void setupContainer(QFrame *f, const char *name, int left, int top, int width, int height)
{
    f->setObjectName(QString::fromLatin1(name));
    f->setFrameStyle(QFrame::Box | QFrame::Sunken);
    f->setLineWidth(1);
    f->setMidLineWidth(0);
    setBackground(f, FromBgr(White));
    place(f, left, top, width, height);
}

// A flat cell with a one-line border. Border and background colour go in
// with one palette: every palette a widget is given is resolved against its
// parents', which for 110 cells is a noticeable part of start-up.
void setupCell(QFrame *f, int left, int top, int width, int height, quint32 bgr)
{
    f->setFrameStyle(QFrame::Box | QFrame::Plain);
    f->setLineWidth(1);
    QPalette p = f->palette();
    for (QPalette::ColorGroup g : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        p.setColor(g, QPalette::WindowText, FlatBorderColor());
        p.setColor(g, QPalette::Window, FromBgr(bgr));
    }
    f->setPalette(p);
    f->setAutoFillBackground(true);
    place(f, left, top, width, height);
}

// The colour drawn behind a transparent control: that of the nearest
// container that paints its own background.
QColor backgroundBehind(const QWidget *w)
{
    for (const QWidget *p = w->parentWidget(); p; p = p->parentWidget())
        if (p->autoFillBackground())
            return p->palette().color(QPalette::Active, QPalette::Window);
    return FromBgr(White);
}

// Text in the system text colour over one of the window's fixed colours
// takes a colour that can be read there (see SystemWindowTextOn); with a
// light desktop scheme nothing changes.
void keepSystemTextReadable(QWidget *root, QWidget *captionFrame)
{
    const QColor system = SystemWindowText();
    const auto setText = [](QWidget *w, QPalette::ColorRole role, const QColor &c) {
        QPalette p = w->palette();
        for (QPalette::ColorGroup g : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
            p.setColor(g, role, c);
        w->setPalette(p);
    };
    for (Label *l : root->findChildren<Label *>())
        if (!l->isOpaque() && l->foreColor() == system)
            l->setForeColor(SystemWindowTextOn(backgroundBehind(l)));
    for (TextBox *b : root->findChildren<TextBox *>())
        if (b->backColor() != SystemWindowBackground())
            setText(b, QPalette::Text, SystemWindowTextOn(b->backColor()));
    setText(captionFrame, QPalette::WindowText, SystemWindowTextOn(backgroundBehind(captionFrame)));
}

enum class Size { Fixed, Auto };

// Geometry first, then font and alignment, then the caption: an auto-size
// label takes the size of its caption from the edge the design keeps.
void setupLabel(Label *l, int left, int top, int width, int height, Qt::Alignment align,
                const QFont &font, Size size, const QString &caption)
{
    place(l, left, top, width, height);
    l->setFont(font);
    l->setAlignment(align | Qt::AlignTop);
    l->setCaption(caption);
    l->setAutoSize(size == Size::Auto);
}

enum class Access { ReadOnly, Editable };

void setupBox(QLineEdit *box, int left, int top, int width, int height, const QString &text,
              const QColor &back, const QFont &font, Qt::Alignment align, Access access)
{
    auto *b = static_cast<TextBox *>(box);
    place(b, left, top, width, height);
    b->setBackColor(back);
    b->setFont(font);
    b->setAlignment(align | Qt::AlignVCenter);
    b->setReadOnly(access == Access::ReadOnly);
    // Read-only boxes can still be clicked into to copy their text, but the
    // Tab key passes over them.
    b->setFocusPolicy(access == Access::ReadOnly ? Qt::ClickFocus : Qt::StrongFocus);
    b->setText(text);
}

QFont boldHeading() { return fonts::Font(fonts::MsSansSerif, 8.25, true); }

} // namespace

Form1::Form1(QWidget *parent) : QMainWindow(parent)
{
    fonts::InstallFontFaces();
    // The window starts in Portuguese, its tr() texts too.
    language::UseTranslations(language::Language::Portuguese);
    buildWindow();
    connectEvents();
}

Form1::~Form1() = default;

void Form1::buildWindow()
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Tabela periódica dos elementos"));
    // The program sets its icon for every window before making this one;
    // reading the images again would only cost start-up time.
    if (QApplication::windowIcon().isNull())
        setWindowIcon(ZandorIcon());
    // A fixed single border: minimise and close, no maximise.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                   | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);

    auto *client = new QWidget(this);
    client->setObjectName(QStringLiteral("Form1Client"));
    client->setFont(fonts::DefaultFont());
    setBackground(client, FromBgr(White));
    client->setFixedSize(tw(ClientWidth), tw(ClientHeight));
    setCentralWidget(client);

    buildFrames(client);
    buildCells();
    buildGroupHeadings();
    buildSeriesBoxes();
    buildLookupBlock();
    buildContactLabels();
    buildSelectionFrame();
    buildDetailPanel();
    buildLineGrid();
    buildMenus();
    setFocusOrder();
    keepSystemTextReadable(client, Frame4);

    // The client area plus the menu bar, and not resizable.
    setFixedSize(tw(ClientWidth), tw(ClientHeight) + menuBar()->sizeHint().height());
}

void Form1::buildFrames(QWidget *client)
{
    Frame3 = new QFrame(client);
    setupContainer(Frame3, "Frame3", 60, 30, 3525, 1875);

    Frame4 = new CaptionFrame(QStringLiteral("Linhas de raios-X correspondentes - (eV) "), client);
    Frame4->setObjectName(QStringLiteral("Frame4"));
    setBackground(Frame4, FromBgr(White));
    place(Frame4, 3660, 30, 5745, 1875);

    Frame1 = new QFrame(client);
    setupContainer(Frame1, "Frame1", 60, 1920, 9345, 4665);

    // Frame6 is created after Frame2 and covers its lower 75 twips.
    Frame2 = new QFrame(Frame1);
    setupContainer(Frame2, "Frame2", 90, 3600, 1995, 525);
    Frame6 = new QFrame(Frame1);
    setupContainer(Frame6, "Frame6", 90, 4050, 1995, 525);
}

void Form1::buildCells()
{
    using namespace periodictable;
    const QFont symbolFont = fonts::Font(fonts::MsSansSerif, 9.75, true);
    for (int Z = 1; Z <= 109; ++Z) {
        QFrame *cell = fmePTElement.create(Z, Frame1);
        const QPoint at = CellTwips(Z);
        setupCell(cell, at.x(), at.y(), CellWidth, CellHeight, IsBlueCell(Z) ? BlueCellBgr : GreyCellBgr);

        Label *symbol = ElementSelectionLabel.create(Z, cell);
        setupLabel(symbol, 45, 90, 405, 300, Qt::AlignHCenter, symbolFont, Size::Fixed, QStringLiteral("H"));
    }
}

void Form1::buildGroupHeadings()
{
    struct Heading {
        const char *caption;
        int left, top, width;
    };
    static constexpr Heading headings[] = {
        {"1A", 180, 180, 315},  {"2A", 690, 600, 315},   {"3B", 1230, 1500, 345}, {"4B", 1710, 1500, 315},
        {"5B", 2220, 1500, 315}, {"6B", 2730, 1500, 315}, {"7B", 3240, 1500, 315}, {"8B", 3750, 1500, 315},
        {"8B", 4260, 1500, 315}, {"8B", 4770, 1500, 315}, {"1B", 5280, 1500, 315}, {"2B", 5790, 1500, 315},
        {"3A", 6270, 630, 345},  {"4A", 6810, 630, 315},  {"5A", 7320, 630, 315},  {"6A", 7830, 630, 315},
        {"7A", 8340, 630, 315},  {"8A", 8850, 180, 315},
    };
    static_assert(std::size(headings) == 18);
    const QFont font = fonts::DefaultFont();
    for (int i = PTGroupsLabel.first(); i <= PTGroupsLabel.last(); ++i) {
        const Heading &h = headings[i];
        setupLabel(PTGroupsLabel.create(i, Frame1), h.left, h.top, h.width, 195, Qt::AlignHCenter, font,
                   Size::Fixed, QString::fromLatin1(h.caption));
    }
}

void Form1::buildSeriesBoxes()
{
    const QFont font = fonts::DefaultFont();
    Label *lanthanides = Label1.create(10, Frame2);
    setupLabel(lanthanides, 195, 210, 1605, 195, Qt::AlignRight, font, Size::Auto,
               QStringLiteral("Série dos Lantanídeos"));
    lanthanides->setForeColor(FromBgr(Blue));

    Label *actinides = Label1.create(11, Frame6);
    setupLabel(actinides, 510, 210, 1290, 195, Qt::AlignRight, font, Size::Auto,
               QStringLiteral("Série dos Actínios"));
    actinides->setForeColor(FromBgr(Blue));
}

void Form1::buildLookupBlock()
{
    const QFont bold = boldHeading();
    const QFont plain = fonts::DefaultFont();
    const QColor heading = FromBgr(LightOrange);

    Text3 = new TextBox(Frame1);
    Text3->setObjectName(QStringLiteral("Text3"));
    setupBox(Text3, 7080, 3150, 555, 255, QStringLiteral("Z"), heading, bold, Qt::AlignHCenter, Access::ReadOnly);
    Text2 = new TextBox(Frame1);
    Text2->setObjectName(QStringLiteral("Text2"));
    setupBox(Text2, 7620, 3150, 555, 255, QStringLiteral("Simb"), heading, bold, Qt::AlignHCenter, Access::ReadOnly);
    Text1 = new TextBox(Frame1);
    Text1->setObjectName(QStringLiteral("Text1"));
    setupBox(Text1, 8160, 3150, 1095, 255, QStringLiteral("Nome"), heading, bold, Qt::AlignHCenter, Access::ReadOnly);

    ElementText1 = new TextBox(Frame1);
    ElementText1->setObjectName(QStringLiteral("ElementText1"));
    setupBox(ElementText1, 7080, 3390, 555, 255, QString(), SystemWindowBackground(), plain, Qt::AlignRight,
             Access::Editable);
    ElementText2 = new TextBox(Frame1);
    ElementText2->setObjectName(QStringLiteral("ElementText2"));
    setupBox(ElementText2, 7620, 3390, 555, 255, QString(), SystemWindowBackground(), plain, Qt::AlignLeft,
             Access::Editable);
    ElementText3 = new TextBox(Frame1);
    ElementText3->setObjectName(QStringLiteral("ElementText3"));
    setupBox(ElementText3, 8160, 3390, 1095, 255, QString(), FromBgr(LightGrey), plain, Qt::AlignLeft,
             Access::ReadOnly);
    // A few element names (Praseodymium, Rutherfordium) need more room than
    // the box has: they are drawn smaller, to show whole.
    static_cast<TextBox *>(ElementText3)->setShrinkToFit(true);
}

void Form1::buildContactLabels()
{
    Label3 = new Label(Frame1);
    Label3->setObjectName(QStringLiteral("Label3"));
    setupLabel(Label3, 1620, 540, 4095, 435, Qt::AlignLeft, fonts::Font(fonts::MsSansSerif, 18), Size::Fixed,
               contact::WebCaption());
    Label3->setOpaque(true);

    Label *mail = Label2.create(1, Frame1);
    setupLabel(mail, 5160, 3300, 1650, 195, Qt::AlignLeft, fonts::Font(fonts::MsSansSerif, 8.25, true), Size::Auto,
               contact::Email());
}

void Form1::buildSelectionFrame()
{
    ElementSelShape = new SelectionShape(Frame1);
    ElementSelShape->setObjectName(QStringLiteral("ElementSelShape"));
    place(ElementSelShape, 585, 825, 525, 465); // around cell 4
    ElementSelShape->raise();
}

void Form1::buildDetailPanel()
{
    QFrame *large = fmePTElement.create(0, Frame3);
    setupCell(large, 135, 240, 1365, 1305, PaleBlue);

    const QFont plain = fonts::DefaultFont();
    struct Value {
        int index, left, top, width, height;
        Qt::Alignment align;
        QFont font;
        const char16_t *caption;
    };
    const Value values[] = {
        {1, 90, 30, 180, 360, Qt::AlignLeft, fonts::Font(fonts::MsSansSerif, 13.5, true), u"2"},
        {2, 60, 420, 645, 555, Qt::AlignLeft, fonts::Font(fonts::MsSansSerif, 24, true), u"He"},
        {3, 60, 1050, 480, 195, Qt::AlignLeft, plain, u"Helium"},
        {4, 690, 60, 585, 195, Qt::AlignRight, plain, u"4.00260"},
        {7, 780, 240, 495, 165, Qt::AlignRight, plain, u"0.1787"},
        {9, 750, 420, 525, 195, Qt::AlignRight, plain, u"ancient"},
        {5, 960, 615, 315, 195, Qt::AlignRight, plain, u"-272"},
        {6, 960, 780, 315, 195, Qt::AlignRight, plain, u"-269"},
        {8, 1230, 990, 45, 195, Qt::AlignRight, plain, u"-"},
    };
    for (const Value &v : values)
        setupLabel(PTLabel.create(v.index, large), v.left, v.top, v.width, v.height, v.align, v.font, Size::Auto,
                   QString::fromUtf16(v.caption));
    setupLabel(PTLabel.create(10, Frame3), 675, 1590, 285, 195, Qt::AlignHCenter, plain, Size::Auto,
               QStringLiteral("1s2"));

    struct Caption {
        int index, left, top, width, height;
        const char16_t *caption;
    };
    const Caption captions[] = {
        {3, 1605, 295, 1620, 195, u"massa atômica (u.m.a.)"},
        {4, 1605, 480, 1755, 195, u"densidade 300K (g/cm  )"},
        {6, 1605, 660, 1575, 195, u"ano de descobrimento"},
        {7, 1605, 840, 1365, 195, u"ponto de fusão (\u00BAC)"},
        {8, 1605, 1020, 1575, 195, u"ponto de ebulição (\u00BAC)"},
        {9, 1605, 1230, 1440, 195, u"% na crosta terrestre"},
    };
    for (const Caption &c : captions)
        setupLabel(Label1.create(c.index, Frame3), c.left, c.top, c.width, c.height, Qt::AlignLeft, plain,
                   Size::Auto, QString::fromUtf16(c.caption));
    // The raised "3" of "cm3", in the gap that Label1(4) leaves for it.
    setupLabel(Label1.create(5, Frame3), 3240, 450, 75, 165, Qt::AlignLeft, fonts::Font(fonts::SmallFonts, 6.75),
               Size::Auto, QStringLiteral("3"));
}

void Form1::buildLineGrid()
{
    const QFont bold = boldHeading();
    const QColor heading = FromBgr(LightOrange);
    constexpr int height = 255;
    // The energy and escape boxes hold nothing but digits, a decimal
    // separator, a minus sign or "-", which the face draws the same whether
    // the text is shaped or not (no ligatures, no kerning among them). Left
    // unshaped, the sixteen boxes that every element change rewrites take
    // half the time to lay out their texts.
    QFont figures = fonts::DefaultFont();
    figures.setStyleStrategy(QFont::PreferNoShaping);

    struct Column {
        int left, width;
    };
    // Name, energy and escape columns of the left and of the right group.
    constexpr Column leftGroup[3] = {{90, 615}, {690, 1095}, {1770, 1095}};
    constexpr Column rightGroup[3] = {{2880, 615}, {3480, 1095}, {4560, 1095}};

    auto makeRow = [&](ControlArray<QLineEdit, 0, 2> &row, const Column (&cols)[3], int top, const QString &name) {
        setupBox(row.create<TextBox>(0, Frame4), cols[0].left, top, cols[0].width, height, name, heading, bold,
                 Qt::AlignHCenter, Access::ReadOnly);
        setupBox(row.create<TextBox>(1, Frame4), cols[1].left, top, cols[1].width, height, QString(),
                 FromBgr(Silver), figures, Qt::AlignRight, Access::ReadOnly);
        setupBox(row.create<TextBox>(2, Frame4), cols[2].left, top, cols[2].width, height, QString(),
                 FromBgr(LightGrey), figures, Qt::AlignRight, Access::ReadOnly);
    };

    const char *titles[] = {"Linha", "Energia", "Escape"};
    for (int i = 0; i < 3; ++i) {
        setupBox(PTTitleText.create<TextBox>(i, Frame4), leftGroup[i].left, 270, leftGroup[i].width, height,
                 QString::fromLatin1(titles[i]), heading, bold, Qt::AlignHCenter, Access::ReadOnly);
        setupBox(PTTitleText.create<TextBox>(i + 3, Frame4), rightGroup[i].left, 270, rightGroup[i].width, height,
                 QString::fromLatin1(titles[i]), heading, bold, Qt::AlignHCenter, Access::ReadOnly);
    }

    makeRow(PTLineKa1, leftGroup, 510, QStringLiteral("Ka1"));
    makeRow(PTLineKa2, leftGroup, 750, QStringLiteral("Ka2"));
    makeRow(PTLineKb, leftGroup, 990, QStringLiteral("Kb"));
    makeRow(PTLineLa1, leftGroup, 1230, QStringLiteral("La1"));
    makeRow(PTLineLa2, leftGroup, 1470, QStringLiteral("La2"));
    makeRow(PTLineLb1, rightGroup, 510, QStringLiteral("Lb1"));
    makeRow(PTLineLb2, rightGroup, 750, QStringLiteral("Lb2"));
    makeRow(PTLineLg1, rightGroup, 990, QStringLiteral("Lg1"));

    // An empty bar across the right group, never written.
    setupBox(Text4.create<TextBox>(0, Frame4), 2880, 1230, 2775, height, QString(), heading, bold, Qt::AlignHCenter,
             Access::ReadOnly);

    makeRow(PTLineSiScapeText, rightGroup, 1470, QStringLiteral("* Si *"));
    PTLineSiScapeText(2)->setText(QStringLiteral("-"));
    PTLineSiScapeText(2)->setAlignment(Qt::AlignHCenter | Qt::AlignVCenter);
}

void Form1::buildMenus()
{
    auto named = [](QAction *a, const char *name) {
        a->setObjectName(QString::fromLatin1(name));
        return a;
    };

    mnuFile = menuBar()->addMenu(QStringLiteral("&Arquivo"));
    mnuFile->setObjectName(QStringLiteral("mnuFile"));
    mnuFile->menuAction()->setObjectName(QStringLiteral("mnuFile"));
    mnuTranslate = named(mnuFile->addAction(QStringLiteral("English &Version")), "mnuTranslate");
    mnusep1 = named(mnuFile->addSeparator(), "mnusep1");
    mnuExit = named(mnuFile->addAction(QStringLiteral("&Sair")), "mnuExit");

    mnuTools = menuBar()->addMenu(QString());
    mnuTools->setObjectName(QStringLiteral("mnuTools"));
    mnuTools->menuAction()->setObjectName(QStringLiteral("mnuTools"));
    mnuOpenSpectrum = named(mnuTools->addAction(QString()), "mnuOpenSpectrum");
    mnuOpenSpectrum->setShortcut(QKeySequence::Open);
    mnuFindLines = named(mnuTools->addAction(QString()), "mnuFindLines");
    mnuFindLines->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_L));
    retranslateToolsMenu();

    mnuHelp = menuBar()->addMenu(QStringLiteral("&Ajuda"));
    mnuHelp->setObjectName(QStringLiteral("mnuHelp"));
    mnuHelp->menuAction()->setObjectName(QStringLiteral("mnuHelp"));
    mnuReadMe = named(mnuHelp->addAction(QStringLiteral("&Leiame")), "mnuReadMe");
    mnusep0 = named(mnuHelp->addSeparator(), "mnusep0");
    mnuAbout = named(mnuHelp->addAction(QStringLiteral("&Sobre")), "mnuAbout");
}

// The Tools menu is not in the caption table: its texts follow the
// translator, on every language change.
void Form1::retranslateToolsMenu()
{
    mnuTools->setTitle(tr("&Tools"));
    mnuOpenSpectrum->setText(tr("&Open spectrum..."));
    mnuFindLines->setText(tr("&Find lines by energy..."));
}

void Form1::setFocusOrder()
{
    // Only the two search boxes take the focus from the keyboard; the number
    // box holds it when the window opens.
    setTabOrder(ElementText1, ElementText2);
    ElementText1->setFocus(Qt::OtherFocusReason);
}
