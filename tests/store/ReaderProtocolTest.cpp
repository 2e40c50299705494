#include "store/ReaderProtocol.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstring>

namespace varnex::reader {
namespace {

// The payload of an Error message as the reader process writes it, read back from a pipe.
std::vector<char> sentErrorPayload(const Error& error)
{
    int ends[2];
    EXPECT_EQ(pipe(ends), 0);
    EXPECT_TRUE(writeError(ends[1], error));
    close(ends[1]);
    MessageHeader header;
    EXPECT_EQ(read(ends[0], &header, sizeof header), static_cast<ssize_t>(sizeof header));
    EXPECT_EQ(header.kind, static_cast<uint32_t>(MessageKind::Error));
    std::vector<char> payload(header.length);
    EXPECT_EQ(read(ends[0], payload.data(), payload.size()), static_cast<ssize_t>(payload.size()));
    close(ends[0]);
    return payload;
}

// Every code crosses from the reader process as it was sent; a number beyond the codes is damage
// and reads as a failed read.
TEST(ReaderProtocolTest, ErrorsCarryEveryCodeAndNothingBeyond)
{
    const auto count = static_cast<int>(ErrorCode::Count);
    for (int number = 0; number < count; ++number) {
        SCOPED_TRACE(number);
        const Error sent{static_cast<ErrorCode>(number), QStringLiteral("why \u00e9")};
        EXPECT_EQ(parseError(sentErrorPayload(sent)), sent);
    }
    for (const int number : {count, count + 1, 0xFFFF}) {
        SCOPED_TRACE(number);
        std::vector<char> payload(2);
        const auto code = static_cast<uint16_t>(number);
        std::memcpy(payload.data(), &code, sizeof code);
        EXPECT_EQ(parseError(payload), makeError(ErrorCode::ReadFailed));
    }
}

}  // namespace
}  // namespace varnex::reader
