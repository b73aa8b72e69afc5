#pragma once
// The e-mail options dialog ("DlgEmail"): recipients, size, format and account.
#include "app/send/mail_accounts.h"
#include "app/send/mail_options.h"
#include "platform/windows.h"

#include <vector>

namespace fotrix::mail {

enum MailControl : int {
    IdcEmTo = 1054,
    IdcEmSize = 1056,
    IdcEmFormat = 1057,
    IdcEmServices = 1058,
    IdcSend = 1059,
    IdcEmTTo = 1060,
    IdcEmTSize = 1061,
    IdcEmTFormat = 1062,
    IdcEmTServices = 1063,
};

// Shows the dialog on `options`, with the account list made of `accounts`
// (the one named by options.services chosen, else the first). Send stores
// the four values in the settings and in `options` and returns true; Cancel
// changes nothing.
bool RunMailOptionsDialog(HWND owner, MailOptions& options, const std::vector<Account>& accounts);

}  // namespace fotrix::mail
