// The main window's Tools: the spectrum window and the finder window,
// created when first needed and kept while open. Connects them with the
// main window through its Tools menu, its elementShown signal and
// showElement, and takes spectrum files dropped onto the main window.
// Making one costs a few connections: nothing of the windows is built
// before the user asks for them.
#pragma once

#include <QObject>
#include <QPointer>
#include <QStringList>

class FinderWindow;
class Form1;
class SpectrumWindow;

class SpectrumTools : public QObject {
    Q_OBJECT

public:
    explicit SpectrumTools(Form1 *form);
    ~SpectrumTools() override;

    // Opens the files in the spectrum window, making it if need be.
    void openFiles(const QStringList &paths);

    // The windows; made by these calls when they are not open.
    SpectrumWindow *spectrumWindow();
    FinderWindow *finderWindow();
    // The windows if open, null otherwise.
    SpectrumWindow *openSpectrumWindow() const;
    FinderWindow *openFinderWindow() const;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void openWithDialog();

    Form1 *form_;
    QPointer<SpectrumWindow> spectrum_;
    QPointer<FinderWindow> finder_;
};
