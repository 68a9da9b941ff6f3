#include "form3.h"

#include "contact.h"
#include "uicommon/colors.h"
#include "uicommon/fonts.h"
#include "uicommon/twips.h"

#include <QStringList>
#include <QTextEdit>

namespace {
// Client area, in twips.
constexpr int ClientWidth = 4680;
constexpr int ClientHeight = 3120;

constexpr quint32 White = 0x00FFFFFF;

void setWhite(QWidget *w, QPalette::ColorRole role)
{
    QPalette p = w->palette();
    for (QPalette::ColorGroup g : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
        p.setColor(g, role, FromBgr(White));
    w->setPalette(p);
}
} // namespace

Form3::Form3(QWidget *parent)
    : QWidget(parent, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
{
    setObjectName(QStringLiteral("Form3"));
    setWindowTitle(QStringLiteral("About"));
    setAttribute(Qt::WA_DeleteOnClose);
    setFont(fonts::DefaultFont());
    setWhite(this, QPalette::Window);
    setAutoFillBackground(true);
    setFixedSize(tw(ClientWidth), tw(ClientHeight));

    // Drawn flat and without a border, the box reads as plain text on the
    // window. Every line is centred, also lines the user types.
    Text1 = new QTextEdit(this);
    Text1->setObjectName(QStringLiteral("Text1"));
    Text1->setGeometry(twRect(120, 90, 4455, 3015));
    Text1->setFrameShape(QFrame::NoFrame);
    Text1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Text1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Text1->setAcceptRichText(false);
    Text1->setLineWrapMode(QTextEdit::WidgetWidth);
    Text1->document()->setDocumentMargin(0);
    QTextOption centred = Text1->document()->defaultTextOption();
    centred.setAlignment(Qt::AlignHCenter);
    Text1->document()->setDefaultTextOption(centred);
    setWhite(Text1, QPalette::Base);
}

QString AboutText()
{
    QStringList lines{
        QStringLiteral("Zandor v4 (2007)"),
        QString(),
        contact::AuthorName(),
        contact::Email(),
        contact::WebCaption(),
        QString(),
    };
    for (const contact::Institution &i : contact::Institutions)
        lines << QString::fromUtf8(i.name) << QString::fromUtf8(i.web);
    return lines.join(QLatin1String("\r\n"));
}
