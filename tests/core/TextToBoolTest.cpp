#include "core/Error.h"
#include "core/TextToBool.h"

#include <gtest/gtest.h>

namespace varnex {
namespace {

TEST(TextToBool, TextToBoolean)
{
    const std::vector<std::pair<QString, bool>> converts = {
        {"True", true}, {"true", true}, {"TRUE", true}, {"False", false}, {"false", false}, {"FALSE", false},
        {"0", false},   {"-1", true},   {"1", true},    {"2.5", true},    {"0.0", false},   {" 0 ", false},
        {"&H0", false}, {"&HFF", true}, {"1e3", true},
    };
    for (const auto& [text, expected] : converts) {
        SCOPED_TRACE(text.toStdString());
        const Result<bool> value = textToBool(text);
        ASSERT_TRUE(value.ok());
        EXPECT_EQ(*value, expected);
    }
    for (const QString& text : {QString(), QStringLiteral("yes"), QStringLiteral("Tru"), QStringLiteral("1,5"),
                                QStringLiteral("inf"), QStringLiteral("nan"), QStringLiteral("- 1")}) {
        SCOPED_TRACE(text.toStdString());
        const Result<bool> value = textToBool(text);
        ASSERT_FALSE(value.ok());
        EXPECT_EQ(value.error(), makeError(ErrorCode::TypeMismatch));
    }
}

}  // namespace
}  // namespace varnex
