// Shared by the tests of the spectrum tools' windows: the main window with
// its spectrum tools on a scratch copy of the shipped data, the settings
// written to a temporary directory instead of the user's, and the error
// reports collected instead of shown.
#pragma once

#include "app/spectrumtools.h"
#include "mainwindowfixture.h"

#include <QCoreApplication>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

class ToolsWindowFixture : public MainWindowFixture {
public:
    // The main window, by the name these tests give it.
    std::unique_ptr<Form1> &form = w;
    SpectrumTools *tools = nullptr; // owned by the main window

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
        recordReports();
        if (!makeScratchDir() || !loadWindow())
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
        MainWindowFixture::stop();
    }

private:
    QTemporaryDir config_;
};
