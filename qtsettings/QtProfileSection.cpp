#include "qtsettings/QtProfileSection.h"

#include <QSettings>

namespace gw {

QtProfileSection::QtProfileSection(const std::string& section)
    : m_settings(std::make_unique<QSettings>("Orvane", "Gridwright")) {
    m_settings->beginGroup(QString::fromStdString(section));
}

QtProfileSection::QtProfileSection(const std::string& section, const std::string& iniFile)
    : m_settings(std::make_unique<QSettings>(QString::fromStdString(iniFile), QSettings::IniFormat)) {
    m_settings->beginGroup(QString::fromStdString(section));
}

QtProfileSection::~QtProfileSection() = default;

std::string QtProfileSection::fileName() const { return m_settings->fileName().toStdString(); }

bool QtProfileSection::readable() const { return m_settings->status() == QSettings::NoError; }

std::optional<std::int32_t> QtProfileSection::ReadInt(const std::string& key) const {
    const QVariant value = m_settings->value(QString::fromStdString(key));
    bool ok = false;
    const int number = value.toInt(&ok);
    return ok ? std::optional<std::int32_t>(number) : std::nullopt;
}

std::optional<std::string> QtProfileSection::ReadText(const std::string& key) const {
    const QVariant value = m_settings->value(QString::fromStdString(key));
    if (!value.isValid()) return std::nullopt;
    // An INI file's unquoted text with commas reads back as a list.
    if (value.typeId() == QMetaType::QStringList) return value.toStringList().join(',').toStdString();
    return value.toString().toStdString();
}

void QtProfileSection::WriteInt(const std::string& key, std::int32_t value) {
    m_settings->setValue(QString::fromStdString(key), value);
}

void QtProfileSection::WriteText(const std::string& key, const std::string& text) {
    m_settings->setValue(QString::fromStdString(key), QString::fromStdString(text));
}

}  // namespace gw
