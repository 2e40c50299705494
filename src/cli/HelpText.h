#pragma once

#include <QString>

namespace varnex::cli {

QString helpText();
QString versionText();

}  // namespace varnex::cli
