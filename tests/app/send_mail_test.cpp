// E-mail: recipients parsing and a message in a Maildir outbox that Python's
// mailbox and email packages read back.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <random>

#include "app/send/mail_maildir.h"

namespace fs = std::filesystem;
using namespace fotrix::mail;

TEST(SendMailRecipients, BlanksAndSemicolonsSeparate) {
    EXPECT_EQ(parseRecipients("a@x.org; b@y.org c@z.org"),
              (std::vector<std::string>{"a@x.org", "b@y.org", "c@z.org"}));
    EXPECT_TRUE(parseRecipients(" ;; ").empty());
}

TEST(SendMailMaildir, MessageReadsBackWithPythonAndHeadersCannotBeInjected) {
    fs::path root = fs::temp_directory_path() / ("fotrix-mail-" + std::to_string(std::random_device{}()));
    fs::create_directories(root);
    std::string picture(5000, '\0');
    for (std::size_t i = 0; i < picture.size(); ++i) picture[i] = static_cast<char>(i * 7);
    std::ofstream(root / "p.jpg", std::ios::binary) << picture;
    Message message;
    message.recipients = parseRecipients("a@x.org; b@y.org c@z.org");
    message.subject = "Pictures\r\nBcc: evil@x.org";
    message.body = "Here they are.";
    message.attachments = {{root / "p.jpg", "holiday.jpg"}};
    std::string error;
    fs::path written = writeToOutbox(root / "mail", message, error);
    ASSERT_FALSE(written.empty()) << error;
    EXPECT_EQ(written.parent_path(), root / "mail" / ".outbox" / "new");
    EXPECT_TRUE(fs::is_empty(root / "mail" / ".outbox" / "tmp"));
    std::string script =
        "import mailbox,sys\n"
        "box=mailbox.Maildir(sys.argv[1],factory=None,create=False)\n"
        "import email.policy,email\n"
        "msgs=[email.message_from_bytes(box.get_bytes(k),policy=email.policy.default) for k in box.keys()]\n"
        "assert len(msgs)==1\nm=msgs[0]\n"
        "assert m['To']=='a@x.org, b@y.org, c@z.org', m['To']\n"
        "assert m['Bcc'] is None\n"
        "assert m['Subject']=='Pictures  Bcc: evil@x.org', m['Subject']\n"
        "parts=list(m.iter_parts())\n"
        "assert parts[0].get_content().strip()=='Here they are.'\n"
        "assert parts[1].get_filename()=='holiday.jpg'\n"
        "assert parts[1].get_content()==open(sys.argv[2],'rb').read()\n";
    std::ofstream(root / "check.py") << script;
    std::string command = "python3 " + (root / "check.py").string() + " " + (root / "mail" / ".outbox").string() +
                          " " + (root / "p.jpg").string();
    EXPECT_EQ(std::system(command.c_str()), 0);
    fs::remove_all(root);
}

TEST(SendMailMaildir, UnwritableFolderIsReported) {
    std::string error;
    Message message;
    EXPECT_TRUE(writeToOutbox("/proc/fotrix-no-such", message, error).empty());
    EXPECT_NE(error.find("cannot be written"), std::string::npos);
}
