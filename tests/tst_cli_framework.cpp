// The command line's frame: dispatch to sub-commands, help and version, the
// option parser, and which arguments open the window instead.
#include "cli/cli.h"
#include "cli/errors.h"
#include "cli/options.h"

#include <QTest>

#include <sstream>

using Args = std::vector<std::string>;
Q_DECLARE_METATYPE(Args)

class TestCliFramework : public QObject {
    Q_OBJECT

private slots:
    void parseArgs_data();
    void parseArgs();
    void badArgs_data();
    void badArgs();
    void quotedKeepsOneLine();
    void quotedPathKeepsTheFileName();
    void topLevel_data();
    void topLevel();
    void commandLineOrWindow_data();
    void commandLineOrWindow();
};

namespace {

const cli::OptionRule Rules[] = {{"--json", false}, {"--beam", true}, {"--elements", true}};

// The parse as one comparable text: positionals, then name=value pairs.
QString describe(const cli::ParsedArgs &parsed)
{
    QStringList parts;
    for (const std::string &p : parsed.positionals)
        parts << QString::fromStdString(p);
    for (const auto &[name, value] : parsed.options)
        parts << QString::fromStdString(name + "=" + value);
    return parts.join(u'|');
}

} // namespace

void TestCliFramework::parseArgs_data()
{
    QTest::addColumn<Args>("args");
    QTest::addColumn<QString>("parsed");
    QTest::newRow("value after the option") << Args{"6.4", "--beam", "20"} << "6.4|--beam=20";
    QTest::newRow("value after =") << Args{"--beam=20", "6.4"} << "6.4|--beam=20";
    QTest::newRow("flag") << Args{"Fe", "--json"} << "Fe|--json=";
    QTest::newRow("negative number is a value") << Args{"-5", "--beam", "-1"} << "-5|--beam=-1";
    QTest::newRow("leading point") << Args{"-.5"} << "-.5";
    QTest::newRow("lone dash is a value") << Args{"-"} << "-";
    QTest::newRow("after --") << Args{"--", "--json", "x"} << "--json|x";
    QTest::newRow("empty value") << Args{"--elements="} << "--elements=";
}

void TestCliFramework::parseArgs()
{
    QFETCH(Args, args);
    QFETCH(QString, parsed);
    QCOMPARE(describe(cli::parseArgs(args, Rules)), parsed);
}

void TestCliFramework::badArgs_data()
{
    QTest::addColumn<Args>("args");
    QTest::addColumn<QString>("message");
    QTest::newRow("unknown") << Args{"--bean", "20"} << "unknown option '--bean'";
    QTest::newRow("twice") << Args{"--beam", "1", "--beam", "2"} << "option '--beam' given more than once";
    QTest::newRow("missing value") << Args{"6.4", "--beam"} << "option '--beam' needs a value";
    QTest::newRow("value to a flag") << Args{"--json=yes"} << "option '--json' takes no value";
    QTest::newRow("short unknown") << Args{"-x"} << "unknown option '-x'";
}

void TestCliFramework::badArgs()
{
    QFETCH(Args, args);
    QFETCH(QString, message);
    try {
        cli::parseArgs(args, Rules);
        QFAIL("no error");
    } catch (const cli::UsageError &e) {
        QCOMPARE(QString::fromUtf8(e.what()), message);
    }
}

void TestCliFramework::quotedKeepsOneLine()
{
    QCOMPARE(QString::fromStdString(cli::quoted("a\nb\tc")), "'a?b?c'");
    const std::string longText(100, 'x');
    QCOMPARE(QString::fromStdString(cli::quoted(longText)), "'" + QString(60, u'x') + "...'");
    // 59 ASCII bytes, then a two-byte character across the cut: it goes whole.
    const std::string accented = std::string(59, 'a') + "\xc3\xa9" + "zz";
    QCOMPARE(QString::fromStdString(cli::quoted(accented)), "'" + QString(59, u'a') + "...'");
}

void TestCliFramework::quotedPathKeepsTheFileName()
{
    QCOMPARE(QString::fromStdString(cli::quotedPath("data/a\nb.bcf")), "'data/a?b.bcf'");
    // A long folder: the file's name at the end stays, the beginning goes.
    const std::string deep = "/usr/lib/python3/dist-packages/hyperspy/tests/io/bruker_data/Nope.bcf";
    QCOMPARE(QString::fromStdString(cli::quotedPath(deep)), "'..." + QString::fromStdString(deep.substr(deep.size() - 60)) + "'");
    // A two-byte character across the cut is left out whole.
    const std::string accented = "zz\xc3\xa9" + std::string(59, 'a');
    QCOMPARE(QString::fromStdString(cli::quotedPath(accented)), "'..." + QString(59, u'a') + "'");
}

void TestCliFramework::topLevel_data()
{
    QTest::addColumn<Args>("args");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("outStarts");
    QTest::addColumn<QString>("err");
    QTest::newRow("--help") << Args{"--help"} << 0 << "Usage: zandor [FILE...]" << "";
    QTest::newRow("-h") << Args{"-h"} << 0 << "Usage: zandor [FILE...]" << "";
    QTest::newRow("help") << Args{"help"} << 0 << "Usage: zandor [FILE...]" << "";
    QTest::newRow("help find") << Args{"help", "find"} << 0 << "Usage: zandor find ENERGY" << "";
    QTest::newRow("find --help") << Args{"find", "--help"} << 0 << "Usage: zandor find ENERGY" << "";
    QTest::newRow("--version") << Args{"--version"} << 0 << "zandor 4.0\n" << "";
    QTest::newRow("unknown") << Args{"fnid", "6.4"} << 2 << ""
                             << "zandor: unknown sub-command 'fnid' (see 'zandor --help')\n";
    QTest::newRow("help unknown") << Args{"help", "fnid"} << 2 << ""
                                  << "zandor: no sub-command 'fnid' (see 'zandor --help')\n";
    QTest::newRow("version with args") << Args{"--version", "x"} << 2 << ""
                                       << "zandor: --version takes no arguments\n";
}

void TestCliFramework::topLevel()
{
    QFETCH(Args, args);
    QFETCH(int, status);
    QFETCH(QString, outStarts);
    QFETCH(QString, err);
    std::ostringstream out, errs;
    QCOMPARE(cli::run(args, out, errs), status);
    QVERIFY2(QString::fromStdString(out.str()).startsWith(outStarts), out.str().c_str());
    QCOMPARE(QString::fromStdString(errs.str()), err);
}

void TestCliFramework::commandLineOrWindow_data()
{
    QTest::addColumn<Args>("args");
    QTest::addColumn<bool>("commandLine");
    QTest::newRow("nothing") << Args{} << false;
    QTest::newRow("sub-command") << Args{"find", "6.4"} << true;
    QTest::newRow("--version") << Args{"--version"} << true;
    QTest::newRow("mistyped sub-command") << Args{"fnid"} << true;
    QTest::newRow("a spectrum file") << Args{"a.msa"} << false;
    QTest::newRow("a path") << Args{"dir/spectrum"} << false;
    QTest::newRow("Qt option") << Args{"-platform", "offscreen"} << false;
    QTest::newRow("existing bare file") << Args{"existing"} << false;
}

void TestCliFramework::commandLineOrWindow()
{
    QFETCH(Args, args);
    QFETCH(bool, commandLine);
    // A file named "existing" in the test's working directory.
    QFile file(QStringLiteral("existing"));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.close();
    std::vector<char *> argv{const_cast<char *>("zandor")};
    for (std::string &a : args)
        argv.push_back(a.data());
    QCOMPARE(cli::wantsCommandLine(int(argv.size()), argv.data()), commandLine);
    file.remove();
}

QTEST_GUILESS_MAIN(TestCliFramework)
#include "tst_cli_framework.moc"
