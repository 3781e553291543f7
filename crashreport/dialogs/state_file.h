#pragma once

// FaultTrap.ini: the detailed dialog's window state, the list pages' column widths and the
// user's e-mail address, kept in $XDG_CONFIG_HOME/FaultTrap/ (~/.config/FaultTrap/).

#include <QString>

#include <optional>

namespace faulttrap {

class StateFile {
public:
    // The file in its usual folder.
    StateFile();
    explicit StateFile(QString path);

    static QString DefaultPath();
    const QString& Path() const { return path_; }

    // Nothing when the key is missing or not a whole number.
    std::optional<int> Number(const QString& section, const QString& key) const;
    int Number(const QString& section, const QString& key, int fallback) const;
    QString Text(const QString& section, const QString& key) const;

    // False when the folder cannot be created or the file cannot be written.
    bool Write(const QString& section, const QString& key, const QString& value) const;
    bool Write(const QString& section, const QString& key, int value) const {
        return Write(section, key, QString::number(value));
    }

private:
    QString path_;
};

} // namespace faulttrap
