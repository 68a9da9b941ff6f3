#include "translator.h"

#include <QCoreApplication>
#include <QTranslator>

namespace language {

namespace {

// Made on first use and kept for the life of the program. Loading maps the
// compiled translations in the program's resources; no file is read.
QTranslator *portuguese()
{
    static QTranslator *translator = [] {
        auto *t = new QTranslator(QCoreApplication::instance());
        if (!t->load(QStringLiteral(":/i18n/zandor_pt_BR.qm")))
            qWarning("zandor: the Portuguese translations are missing from the program's resources");
        return t;
    }();
    return translator;
}

bool installed = false;

} // namespace

void UseTranslations(Language to)
{
    const bool wanted = to == Language::Portuguese;
    if (wanted == installed)
        return;
    installed = wanted;
    if (wanted)
        QCoreApplication::installTranslator(portuguese());
    else
        QCoreApplication::removeTranslator(portuguese());
}

Language TranslationLanguage() { return installed ? Language::Portuguese : Language::English; }

} // namespace language
