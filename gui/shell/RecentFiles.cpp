#include "gui/shell/RecentFiles.h"

#include <QFileInfo>
#include <QSettings>

namespace gw {
namespace {

constexpr const char* kGroup = "RecentFiles";

QString Key(int index) { return QStringLiteral("File%1").arg(index + 1); }

}  // namespace

void RecentFileList::Read() {
    QSettings settings("Orvane", "Gridwright");
    settings.beginGroup(kGroup);
    m_files.clear();
    for (int i = 0; i < kSize; ++i) {
        const QString file = settings.value(Key(i)).toString();
        if (!file.isEmpty() && !m_files.contains(file)) m_files.append(file);
    }
}

void RecentFileList::Write() const {
    QSettings settings("Orvane", "Gridwright");
    settings.remove(kGroup);
    settings.beginGroup(kGroup);
    for (int i = 0; i < m_files.size(); ++i) settings.setValue(Key(i), m_files[i]);
    settings.endGroup();
    settings.sync();
}

void RecentFileList::Add(const QString& path) {
    const QString file = QFileInfo(path).absoluteFilePath();
    m_files.removeAll(file);
    m_files.prepend(file);
    while (m_files.size() > kSize) m_files.removeLast();
}

void RecentFileList::Remove(const QString& path) { m_files.removeAll(QFileInfo(path).absoluteFilePath()); }

}  // namespace gw
