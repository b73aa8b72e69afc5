// The E-mail command driven through the script as a user would: pictures
// selected, command 4132, the options dialog filled, and the message read
// back from the Maildir with Python's mailbox and email packages.
#include "tests/app/send_mail_support.h"
#include "tests/app/tools_rotate_fixture.h"
#include "tests/support/env_support.h"
#include "tests/support/test_support.h"

#include "app/send/mail_attachments.h"
#include "imagelib/formats.h"

#include <chrono>
#include <fstream>
#include <sstream>
#include <thread>

namespace {

namespace fs = std::filesystem;
using toolstest::ToolScript;

std::string q(const fs::path& p) { return "'" + p.string() + "'"; }

constexpr const char* kSubject = "Pictures from Fotrix Pocket";
constexpr const char* kBody = "Here are the pictures, sent with Fotrix Pocket.";
constexpr const char* kFillAndSend =
    "command 4048\ncommand 4132\ndialog-text 1054 \"a@x.org; b@y.org c@z.org\"\n"
    "dialog-select 1056 2\ndialog-select 1057 0\ndialog-command 1059\n";

class MailScript : public ToolScript {
protected:
    fs::path maildir;
    fs::path temporary;
    std::unique_ptr<testsupport::EnvScope> tmpdir, mailEnv;

    void SetUp() override
    {
        ToolScript::SetUp();
        if (IsSkipped() || HasFatalFailure()) return;
        maildir = dir / "Maildir";
        temporary = dir / "tmp";
        fs::create_directories(temporary);
        tmpdir = std::make_unique<testsupport::EnvScope>("TMPDIR", temporary.c_str());
        mailEnv = std::make_unique<testsupport::EnvScope>("FOTRIX_MAILDIR", maildir.c_str());
        makeJpeg("a.jpg", 1001, 601);
        EXPECT_EQ(testsupport::run("convert -size 40x30 gradient:red-blue " + q(pictures / "b.png")), 0);
    }

    // The prepared pictures still waiting in the temporary folder.
    size_t temporaries() const
    {
        size_t count = 0;
        for (const auto& entry : fs::recursive_directory_iterator(temporary))
            if (entry.path().filename().string().rfind("fotrix_temporary_", 0) == 0) ++count;
        return count;
    }

    std::string registryText() const
    {
        std::ifstream in(dir / "config" / "user.reg");
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }

    // The two pictures prepared here as the program prepares them at 50%.
    void prepareExpected(fotrix::mail::PreparedMail& expected)
    {
        fotrix::libraryInit();
        expected = fotrix::mail::PrepareAttachments({(pictures / "a.jpg").string(), (pictures / "b.png").string()},
                                                    {"", 2, 0, ""}, (dir / "expected").string() + "/");
        ASSERT_EQ(expected.attachments.size(), 2u);
    }
};

TEST_F(MailScript, reduced_pictures_land_in_the_outbox_readable_by_python)
{
    fs::create_directories(maildir);
    ASSERT_EQ(runScript(kFillAndSend), 0);
    EXPECT_EQ(state("message"), "");  // no box was shown
    fotrix::mail::PreparedMail expected;
    prepareExpected(expected);
    EXPECT_EQ(size(expected.attachments[0].file), "500x300");
    EXPECT_EQ(mailtest::checkMessage(maildir, "outbox", "a@x.org, b@y.org, c@z.org", kSubject, kBody,
                                     {{"a.jpg", expected.attachments[0].file}, {"b.png", expected.attachments[1].file}}),
              0);
    EXPECT_EQ(temporaries(), 0u);
    // Send stored the four values.
    std::string registry = registryText();
    EXPECT_NE(registry.find("\"to\"=\"a@x.org; b@y.org c@z.org\""), std::string::npos) << registry;
    EXPECT_NE(registry.find("\"size\"=dword:00000002"), std::string::npos);
    EXPECT_NE(registry.find("\"format\"=dword:00000000"), std::string::npos);
    EXPECT_NE(registry.find("\"services\"=\"Local\""), std::string::npos);
}

TEST_F(MailScript, original_pictures_are_attached_as_they_are)
{
    fs::create_directories(maildir);
    storeText("Email", "to", "me@x.org");
    ASSERT_EQ(runScript("command 4048\ncommand 4132\ndialog-command 1059"), 0);
    EXPECT_EQ(mailtest::checkMessage(maildir, "outbox", "me@x.org", kSubject, kBody,
                                     {{"a.jpg", pictures / "a.jpg"}, {"b.png", pictures / "b.png"}}),
              0);
}

TEST_F(MailScript, cancel_stores_nothing_and_sends_nothing)
{
    fs::create_directories(maildir);
    ASSERT_EQ(runScript("command 4048\ncommand 4132\ndialog-text 1054 \"x@y.org\"\ndialog-command 2"), 0);
    EXPECT_EQ(registryText().find("Fotrix Pocket\\Email]"), std::string::npos);
    EXPECT_FALSE(fs::exists(maildir / ".outbox"));
}

TEST_F(MailScript, missing_maildir_says_so_and_cancel_then_removes_the_pictures)
{
    ASSERT_EQ(runScript(std::string(kFillAndSend) + "state " + (dir / "asked.txt").string() + "\ndialog-command 2"), 0);
    std::ifstream asked(dir / "asked.txt");
    std::stringstream text;
    text << asked.rdbuf();
    EXPECT_NE(text.str().find("message: The mail folder " + maildir.string() + " does not exist."),
              std::string::npos)
        << text.str();
    EXPECT_FALSE(fs::exists(maildir));
    EXPECT_EQ(temporaries(), 0u);
}

TEST_F(MailScript, pictures_wait_while_the_maildir_is_missing_and_retry_writes_the_message)
{
    const fs::path asked = dir / "asked.txt";
    // The script shows the failure, gives the test time to make the folder, then retries.
    int status = -1;
    std::thread program([&] {
        status = runScript(std::string(kFillAndSend) + "state " + asked.string() + "\nsleep 4000\ndialog-command 4");
    });
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (!fs::exists(asked) && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    bool shown = fs::exists(asked);
    size_t waiting = temporaries();
    fs::create_directories(maildir);
    program.join();
    ASSERT_TRUE(shown);
    EXPECT_EQ(waiting, 2u);
    EXPECT_EQ(status, 0);
    fotrix::mail::PreparedMail expected;
    prepareExpected(expected);
    EXPECT_EQ(mailtest::checkMessage(maildir, "outbox", "a@x.org, b@y.org, c@z.org", kSubject, kBody,
                                     {{"a.jpg", expected.attachments[0].file}, {"b.png", expected.attachments[1].file}}),
              0);
    EXPECT_EQ(temporaries(), 0u);
}

}  // namespace
