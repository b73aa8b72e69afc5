#include "app/send/mail_accounts.h"

#include "app/settings.h"

#include <strings.h>

#include <cstdlib>

namespace fotrix::mail {

namespace {

constexpr int kTextCapacity = 1024;

std::filesystem::path homeFolder()
{
    const char* home = std::getenv("HOME");
    return home && *home ? std::filesystem::path(home) : std::filesystem::path("/");
}

std::filesystem::path expandHome(const std::string& path)
{
    if (path == "~") return homeFolder();
    if (path.rfind("~/", 0) == 0) return homeFolder() / path.substr(2);
    return path;
}

std::vector<std::string> configuredNames()
{
    std::vector<std::string> names;
    HKEY key = nullptr;
    std::string path = std::string(kSettingsRoot) + "\\" + kAccountsSection;
    if (RegOpenKeyEx(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return names;
    for (DWORD index = 0;; ++index) {
        char name[256];
        DWORD size = sizeof name;
        if (RegEnumKeyEx(key, index, name, &size, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
        names.emplace_back(name, size);
    }
    RegCloseKey(key);
    return names;
}

Account configuredAccount(const std::string& name)
{
    const std::string section = std::string(kAccountsSection) + "\\" + name;
    Account account{name, {}, {}, {}};
    std::string maildir;
    ReadText(section.c_str(), "maildir", "", maildir, kTextCapacity);
    if (!maildir.empty()) account.maildir = expandHome(maildir);
    ReadText(section.c_str(), "from", "", account.from, kTextCapacity);
    ReadText(section.c_str(), "submit", "", account.submit, kTextCapacity);
    return account;
}

}  // namespace

std::vector<Account> ListAccounts()
{
    std::vector<Account> accounts;
    if (const char* folder = std::getenv("FOTRIX_MAILDIR"); folder && *folder)
        accounts.push_back({kLocalAccount, folder, {}, {}});
    for (const std::string& name : configuredNames()) {
        Account account = configuredAccount(name);
        if (!account.maildir.empty() && !FindAccount(accounts, name)) accounts.push_back(std::move(account));
    }
    if (accounts.empty()) accounts.push_back({kLocalAccount, homeFolder() / "Maildir", {}, {}});
    return accounts;
}

const Account* FindAccount(const std::vector<Account>& accounts, const std::string& name)
{
    for (const Account& account : accounts)
        if (strcasecmp(account.name.c_str(), name.c_str()) == 0) return &account;
    return nullptr;
}

}  // namespace fotrix::mail
