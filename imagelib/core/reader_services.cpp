// The small services readers call besides the row path: header defaults,
// comments, metadata, text entries and messages.
#include <cctype>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "imagelib/core/pipeline.h"

namespace fotrix {

ReaderContext::ReaderContext() = default;

ReaderContext::~ReaderContext()
{
    std::free(comment);
    metadataFreeList(metadata);
    for (int i = 0; i < textCount; ++i) std::free(texts[i]);
}

void imageHeaderDefaults(ImageHeader& header) { header = ImageHeader{}; }

namespace {

bool startsPrintable(const char* text, int length)
{
    if (length < 1) return false;
    const auto c = static_cast<unsigned char>(text[0]);
    return std::isalnum(c) || std::ispunct(c) || c == ' ' || c == '\t';
}

char* copyText(const char* text, size_t length)
{
    char* copy = static_cast<char*>(std::malloc(length + 1));
    if (!copy) return nullptr;
    std::memcpy(copy, text, length);
    copy[length] = '\0';
    return copy;
}

}  // namespace

void setComment(ReaderContext& context, const char* text, int length)
{
    if (!context.option(ReadComment) || !text) return;
    if (length < 1) length = static_cast<int>(std::strlen(text));
    if (!startsPrintable(text, length)) return;
    char* copy = copyText(text, static_cast<size_t>(length));
    if (!copy) return;
    std::free(context.comment);
    context.comment = copy;
}

bool readComment(ReaderContext& context, Stream& stream, uint32_t size)
{
    if (!context.option(ReadComment)) return streamSkip(stream, size);
    if (size > streamRemaining(stream)) {
        stream.failed = true;
        return false;
    }
    std::vector<char> text(size);
    if (!streamReadExact(stream, text.data(), size)) return false;
    setComment(context, text.data(), static_cast<int>(strnlen(text.data(), size)));
    return true;
}

void addMetadata(ReaderContext& context, uint32_t kind, const uint8_t* data, uint32_t size)
{
    if (!context.option(ReadMetadata) || !data || size == 0) return;
    if (kind == MetaIcc) {
        // A profile stored in pieces becomes one block, in file order.
        if (MetadataBlock* existing = metadataFind(context.metadata, MetaIcc)) {
            auto* joined = static_cast<uint8_t*>(std::realloc(existing->data, static_cast<size_t>(existing->size) + size));
            if (!joined) return;
            std::memcpy(joined + existing->size, data, size);
            existing->data = joined;
            existing->size += size;
            return;
        }
    }
    metadataAppend(context.metadata, kind, data, size);
}

void addTextEntry(ReaderContext& context, const char* key, const char* value, int length)
{
    if (!context.option(ReadTextInfo) || context.textCount >= FileInfoMaxTexts || !key || !value) return;
    if (length < 1) length = static_cast<int>(std::strlen(value));
    if (!startsPrintable(value, length)) return;
    const size_t keyLength = std::strlen(key);
    std::vector<char> text(keyLength + 2 + static_cast<size_t>(length));
    std::memcpy(text.data(), key, keyLength);
    std::memcpy(text.data() + keyLength, ": ", 2);
    std::memcpy(text.data() + keyLength + 2, value, static_cast<size_t>(length));
    if (char* entry = copyText(text.data(), text.size())) context.texts[context.textCount++] = entry;
}

int readerFail(ReaderContext& context, int code, const char* message)
{
    std::strncpy(context.errorText, message ? message : "", sizeof context.errorText - 1);
    context.errorText[sizeof context.errorText - 1] = '\0';
    return code;
}

}  // namespace fotrix
