#include "JetFile.h"

#include <QFile>

#include <cstring>

namespace varnex::test {

std::optional<JetFile> JetFile::load(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    JetFile jet;
    jet.bytes_ = file.readAll();
    if (jet.bytes_.size() < 0x20)
        return std::nullopt;
    jet.pageSize_ = jet.bytes_[0x14] == 0 ? 2048 : 4096;
    return jet;
}

bool JetFile::save(const QString& path) const
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes_) == bytes_.size();
}

uint8_t JetFile::u8(uint32_t page, int offset) const
{
    return static_cast<uint8_t>(bytes_[static_cast<qsizetype>(page) * pageSize_ + offset]);
}

uint16_t JetFile::u16(uint32_t page, int offset) const
{
    return static_cast<uint16_t>(u8(page, offset) | (u8(page, offset + 1) << 8));
}

uint32_t JetFile::u32(uint32_t page, int offset) const
{
    return u16(page, offset) | (static_cast<uint32_t>(u16(page, offset + 2)) << 16);
}

void JetFile::setU8(uint32_t page, int offset, uint8_t value)
{
    bytes_[static_cast<qsizetype>(page) * pageSize_ + offset] = static_cast<char>(value);
}

void JetFile::setU16(uint32_t page, int offset, uint16_t value)
{
    setU8(page, offset, static_cast<uint8_t>(value));
    setU8(page, offset + 1, static_cast<uint8_t>(value >> 8));
}

void JetFile::setU32(uint32_t page, int offset, uint32_t value)
{
    setU16(page, offset, static_cast<uint16_t>(value));
    setU16(page, offset + 2, static_cast<uint16_t>(value >> 16));
}

void JetFile::emptyRow(uint32_t page, int row)
{
    const uint16_t end = row == 0 ? static_cast<uint16_t>(pageSize_) : u16(page, rowOffsetAt(row - 1)) & 0x1FFF;
    setU16(page, rowOffsetAt(row), end);
}

std::optional<uint32_t> JetFile::definitionPageWithColumn(const QString& column) const
{
    const QByteArray narrow = column.toLatin1();
    QByteArray wide;
    for (const char c : narrow)
        wide.append(c).append('\0');
    const QByteArray& name = jet3() ? narrow : wide;
    for (uint32_t page = 1; page < pageCount(); ++page) {
        if (pageType(page) != 2)
            continue;
        const QByteArray content = bytes_.mid(static_cast<qsizetype>(page) * pageSize_, pageSize_);
        if (content.contains(name))
            return page;
    }
    return std::nullopt;
}

std::vector<uint32_t> JetFile::dataPagesOf(uint32_t definitionPage) const
{
    std::vector<uint32_t> pages;
    for (uint32_t page = 1; page < pageCount(); ++page) {
        if (pageType(page) == 1 && u32(page, 4) == definitionPage)
            pages.push_back(page);
    }
    return pages;
}

std::vector<uint32_t> JetFile::longValuePages() const
{
    std::vector<uint32_t> pages;
    for (uint32_t page = 1; page < pageCount(); ++page) {
        if (pageType(page) == 1
            && std::memcmp(bytes_.constData() + static_cast<qsizetype>(page) * pageSize_ + 4, "LVAL", 4) == 0)
            pages.push_back(page);
    }
    return pages;
}

}  // namespace varnex::test
