#pragma once
// A stretch of records in a sorted order, formatted as CSV lines in the order their rows lie
// in memory and handed out in record order. Read in record order, each line's cells lie
// anywhere in the table, and on a table of gigabytes nearly every cell costs the processor a
// page look-up; read in stored order, the rows of a stretch lie a few apart and the table is
// read forward. The stretch is formatted in pieces, each on any thread, and its lines are
// then copied out in record order.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace varnex {

class CsvLines;

class StoredRowBlock {
public:
    // Records [first, last) of the lines' recordset, formatted pieceRecords at a time.
    StoredRowBlock(const CsvLines& lines, int64_t first, int64_t last, size_t pieceRecords);

    int64_t last() const { return last_; }
    size_t pieceCount() const { return pieces_.size(); }
    // Every piece formatted and kept.
    bool complete() const { return kept_ == pieces_.size(); }

    // Writes the lines of a piece into out (which it empties first). Each piece once; pieces
    // may be formatted on several threads at once.
    void formatPiece(size_t piece, std::string& out);
    void keepPiece(size_t piece, std::string&& bytes);
    // The lines of records [from, to) of the stretch, in record order, at the end of out;
    // only once complete().
    void appendRecords(int64_t from, int64_t to, std::string& out) const;
    // The kept pieces' buffers, for other pieces to be formatted into.
    std::vector<std::string> takeBuffers();

private:
    void orderByStoredRow(int64_t storedRows);
    // The line of the record at a place in rows_, in its piece.
    std::string_view line(size_t entry) const;

    const CsvLines& lines_;
    int64_t first_;
    int64_t last_;
    size_t pieceRecords_;
    std::vector<uint32_t> rows_;     // the records' stored rows, in about the order they lie
    std::vector<uint32_t> entryOf_;  // for each record (from first): its place in rows_
    std::vector<uint64_t> ends_;     // for each place in rows_: where its line ends in its piece
    std::vector<std::string> pieces_;
    size_t kept_ = 0;
};

}  // namespace varnex
