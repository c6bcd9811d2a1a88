#pragma once

#include <QDir>
#include <QFile>
#include <QString>

namespace gw::test {

// The bundled sample DEM, and the folder of real test data beside the project (empty
// when it is absent).
inline QString SampleHeader() { return QStringLiteral(GRIDWRIGHT_SAMPLE_DIR "/coast.hdr"); }
inline QString SharedData() {
    const QString dir = QStringLiteral(GRIDWRIGHT_SHARED_DATA);
    return QDir(dir).exists() ? QDir(dir).canonicalPath() : QString();
}

inline void WriteText(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    if (file.open(QIODevice::WriteOnly)) file.write(bytes);
}

}  // namespace gw::test
