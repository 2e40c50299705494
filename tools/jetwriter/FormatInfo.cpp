#include "jetwriter/FormatInfo.h"

namespace jetwriter {

const FormatInfo& formatInfo(Format format)
{
    static const FormatInfo jet3{Format::Jet3, false, false, 0, 2048, 10, 8, 1 + 4 + 128, 128, 255, 255};
    static const FormatInfo jet4{Format::Jet4, true, false, 1, 4096, 14, 12, 1 + 4 + 64, 64, 255, 255};
    static const FormatInfo ace2007{Format::Ace2007, true, true, 2, 4096, 14, 12, 1 + 4 + 64, 64, 255, 255};
    static const FormatInfo ace2010{Format::Ace2010, true, true, 3, 4096, 14, 12, 1 + 4 + 64, 64, 255, 255};
    switch (format) {
    case Format::Jet3: return jet3;
    case Format::Jet4: return jet4;
    case Format::Ace2007: return ace2007;
    case Format::Ace2010: return ace2010;
    }
    return jet4;
}

}  // namespace jetwriter
