#include "jetwriter/FormatInfo.h"

namespace jetwriter {

const FormatInfo& formatInfo(Format format)
{
    static const FormatInfo jet3{Format::Jet3, false, 2048, 10, 8, 1 + 4 + 128, 128, 255, 255};
    static const FormatInfo jet4{Format::Jet4, true, 4096, 14, 12, 1 + 4 + 64, 64, 255, 255};
    return format == Format::Jet3 ? jet3 : jet4;
}

}  // namespace jetwriter
