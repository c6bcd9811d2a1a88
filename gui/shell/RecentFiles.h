#pragma once

#include <QString>
#include <QStringList>

namespace gw {

// The recent-file list of the File menu: the headers last opened, newest first, at most
// kSize of them, kept in the program's settings (group "RecentFiles", keys "File1" to
// "File7").
class RecentFileList {
public:
    static constexpr int kSize = 7;

    // Reads the list from the settings; entries that are empty are skipped.
    void Read();
    // Writes the list to the settings.
    void Write() const;

    // Puts path (made absolute) at the top, once.
    void Add(const QString& path);
    // Takes path out of the list.
    void Remove(const QString& path);

    const QStringList& files() const { return m_files; }

private:
    QStringList m_files;
};

}  // namespace gw
