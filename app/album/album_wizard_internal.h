#pragma once
// What the wizard's frame and its pages share: the record kept in every
// page's user word, the control numbers and the page table.
#include <string>
#include <vector>

#include "app/album/album_wizard.h"
#include "platform/windows.h"

namespace fotrix {

constexpr int kWizardPageCount = 7;

enum AlbumControl : int {
    // Page 0: where the pictures come from.
    IdcAlSel1 = 1401,  // the files selected in the browser
    IdcAlSel2 = 1402,  // all files of the current folder
    IdcAlSel3 = 1403,  // the pictures found in the folder and its sub-folders
    IdcAlText1 = 1404,
    // Page 1: the pictures that take part.
    IdcSelectAll = 1410,
    IdcSelectNone = 1411,
    IdcAlPictures = 1412,
    // Page 2: how each picture is prepared.
    IdcAlText3 = 1420,
    IdcAlText4 = 1421,
    IdcFitAll = 1422,
    IdcAlSize = 1423,
    IdcAlRotate = 1424,
    IdcAlLevels = 1425,
    // Page 3: the show.
    IdcTDelay = 1430,
    IdcTSeconds = 1431,
    IdcUseSoundFile = 1432,
    IdcUseTransition = 1433,
    IdcLoop = 1434,
    IdcAlDelay = 1435,
    IdcAlDelaySpin = 1436,
    IdcAlSoundFile = 1437,
    IdcAlSoundBrowse = 1438,
    // Page 4: where the product goes.
    IdcSelectText = 1440,
    IdcAlText = 1441,
    IdcAlFolder = 1442,
    IdcAlFolderBrowse = 1443,
    IdcAlName = 1444,
    // Page 5: JPEG quality.
    IdcJpegText = 1450,
    IdcJpegText1 = 1451,
    IdcJpegText2 = 1452,
    IdcAlQuality = 1453,
    IdcAlQualityValue = 1454,
    // Page 6: the build.
    IdcCreate = 1460,
    IdcStop = 1461,
    IdcAlStatus = 1462,
    IdcAlProgress = 1463,
    // The menu bar.
    IdcAlBack = 1470,
    IdcAlNext = 1471,
};

enum PictureSource : int { SourceSelected = 0, SourceFolder = 1, SourceSearch = 2 };

struct AlbumWizardRun {
    WizardProduct product = WizardProduct::Album;
    HWND frame = nullptr;
    HWND bar = nullptr;
    HWND pages[kWizardPageCount] = {};
    int page = 0;
    SlideshowSettings settings;
    std::vector<std::string> selected;  // the browser's selection when the wizard opened
    std::string folder;                 // the browser's folder
    int source = SourceFolder;
    std::vector<std::string> candidates;  // page 1's list, in showing order
    size_t thumbnailsMade = 0;
    bool building = false;
    bool cancelled = false;
};

AlbumWizardRun& WizardRun(HWND page);

// The page templates and procedures, in page order.
struct WizardPage {
    const DialogTemplate* dialog;
    DLGPROC procedure;
};
const WizardPage& WizardPageAt(int index);

// Every page's values into run.settings (and run.source).
void ReadWizardPages(AlbumWizardRun& run);
// The pictures checked on page 1, in showing order.
std::vector<std::string> CheckedPictures(AlbumWizardRun& run);
// Page 1 is filled (again) from the chosen source when it is entered empty.
void FillPictureList(AlbumWizardRun& run);
void ClearPictureList(AlbumWizardRun& run);

// The build, from page 6's Create; Stop sets run.cancelled.
void CreateProduct(AlbumWizardRun& run);
void EnableWizardButtons(AlbumWizardRun& run, bool enable);

constexpr const char* kWizardSection = "DlgAlbum";

}  // namespace fotrix
