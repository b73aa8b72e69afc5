#pragma once
// Control numbers of the six options pages. They are what a script's
// dialog-command, dialog-check, dialog-text and dialog-select address, so
// they stay as they are.
namespace fotrix {

enum OptionControl : int {
    // General.
    IdcTHomeFolder = 1201,
    IdcHomeFolder = 1202,
    IdcHomeBrowse = 1203,
    IdcTViewMode = 1204,
    IdcViewMode = 1205,
    IdcTLanguage = 1206,
    IdcLanguage = 1207,
    IdcStartSplash = 1208,
    // Browser.
    IdcHighQuality = 1211,
    IdcTThumbSize = 1212,
    IdcThumbSize = 1213,
    IdcShowName = 1214,
    IdcFontSize = 1215,
    IdcTFont1 = 1216,
    IdcFontTree = 1217,
    IdcFontTreeSpin = 1218,
    IdcTFont2 = 1219,
    IdcFontThumb = 1220,
    IdcFontThumbSpin = 1221,
    IdcOpenInFullScreen = 1222,
    IdcShowExt = 1223,
    // Viewer.
    IdcViewMove = 1231,
    IdcUseScroll = 1232,
    IdcRotateLeft = 1233,
    IdcTViewBack = 1234,
    IdcViewBackSwatch = 1235,
    IdcViewBack = 1236,
    IdcShowFileName = 1237,
    IdcAnimatedGif = 1238,
    IdcExifOrientation = 1239,
    // Slideshow.
    IdcTDelay = 1241,
    IdcDelay = 1242,
    IdcDelaySpin = 1243,
    IdcTSeconds = 1244,
    IdcTSlideBack = 1245,
    IdcSlideBackSwatch = 1246,
    IdcSlideBack = 1247,
    IdcUseTransition = 1248,
    IdcLandscape = 1249,
    IdcUseSoundFile = 1250,
    IdcSoundFile = 1251,
    IdcSoundBrowse = 1252,
    IdcUseLoop = 1253,
    // Buttons.
    IdcKeyList = 1261,
    IdcTAction = 1262,
    IdcAction = 1263,
    IdcRestore = 1264,
    IdcButtonsText = 1265,
    // Associations.
    IdcAssociationsText = 1271,
    IdcTypeList = 1272,
};

}  // namespace fotrix
