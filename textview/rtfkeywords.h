// The control words the RTF reader acts on, by name.
#pragma once

#include <cstdint>
#include <string_view>

namespace textview::rtf {

enum class Kw : std::uint8_t {
  // destinations
  Rtf, FontTable, ColorTable, StyleSheet, Info, Pict, ShpPict, NonShpPict, Field, FldInst,
  FldRslt, Upr, Ud, SkipDest, NoNestTables, Object, ObjData,
  // lists, paragraph numbering, styles, shapes, notes
  ListTable, ListOverrideTable, List, ListLevel, ListOverride, LfoLevel, LevelText, ListText,
  ListId, LevelNfc, LevelStartAt, LevelNoRestart, LevelLegal, ListOverrideStartAt, Ls, Ilvl,
  Pn, PnSecLvl, PnTxtA, PnTxtB, PnLvl, PnLvlBody, PnLvlBlt, PnLvlCont, PnDec, PnUcLtr, PnLcLtr,
  PnUcRm, PnLcRm, PnStart, PnF,
  S, Cs, OtherStyle, SBasedOn,
  Shp, ShpInst, ShpTxt, ShpRslt, Sp, ShpLeft, ShpRight,
  Footnote, Chftn,
  // document
  Ansi, Mac, Pc, Pca, AnsiCpg, Deff, Uc, U, Bin, DefTab,
  // fonts and colours (inside their tables)
  F, FCharset, Cpg, FNil, FRoman, FSwiss, FModern, FScript, FDecor, FTech, FBidi, Red, Green, Blue,
  // characters
  Plain, B, I, Ul, UlDot, UlDash, UlWave, UlNone, Strike, Fs, Cf, Highlight, Cb, Super, Sub,
  NoSuperSub, Up, Dn, Caps, SCaps, V,
  // paragraphs
  Pard, Par, Sect, Page, Line, Tab, Ql, Qc, Qr, Qj, Li, Ri, Fi, Sb, Sa, Sl, SlMult, Tx, Tqr, Tqc,
  Tqdec, InTbl, Itap, PageBb, RtlPar, LtrPar,
  // tables
  Trowd, Trgaph, Trleft, Trqc, Trqr, Cellx, Cell, Row, NestCell, NestRow, ClMgf, ClMrg, ClVmgf,
  ClVmrg, ClCbPat, Border,
  // pictures
  PicW, PicH, PicWGoal, PicHGoal, PicScaleX, PicScaleY, PngBlip, JpegBlip, EmfBlip, WMetafile,
  OtherPictKind,
  // special characters
  EmDash, EnDash, EmSpace, EnSpace, QmSpace, Bullet, LQuote, RQuote, LDblQuote, RDblQuote, Zwj,
  Zwnj, LtrMark, RtlMark,
  // a control word the reader does not know
  Unknown,
};

// The keyword of a control word's name; Kw::Unknown for any other name.
Kw keyword(std::string_view name);

}  // namespace textview::rtf
