// Both languages stay complete: every text of language/zandor_pt_BR.ts has
// its Portuguese, finished, with the places (%1, %n) of its English; and
// the file holds every tr() text of the sources as they are now (lupdate
// run into a copy of it adds nothing unfinished).
#include <QtTest>

#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <QXmlStreamReader>

namespace {

const QString TsFile = QStringLiteral(ZANDOR_SOURCE_DIR "/language/zandor_pt_BR.ts");

struct Message {
    QString context;
    QString source;
    QString type; // of its translation: "", "unfinished", "vanished", "obsolete"
    QStringList translations; // one, or the numerus forms
};

QList<Message> readTs(const QString &path, QString *error)
{
    QList<Message> messages;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = file.errorString();
        return messages;
    }
    QXmlStreamReader xml(&file);
    QString context;
    Message m;
    while (!xml.atEnd()) {
        xml.readNext();
        if (!xml.isStartElement())
            continue;
        const auto name = xml.name();
        if (name == u"name")
            context = xml.readElementText();
        else if (name == u"message")
            m = Message{context, {}, {}, {}};
        else if (name == u"source")
            m.source = xml.readElementText();
        else if (name == u"translation") {
            m.type = xml.attributes().value(QLatin1String("type")).toString();
            // Plain text, or numerus forms inside.
            QString text;
            while (!(xml.isEndElement() && xml.name() == u"translation") && !xml.atEnd()) {
                xml.readNext();
                if (xml.isCharacters())
                    text += xml.text();
                else if (xml.isStartElement() && xml.name() == u"numerusform")
                    m.translations << xml.readElementText();
            }
            if (m.translations.isEmpty())
                m.translations << text;
            messages << m;
        }
    }
    if (xml.hasError())
        *error = xml.errorString();
    return messages;
}

QSet<QString> places(const QString &text)
{
    QSet<QString> found;
    const QRegularExpression place(QStringLiteral("%([1-9]|n)"));
    for (auto it = place.globalMatch(text); it.hasNext();)
        found << it.next().captured();
    return found;
}

QString describe(const Message &m) { return m.context + u": "_qs + m.source.left(80); }

// What is missing from `messages`: unfinished, empty, or with other places.
QStringList problems(const QList<Message> &messages)
{
    QStringList found;
    for (const Message &m : messages) {
        if (!m.type.isEmpty()) {
            found << m.type + u": "_qs + describe(m);
            continue;
        }
        for (const QString &t : m.translations) {
            if (t.trimmed().isEmpty())
                found << u"empty: "_qs + describe(m);
            // A plural form may leave out %n ("Este arquivo ...").
            QSet<QString> expected = places(m.source), got = places(t);
            if (m.translations.size() > 1) {
                expected.remove(u"%n"_qs);
                got.remove(u"%n"_qs);
            }
            if (got != expected)
                found << u"other places: "_qs + describe(m) + u" / "_qs + t.left(80);
        }
    }
    return found;
}

} // namespace

class TestTranslations : public QObject {
    Q_OBJECT

private slots:
    // The file as it is: every text translated.
    void complete()
    {
        QString error;
        const QList<Message> messages = readTs(TsFile, &error);
        QVERIFY2(error.isEmpty(), qPrintable(error));
        QVERIFY(messages.size() > 100);
        const QStringList found = problems(messages);
        QVERIFY2(found.isEmpty(), qPrintable(found.join(u'\n')));
    }

    // The file against the sources: lupdate finds no text it lacks.
    void upToDate()
    {
        if (!QFile::exists(QStringLiteral(ZANDOR_LUPDATE)) || !QFile::exists(QStringLiteral(ZANDOR_LUPDATE_LIST)))
            QSKIP("lupdate or its list of sources is not there");
        QTemporaryDir scratch;
        QVERIFY(scratch.isValid());
        const QString copy = scratch.filePath(u"zandor_pt_BR.ts"_qs);
        QVERIFY(QFile::copy(TsFile, copy));
        QFile::setPermissions(copy, QFile::ReadOwner | QFile::WriteOwner);
        QProcess lupdate;
        lupdate.setProcessChannelMode(QProcess::MergedChannels);
        lupdate.start(QStringLiteral(ZANDOR_LUPDATE),
                      {u"-no-obsolete"_qs, u"-locations"_qs, u"none"_qs, u"-silent"_qs,
                       u"@"_qs + QStringLiteral(ZANDOR_LUPDATE_LIST), u"-ts"_qs, copy});
        QVERIFY(lupdate.waitForFinished(120000));
        QVERIFY2(lupdate.exitStatus() == QProcess::NormalExit && lupdate.exitCode() == 0,
                 lupdate.readAll().constData());
        QString error;
        const QList<Message> messages = readTs(copy, &error);
        QVERIFY2(error.isEmpty(), qPrintable(error));
        QStringList found = problems(messages);
        // Also what the file holds that the sources no longer give.
        const QList<Message> before = readTs(TsFile, &error);
        QSet<QString> now;
        for (const Message &m : messages)
            now << m.context + u'\n' + m.source;
        for (const Message &m : before)
            if (!now.contains(m.context + u'\n' + m.source))
                found << u"no longer in the sources: "_qs + describe(m);
        QVERIFY2(found.isEmpty(),
                 qPrintable(u"run `cmake --build build --target update_translations` and translate:\n"_qs
                            + found.join(u'\n')));
    }
};

QTEST_GUILESS_MAIN(TestTranslations)
#include "tst_translations.moc"
