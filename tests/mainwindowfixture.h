// Shared by the tests of the main window: a scratch directory that is the
// working directory while a test runs, holding the data files, and the main
// window started on them as the program starts it. A test class derives
// from it, sets up in init() with the steps it needs and calls stop() in
// cleanup().
#pragma once

#include "mainwindow/form1.h"
#include "testsupport.h"
#include "uicommon/errorreport.h"

#include <QStringList>

#include <memory>

class MainWindowFixture {
public:
    std::unique_ptr<testsupport::ScratchDir> dir;
    std::unique_ptr<Form1> w;
    // The texts of the error messages, once recordReports() was called.
    QStringList reports;

    // The data files a new scratch directory holds.
    enum class Data { Shipped, None };

    // A new scratch directory as the working directory, with a copy of the
    // shipped data files or empty (the test writes its own).
    bool makeScratchDir(Data data = Data::Shipped)
    {
        dir = std::make_unique<testsupport::ScratchDir>();
        return data == Data::None || dir->copyShipped();
    }

    // The main window made and started on the data files of the working
    // directory (Form1_Load); not shown.
    bool loadWindow()
    {
        w = std::make_unique<Form1>();
        return w->Form1_Load();
    }

    // The main window started, shown and exposed (testsupport::startWindow).
    bool startWindow()
    {
        w = testsupport::startWindow();
        return w != nullptr;
    }

    // Collects the error messages in `reports` instead of showing them,
    // until stop().
    void recordReports()
    {
        reports.clear();
        if (!recording_)
            previousReporter_ = SetErrorReporter([this](const QString &, const QString &text) { reports << text; });
        recording_ = true;
    }

    // After each test: the main window closed, then the scratch directory
    // removed and the error messages shown again.
    void stop()
    {
        w.reset();
        dir.reset();
        if (recording_)
            SetErrorReporter(previousReporter_);
        recording_ = false;
    }

private:
    bool recording_ = false;
    ErrorReporter previousReporter_;
};
