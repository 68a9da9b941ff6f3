#include "form2.h"

#include "uicommon/ansi.h"
#include "uicommon/fonts.h"
#include "uicommon/twips.h"

#include <QFile>
#include <QPlainTextEdit>

namespace {
// Client area, in twips.
constexpr int ClientWidth = 6555;
constexpr int ClientHeight = 5145;
} // namespace

Form2::Form2(QWidget *parent)
    : QWidget(parent, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
{
    setObjectName(QStringLiteral("Form2"));
    setWindowTitle(QStringLiteral("readme.txt"));
    setAttribute(Qt::WA_DeleteOnClose);
    setFont(fonts::DefaultFont());
    setFixedSize(tw(ClientWidth), tw(ClientHeight));

    // Fills the window but for a 30-twip margin at the top and left; long
    // lines wrap at the box width.
    Text1 = new QPlainTextEdit(this);
    Text1->setObjectName(QStringLiteral("Text1"));
    Text1->setGeometry(twRect(30, 30, 6525, 5115));
    Text1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Text1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Text1->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    Text1->setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    Text1->setFocus(Qt::OtherFocusReason);
}

QString ReadMeText(const QString &path)
{
    QByteArray bytes;
    {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            return QString();
        bytes = file.read(ReadMeMaxBytes + 1);
    } // closed here, before anything is shown
    const bool cut = bytes.size() > ReadMeMaxBytes;
    if (cut)
        bytes.truncate(ReadMeMaxBytes);

    const QString decoded = FromAnsi(std::string_view(bytes.constData(), std::size_t(bytes.size())));
    QString text;
    text.reserve(decoded.size() + decoded.size() / 16 + 4);
    qsizetype start = 0;
    while (start < decoded.size()) {
        qsizetype end = decoded.indexOf(u'\n', start);
        const qsizetype next = end < 0 ? decoded.size() : end + 1;
        if (end < 0)
            end = decoded.size();
        if (end > start && decoded.at(end - 1) == u'\r')
            --end;
        if (end - start > ReadMeMaxLineChars) {
            text += QStringView(decoded).mid(start, ReadMeMaxLineChars - 1);
            text += QChar(CutMark);
        } else {
            text += QStringView(decoded).mid(start, end - start);
        }
        text += QLatin1String("\r\n");
        start = next;
    }
    if (cut) {
        text += QChar(CutMark);
        text += QLatin1String("\r\n");
    }
    return text;
}
