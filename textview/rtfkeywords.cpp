#include "textview/rtfkeywords.h"

#include <unordered_map>

namespace textview::rtf {

namespace {

const std::unordered_map<std::string_view, Kw>& keywords() {
  static const std::unordered_map<std::string_view, Kw> map = {
      {"rtf", Kw::Rtf}, {"fonttbl", Kw::FontTable}, {"colortbl", Kw::ColorTable},
      {"stylesheet", Kw::StyleSheet}, {"info", Kw::Info}, {"pict", Kw::Pict},
      {"shppict", Kw::ShpPict}, {"nonshppict", Kw::NonShpPict}, {"field", Kw::Field},
      {"fldinst", Kw::FldInst}, {"fldrslt", Kw::FldRslt}, {"upr", Kw::Upr}, {"ud", Kw::Ud},
      {"nonesttables", Kw::NoNestTables}, {"object", Kw::Object}, {"objdata", Kw::ObjData},
      {"listtable", Kw::ListTable}, {"listoverridetable", Kw::ListOverrideTable},
      {"list", Kw::List}, {"listlevel", Kw::ListLevel}, {"listoverride", Kw::ListOverride},
      {"lfolevel", Kw::LfoLevel}, {"leveltext", Kw::LevelText}, {"listtext", Kw::ListText},
      {"pntext", Kw::ListText}, {"listid", Kw::ListId}, {"levelnfc", Kw::LevelNfc},
      {"levelnfcn", Kw::LevelNfc}, {"levelstartat", Kw::LevelStartAt},
      {"levelnorestart", Kw::LevelNoRestart}, {"levellegal", Kw::LevelLegal},
      {"listoverridestartat", Kw::ListOverrideStartAt}, {"ls", Kw::Ls}, {"ilvl", Kw::Ilvl},
      {"pn", Kw::Pn}, {"pnseclvl", Kw::PnSecLvl}, {"pntxta", Kw::PnTxtA}, {"pntxtb", Kw::PnTxtB},
      {"pnlvl", Kw::PnLvl}, {"pnlvlbody", Kw::PnLvlBody}, {"pnlvlblt", Kw::PnLvlBlt},
      {"pnlvlcont", Kw::PnLvlCont}, {"pndec", Kw::PnDec}, {"pncard", Kw::PnDec},
      {"pnord", Kw::PnDec}, {"pnordt", Kw::PnDec}, {"pncardt", Kw::PnDec},
      {"pnucltr", Kw::PnUcLtr}, {"pnlcltr", Kw::PnLcLtr}, {"pnucrm", Kw::PnUcRm},
      {"pnlcrm", Kw::PnLcRm}, {"pnstart", Kw::PnStart}, {"pnf", Kw::PnF},
      {"s", Kw::S}, {"cs", Kw::Cs}, {"ds", Kw::OtherStyle}, {"ts", Kw::OtherStyle},
      {"sbasedon", Kw::SBasedOn},
      {"shp", Kw::Shp}, {"shpinst", Kw::ShpInst}, {"shptxt", Kw::ShpTxt}, {"shprslt", Kw::ShpRslt},
      {"sp", Kw::Sp}, {"shpleft", Kw::ShpLeft}, {"shpright", Kw::ShpRight},
      {"footnote", Kw::Footnote}, {"chftn", Kw::Chftn},
      // destinations that are never shown, whether marked with \* or not
      {"header", Kw::SkipDest}, {"headerl", Kw::SkipDest}, {"headerr", Kw::SkipDest},
      {"headerf", Kw::SkipDest}, {"footer", Kw::SkipDest}, {"footerl", Kw::SkipDest},
      {"footerr", Kw::SkipDest}, {"footerf", Kw::SkipDest}, {"annotation", Kw::SkipDest},
      {"filetbl", Kw::SkipDest}, {"revtbl", Kw::SkipDest}, {"rsidtbl", Kw::SkipDest},
      {"xe", Kw::SkipDest}, {"tc", Kw::SkipDest},
      {"txe", Kw::SkipDest}, {"rxe", Kw::SkipDest}, {"template", Kw::SkipDest},
      {"private", Kw::SkipDest}, {"pgdsctbl", Kw::SkipDest}, {"docvar", Kw::SkipDest},
      {"datastore", Kw::SkipDest}, {"themedata", Kw::SkipDest}, {"do", Kw::SkipDest},
      {"atnid", Kw::SkipDest}, {"atnauthor", Kw::SkipDest},
      {"comment", Kw::SkipDest}, {"bkmkstart", Kw::SkipDest}, {"bkmkend", Kw::SkipDest},
      {"ansi", Kw::Ansi}, {"mac", Kw::Mac}, {"pc", Kw::Pc}, {"pca", Kw::Pca},
      {"ansicpg", Kw::AnsiCpg}, {"deff", Kw::Deff}, {"uc", Kw::Uc}, {"u", Kw::U},
      {"bin", Kw::Bin}, {"deftab", Kw::DefTab},
      {"f", Kw::F}, {"fcharset", Kw::FCharset}, {"cpg", Kw::Cpg}, {"fnil", Kw::FNil},
      {"froman", Kw::FRoman}, {"fswiss", Kw::FSwiss}, {"fmodern", Kw::FModern},
      {"fscript", Kw::FScript}, {"fdecor", Kw::FDecor}, {"ftech", Kw::FTech},
      {"fbidi", Kw::FBidi}, {"red", Kw::Red}, {"green", Kw::Green}, {"blue", Kw::Blue},
      {"plain", Kw::Plain}, {"b", Kw::B}, {"i", Kw::I}, {"ul", Kw::Ul}, {"ulw", Kw::Ul},
      {"uldb", Kw::Ul}, {"ulth", Kw::Ul}, {"uld", Kw::UlDot}, {"ulthd", Kw::UlDot},
      {"uldash", Kw::UlDash}, {"uldashd", Kw::UlDash}, {"uldashdd", Kw::UlDash},
      {"ulldash", Kw::UlDash}, {"ulthdash", Kw::UlDash}, {"ulthdashd", Kw::UlDash},
      {"ulthdashdd", Kw::UlDash}, {"ulthldash", Kw::UlDash}, {"ulwave", Kw::UlWave},
      {"ulhwave", Kw::UlWave}, {"ululdbwave", Kw::UlWave}, {"ulnone", Kw::UlNone},
      {"strike", Kw::Strike}, {"striked", Kw::Strike}, {"fs", Kw::Fs}, {"cf", Kw::Cf},
      {"highlight", Kw::Highlight}, {"cb", Kw::Cb}, {"chcbpat", Kw::Cb}, {"super", Kw::Super},
      {"sub", Kw::Sub}, {"nosupersub", Kw::NoSuperSub}, {"up", Kw::Up}, {"dn", Kw::Dn},
      {"caps", Kw::Caps}, {"scaps", Kw::SCaps}, {"v", Kw::V},
      {"pard", Kw::Pard}, {"par", Kw::Par}, {"sect", Kw::Sect}, {"page", Kw::Page},
      {"line", Kw::Line}, {"tab", Kw::Tab}, {"ql", Kw::Ql}, {"qc", Kw::Qc}, {"qr", Kw::Qr},
      {"qj", Kw::Qj}, {"qd", Kw::Qj}, {"li", Kw::Li}, {"lin", Kw::Li}, {"ri", Kw::Ri},
      {"rin", Kw::Ri}, {"fi", Kw::Fi}, {"sb", Kw::Sb}, {"sa", Kw::Sa}, {"sl", Kw::Sl},
      {"slmult", Kw::SlMult}, {"tx", Kw::Tx}, {"tb", Kw::Tx}, {"tqr", Kw::Tqr},
      {"tqc", Kw::Tqc}, {"tqdec", Kw::Tqdec}, {"intbl", Kw::InTbl}, {"itap", Kw::Itap},
      {"pagebb", Kw::PageBb}, {"rtlpar", Kw::RtlPar}, {"ltrpar", Kw::LtrPar},
      {"trowd", Kw::Trowd}, {"trgaph", Kw::Trgaph}, {"trleft", Kw::Trleft}, {"trqc", Kw::Trqc},
      {"trqr", Kw::Trqr}, {"cellx", Kw::Cellx}, {"cell", Kw::Cell}, {"row", Kw::Row},
      {"nestcell", Kw::NestCell}, {"nestrow", Kw::NestRow}, {"clmgf", Kw::ClMgf},
      {"clmrg", Kw::ClMrg}, {"clvmgf", Kw::ClVmgf}, {"clvmrg", Kw::ClVmrg},
      {"clcbpat", Kw::ClCbPat}, {"brdrs", Kw::Border}, {"brdrth", Kw::Border},
      {"brdrsh", Kw::Border}, {"brdrdb", Kw::Border}, {"brdrdot", Kw::Border},
      {"brdrdash", Kw::Border}, {"brdrhair", Kw::Border}, {"brdrsingle", Kw::Border},
      {"picw", Kw::PicW}, {"pich", Kw::PicH}, {"picwgoal", Kw::PicWGoal},
      {"pichgoal", Kw::PicHGoal}, {"picscalex", Kw::PicScaleX}, {"picscaley", Kw::PicScaleY},
      {"pngblip", Kw::PngBlip}, {"jpegblip", Kw::JpegBlip}, {"emfblip", Kw::EmfBlip},
      {"wmetafile", Kw::WMetafile}, {"macpict", Kw::OtherPictKind},
      {"pmmetafile", Kw::OtherPictKind}, {"dibitmap", Kw::OtherPictKind},
      {"wbitmap", Kw::OtherPictKind},
      {"emdash", Kw::EmDash}, {"endash", Kw::EnDash}, {"emspace", Kw::EmSpace},
      {"enspace", Kw::EnSpace}, {"qmspace", Kw::QmSpace}, {"bullet", Kw::Bullet},
      {"lquote", Kw::LQuote}, {"rquote", Kw::RQuote}, {"ldblquote", Kw::LDblQuote},
      {"rdblquote", Kw::RDblQuote}, {"zwj", Kw::Zwj}, {"zwnj", Kw::Zwnj},
      {"ltrmark", Kw::LtrMark}, {"rtlmark", Kw::RtlMark},
  };
  return map;
}

}  // namespace

Kw keyword(std::string_view name) {
  const auto& map = keywords();
  const auto it = map.find(name);
  return it == map.end() ? Kw::Unknown : it->second;
}

}  // namespace textview::rtf
