#pragma once
// Result codes of the image library: one numbering for loading, saving and
// processing. Codes and their texts come from one list.

namespace fotrix {

#define FOTRIX_RESULT_CODES(X)                                   \
    X(0, ResultOk, "success")                                    \
    X(1, ResultNoMemory, "out of memory")                        \
    X(2, ResultUnknownFormat, "unknown format")                  \
    X(3, ResultCannotOpen, "cannot open file")                   \
    X(4, ResultReadError, "read error or early end of file")     \
    X(5, ResultCannotCreate, "cannot create file")               \
    X(6, ResultWriteError, "write error")                        \
    X(7, ResultLayoutRefused, "layout not accepted by the writer") \
    X(8, ResultNoWriter, "no writer for this format")            \
    X(9, ResultBadHeader, "bad header")                          \
    X(10, ResultCorrupt, "corrupt data")                         \
    X(11, ResultJpegError, "JPEG library error")                 \
    X(15, ResultCancelled, "cancelled")                          \
    X(16, ResultBadSize, "bad size, empty rectangle or bad mode") \
    X(17, ResultBinaryRefused, "operation not available for black-and-white pictures") \
    X(18, ResultReadOnly, "the file is read-only")

enum Result : int {
#define FOTRIX_RESULT_ENUM(code, name, text) name = code,
    FOTRIX_RESULT_CODES(FOTRIX_RESULT_ENUM)
#undef FOTRIX_RESULT_ENUM
};

// The load pipeline's names for the same codes.
constexpr int LoadOk = ResultOk;
constexpr int LoadNoMemory = ResultNoMemory;
constexpr int LoadUnknownFormat = ResultUnknownFormat;
constexpr int LoadCannotOpen = ResultCannotOpen;
constexpr int LoadReadError = ResultReadError;
constexpr int LoadBadData = ResultBadHeader;
constexpr int LoadCorrupt = ResultCorrupt;
constexpr int LoadCancelled = ResultCancelled;
constexpr int EmptyRectangle = ResultBadSize;

// The text of a result code ("unknown result" for codes outside the list).
const char* resultText(int code);

}  // namespace fotrix
