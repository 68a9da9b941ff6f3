// The main window: the periodic table, the element detail panel, the X-ray
// line grid, the lookup boxes and the menus.
//
// Every control is a public member named as in the window definition, so the
// handlers (each in its own file) address them by name and index. The layout
// is built in form1_layout.cpp; form1_events.cpp is the one place that routes
// Qt's signals and events to the handlers below.
#pragma once

#include "controlarray.h"
#include "label.h"

#include <QHash>
#include <QMainWindow>
#include <QPointer>

#include <utility>

class QAction;
class QCloseEvent;
class QFrame;
class QGroupBox;
class QLineEdit;
class QMenu;
class QMouseEvent;
class Form2;
class Form3;

class Form1 : public QMainWindow {
    Q_OBJECT

public:
    explicit Form1(QWidget *parent = nullptr);
    ~Form1() override;

    // --- Controls ---------------------------------------------------------
    QFrame *Frame1 = nullptr;    // periodic table
    QFrame *Frame2 = nullptr;    // lanthanide series box (in Frame1)
    QFrame *Frame3 = nullptr;    // detail panel
    QGroupBox *Frame4 = nullptr; // X-ray line grid, with caption
    QFrame *Frame6 = nullptr;    // actinide series box (in Frame1)

    // Index Z = 1..109: the cell of element Z (in Frame1); index 0: the large
    // cell of the detail panel (in Frame3).
    ControlArray<QFrame, 0, 109> fmePTElement{"fmePTElement"};
    ControlArray<Label, 1, 109> ElementSelectionLabel{"ElementSelectionLabel"};
    ControlArray<Label, 1, 10> PTLabel{"PTLabel"};
    ControlArray<Label, 0, 17> PTGroupsLabel{"PTGroupsLabel"};
    ControlArray<QLineEdit, 0, 5> PTTitleText{"PTTitleText"};
    ControlArray<Label, 3, 11> Label1{"Label1"};
    ControlArray<Label, 1, 1> Label2{"Label2"};
    Label *Label3 = nullptr;
    ControlArray<QLineEdit, 0, 0> Text4{"Text4"};

    // The line grid rows: index 0 line name, 1 energy, 2 escape energy.
    ControlArray<QLineEdit, 0, 2> PTLineKa1{"PTLineKa1"};
    ControlArray<QLineEdit, 0, 2> PTLineKa2{"PTLineKa2"};
    ControlArray<QLineEdit, 0, 2> PTLineKb{"PTLineKb"};
    ControlArray<QLineEdit, 0, 2> PTLineLa1{"PTLineLa1"};
    ControlArray<QLineEdit, 0, 2> PTLineLa2{"PTLineLa2"};
    ControlArray<QLineEdit, 0, 2> PTLineLb1{"PTLineLb1"};
    ControlArray<QLineEdit, 0, 2> PTLineLb2{"PTLineLb2"};
    ControlArray<QLineEdit, 0, 2> PTLineLg1{"PTLineLg1"};
    ControlArray<QLineEdit, 0, 2> PTLineSiScapeText{"PTLineSiScapeText"};

    QLineEdit *ElementText1 = nullptr; // atomic number entry
    QLineEdit *ElementText2 = nullptr; // symbol entry
    QLineEdit *ElementText3 = nullptr; // name display
    QLineEdit *Text1 = nullptr;        // heading "Nome"
    QLineEdit *Text2 = nullptr;        // heading "Simb"
    QLineEdit *Text3 = nullptr;        // heading "Z"

    QWidget *ElementSelShape = nullptr; // red selection frame (in Frame1)

    QMenu *mnuFile = nullptr;
    QAction *mnuTranslate = nullptr;
    QAction *mnusep1 = nullptr;
    QAction *mnuExit = nullptr;
    // Tools: the spectrum and finder windows. Its texts go through tr().
    QMenu *mnuTools = nullptr;
    QAction *mnuOpenSpectrum = nullptr;
    QAction *mnuFindLines = nullptr;
    QMenu *mnuHelp = nullptr;
    QAction *mnuReadMe = nullptr;
    QAction *mnusep0 = nullptr;
    QAction *mnuAbout = nullptr;

    // --- State ------------------------------------------------------------
    double SiEscapeEnergy = 0;  // eV, set once by Form1_Load
    bool SearchBusy = false;    // true while a search box handler runs

    // The read-me and About windows, created on demand.
    QPointer<Form2> form2;
    QPointer<Form3> form3;

    // --- Operations and handlers -------------------------------------------
    // Start-up: loads the data, computes the silicon escape energy, writes
    // the symbols and the title. False after a load failure was reported.
    bool Form1_Load();                                  // form1_load.cpp

    void ViewElement(int Z);                            // viewelement.cpp

    void ElementSelectionLabel_MouseMove(int index);    // pointerselection.cpp

    // Shows element Z as pointing at its cell does: the selection frame
    // moves around the cell and the panels show the element.
    void showElement(int Z);                            // pointerselection.cpp

    void ElementText1_Change();                         // searchboxes.cpp
    void ElementText2_Change();
    void ElementText1_GotFocus();
    void ElementText2_GotFocus();

    void mnuTranslate_Click();                          // translate.cpp

    void mnuReadMe_Click();                             // helpmenu.cpp
    void mnuAbout_Click();

    void Label3_Click();                                // links.cpp
    void Label2_Click(int index);
    void Label3_MouseMove();
    void Label2_MouseMove(int index);
    void Frame1_MouseMove();

    void mnuExit_Click();                               // exit.cpp

signals:
    // The element on show changed by pointer selection (or showElement).
    // The other windows follow the table through this signal alone.
    void elementShown(int Z);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void changeEvent(QEvent *event) override;         // form1_events.cpp
    bool event(QEvent *event) override;               // form1_events.cpp
    void closeEvent(QCloseEvent *event) override;     // exit.cpp

private:
    // form1_layout.cpp
    void buildWindow();
    void buildFrames(QWidget *client);
    void buildCells();
    void buildGroupHeadings();
    void buildSeriesBoxes();
    void buildLookupBlock();
    void buildContactLabels();
    void buildSelectionFrame();
    void buildDetailPanel();
    void buildLineGrid();
    void buildMenus();
    void retranslateToolsMenu();
    void setFocusOrder();

    // viewelement.cpp
    void fitFootRow();
    QHash<std::pair<QString, QString>, int> footRowSteps_; // steps by name and share shown

    // form1_events.cpp
    void connectEvents();
    bool tableMouseMove(QWidget *receiver, QMouseEvent *event);
    void dispatchMoveAt(QWidget *target);

    QWidget *pressedLink_ = nullptr; // contact label a left-button press started on
    int shownByPointer_ = 0;          // element last announced by elementShown
};
