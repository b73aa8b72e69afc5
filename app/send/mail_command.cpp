#include "app/send/mail_command.h"

#include "app/browser/browser.h"
#include "app/language.h"
#include "app/resources/texts.h"
#include "app/send/mail_attachments.h"
#include "app/send/mail_options_dialog.h"
#include "app/send/mail_send.h"
#include "app/shell/command_ids.h"
#include "app/tools/batch_save.h"
#include "app/tools/output_pages.h"

#include <cstring>

namespace fotrix::mail {

namespace {

constexpr const char* kSection = "DlgEmail";

std::string sectionText(const char* key, const char* builtIn) { return ToolSectionText(kSection, key, builtIn); }

class WaitCursor {
public:
    WaitCursor() : old_(SetCursor(LoadCursor(nullptr, IDC_WAIT))) {}
    ~WaitCursor() { SetCursor(old_); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;

private:
    HCURSOR old_;
};

std::string temporaryFolder()
{
    char folder[MAX_PATH] = "";
    DWORD length = GetTempPath(sizeof folder, folder);
    return length > 0 && length < sizeof folder ? std::string(folder) : std::string("/tmp/");
}

// Tells why the preparation stopped at `prepared.failedIndex`.
void reportPreparation(HWND owner, const PreparedMail& prepared, const std::vector<std::string>& paths)
{
    const std::string& path = paths[static_cast<size_t>(prepared.failedIndex)];
    std::string text = prepared.failedLoad ? FormatText(Tr(kIdsErrorLoading), FileNameOf(path)) : Tr(kIdsProblemSaving);
    MessageBox(owner, text.c_str(), Tr(kIdsError).c_str(), MB_OK | MB_ICONSTOP);
}

std::string outboxFailureText(const OutboxResult& outbox)
{
    const std::string path = outbox.path.string();
    switch (outbox.failure) {
    case OutboxError::NoFolder:
        return FormatText(sectionText("IDS_EM_NOFOLDER", "The mail folder %s does not exist."), path);
    case OutboxError::NotAFolder:
        return FormatText(sectionText("IDS_EM_NOTFOLDER", "%s is not a mail folder."), path);
    case OutboxError::CannotRead:
        return FormatText(sectionText("IDS_EM_CANNOTREAD", "The attachment %s cannot be read."), path);
    case OutboxError::CannotWrite:
    case OutboxError::None:
        break;
    }
    return FormatText(sectionText("IDS_EM_CANNOTWRITE", "The message cannot be written into %s: %s."), path,
                      std::strerror(outbox.error));
}

// Sends until the message is written or the user gives up; true when written.
bool sendWithRetry(HWND owner, const Message& message, const Account& account)
{
    for (;;) {
        SendResult result = mailSend(message, account);
        if (result.outbox.ok()) {
            if (result.submitRan && result.submitStatus != 0) {
                std::string text = FormatText(
                    sectionText("IDS_EM_SUBMITFAILED", "The message waits in the outbox: the command %s failed."),
                    account.submit);
                MessageBox(owner, text.c_str(), account.name.c_str(), MB_OK | MB_ICONWARNING);
            }
            return true;
        }
        std::string text = outboxFailureText(result.outbox) + "\n" +
                           sectionText("IDS_EM_RETRY", "The pictures are kept: Retry writes the message again.");
        if (MessageBox(owner, text.c_str(), Tr(kIdsError).c_str(), MB_RETRYCANCEL | MB_ICONSTOP) != IDRETRY)
            return false;
    }
}

}  // namespace

bool MailCommandReady(int command) { return command == CmdEmail; }

void RunMailCommand(HWND mainWindow, int command)
{
    if (command == CmdEmail) emailSelected(mainWindow);
}

void emailSelected(HWND owner)
{
    std::vector<std::string> paths;
    for (const SelectedFile& file : SelectedFiles(false)) paths.push_back(file.path);
    if (paths.empty()) return;
    const std::vector<Account> accounts = ListAccounts();
    MailOptions options = ReadMailOptions();
    if (!RunMailOptionsDialog(owner, options, accounts)) return;
    const Account* account = FindAccount(accounts, options.services);
    if (!account) account = &accounts.front();

    PreparedMail prepared;
    {
        WaitCursor wait;
        prepared = PrepareAttachments(paths, options, temporaryFolder());
    }
    if (prepared.failedIndex >= 0) reportPreparation(owner, prepared, paths);
    if (!prepared.attachments.empty()) {
        Message message;
        message.recipients = parseRecipients(options.to);
        message.subject = Tr(kIdsEmailSubject);
        message.body = Tr(kIdsEmailBody);
        message.attachments = prepared.attachments;
        sendWithRetry(owner, message, *account);
    }
    RemoveTemporaries(prepared);
}

}  // namespace fotrix::mail
