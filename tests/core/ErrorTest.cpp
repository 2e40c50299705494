#include "core/Error.h"

#include <gtest/gtest.h>

#include <map>

namespace varnex {
namespace {

constexpr int kEngine = -2147467259;  // every error of the database engine

// The numbers users see beside the texts (the log's start-up failure line, for one): every code
// has one, and a code added later must be given its own here.
TEST(ErrorTest, EveryCodeKeepsTheNumberItIsShownWith)
{
    const std::map<ErrorCode, int> numbers = {
        {ErrorCode::InvalidCall, 5}, {ErrorCode::Overflow, 6}, {ErrorCode::OutOfMemory, 7},
        {ErrorCode::TypeMismatch, 13}, {ErrorCode::BadFileName, 52}, {ErrorCode::FileNotFound, 53},
        {ErrorCode::FileAlreadyOpen, 55}, {ErrorCode::DeviceIoError, 57}, {ErrorCode::DiskFull, 61},
        {ErrorCode::TooManyFiles, 67}, {ErrorCode::PermissionDenied, 70}, {ErrorCode::PathFileAccess, 75},
        {ErrorCode::PathNotFound, 76}, {ErrorCode::NoObject, 91}, {ErrorCode::DialogCancelled, 32755},
        {ErrorCode::BadArguments, 3001}, {ErrorCode::NoCurrentRecord, 3021}, {ErrorCode::ItemNotFound, 3265},
        {ErrorCode::ObjectClosed, 3704}, {ErrorCode::ObjectOpen, 3705}, {ErrorCode::ProviderNotFound, 3706},
        {ErrorCode::ConnectionUnusable, 3709}, {ErrorCode::DatabaseNotFound, kEngine},
        {ErrorCode::UnrecognizedFormat, kEngine}, {ErrorCode::CannotOpenFile, kEngine},
        {ErrorCode::BadAccount, kEngine}, {ErrorCode::BadPassword, kEngine}, {ErrorCode::TableNotFound, kEngine},
        {ErrorCode::UnreadableEncryption, kEngine}, {ErrorCode::HeaderPageTooShort, kEngine},
        {ErrorCode::NotAceDatabase, kEngine}, {ErrorCode::EncryptionTruncated, kEngine},
        {ErrorCode::EncryptionMalformed, kEngine}, {ErrorCode::EncryptionFieldMissing, kEngine},
        {ErrorCode::EncryptionBadBase64, kEngine}, {ErrorCode::EncryptionBadNumber, kEngine},
        {ErrorCode::EncryptionBadSaltSize, kEngine}, {ErrorCode::EncryptionBadKeySize, kEngine},
        {ErrorCode::EncryptionBadBlockSize, kEngine}, {ErrorCode::EncryptionBadHashSize, kEngine},
        {ErrorCode::UnsupportedCipher, kEngine}, {ErrorCode::UnsupportedChaining, kEngine},
        {ErrorCode::UnsupportedHash, kEngine}, {ErrorCode::UnsupportedEncryption, kEngine},
        {ErrorCode::SpinCountTooLarge, kEngine}, {ErrorCode::VerifierMalformed, kEngine},
        {ErrorCode::PageSizeInvalid, kEngine}, {ErrorCode::CryptoFailure, kEngine},
        {ErrorCode::ReadStopped, kEngine}, {ErrorCode::ReadFailed, kEngine},
    };
    ASSERT_EQ(numbers.size(), static_cast<size_t>(ErrorCode::Count));
    for (const auto& [code, number] : numbers) {
        SCOPED_TRACE(static_cast<int>(code));
        EXPECT_EQ(errorNumber(code), number);
        EXPECT_EQ(makeError(code).number(), number);
        EXPECT_FALSE(makeError(code).description.isEmpty());
        EXPECT_NE(makeError(code).description, QStringLiteral("Unknown error"));
    }
}

}  // namespace
}  // namespace varnex
