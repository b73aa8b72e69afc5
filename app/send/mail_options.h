#pragma once
// The e-mail options ("Email" key of the settings) and the rules that turn
// the size and format choices into a picture size and save options.
#include <string>

namespace fotrix::mail {

constexpr const char* kEmailSection = "Email";

// Size list: 0 original, 1 "75%", 2 "50%", 3 "25%", 4 "10%".
constexpr int kSizeChoices = 5;
// Format list: 0 original, 1 PNG, 2 JPEG high, 3 JPEG normal, 4 JPEG low, 5 GIF.
constexpr int kFormatChoices = 6;

struct MailOptions {
    std::string to;        // addresses separated by blanks or ";"
    int size = 0;
    int format = 0;
    std::string services;  // display name of the account to send through
};

// Reads the four values; a choice outside its list reads as 0.
MailOptions ReadMailOptions();
void WriteMailOptions(const MailOptions& options);

// The percentage of a size choice (100 for the original size or an unknown choice).
int SizePercent(int size);
// Width and height reduced by a size choice in integer arithmetic (50% of
// 1001 x 601 is 500 x 300); when either side would become 0 the picture keeps
// its size.
void ScaledSize(int width, int height, int size, int& outWidth, int& outHeight);

// How a prepared attachment is saved.
struct SaveChoice {
    int formatIndex = -1;  // row of the format table
    int quality = 75;      // JPEG quality
    int compression = 6;   // PNG deflate level
};
// The save options of a format choice for a picture loaded from format
// `pictureFormat`: format 0 keeps that format at quality 75, or, when the
// library cannot write it (TIFF, PCX, camera raw ...), JPEG at quality 75.
SaveChoice SaveChoiceFor(int format, int pictureFormat);

// Whether the file itself is attached, untouched.
inline bool AttachesOriginal(const MailOptions& options) { return options.size == 0 && options.format == 0; }

}  // namespace fotrix::mail
