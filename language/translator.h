// Qt's translation system for the texts added after the main window's own:
// the Tools menu and the spectrum and finder windows. Their source texts
// are English (tr()); the Portuguese ones come from zandor_pt_BR.ts, compiled
// into the program's resources. The main window's fixed captions do not go
// through here: they stay in the caption table.
#pragma once

#include "captiontable.h"

namespace language {

// Makes tr() give the texts of `to`: installs the Portuguese translator or
// removes it. The program starts in Portuguese. Qt then sends every window
// a LanguageChange event, on which the windows with tr() texts retranslate.
// Doing nothing when `to` is already in force, it is cheap to call again.
// Called before the main window exists, it sends no event at all.
void UseTranslations(Language to);

// The language tr() gives now.
Language TranslationLanguage();

} // namespace language
