#include "imagelib/result.h"

namespace fotrix {

const char* resultText(int code)
{
    switch (code) {
#define FOTRIX_RESULT_CASE(value, name, text) \
    case value: return text;
        FOTRIX_RESULT_CODES(FOTRIX_RESULT_CASE)
#undef FOTRIX_RESULT_CASE
    }
    return "unknown result";
}

}  // namespace fotrix
