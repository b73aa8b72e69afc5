// Buttons of every kind: push, default and disabled push buttons, check boxes
// of two and three states, text on the left, a push-like check box, and a group
// of automatic radio buttons in a group box.
#include "gallery/gallery.h"
#include "gallery/layout.h"

void createButtonsPage(HWND page)
{
    PageLayout layout(page);
    RECT r = layout.row(22);
    layout.add(WC_BUTTON, "OK", BS_PUSHBUTTON | kTabStop, layout.column(r, 0, 3));
    layout.add(WC_BUTTON, "Default", BS_DEFPUSHBUTTON | kTabStop, layout.column(r, 1, 3));
    EnableWindow(layout.add(WC_BUTTON, "Disabled", BS_PUSHBUTTON, layout.column(r, 2, 3)), FALSE);

    r = layout.row();
    layout.add(WC_BUTTON, "Check box", BS_CHECKBOX | kTabStop, layout.column(r, 0, 2));
    HWND autoCheck = layout.add(WC_BUTTON, "Automatic", BS_AUTOCHECKBOX | kTabStop, layout.column(r, 1, 2));
    SendMessage(autoCheck, BM_SETCHECK, BST_CHECKED, 0);

    r = layout.row();
    HWND three = layout.add(WC_BUTTON, "Three states", BS_3STATE | kTabStop, layout.column(r, 0, 2));
    SendMessage(three, BM_SETCHECK, BST_INDETERMINATE, 0);
    HWND autoThree = layout.add(WC_BUTTON, "Auto 3-state", BS_AUTO3STATE | kTabStop, layout.column(r, 1, 2));
    SendMessage(autoThree, BM_SETCHECK, BST_INDETERMINATE, 0);

    r = layout.row();
    layout.add(WC_BUTTON, "Text left", BS_AUTOCHECKBOX | BS_LEFTTEXT | kTabStop, layout.column(r, 0, 2));
    HWND pushLike = layout.add(WC_BUTTON, "Push-like", BS_AUTOCHECKBOX | BS_PUSHLIKE | kTabStop, layout.column(r, 1, 2));
    SendMessage(pushLike, BM_SETCHECK, BST_CHECKED, 0);

    // The radio buttons are made before their group box: a window made later
    // lies below the earlier ones, and the box would hide them.
    RECT box = layout.row(16 + 3 * 18 + 6);
    RECT inside = layout.inset(box, 8, 16, 8, 4);
    const char* labels[] = {"Small", "Medium", "Large"};
    for (int i = 0; i < 3; ++i) {
        RECT radio{inside.left, inside.top + ScaleForScreen(18 * i), inside.right, inside.top + ScaleForScreen(18 * (i + 1))};
        DWORD first = i == 0 ? kGroup | kTabStop : 0;
        HWND button = layout.add(WC_BUTTON, labels[i], BS_AUTORADIOBUTTON | first, radio);
        if (i == 1) SendMessage(button, BM_SETCHECK, BST_CHECKED, 0);
    }
    layout.add(WC_BUTTON, "Radio buttons", BS_GROUPBOX | kGroup, box);
    // Ends the radio group: the next control starts a new one.
    r = layout.row();
    layout.add(WC_BUTTON, "Notify", BS_PUSHBUTTON | BS_NOTIFY | kGroup | kTabStop, layout.column(r, 0, 2));
}
