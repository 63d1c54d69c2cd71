#pragma once

#include "settings/CSettingsStore.h"

#include <QString>

#include <memory>

class QSettings;

// The settings store on QSettings: organisation "Corvasse", application "Vantrel", one group
// per section. Integers are stored as integers and strings as strings.
//
// The file may have been edited by hand: where an integer is read, a text that is not one, an
// empty text or an integer outside 32 bits gives the caller's default. A text with commas left
// unquoted reads back with its commas but without the blanks around them ("a, b" gives "a,b");
// written in double quotes, as this store writes such texts, it reads back exactly. A file
// that cannot be read at all gives every default and is never written.
class CQSettingsStore : public CSettingsStore {
public:
    static const char kOrganisation[];
    static const char kApplication[];

    // The user's own store: ~/.config/Corvasse/Vantrel.conf on Linux.
    CQSettingsStore();
    // A store in the INI file `fileName`.
    explicit CQSettingsStore(const QString& fileName);
    ~CQSettingsStore() override;

    int32_t GetProfileInt(const std::string& section, const std::string& key,
                          int32_t defaultValue) override;
    std::string GetProfileString(const std::string& section, const std::string& key,
                                 const std::string& defaultValue) override;
    bool WriteProfileInt(const std::string& section, const std::string& key,
                         int32_t value) override;
    bool WriteProfileString(const std::string& section, const std::string& key,
                            const std::string& value) override;
    // Rewrites the file once for the writes so far, replacing it as a whole.
    bool Flush() override;

    bool IsReadable() const { return m_readable; }
    QString FileName() const;

private:
    bool Store(const std::string& section, const std::string& key, const QVariant& value);

    std::unique_ptr<QSettings> m_settings;
    bool m_readable = true;
};
