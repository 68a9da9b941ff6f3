#include "spectrumtools.h"

#include "finderwindow/finderwindow.h"
#include "mainwindow/form1.h"
#include "spectrumwindow/spectrumfiles.h"
#include "spectrumwindow/spectrumwindow.h"

#include <QAction>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>

namespace {

void bringUp(QWidget *w)
{
    if (!w->isVisible())
        w->show();
    w->raise();
    w->activateWindow();
}

} // namespace

SpectrumTools::SpectrumTools(Form1 *form) : QObject(form), form_(form)
{
    setObjectName(QStringLiteral("SpectrumTools"));
    connect(form->mnuOpenSpectrum, &QAction::triggered, this, &SpectrumTools::openWithDialog);
    connect(form->mnuFindLines, &QAction::triggered, this, [this] { bringUp(finderWindow()); });
    connect(form, &Form1::elementShown, this, [this](int Z) {
        if (spectrum_)
            spectrum_->showElementMarkers(Z);
    });
    form->setAcceptDrops(true);
    form->installEventFilter(this);
}

// The windows have no parent, so that each is a window of its own on the
// desktop; they go with the main window.
SpectrumTools::~SpectrumTools()
{
    delete spectrum_;
    delete finder_;
}

SpectrumWindow *SpectrumTools::openSpectrumWindow() const { return spectrum_; }
FinderWindow *SpectrumTools::openFinderWindow() const { return finder_; }

SpectrumWindow *SpectrumTools::spectrumWindow()
{
    if (spectrum_ && !spectrum_->isVisible()) {
        spectrum_->deleteLater();
        spectrum_ = nullptr;
    }
    if (!spectrum_) {
        spectrum_ = new SpectrumWindow;
        connect(spectrum_, &SpectrumWindow::showElementRequested, form_, &Form1::showElement);
    }
    return spectrum_;
}

FinderWindow *SpectrumTools::finderWindow()
{
    if (finder_ && !finder_->isVisible()) {
        finder_->deleteLater();
        finder_ = nullptr;
    }
    if (!finder_) {
        finder_ = new FinderWindow;
        connect(finder_, &FinderWindow::showElementRequested, form_, &Form1::showElement);
    }
    return finder_;
}

void SpectrumTools::openFiles(const QStringList &paths)
{
    if (paths.isEmpty())
        return;
    SpectrumWindow *w = spectrumWindow();
    bringUp(w);
    w->openFiles(paths);
}

void SpectrumTools::openWithDialog()
{
    const QStringList files = spectrumfiles::askForFiles(form_, SpectrumWindow::tr("Open spectrum"));
    openFiles(files);
}

// Files dropped onto the main window open in the spectrum window; closing
// the main window closes the tool windows, as it does the read-me.
bool SpectrumTools::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == form_) {
        switch (event->type()) {
        case QEvent::DragEnter: {
            auto *drag = static_cast<QDragEnterEvent *>(event);
            if (!spectrumfiles::localPaths(drag->mimeData()).isEmpty()) {
                drag->acceptProposedAction();
                return true;
            }
            break;
        }
        case QEvent::Drop: {
            auto *drop = static_cast<QDropEvent *>(event);
            const QStringList paths = spectrumfiles::localPaths(drop->mimeData());
            if (!paths.isEmpty()) {
                drop->acceptProposedAction();
                openFiles(paths);
                return true;
            }
            break;
        }
        case QEvent::Close:
            if (spectrum_)
                spectrum_->close();
            if (finder_)
                finder_->close();
            break;
        default:
            break;
        }
    }
    return QObject::eventFilter(watched, event);
}
