#include "app/send/mail_options.h"

#include "app/settings.h"
#include "imagelib/formats.h"

namespace fotrix::mail {

namespace {

constexpr int kTextCapacity = 260;
constexpr int kPercents[kSizeChoices] = {100, 75, 50, 25, 10};

int choiceIn(int value, int count) { return value >= 0 && value < count ? value : 0; }

bool canWrite(int formatIndex)
{
    const FormatEntry* entry = formatIndex >= 0 ? formatEntry(formatIndex) : nullptr;
    return entry && (entry->flags & CanWrite) && entry->writeFunction;
}

}  // namespace

MailOptions ReadMailOptions()
{
    MailOptions options;
    ReadText(kEmailSection, "to", "", options.to, kTextCapacity);
    options.size = choiceIn(ReadNumber(kEmailSection, "size", 0), kSizeChoices);
    options.format = choiceIn(ReadNumber(kEmailSection, "format", 0), kFormatChoices);
    ReadText(kEmailSection, "services", "", options.services, kTextCapacity);
    return options;
}

void WriteMailOptions(const MailOptions& options)
{
    WriteText(kEmailSection, "to", options.to.c_str());
    WriteNumber(kEmailSection, "size", options.size);
    WriteNumber(kEmailSection, "format", options.format);
    WriteText(kEmailSection, "services", options.services.c_str());
}

int SizePercent(int size) { return kPercents[choiceIn(size, kSizeChoices)]; }

void ScaledSize(int width, int height, int size, int& outWidth, int& outHeight)
{
    outWidth = width;
    outHeight = height;
    long long w = static_cast<long long>(width) * SizePercent(size) / 100;
    long long h = static_cast<long long>(height) * SizePercent(size) / 100;
    if (w <= 0 || h <= 0) return;
    outWidth = static_cast<int>(w);
    outHeight = static_cast<int>(h);
}

SaveChoice SaveChoiceFor(int format, int pictureFormat)
{
    SaveChoice choice;
    switch (format) {
    case 1: choice.formatIndex = FormatPng; choice.compression = 7; break;
    case 2: choice.formatIndex = FormatJpeg; choice.quality = 100; break;
    case 3: choice.formatIndex = FormatJpeg; choice.quality = 75; break;
    case 4: choice.formatIndex = FormatJpeg; choice.quality = 50; break;
    case 5: choice.formatIndex = FormatGif; break;
    default: choice.formatIndex = canWrite(pictureFormat) ? pictureFormat : FormatJpeg; break;
    }
    return choice;
}

}  // namespace fotrix::mail
