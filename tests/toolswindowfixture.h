// Shared by the tests of the spectrum tools' windows: the main window with
// its spectrum tools on a scratch copy of the shipped data, the settings
// written to a temporary directory instead of the user's, and the error
// reports collected instead of shown.
#pragma once

#include "app/spectrumtools.h"
#include "mainwindow/form1.h"
#include "testsupport.h"
#include "uicommon/errorreport.h"

#include <QCoreApplication>
#include <QFile>
#include <QSettings>
#include <QStringList>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

class ToolsWindowFixture {
public:
    std::unique_ptr<testsupport::ScratchDir> dir;
    std::unique_ptr<Form1> form;
    SpectrumTools *tools = nullptr; // owned by the main window
    QStringList reports;

    // Once per test program, before any window reads its settings.
    bool useTemporarySettings()
    {
        if (!config_.isValid())
            return false;
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(config_.path()));
        return true;
    }

    // Before each test: cleared settings, the main window shown on the data.
    bool start()
    {
        QSettings(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("zandor"), QStringLiteral("zandor"))
            .clear();
        reports.clear();
        previousReporter_ = SetErrorReporter([this](const QString &, const QString &text) { reports << text; });
        dir = std::make_unique<testsupport::ScratchDir>();
        if (!dir->copyShipped())
            return false;
        form = std::make_unique<Form1>();
        if (!form->Form1_Load())
            return false;
        tools = new SpectrumTools(form.get());
        form->show();
        return QTest::qWaitForWindowExposed(form.get());
    }

    // After each test.
    void stop()
    {
        form.reset(); // takes the tools and their windows along
        tools = nullptr;
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        dir.reset();
        SetErrorReporter(previousReporter_);
    }

private:
    QTemporaryDir config_;
    ErrorReporter previousReporter_;
};
