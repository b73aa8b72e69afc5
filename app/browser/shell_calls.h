#pragma once
// What the browser calls of the main window (app/shell/ defines them).
namespace fotrix {

// Enables and checks the menu items and tool buttons for the present state.
void UpdateMenuState();
// Opens list entry `index` in the view (the image mode or full screen).
void OpenInViewer(int index);

}  // namespace fotrix
