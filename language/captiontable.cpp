#include "captiontable.h"

namespace language {

// The density captions leave two blanks after "cm" where the raised "3"
// (Label1(5)) sits; "º" is U+00BA, the masculine ordinal, as the window
// definition has it.
const std::array<CaptionRow, CaptionRowCount> CaptionTable{{
    {"mnuTranslate", Target::MenuItem, u"English &Version", u"&Vers\u00E3o em Portugu\u00EAs"},
    {"mnuAbout", Target::MenuItem, u"&Sobre", u"&About"},
    {"mnuExit", Target::MenuItem, u"&Sair", u"E&xit"},
    {"mnuFile", Target::MenuTitle, u"&Arquivo", u"&File"},
    {"mnuHelp", Target::MenuTitle, u"&Ajuda", u"&Help"},
    {"mnuReadMe", Target::MenuItem, u"&Leiame", u"&Readme"},
    {"", Target::WindowTitle, u"Zandor v3.1", u"Zandor v2.1 (english version)"},
    {"Label1(3)", Target::LabelCaption, u"massa at\u00F4mica (u.m.a.)", u"atomic mass (amu)"},
    {"Label1(4)", Target::LabelCaption, u"densidade 300K (g/cm  )", u"density 300K (g/cm  )"},
    {"Label1(5)", Target::LabelLeft, nullptr, nullptr, 3240, -250},
    {"Label1(6)", Target::LabelCaption, u"ano de descobrimento", u"discovery year"},
    {"Label1(7)", Target::LabelCaption, u"ponto de fus\u00E3o (\u00BAC)", u"melting point (\u00BAC)"},
    {"Label1(8)", Target::LabelCaption, u"ponto de ebuli\u00E7\u00E3o (\u00BAC)", u"boiling point (\u00BAC)"},
    {"Label1(9)", Target::LabelCaption, u"% na crosta terrestre", u"% earth crust"},
    {"Text2", Target::BoxText, u"Simb", u"Symb"},
    {"Text1", Target::BoxText, u"Nome", u"Name"},
    {"Frame4", Target::FrameCaption, u"Linhas de raios-X correspondentes (eV)", u"X-ray lines energy (eV)"},
    {"Label1(10)", Target::LabelCaption, u"S\u00E9rie dos Lantan\u00EDdeos", u"Lanthanide series"},
    {"Label1(11)", Target::LabelCaption, u"S\u00E9rie dos Actin\u00EDnios", u"Actinide series"},
    {"PTTitleText(0)", Target::BoxText, u"Linha", u"Line"},
    {"PTTitleText(1)", Target::BoxText, u"Energia", u"Energy"},
    {"PTTitleText(3)", Target::BoxText, u"Linha", u"Line"},
    {"PTTitleText(4)", Target::BoxText, u"Energia", u"Energy"},
}};

} // namespace language
