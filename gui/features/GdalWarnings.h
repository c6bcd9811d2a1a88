#pragma once

#include <QString>
#include <QStringList>

#include <string>
#include <vector>

namespace gw {

// The most warnings one message box lists.
constexpr int kShownWarnings = 10;

// The warnings GDAL gave while a command read its sources, as the text of one message
// box: intro, then one warning a line, at most kShownWarnings of them and then how many
// more there were. Empty when there are none.
QString GdalWarningsText(const QString& intro, const QStringList& warnings);

// The texts as Qt strings (UTF-8), in order.
QStringList ToStringList(const std::vector<std::string>& texts);

}  // namespace gw
