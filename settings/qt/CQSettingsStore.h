// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#pragma once

#include "settings/CSettingsStore.h"

#include <QString>
#include <QVariant>

#include <functional>
#include <map>
#include <memory>
#include <string>

class QSettings;

// The settings store on QSettings: organisation "Corvasse", application "Vantrel", one group
// per section. Integers are stored as integers and strings as strings.
//
// The file may have been edited by hand: where an integer is read, a text that is not one, an
// empty text or an integer outside 32 bits gives the caller's default. A text with commas left
// unquoted reads back with its commas but without the blanks around them ("a, b" gives "a,b");
// written in double quotes, as this store writes such texts, it reads back exactly. A file
// that cannot be read at all gives every default and is never written.
//
// Only a regular file is read or written, also behind a symbolic link (a link to a regular
// file is written through, the link stays): a device, FIFO or socket in its place is never
// opened, so never waited on and never replaced; the store then keeps nothing and Refusal()
// says why.
//
// Several programs may use one file: a flush writes only the keys this program changed (a
// value that differs from the one it last read or wrote there), merged into the file as it is
// then, so each keeps what the others stored.
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
    // Rewrites the file once for the keys changed so far, replacing it as a whole.
    bool Flush() override;
    // Writes what was changed and reads what other programs stored meanwhile.
    void Refresh() override;

    bool IsReadable() const { return m_readable; }
    QString FileName() const { return m_fileName; }
    // Why the file is neither read nor written when it is no regular file; empty otherwise.
    const std::string& Refusal() const { return m_refusal; }

private:
    void Open(const std::function<std::unique_ptr<QSettings>()>& make);
    bool Store(const std::string& section, const std::string& key, const QVariant& value);

    QString m_fileName;
    std::unique_ptr<QSettings> m_settings;
    bool m_readable = false;
    std::string m_refusal;
    // Each key's value as this program last read or wrote it.
    std::map<QString, QVariant> m_known;
};
