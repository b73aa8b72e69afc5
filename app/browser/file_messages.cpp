#include "app/browser/file_messages.h"

#include "app/shell/app_state.h"

namespace fotrix {

namespace {

struct ErrorText {
    DWORD error;
    const char* text;
};
constexpr ErrorText kErrorTexts[] = {
    {ERROR_FILE_NOT_FOUND, "It does not exist (any more)."},
    {ERROR_PATH_NOT_FOUND, "Its folder does not exist (any more)."},
    {ERROR_ACCESS_DENIED, "Access is denied, or it is read-only."},
    {ERROR_FILE_EXISTS, "A file or folder of that name already exists."},
    {ERROR_ALREADY_EXISTS, "A file or folder of that name already exists."},
    {ERROR_INVALID_NAME, "The name is not valid: it may not be empty, \".\" or \"..\", nor contain \"/\"."},
    {ERROR_DIR_NOT_EMPTY, "The folder is not empty."},
    {ERROR_DISK_FULL, "The disk is full."},
    {ERROR_SHARING_VIOLATION, "It is in use."},
    {ERROR_NOT_SAME_DEVICE, "It cannot be moved to another device."},
};

}  // namespace

const char* FileErrorText(DWORD error)
{
    for (const ErrorText& row : kErrorTexts)
        if (row.error == error) return row.text;
    return "The operation failed.";
}

bool AskOkCancel(TextId question)
{
    return MessageBox(gApp.mainWindow, Tr(question).c_str(), "", MB_OKCANCEL | MB_ICONQUESTION) == IDOK;
}

void ShowFileFailure(const std::string& subject, DWORD error)
{
    const std::string text = subject + "\n" + FileErrorText(error);
    MessageBox(gApp.mainWindow, text.c_str(), Tr(kIdsError).c_str(), MB_OK | MB_ICONERROR);
}

}  // namespace fotrix
