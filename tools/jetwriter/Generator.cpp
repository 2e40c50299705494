#include "jetwriter/Generator.h"

#include <array>
#include <functional>
#include <memory>

namespace jetwriter {
namespace {

// splitmix64: small, fast and the same on every platform.
class Random {
public:
    explicit Random(uint64_t seed) : state_(seed) {}
    uint64_t next()
    {
        uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    uint64_t below(uint64_t bound) { return next() % bound; }
    bool chance(unsigned percent) { return below(100) < percent; }

private:
    uint64_t state_;
};

const std::array<const char*, 16> kWords = {"Müller", "Straße", "café", "naïve", "Ørsted", "Zoë", "smith", "Lagerhaus",
                                            "\"quoted\"", "a,b", "line\r\nbreak", "Δelta", "日本", "año", "x", "Kunde"};

// Words up to a length drawn from [minChars, maxChars] characters.
std::string text(Random& random, size_t minChars, size_t maxChars)
{
    std::string out;
    size_t chars = 0;
    const size_t target = minChars + random.below(maxChars - minChars + 1);
    while (true) {
        const std::string word = kWords[random.below(kWords.size())];
        size_t wordChars = 0;
        for (unsigned char c : word)
            wordChars += (c & 0xC0) != 0x80;
        if (chars + wordChars + (out.empty() ? 0 : 1) > target)
            break;
        if (!out.empty()) { out += ' '; ++chars; }
        out += word;
        chars += wordChars;
    }
    return out.empty() ? std::string("-") : out;
}

struct GeneratorState {
    Random random;
    uint64_t produced = 0;
    uint64_t total;
};

Cell maybeNull(Random& random, Cell value) { return random.chance(10) ? Cell{Null{}} : value; }

// count rows made one by one by fill, from random numbers that go on from row to row; id counts from 1.
std::function<bool(Row&)> rowsFrom(uint64_t count, uint64_t seed, std::function<void(Random&, int64_t id, Row&)> fill)
{
    auto state = std::make_shared<GeneratorState>(GeneratorState{Random(seed), 0, count});
    return [state, fill = std::move(fill)](Row& row) {
        if (state->produced == state->total)
            return false;
        ++state->produced;
        fill(state->random, static_cast<int64_t>(state->produced), row);
        return true;
    };
}

// A date between 1982 and 2036 with a time of day to the second.
DateValue dateTime(Random& random)
{
    return {30000.0 + static_cast<double>(random.below(20000)) + static_cast<double>(random.below(86400)) / 86400.0};
}

}  // namespace

Table syntheticTable(const std::string& name, uint64_t rows, uint64_t seed)
{
    Table table;
    table.name = name;
    table.columns = {{"ID", ColumnType::Long},           {"Code", ColumnType::Text, 50},
                     {"Description", ColumnType::Text, 100}, {"Grade", ColumnType::Byte},
                     {"Quantity", ColumnType::Integer},  {"Ratio", ColumnType::Double},
                     {"Stamp", ColumnType::DateTime},    {"Price", ColumnType::Currency},
                     {"Active", ColumnType::YesNo},      {"Counter", ColumnType::Long}};
    table.rowSource = rowsFrom(rows, seed, [](Random& r, int64_t id, Row& row) {
        row.assign({id,
                    maybeNull(r, text(r, 1, 50)),
                    maybeNull(r, text(r, 1, 100)),
                    maybeNull(r, static_cast<int64_t>(r.below(256))),
                    maybeNull(r, static_cast<int64_t>(r.below(65536)) - 32768),
                    maybeNull(r, (static_cast<double>(r.below(2000000)) - 1000000.0) / 1024.0),
                    maybeNull(r, dateTime(r)),
                    maybeNull(r, CurrencyValue{static_cast<int64_t>(r.below(2000000000)) - 1000000000}),
                    r.chance(50),
                    maybeNull(r, static_cast<int64_t>(r.below(4000000000ull)) - 2000000000)});
    });
    return table;
}

Table memoDateTable(const std::string& name, uint64_t rows, uint64_t seed)
{
    Table table;
    table.name = name;
    table.columns = {{"ID", ColumnType::Long},          {"Created", ColumnType::DateTime}, {"Modified", ColumnType::DateTime},
                     {"Due", ColumnType::DateTime},     {"Notes", ColumnType::Memo},       {"Tag", ColumnType::Text, 20}};
    table.rowSource = rowsFrom(rows, seed, [](Random& r, int64_t id, Row& row) {
        row.assign({id, dateTime(r), maybeNull(r, dateTime(r)), maybeNull(r, dateTime(r)), maybeNull(r, text(r, 90, 110)),
                    maybeNull(r, text(r, 1, 20))});
    });
    return table;
}

}  // namespace jetwriter
