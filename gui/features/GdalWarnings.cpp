#include "gui/features/GdalWarnings.h"

#include <QObject>

namespace gw {

QString GdalWarningsText(const QString& intro, const QStringList& warnings) {
    if (warnings.isEmpty()) return {};
    QString text = intro;
    for (const QString& warning : warnings.mid(0, kShownWarnings)) text += '\n' + warning;
    if (warnings.size() > kShownWarnings) {
        text += '\n' + QObject::tr("(and %1 more)").arg(warnings.size() - kShownWarnings);
    }
    return text;
}

QStringList ToStringList(const std::vector<std::string>& texts) {
    QStringList list;
    for (const std::string& text : texts) list << QString::fromStdString(text);
    return list;
}

}  // namespace gw
