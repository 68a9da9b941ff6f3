// The program's error messages. By default a modal message box with the
// critical icon and a single OK button; tests put a recorder in its place.
#pragma once

#include <QString>

#include <functional>

using ErrorReporter = std::function<void(const QString &title, const QString &text)>;

// Shows an error message through the current reporter; returns when the user
// has closed it.
void ReportError(const QString &title, const QString &text);

// Replaces the reporter and returns the previous one. An empty function
// restores the message box.
ErrorReporter SetErrorReporter(ErrorReporter reporter);
