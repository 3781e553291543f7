#include "crashreport/dialogs/state_file.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>

#include <cstdlib>

namespace faulttrap {

StateFile::StateFile() : path_(DefaultPath()) {}

StateFile::StateFile(QString path) : path_(std::move(path)) {}

QString StateFile::DefaultPath() {
    QString base = QString::fromLocal8Bit(std::getenv("XDG_CONFIG_HOME"));
    if (base.isEmpty()) {
        const QString home = QString::fromLocal8Bit(std::getenv("HOME"));
        base = home.isEmpty() ? QStringLiteral("/") : home + QStringLiteral("/.config");
    }
    return QDir(base).filePath(QStringLiteral("FaultTrap/FaultTrap.ini"));
}

QString StateFile::Text(const QString& section, const QString& key) const {
    const QSettings settings(path_, QSettings::IniFormat);
    return settings.value(section + u'/' + key).toString();
}

std::optional<int> StateFile::Number(const QString& section, const QString& key) const {
    bool ok = false;
    const int value = Text(section, key).trimmed().toInt(&ok);
    if (!ok) {
        return std::nullopt;
    }
    return value;
}

int StateFile::Number(const QString& section, const QString& key, int fallback) const {
    return Number(section, key).value_or(fallback);
}

bool StateFile::Write(const QString& section, const QString& key, const QString& value) const {
    if (!QDir().mkpath(QFileInfo(path_).absolutePath())) {
        return false;
    }
    QSettings settings(path_, QSettings::IniFormat);
    settings.setValue(section + u'/' + key, value);
    settings.sync();
    return settings.status() == QSettings::NoError;
}

} // namespace faulttrap
