#pragma once

#include <QString>
#include <QStringList>

#include <string>
#include <vector>

namespace gw {

// The warnings GDAL gave while a command read its sources, as the text of one message
// box: intro, then one warning a line, at most kShownWarnings of them and then how many
// more there were. Empty when there are none.
constexpr int kShownWarnings = 10;
QString GdalWarningsText(const QString& intro, const QStringList& warnings);

QStringList ToStringList(const std::vector<std::string>& texts);

}  // namespace gw
