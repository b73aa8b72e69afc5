#pragma once
// Mail accounts: each a Maildir message store, named for the account list.
// They are kept under "Email\Accounts\<name>" in the settings, with the text
// values "maildir" (the folder; "~/" stands for the home folder), "from" (the
// sender's address) and "submit" (a command in the style of "sendmail -t"
// that is fed each message on its standard input).
#include <filesystem>
#include <string>
#include <vector>

namespace fotrix::mail {

constexpr const char* kAccountsSection = "Email\\Accounts";
// The account that FOTRIX_MAILDIR names, and the one used when none is configured.
constexpr const char* kLocalAccount = "Local";

struct Account {
    std::string name;
    std::filesystem::path maildir;
    std::string from;
    std::string submit;
};

// The FOTRIX_MAILDIR account first when the variable is set, then the
// configured accounts in the settings' order; with neither, "Local" on
// ~/Maildir. An account without a folder is left out.
std::vector<Account> ListAccounts();

// The account whose name equals `name` ignoring case, else null.
const Account* FindAccount(const std::vector<Account>& accounts, const std::string& name);

}  // namespace fotrix::mail
