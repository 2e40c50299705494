#pragma once
// A writer-made Access file held in memory for damaging it on purpose: pages,
// their rows, and the places of a table's definition, data and long values.

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <optional>
#include <vector>

namespace varnex::test {

class JetFile {
public:
    static std::optional<JetFile> load(const QString& path);
    bool save(const QString& path) const;

    bool jet3() const { return pageSize_ == 2048; }
    int pageSize() const { return pageSize_; }
    uint32_t pageCount() const { return static_cast<uint32_t>(bytes_.size() / pageSize_); }
    uint8_t pageType(uint32_t page) const { return u8(page, 0); }

    uint8_t u8(uint32_t page, int offset) const;
    uint16_t u16(uint32_t page, int offset) const;
    uint32_t u32(uint32_t page, int offset) const;
    void setU8(uint32_t page, int offset, uint8_t value);
    void setU16(uint32_t page, int offset, uint16_t value);
    void setU32(uint32_t page, int offset, uint32_t value);
    void truncatePages(uint32_t pages) { bytes_.truncate(static_cast<qsizetype>(pages) * pageSize_); }
    QByteArray& bytes() { return bytes_; }

    // Offsets in a table definition page.
    int nextDefinitionOffset() const { return 4; }
    int columnCountOffset() const { return jet3() ? 25 : 45; }
    int usageMapOffset() const { return jet3() ? 35 : 55; }

    // Rows on a data page: their count, and where row r starts (flags masked off).
    uint16_t rowCount(uint32_t page) const { return u16(page, jet3() ? 8 : 12); }
    int rowOffsetAt(int row) const { return (jet3() ? 10 : 14) + 2 * row; }
    // Makes row r of page zero bytes long.
    void emptyRow(uint32_t page, int row);

    // The definition page of the table that has a column of this (ASCII) name.
    std::optional<uint32_t> definitionPageWithColumn(const QString& column) const;
    // Data pages of the table defined at definitionPage.
    std::vector<uint32_t> dataPagesOf(uint32_t definitionPage) const;
    // Pages holding long values (Memo and OLE data).
    std::vector<uint32_t> longValuePages() const;

private:
    QByteArray bytes_;
    int pageSize_ = 4096;
};

}  // namespace varnex::test
