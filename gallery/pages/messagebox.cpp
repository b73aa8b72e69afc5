// A message box as the program shows them: a warning with Yes, No and Cancel,
// made modeless so that it stands over the page (it goes when a button is
// tapped, or with the page). The modal boxes are on the dialogs page.
#include "gallery/gallery.h"
#include "gallery/layout.h"

namespace {

constexpr const char* kText = "The file \"IMG_0001_m.jpg\" already exists. Do you want to replace it?";

void showBox(HWND page)
{
    HWND frame = GetParent(page);
    galleryKeep(page, CreateMessageBox(frame, kText, "Fotrix Pocket", MB_YESNOCANCEL | MB_ICONWARNING | MB_DEFBUTTON2));
}

}  // namespace

void createMessageBoxPage(HWND page)
{
    PageLayout layout(page);
    layout.add(WC_STATIC, "Message boxes: OK, OK/Cancel, Yes/No, Yes/No/Cancel and Retry/Cancel, with an error, "
                          "warning, information or question icon.",
               SS_LEFT | SS_NOPREFIX, layout.row(56));
    showBox(page);
}
