#include "tests/app/send_mail_support.h"

#include "tests/support/test_support.h"

namespace mailtest {

namespace fs = std::filesystem;

namespace {

std::string q(const std::string& text)
{
    std::string quoted = "'";
    for (char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

}  // namespace

int checkMessage(const fs::path& maildir, const std::string& folder, const std::string& to, const std::string& subject,
                 const std::string& body, const std::vector<std::pair<std::string, fs::path>>& attachments)
{
    std::string command = "python3 " + q((testsupport::sourceDir() / "tests/app/send_mail_check.py").string()) + " " +
                          q(maildir.string()) + " " + folder + " " + q(to) + " " + q(subject) + " " + q(body);
    for (const auto& [name, path] : attachments) command += " " + q(name + "=" + path.string());
    return testsupport::run(command + " >&2");
}

size_t filesIn(const fs::path& folder)
{
    std::error_code ignored;
    if (!fs::is_directory(folder, ignored)) return 0;
    return static_cast<size_t>(std::distance(fs::directory_iterator(folder), fs::directory_iterator()));
}

}  // namespace mailtest
