#pragma once
// Control numbers of the tool sheets and dialogs. The shared pages (output
// format, output folder, information) use the same numbers in every tool, so
// scripts and tests reach them the same way whichever tool is open.
namespace fotrix {

enum ToolControl : int {
    // Output-format page.
    IdcCnJpeg = 1014,
    IdcCnGif = 1015,
    IdcCnBmp = 1016,
    IdcCnPng = 1017,
    IdcCnTga = 1019,
    IdcCnGifMode = 1020,
    IdcCnBmpMode = 1021,
    IdcCnPngMode = 1022,
    IdcCnPngCompression = 1023,
    IdcCompression = 1085,
    IdcQuality = 1086,
    IdcCnJpegSlider = 1204,
    IdcCnJpegText1 = 1205,
    IdcCnJpegText2 = 1206,
    // Output-folder page.
    IdcFdFolder = 1029,
    IdcFdPrefix = 1001,
    IdcFdSuffix = 1002,
    IdcFdTPrefix = 1089,
    IdcFdTSuffix = 1090,
    IdcFdText = 1091,
    IdcFdBrowse = 1092,
    IdcFdKeepTime = 1093,
    // Apply buttons (information page, folder page and the tools' own pages).
    IdcApply = 1080,
    IdcApplyAll = 1028,
    // Information page.
    IdcPpPreview = 1240,
    IdcPpFileName = 1241,
    IdcPpTType = 1242,
    IdcPpTDim = 1243,
    IdcPpTDepth = 1244,
    IdcPpTDpi = 1245,
    IdcPpTPixels = 1246,
    IdcPpTImage = 1247,
    IdcPpPrevious = 1248,
    IdcPpNext = 1249,
    // The progress strip a batch puts over the page it runs from.
    IdcBatchProgress = 1260,
    IdcBatchFile = 1261,
    IdcBatchCancel = 1262,
    // Batch rename.
    IdcRenName = 1003,
    IdcRenExt = 1004,
    IdcRenStart = 1005,
    IdcRenStartSpin = 1006,
    IdcRenDigit = 1007,
    IdcRenDigitSpin = 1008,
    IdcRenTNewName = 1009,
    IdcRenTExt = 1010,
    IdcRenTStart = 1011,
    IdcRenTDigit = 1012,
    // Screen capture.
    IdcDelay = 1068,
    IdcTDelay = 1069,
    // File search.
    IdcSchFolder = 1217,
    IdcSchTFolder = 1218,
    IdcSchFileName = 1219,
    IdcSchTFileName = 1220,
    IdcSchStatus = 1222,
    IdcSchFileSize = 1145,
    IdcSchFileType = 1146,
    IdcSchTFileSize = 1147,
    IdcSchTFileType = 1148,
    IdcSchSubFolder = 1152,
    IdcSchBrowse = 1223,
};

}  // namespace fotrix
