#include "core/TextToBool.h"

#include "core/Error.h"

#include <QRegularExpression>

#include <optional>

namespace varnex {
namespace {

// "&H1F" and "&O17" are numbers too.
std::optional<double> prefixedNumber(const QString& text)
{
    if (text.size() < 3 || text[0] != QLatin1Char('&'))
        return std::nullopt;
    const QChar kind = text[1].toUpper();
    const int base = kind == QLatin1Char('H') ? 16 : kind == QLatin1Char('O') ? 8 : 0;
    if (base == 0)
        return std::nullopt;
    bool ok = false;
    const qlonglong value = text.mid(2).toLongLong(&ok, base);
    return ok ? std::optional<double>(static_cast<double>(value)) : std::nullopt;
}

}  // namespace

Result<bool> textToBool(const QString& text)
{
    const QString t = text.trimmed();
    if (t.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0)
        return true;
    if (t.compare(QLatin1String("False"), Qt::CaseInsensitive) == 0)
        return false;
    static const QRegularExpression decimal(
        QStringLiteral(R"(^[+-]?(\d+\.?\d*|\.\d+)([eE][+-]?\d+)?$)"));
    if (decimal.match(t).hasMatch())
        return t.toDouble() != 0.0;
    if (const auto prefixed = prefixedNumber(t))
        return *prefixed != 0.0;
    return makeError(ErrorCode::TypeMismatch);
}

}  // namespace varnex
