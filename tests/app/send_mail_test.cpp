// E-mail: the size and format rules, preparing attachments, recipients,
// accounts, and messages in a Maildir outbox that Python's mailbox and email
// packages read back.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <chrono>
#include <fstream>

#include "app/send/mail_accounts.h"
#include "app/send/mail_attachments.h"
#include "app/send/mail_maildir.h"
#include "app/send/mail_options.h"
#include "app/send/mail_send.h"
#include "app/settings.h"
#include "imagelib/bitmap.h"
#include "imagelib/formats.h"
#include "imagelib/load.h"
#include "imagelib/save.h"
#include "platform/registry/registry.h"
#include "tests/support/env_support.h"
#include "tests/support/registry_support.h"
#include "tests/support/test_support.h"
#include "tests/app/send_mail_support.h"

namespace fs = std::filesystem;
using namespace fotrix;
using namespace fotrix::mail;

namespace {

std::string q(const fs::path& p) { return "'" + p.string() + "'"; }

// A w x h true-colour picture with a gradient, saved by our own writers.
void writePicture(const fs::path& path, int w, int h, int format, int quality = 90)
{
    libraryInit();
    Bitmap bitmap;
    ASSERT_EQ(bitmapAllocate(bitmap, Rgb, 4, w, h), 1);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            uint8_t* p = bitmapRow(bitmap, y) + x * 3;
            p[0] = static_cast<uint8_t>(x * 255 / w);
            p[1] = static_cast<uint8_t>(y * 255 / h);
            p[2] = 90;
        }
    SaveParams params;
    saveParamsDefaults(params);
    params.format = format;
    params.quality = static_cast<uint16_t>(quality);
    EXPECT_EQ(saveBitmap(path.string(), bitmap, params), 0);
    bitmapFree(bitmap);
}

struct Described {
    int format = -1, width = 0, height = 0, quality = 0;
};
Described describe(const fs::path& path)
{
    FileInfo info;
    Described d;
    if (getFileInfo(path.string(), -1, EstimateQuality, info) == 0)
        d = {info.formatIndex, info.width, info.height, static_cast<int>(info.readerValues[2])};
    freeFileInfo(info);
    return d;
}

TEST(SendMailRules, sizes_scale_both_sides_in_integer_arithmetic)
{
    int w = 0, h = 0;
    ScaledSize(1001, 601, 2, w, h);
    EXPECT_EQ(w, 500);
    EXPECT_EQ(h, 300);
    ScaledSize(1001, 601, 1, w, h);
    EXPECT_EQ(std::make_pair(w, h), std::make_pair(750, 450));
    ScaledSize(1001, 601, 4, w, h);
    EXPECT_EQ(std::make_pair(w, h), std::make_pair(100, 60));
    // A side that would vanish keeps the picture as it is.
    ScaledSize(400, 9, 4, w, h);
    EXPECT_EQ(std::make_pair(w, h), std::make_pair(400, 9));
    ScaledSize(1001, 601, 0, w, h);
    EXPECT_EQ(std::make_pair(w, h), std::make_pair(1001, 601));
}

TEST(SendMailRules, format_choices_give_their_writer_and_quality)
{
    libraryInit();
    struct Case {
        int format, picture, expectedFormat, quality, compression;
    };
    const Case cases[] = {
        {0, FormatPng, FormatPng, 75, 6},   {0, FormatJpeg, FormatJpeg, 75, 6}, {0, FormatBmp, FormatBmp, 75, 6},
        {0, FormatTiff, FormatJpeg, 75, 6},  // no TIFF writer: sent as JPEG
        {1, FormatJpeg, FormatPng, 75, 7},   {2, FormatPng, FormatJpeg, 100, 6}, {3, FormatPng, FormatJpeg, 75, 6},
        {4, FormatPng, FormatJpeg, 50, 6},   {5, FormatJpeg, FormatGif, 75, 6},
    };
    for (const Case& c : cases) {
        SaveChoice choice = SaveChoiceFor(c.format, c.picture);
        EXPECT_EQ(choice.formatIndex, c.expectedFormat) << c.format << " " << c.picture;
        if (c.expectedFormat == FormatJpeg) {
            EXPECT_EQ(choice.quality, c.quality) << c.format;
        }
        if (c.expectedFormat == FormatPng) {
            EXPECT_EQ(choice.compression, c.compression) << c.format;
        }
    }
}

TEST(SendMailRules, recipients_split_at_blanks_and_semicolons)
{
    EXPECT_EQ(parseRecipients("a@x.org; b@y.org c@z.org"),
              (std::vector<std::string>{"a@x.org", "b@y.org", "c@z.org"}));
    EXPECT_EQ(parseRecipients("a@x.org;b@y.org ;c@z.org"),
              (std::vector<std::string>{"a@x.org", "b@y.org", "c@z.org"}));
    EXPECT_TRUE(parseRecipients(" ;; ").empty());
}

TEST(SendMailRules, attachment_names_take_the_output_extension)
{
    libraryInit();
    EXPECT_EQ(AttachmentName("/p/holiday.tif", FormatJpeg), "holiday.jpg");
    EXPECT_EQ(AttachmentName("/p/a.b.png", FormatGif), "a.b.gif");
    EXPECT_EQ(AttachmentName("/p/noext", FormatPng), "noext.png");
    EXPECT_EQ(TemporaryAttachmentPath("/t/", 3), "/t/fotrix_temporary_3.tmp");
}

class SendMailPrepare : public ::testing::Test {
protected:
    testsupport::TempDir dir;
    std::string temporary() const { return (dir / "tmp").string() + "/"; }
};

TEST_F(SendMailPrepare, half_size_of_1001_by_601_is_500_by_300_in_the_same_format)
{
    writePicture(dir / "wide.png", 1001, 601, FormatPng);
    PreparedMail prepared = PrepareAttachments({(dir / "wide.png").string()}, {"", 2, 0, ""}, temporary());
    ASSERT_EQ(prepared.failedIndex, -1);
    ASSERT_EQ(prepared.attachments.size(), 1u);
    EXPECT_EQ(prepared.attachments[0].file, temporary() + "fotrix_temporary_0.tmp");
    EXPECT_EQ(prepared.attachments[0].name, "wide.png");
    Described d = describe(prepared.attachments[0].file);
    EXPECT_EQ(d.format, FormatPng);
    EXPECT_EQ(std::make_pair(d.width, d.height), std::make_pair(500, 300));
    RemoveTemporaries(prepared);
    EXPECT_FALSE(fs::exists(temporary() + "fotrix_temporary_0.tmp"));
}

TEST_F(SendMailPrepare, original_format_at_75_percent_keeps_jpeg_at_quality_75)
{
    writePicture(dir / "photo.jpg", 400, 200, FormatJpeg, 95);
    PreparedMail prepared = PrepareAttachments({(dir / "photo.jpg").string()}, {"", 1, 0, ""}, temporary());
    ASSERT_EQ(prepared.attachments.size(), 1u);
    Described d = describe(prepared.attachments[0].file);
    EXPECT_EQ(d.format, FormatJpeg);
    EXPECT_EQ(std::make_pair(d.width, d.height), std::make_pair(300, 150));
    EXPECT_EQ(d.quality, 75);
    EXPECT_EQ(prepared.attachments[0].name, "photo.jpg");
    RemoveTemporaries(prepared);
}

TEST_F(SendMailPrepare, gif_and_jpeg_choices_convert_the_layout_and_rename)
{
    writePicture(dir / "a.png", 64, 48, FormatPng);
    writePicture(dir / "b.bmp", 64, 48, FormatBmp);
    PreparedMail gif = PrepareAttachments({(dir / "a.png").string(), (dir / "b.bmp").string()}, {"", 0, 5, ""},
                                          temporary());
    ASSERT_EQ(gif.attachments.size(), 2u);
    EXPECT_EQ(gif.attachments[0].name, "a.gif");
    EXPECT_EQ(gif.attachments[1].name, "b.gif");
    EXPECT_EQ(gif.attachments[1].file, temporary() + "fotrix_temporary_1.tmp");
    EXPECT_EQ(describe(gif.attachments[0].file).format, FormatGif);
    RemoveTemporaries(gif);
    PreparedMail jpeg = PrepareAttachments({(dir / "a.png").string()}, {"", 0, 4, ""}, temporary());
    ASSERT_EQ(jpeg.attachments.size(), 1u);
    EXPECT_EQ(jpeg.attachments[0].name, "a.jpg");
    EXPECT_EQ(describe(jpeg.attachments[0].file).quality, 50);
    RemoveTemporaries(jpeg);
}

TEST_F(SendMailPrepare, original_size_and_format_attach_the_file_itself)
{
    writePicture(dir / "a.png", 8, 8, FormatPng);
    PreparedMail prepared = PrepareAttachments({(dir / "a.png").string()}, {"", 0, 0, ""}, temporary());
    ASSERT_EQ(prepared.attachments.size(), 1u);
    EXPECT_EQ(prepared.attachments[0].file, dir / "a.png");
    EXPECT_EQ(prepared.attachments[0].name, "a.png");
    EXPECT_TRUE(prepared.temporaries.empty());
    RemoveTemporaries(prepared);
    EXPECT_TRUE(fs::exists(dir / "a.png"));
}

TEST_F(SendMailPrepare, a_file_that_does_not_load_ends_the_preparation_and_keeps_the_ones_before)
{
    writePicture(dir / "a.png", 20, 20, FormatPng);
    testsupport::writeFile(dir / "broken.png", std::string("\x89PNG\r\n\x1a\n not really", 19));
    writePicture(dir / "c.png", 20, 20, FormatPng);
    PreparedMail prepared = PrepareAttachments(
        {(dir / "a.png").string(), (dir / "broken.png").string(), (dir / "c.png").string()}, {"", 3, 0, ""},
        temporary());
    EXPECT_EQ(prepared.failedIndex, 1);
    EXPECT_TRUE(prepared.failedLoad);
    EXPECT_NE(prepared.failedCode, 0);
    ASSERT_EQ(prepared.attachments.size(), 1u);
    EXPECT_EQ(prepared.attachments[0].name, "a.png");
    EXPECT_FALSE(fs::exists(temporary() + "fotrix_temporary_1.tmp"));
    RemoveTemporaries(prepared);
    EXPECT_EQ(mailtest::filesIn(dir / "tmp"), 0u);
}

class SendMailStore : public testsupport::RegistryFixture {};

TEST_F(SendMailStore, options_default_to_nothing_and_out_of_range_choices_read_as_zero)
{
    MailOptions fresh = ReadMailOptions();
    EXPECT_EQ(fresh.to, "");
    EXPECT_EQ(fresh.size, 0);
    EXPECT_EQ(fresh.format, 0);
    EXPECT_EQ(fresh.services, "");
    WriteMailOptions({"a@x.org b@y.org", 3, 5, "Work"});
    RegistryReset();
    MailOptions stored = ReadMailOptions();
    EXPECT_EQ(stored.to, "a@x.org b@y.org");
    EXPECT_EQ(stored.size, 3);
    EXPECT_EQ(stored.format, 5);
    EXPECT_EQ(stored.services, "Work");
    WriteNumber(kEmailSection, "size", 5);
    WriteNumber(kEmailSection, "format", -1);
    EXPECT_EQ(ReadMailOptions().size, 0);
    EXPECT_EQ(ReadMailOptions().format, 0);
}

TEST_F(SendMailStore, accounts_come_from_the_settings_and_FOTRIX_MAILDIR)
{
    testsupport::EnvScope noMaildir("FOTRIX_MAILDIR", nullptr);
    testsupport::EnvScope home("HOME", dir.path().c_str());
    ASSERT_EQ(ListAccounts().size(), 1u);
    EXPECT_EQ(ListAccounts()[0].name, kLocalAccount);
    EXPECT_EQ(ListAccounts()[0].maildir, dir / "Maildir");

    WriteText("Email\\Accounts\\Work", "maildir", "~/Mail/work");
    WriteText("Email\\Accounts\\Work", "from", "me@work.org");
    WriteText("Email\\Accounts\\Work", "submit", "sendmail -t");
    WriteText("Email\\Accounts\\Empty", "from", "nobody@x.org");  // no folder: left out
    std::vector<Account> accounts = ListAccounts();
    ASSERT_EQ(accounts.size(), 1u);
    EXPECT_EQ(accounts[0].maildir, dir / "Mail/work");
    EXPECT_EQ(accounts[0].from, "me@work.org");
    EXPECT_EQ(accounts[0].submit, "sendmail -t");
    ASSERT_NE(FindAccount(accounts, "WORK"), nullptr);
    EXPECT_EQ(FindAccount(accounts, "Works"), nullptr);

    testsupport::EnvScope maildir("FOTRIX_MAILDIR", (dir / "test-mail").c_str());
    accounts = ListAccounts();
    ASSERT_EQ(accounts.size(), 2u);
    EXPECT_EQ(accounts[0].name, kLocalAccount);
    EXPECT_EQ(accounts[0].maildir, dir / "test-mail");
    EXPECT_EQ(accounts[1].name, "Work");
}

class SendMailMaildir : public ::testing::Test {
protected:
    testsupport::TempDir dir;
    fs::path maildir;
    void SetUp() override
    {
        maildir = dir / "Maildir";
        fs::create_directories(maildir);
    }
    fs::path picture(const std::string& name, size_t size)
    {
        std::string bytes(size, '\0');
        for (size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>(i * 7 + i / 251);
        testsupport::writeFile(dir / name, bytes);
        return dir / name;
    }
};

TEST_F(SendMailMaildir, message_reads_back_with_python_recipients_subject_body_and_attachments)
{
    Message message;
    message.from = "me@home.org";
    message.recipients = parseRecipients("a@x.org; b@y.org c@z.org");
    message.subject = "Pictures from Fotrix Pocket";
    message.body = "Here they are.";
    // Sizes around the base64 line and group boundaries, and an empty file.
    message.attachments = {{picture("p0", 0), "empty.jpg"},
                           {picture("p1", 1), "one.png"},
                           {picture("p57", 57), "line.gif"},
                           {picture("p5000", 5000), "holiday.jpg"}};
    OutboxResult written = writeToOutbox(maildir, message);
    ASSERT_TRUE(written.ok());
    EXPECT_EQ(written.delivered.parent_path(), maildir / ".outbox" / "new");
    EXPECT_EQ(mailtest::filesIn(maildir / ".outbox" / "tmp"), 0u);
    EXPECT_EQ(mailtest::checkMessage(maildir, "outbox", "a@x.org, b@y.org, c@z.org", message.subject, message.body,
                       {{"empty.jpg", dir / "p0"},
                        {"one.png", dir / "p1"},
                        {"line.gif", dir / "p57"},
                        {"holiday.jpg", dir / "p5000"}}),
              0);
}

TEST_F(SendMailMaildir, texts_outside_ascii_are_encoded_and_headers_cannot_be_injected)
{
    Message message;
    message.recipients = {"a@x.org"};
    // Long enough for several encoded words, with two-byte characters at the cuts.
    message.subject = "Bilder aus Köln und Düsseldorf, Grüße von der ganzen Familie éàü";
    message.body = "Schöne Grüße.\nZweite Zeile.";
    message.attachments = {{picture("p", 300), "Straße\r\nBcc: evil@x.org.jpg"}};
    ASSERT_TRUE(writeToOutbox(maildir, message).ok());
    EXPECT_EQ(mailtest::checkMessage(maildir, "outbox", "a@x.org", message.subject, "Schöne Grüße.\nZweite Zeile.",
                       {{"Straße  Bcc: evil@x.org.jpg", dir / "p"}}),
              0);
    fs::remove_all(maildir / ".outbox");
    message.subject = "Pictures\r\nBcc: evil@x.org";
    message.attachments.clear();
    ASSERT_TRUE(writeToOutbox(maildir, message).ok());
    EXPECT_EQ(mailtest::checkMessage(maildir, "outbox", "a@x.org", "Pictures  Bcc: evil@x.org", message.body, {}), 0);
    // Texts that look like encoded words reach the receiver as they were.
    fs::remove_all(maildir / ".outbox");
    message.subject = "Pictures =?UTF-8?B?eA==?=";
    message.attachments = {{dir / "p", "=?UTF-8?B?eA==?=.jpg"}};
    ASSERT_TRUE(writeToOutbox(maildir, message).ok());
    EXPECT_EQ(mailtest::checkMessage(maildir, "outbox", "a@x.org", message.subject, message.body,
                                     {{"=?UTF-8?B?eA==?=.jpg", dir / "p"}}),
              0);
}

TEST_F(SendMailMaildir, missing_or_wrong_folders_and_unreadable_attachments_write_nothing)
{
    Message message;
    message.recipients = {"a@x.org"};
    OutboxResult missing = writeToOutbox(dir / "nowhere", message);
    EXPECT_EQ(missing.failure, OutboxError::NoFolder);
    EXPECT_EQ(missing.path, dir / "nowhere");
    EXPECT_FALSE(fs::exists(dir / "nowhere"));

    testsupport::writeFile(dir / "afile", std::string("x"));
    EXPECT_EQ(writeToOutbox(dir / "afile", message).failure, OutboxError::NotAFolder);

    message.attachments = {{dir / "gone.jpg", "gone.jpg"}};
    OutboxResult unreadable = writeToOutbox(maildir, message);
    EXPECT_EQ(unreadable.failure, OutboxError::CannotRead);
    EXPECT_EQ(unreadable.path, dir / "gone.jpg");
    EXPECT_EQ(mailtest::filesIn(maildir / ".outbox" / "new"), 0u);

    // An outbox that cannot be made: ".outbox" taken by a file.
    message.attachments.clear();
    testsupport::writeFile(maildir / ".outbox", std::string("x"));
    OutboxResult blocked = writeToOutbox(maildir, message);
    EXPECT_EQ(blocked.failure, OutboxError::CannotWrite);
    EXPECT_NE(blocked.error, 0);
}

TEST_F(SendMailMaildir, submission_command_gets_the_message_and_success_files_it_as_sent)
{
    Account account{"Work", maildir, "me@work.org", "cat > " + q(dir / "submitted.eml")};
    Message message;
    message.recipients = {"a@x.org", "b@y.org"};
    message.subject = "Sent";
    message.body = "Body";
    message.attachments = {{picture("p", 100), "p.jpg"}};
    SendResult sent = mailSend(message, account);
    ASSERT_TRUE(sent.ok());
    EXPECT_TRUE(sent.submitRan);
    EXPECT_EQ(sent.sent.parent_path(), maildir / ".sent" / "cur");
    EXPECT_EQ(sent.sent.filename().string(), sent.outbox.delivered.filename().string() + ":2,S");
    EXPECT_EQ(mailtest::filesIn(maildir / ".outbox" / "new"), 0u);
    EXPECT_EQ(testsupport::readFile(dir / "submitted.eml"), testsupport::readFile(sent.sent));
    EXPECT_EQ(mailtest::checkMessage(maildir, "sent", "a@x.org, b@y.org", "Sent", "Body", {{"p.jpg", dir / "p"}}), 0);
    std::string submitted(reinterpret_cast<const char*>(testsupport::readFile(dir / "submitted.eml").data()),
                          testsupport::readFile(dir / "submitted.eml").size());
    EXPECT_NE(submitted.find("From: me@work.org\n"), std::string::npos);
}

TEST_F(SendMailMaildir, failed_submission_leaves_the_message_queued)
{
    Account account{"Work", maildir, "", "cat > /dev/null; exit 3"};
    Message message;
    message.recipients = {"a@x.org"};
    SendResult result = mailSend(message, account);
    EXPECT_TRUE(result.outbox.ok());
    EXPECT_FALSE(result.ok());
    EXPECT_EQ(result.submitStatus, 3);
    EXPECT_TRUE(fs::exists(result.outbox.delivered));
    EXPECT_FALSE(fs::exists(maildir / ".sent"));
}

TEST_F(SendMailMaildir, a_submission_command_that_hangs_is_stopped)
{
    testsupport::writeFile(dir / "m", std::string("x"));
    auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(runSubmitCommand("exec sleep 30", dir / "m", 200), -1);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
    EXPECT_EQ(runSubmitCommand("exit 0", dir / "m", 5000), 0);
    EXPECT_EQ(runSubmitCommand("read line; test \"$line\" = x", dir / "m", 5000), 0);
}

}  // namespace
