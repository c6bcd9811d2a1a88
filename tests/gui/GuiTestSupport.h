#pragma once

// What the GUI tests share: quiet faces for the document's loads, answering modal
// dialogs as they open, running gridwright-cli and the GDAL tools, and writing small DEMs.

#include "tests/gui/GuiTestData.h"
#include "core/progress/ProgressState.h"
#include "core/progress/Progress.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QPushButton>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <QWidget>

#include <functional>
#include <optional>
#include <string>

namespace gw::test {

struct RecordingPrompts : UserPrompts {
    void ShowMessage(const std::string& text) override { messages.push_back(text); }
    bool AskYesNo(const std::string&) override { return false; }
    std::optional<std::string> ChoosePaletteFile() override { return std::nullopt; }
    std::vector<std::string> messages;
};

// Calls `answer` with the next modal window of type T as soon as it is the active modal
// window (looked for at every turn of the event loop), once.
template <class T>
void AnswerNextModal(std::function<void(T*)> answer) {
    auto* timer = new QTimer(qApp);
    QObject::connect(timer, &QTimer::timeout, [timer, answer] {
        auto* modal = qobject_cast<T*>(QApplication::activeModalWidget());
        if (!modal) return;
        timer->stop();
        timer->deleteLater();
        answer(modal);
    });
    timer->start(0);
}

// Watches for the progress dialog while a command runs (at every turn of the event loop,
// which the dialog gives as it comes up): notes whether it showed, and presses its Cancel
// button once when asked to.
class ProgressWatch {
public:
    explicit ProgressWatch(bool pressCancel = false) {
        QObject::connect(&m_timer, &QTimer::timeout, [this, pressCancel] {
            for (QWidget* top : QApplication::topLevelWidgets()) {
                if (top->objectName() != QLatin1String("progressDialog") || !top->isVisible()) continue;
                if (pressCancel && !shown) top->findChild<QPushButton*>("cancelButton")->click();
                shown = true;
            }
        });
        m_timer.start(0);
    }
    bool shown = false;

private:
    QTimer m_timer;
};

// Runs a program found on the PATH (a GDAL tool) with arguments; true when it exits 0,
// false when it fails or is not installed.
inline bool RunTool(const QString& program, const QStringList& arguments) {
    QProcess tool;
    tool.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    tool.start(program, arguments);
    return tool.waitForFinished(60000) && tool.exitStatus() == QProcess::NormalExit && tool.exitCode() == 0;
}

// Runs gridwright-cli with arguments; true when it exits 0.
inline bool RunCli(const QStringList& arguments, QString* output = nullptr) {
    QProcess cli;
    cli.setProcessChannelMode(QProcess::MergedChannels);
    cli.start(QStringLiteral(GRIDWRIGHT_CLI), arguments);
    if (!cli.waitForFinished(60000)) return false;
    if (output) *output = QString::fromLocal8Bit(cli.readAll());
    return cli.exitStatus() == QProcess::NormalExit && cli.exitCode() == 0;
}

inline QString SharedData(const QString& relative) {
    return QStringLiteral(GRIDWRIGHT_SHARED_DATA "/") + relative;
}

// Writes NAME.hdr (with these extents) and a NAME.bin of zero posts into dir; returns
// the header's path.
inline QString WriteFlatDem(const QDir& dir, const QString& name, double left, double right, double upper,
                            double lower, int rows = 2, int columns = 2) {
    const QString header = dir.filePath(name + QStringLiteral(".hdr"));
    QFile text(header);
    if (!text.open(QIODevice::WriteOnly)) return {};
    text.write(QStringLiteral("file_title = %1\nleft_map_x = %2\nright_map_x = %3\nupper_map_y = %4\n"
                              "lower_map_y = %5\nnumber_of_rows = %6\nnumber_of_columns = %7\nelev_m_unit = feet\n")
                   .arg(name)
                   .arg(left, 0, 'g', 17)
                   .arg(right, 0, 'g', 17)
                   .arg(upper, 0, 'g', 17)
                   .arg(lower, 0, 'g', 17)
                   .arg(rows)
                   .arg(columns)
                   .toUtf8());
    text.close();
    QFile raster(dir.filePath(name + QStringLiteral(".bin")));
    if (!raster.open(QIODevice::WriteOnly)) return {};
    raster.write(QByteArray(2 * rows * columns, '\0'));
    return header;
}

inline QImage Rgb32(const QImage& image) { return image.convertToFormat(QImage::Format_RGB32); }

}  // namespace gw::test
