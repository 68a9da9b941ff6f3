// The contact links: web site and e-mail. The desktop opens the targets; a
// failure shows nothing. Hover colours change on each move, with no tracking
// of the pointer leaving a link: only a move over Frame1's free area turns
// them black again.
#include "form1.h"

#include "secondary/contact.h"
#include "uicommon/colors.h"

#include <QDesktopServices>

namespace {
constexpr quint32 HoverBlue = 0x00FF0000;
constexpr quint32 RestBlack = 0x00000000;
} // namespace

// Opens the author's web site.
void Form1::Label3_Click() { QDesktopServices::openUrl(contact::WebTarget()); }

// Opens a new e-mail message to the author.
void Form1::Label2_Click(int /*index*/) { QDesktopServices::openUrl(contact::MailTarget()); }

// Turns the web link blue.
void Form1::Label3_MouseMove() { Label3->setForeColor(FromBgr(HoverBlue)); }

// Turns the e-mail link blue.
void Form1::Label2_MouseMove(int /*index*/) { Label2(1)->setForeColor(FromBgr(HoverBlue)); }

// Turns both links black again.
void Form1::Frame1_MouseMove()
{
    Label2(1)->setForeColor(FromBgr(RestBlack));
    Label3->setForeColor(FromBgr(RestBlack));
}
