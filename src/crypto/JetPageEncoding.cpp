#include "crypto/JetPageEncoding.h"

#include "crypto/Ciphers.h"
#include "KeyDerivation.h"

namespace varnex::crypto {

void applyJetPageEncoding(const std::array<uint8_t, 4>& databaseKey, uint32_t pageNumber, std::span<uint8_t> page)
{
    if (pageNumber == 0)
        return;
    rc4(pageBlockKey(databaseKey, pageNumber), page);
}

}  // namespace varnex::crypto
