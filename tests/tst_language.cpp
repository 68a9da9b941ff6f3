// The language switch: every caption in both languages, the texts a switch
// back leaves different from start-up, the raised "3", the reload of the
// element data, and what a switch leaves alone.
#include "data/db.h"
#include "mainwindowfixture.h"
#include "uicommon/twips.h"

#include <QtTest>

#include <QAction>
#include <QGroupBox>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>

using testsupport::wholeTable;

namespace {

// A caption or text by control name; "Form1" is the window title.
QString textOf(Form1 &w, const QString &name)
{
    if (name == QLatin1String("Form1"))
        return w.windowTitle();
    if (auto *m = w.findChild<QMenu *>(name))
        return m->title();
    for (QObject *o : w.findChildren<QObject *>(name)) {
        if (auto *l = qobject_cast<QLabel *>(o))
            return l->text();
        if (auto *e = qobject_cast<QLineEdit *>(o))
            return e->text();
        if (auto *g = qobject_cast<QGroupBox *>(o))
            return g->title();
        if (auto *a = qobject_cast<QAction *>(o))
            return a->text();
    }
    return QStringLiteral("<no control %1>").arg(name);
}

QString name(int Z) { return QString::fromLatin1(db::ElementTable(Z, 3)); }

} // namespace

class TestLanguage : public QObject, private MainWindowFixture {
    Q_OBJECT

private slots:
    void init()
    {
        recordReports();
        QVERIFY(makeScratchDir());
        QVERIFY(loadWindow());
    }
    void cleanup() { stop(); }

    // At start-up, after the first switch and after the second.
    void captions_data()
    {
        QTest::addColumn<QString>("control");
        QTest::addColumn<QString>("startup");
        QTest::addColumn<QString>("english");
        QTest::addColumn<QString>("portuguese");
        auto row = [](const char *control, const QString &startup, const QString &english, const QString &portuguese) {
            QTest::newRow(control) << QString::fromLatin1(control) << startup << english << portuguese;
        };
        auto both = [&](const char *control, const QString &portuguese, const QString &english) {
            row(control, portuguese, english, portuguese);
        };
        both("mnuTranslate", u"English &Version"_qs, u"&Vers\u00E3o em Portugu\u00EAs"_qs);
        both("mnuAbout", u"&Sobre"_qs, u"&About"_qs);
        both("mnuExit", u"&Sair"_qs, u"E&xit"_qs);
        both("mnuFile", u"&Arquivo"_qs, u"&File"_qs);
        both("mnuHelp", u"&Ajuda"_qs, u"&Help"_qs);
        both("mnuReadMe", u"&Leiame"_qs, u"&Readme"_qs);
        row("Form1", u"Zandor v4"_qs, u"Zandor v2.1 (english version)"_qs, u"Zandor v3.1"_qs);
        both("Label1(3)", u"massa at\u00F4mica (u.m.a.)"_qs, u"atomic mass (amu)"_qs);
        both("Label1(4)", u"densidade 300K (g/cm  )"_qs, u"density 300K (g/cm  )"_qs);
        both("Label1(6)", u"ano de descobrimento"_qs, u"discovery year"_qs);
        both("Label1(7)", u"ponto de fus\u00E3o (\u00BAC)"_qs, u"melting point (\u00BAC)"_qs);
        both("Label1(8)", u"ponto de ebuli\u00E7\u00E3o (\u00BAC)"_qs, u"boiling point (\u00BAC)"_qs);
        both("Label1(9)", u"% na crosta terrestre"_qs, u"% earth crust"_qs);
        both("Text2", u"Simb"_qs, u"Symb"_qs);
        both("Text1", u"Nome"_qs, u"Name"_qs);
        row("Frame4", u"Linhas de raios-X correspondentes - (eV) "_qs, u"X-ray lines energy (eV)"_qs,
            u"Linhas de raios-X correspondentes (eV)"_qs);
        both("Label1(10)", u"S\u00E9rie dos Lantan\u00EDdeos"_qs, u"Lanthanide series"_qs);
        row("Label1(11)", u"S\u00E9rie dos Act\u00EDnios"_qs, u"Actinide series"_qs, u"S\u00E9rie dos Actin\u00EDnios"_qs);
        both("PTTitleText(0)", u"Linha"_qs, u"Line"_qs);
        both("PTTitleText(1)", u"Energia"_qs, u"Energy"_qs);
        both("PTTitleText(3)", u"Linha"_qs, u"Line"_qs);
        both("PTTitleText(4)", u"Energia"_qs, u"Energy"_qs);
        // Not in the caption table: the Tools menu follows the translator.
        both("mnuTools", u"&Ferramentas"_qs, u"&Tools"_qs);
        both("mnuOpenSpectrum", u"&Abrir espectro..."_qs, u"&Open spectrum..."_qs);
        both("mnuFindLines", u"&Localizar linhas por energia..."_qs, u"&Find lines by energy..."_qs);
        // Neither in the table nor translated.
        both("PTTitleText(5)", u"Escape"_qs, u"Escape"_qs);
        both("Text3", u"Z"_qs, u"Z"_qs);
        both("Label1(5)", u"3"_qs, u"3"_qs);
    }

    void captions()
    {
        QFETCH(QString, control);
        QFETCH(QString, startup);
        QFETCH(QString, english);
        QFETCH(QString, portuguese);
        QCOMPARE(textOf(*w, control), startup);
        w->mnuTranslate_Click();
        QCOMPARE(textOf(*w, control), english);
        w->mnuTranslate_Click();
        QCOMPARE(textOf(*w, control), portuguese);
    }

    // Tools stands between File and Help; the seed's menus keep their
    // items in their order, none with a shortcut.
    void menuBar()
    {
        QStringList titles;
        for (QAction *a : w->menuBar()->actions())
            titles << a->objectName();
        QCOMPARE(titles, (QStringList{u"mnuFile"_qs, u"mnuTools"_qs, u"mnuHelp"_qs}));
        auto items = [](QMenu *m) {
            QStringList names;
            for (QAction *a : m->actions()) {
                names << a->objectName();
                if (a->menu() == nullptr && !a->isSeparator() && m->objectName() != u"mnuTools")
                    names << a->shortcut().toString();
            }
            return names;
        };
        QCOMPARE(items(w->mnuFile), (QStringList{u"mnuTranslate"_qs, QString(), u"mnusep1"_qs, u"mnuExit"_qs, QString()}));
        QCOMPARE(items(w->mnuHelp), (QStringList{u"mnuReadMe"_qs, QString(), u"mnusep0"_qs, u"mnuAbout"_qs, QString()}));
        QCOMPARE(items(w->mnuTools), (QStringList{u"mnuOpenSpectrum"_qs, u"mnuFindLines"_qs}));
        QCOMPARE(w->mnuOpenSpectrum->shortcut(), QKeySequence(u"Ctrl+O"_qs));
        QCOMPARE(w->mnuFindLines->shortcut(), QKeySequence(u"Ctrl+L"_qs));
    }

    // 3240 twips (216 px) in Portuguese, 2990 twips (199.33, so 199 px) in
    // English, however often the user switches.
    void raisedThreeAlternates()
    {
        const QRect start = w->Label1(5)->geometry();
        QCOMPARE(start.x(), 216);
        for (int i = 0; i < 6; ++i) {
            w->mnuTranslate_Click();
            QCOMPARE(w->Label1(5)->geometry(), start.translated(199 - 216, 0));
            w->mnuTranslate_Click();
            QCOMPARE(w->Label1(5)->geometry(), start);
        }
    }

    void reloadsTheElementTable()
    {
        QCOMPARE(name(26), u"Ferro"_qs);
        w->mnuTranslate_Click();
        QCOMPARE(name(26), u"Iron"_qs);
        w->mnuTranslate_Click();
        QCOMPARE(name(1), u"Hidrog\u00EAnio"_qs);
    }

    // The element on show keeps the previous language; cell symbols, search
    // boxes, selection frame and silicon value stay as they are.
    void leavesTheRestAlone()
    {
        // As a view of iron leaves them.
        w->PTLabel(3)->setCaption(u"Ferro"_qs);
        w->ElementText3->setText(u"Ferro"_qs);
        w->PTLineKa1(1)->setText(u"6403.8"_qs);
        w->ElementSelShape->move(w->ElementSelShape->pos() + QPoint(34, 30));
        auto state = [this] {
            QStringList s;
            for (QWidget *c : w->findChildren<QWidget *>()) {
                if (auto *l = qobject_cast<QLabel *>(c); l && !c->objectName().startsWith(u"Label1("))
                    s << l->text();
                if (auto *e = qobject_cast<QLineEdit *>(c); e && !e->objectName().startsWith(u"PTTitleText")
                                                             && e != w->Text1 && e != w->Text2)
                    s << e->text();
            }
            return s << QString::number(w->ElementSelShape->x()) << QString::number(w->ElementSelShape->y())
                     << QString::number(w->SiEscapeEnergy, 'g', 17);
        };
        const QStringList before = state();
        QVERIFY(before.contains(u"Ferro"_qs));
        w->mnuTranslate_Click();
        QCOMPARE(state(), before);
    }

    // Without elements.inf: the captions switch, no message, the data stay
    // whole Portuguese; the next click switches back.
    void englishEditionMissing()
    {
        QVERIFY(QFile::remove(dir->file("elements.inf")));
        const QStringList portuguese = wholeTable();
        w->mnuTranslate_Click();
        QCOMPARE(w->mnuTranslate->text(), u"&Vers\u00E3o em Portugu\u00EAs"_qs);
        QCOMPARE(w->Label1(3)->text(), u"atomic mass (amu)"_qs);
        QCOMPARE(wholeTable(), portuguese);
        QVERIFY(reports.isEmpty());
        w->mnuTranslate_Click();
        QCOMPARE(w->mnuTranslate->text(), u"English &Version"_qs);
        QCOMPARE(wholeTable(), portuguese);
    }

    // The state is the item's caption, compared exactly. "offers English" in
    // the English state moves the "3" from the exact 2990 twips, not from its
    // pixel.
    void stateIsTheMenuCaption_data()
    {
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("name26");
        QTest::addColumn<int>("threeLeft"); // twips
        QTest::newRow("offers English") << u"English &Version"_qs << u"Iron"_qs << 2740;
        QTest::newRow("no ampersand") << u"English Version"_qs << u"Ferro"_qs << 3240;
        QTest::newRow("letter case") << u"english &version"_qs << u"Ferro"_qs << 3240;
        QTest::newRow("trailing blank") << u"English &Version "_qs << u"Ferro"_qs << 3240;
    }

    void stateIsTheMenuCaption()
    {
        QFETCH(QString, caption);
        QFETCH(QString, name26);
        QFETCH(int, threeLeft);
        w->mnuTranslate_Click();
        w->mnuTranslate->setText(caption);
        w->mnuTranslate_Click();
        QCOMPARE(name(26), name26);
        QCOMPARE(w->Label1(5)->x(), tw(threeLeft));
    }
};

QTEST_MAIN(TestLanguage)
#include "tst_language.moc"
