#pragma once
// Preparing the selected pictures as attachments: attached as they are, or
// loaded, reduced, re-encoded and saved into numbered temporary files.
#include "app/send/mail_maildir.h"
#include "app/send/mail_options.h"

#include <string>
#include <vector>

namespace fotrix::mail {

// What a preparation made. The temporary files belong to it: RemoveTemporaries
// deletes them once the message is written (or given up).
struct PreparedMail {
    std::vector<Attachment> attachments;
    std::vector<std::string> temporaries;
    // The file that ended the preparation and why: the library's result of
    // loading it (failedLoad) or of saving it (otherwise); -1 when every file was prepared.
    int failedIndex = -1;
    int failedCode = 0;
    bool failedLoad = false;
};

// "fotrix_temporary_<index>.tmp" in `temporaryFolder` (which ends with "/").
std::string TemporaryAttachmentPath(const std::string& temporaryFolder, int index);

// The name the receiver sees for `sourcePath` saved as `formatIndex`: the
// source's file name with the format's extension.
std::string AttachmentName(const std::string& sourcePath, int formatIndex);

// Prepares `paths` in order with the size and format of `options`. With the
// original size and format each file is attached itself; otherwise each is
// made in `temporaryFolder` (created when missing). The first file that
// cannot be loaded or saved ends the preparation: what was made before it is kept.
PreparedMail PrepareAttachments(const std::vector<std::string>& paths, const MailOptions& options,
                                const std::string& temporaryFolder);

void RemoveTemporaries(PreparedMail& prepared);

}  // namespace fotrix::mail
