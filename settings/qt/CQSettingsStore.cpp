// SPDX-FileCopyrightText: 2026 Corvasse
// SPDX-License-Identifier: MIT

#include "settings/qt/CQSettingsStore.h"

#include <QFile>
#include <QSettings>
#include <QStandardPaths>
#include <QStringList>

#include <limits>
#include <optional>
#include <sys/stat.h>

const char CQSettingsStore::kOrganisation[] = "Corvasse";
const char CQSettingsStore::kApplication[] = "Vantrel";

namespace {

QString KeyPath(const std::string& section, const std::string& key) {
    QString path = QString::fromStdString(section);
    if (!path.isEmpty()) {
        path += QLatin1Char('/');
    }
    return path + QString::fromStdString(key);
}

// A 32-bit value from a wider integer. Values up to 0xFFFFFFFF are accepted as the unsigned
// form of the same 32 bits (colours such as 0xFF000000 may be written either way).
std::optional<int32_t> FromWide(qlonglong value) {
    if (value < std::numeric_limits<int32_t>::min() ||
        value > qlonglong(std::numeric_limits<uint32_t>::max())) {
        return std::nullopt;
    }
    return int32_t(uint32_t(quint64(value)));
}

std::optional<int32_t> FromText(QString text) {
    text = text.trimmed();
    int base = 10;
    if (text.startsWith(QLatin1String("0x"), Qt::CaseInsensitive)) {
        text = text.mid(2);
        base = 16;
    }
    bool ok = false;
    const qlonglong value = text.toLongLong(&ok, base);
    if (!ok) {
        return std::nullopt;
    }
    return FromWide(value);
}

std::optional<int32_t> ToInt32(const QVariant& value) {
    switch (value.typeId()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Long:
    case QMetaType::ULong:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Short:
    case QMetaType::UShort:
        return FromWide(value.toLongLong());
    case QMetaType::QString:
        return FromText(value.toString());
    case QMetaType::QByteArray:
        return FromText(QString::fromUtf8(value.toByteArray()));
    default:
        return std::nullopt;
    }
}

std::optional<QString> ToText(const QVariant& value) {
    switch (value.typeId()) {
    case QMetaType::QString:
        return value.toString();
    // An unquoted text with commas, as a hand-edited file may hold, reads as a list; the blanks
    // around its commas are gone by then.
    case QMetaType::QStringList:
        return value.toStringList().join(QLatin1Char(','));
    case QMetaType::QByteArray:
        return QString::fromUtf8(value.toByteArray());
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
        return value.toString();
    default:
        return std::nullopt;
    }
}

// Why `fileName` is not to be opened: empty when it is absent or a regular file, also behind a
// link. Checked before QSettings reads it, which would wait on a FIFO for ever and replace
// whatever is there with a new file when it writes.
std::string RefusalOf(const QString& fileName) {
    struct stat status {};
    if (stat(QFile::encodeName(fileName).constData(), &status) != 0 || S_ISREG(status.st_mode) ||
        S_ISDIR(status.st_mode)) {
        return {};
    }
    return "The settings file \"" + fileName.toStdString() +
           "\" is not a regular file but a device, a FIFO or a socket, so it is neither read "
           "nor written and the settings are not kept. Remove it, or make it a link to a "
           "regular file.";
}

} // namespace

CQSettingsStore::CQSettingsStore()
    : m_fileName(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
                 QLatin1Char('/') + QLatin1String(kOrganisation) + QLatin1Char('/') +
                 QLatin1String(kApplication) + QLatin1String(".conf")) {
    Open([] {
        return std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope,
                                           QString::fromLatin1(kOrganisation),
                                           QString::fromLatin1(kApplication));
    });
}

CQSettingsStore::CQSettingsStore(const QString& fileName) : m_fileName(fileName) {
    Open([&fileName] { return std::make_unique<QSettings>(fileName, QSettings::IniFormat); });
}

void CQSettingsStore::Open(const std::function<std::unique_ptr<QSettings>()>& make) {
    m_refusal = RefusalOf(m_fileName);
    if (!m_refusal.empty()) {
        return;
    }
    m_settings = make();
    m_readable = m_settings->status() != QSettings::AccessError;
}

// Whatever was written and not flushed yet is kept at exit.
CQSettingsStore::~CQSettingsStore() {
    Flush();
}

int32_t CQSettingsStore::GetProfileInt(const std::string& section, const std::string& key,
                                       int32_t defaultValue) {
    if (!m_readable) {
        return defaultValue;
    }
    const QString path = KeyPath(section, key);
    const int32_t value = ToInt32(m_settings->value(path)).value_or(defaultValue);
    m_known[path] = QVariant(int(value));
    return value;
}

std::string CQSettingsStore::GetProfileString(const std::string& section, const std::string& key,
                                              const std::string& defaultValue) {
    if (!m_readable) {
        return defaultValue;
    }
    const QString path = KeyPath(section, key);
    const std::optional<QString> text = ToText(m_settings->value(path));
    std::string value = text ? text->toStdString() : defaultValue;
    m_known[path] = QVariant(QString::fromStdString(value));
    return value;
}

bool CQSettingsStore::WriteProfileInt(const std::string& section, const std::string& key,
                                      int32_t value) {
    return Store(section, key, QVariant(int(value)));
}

bool CQSettingsStore::WriteProfileString(const std::string& section, const std::string& key,
                                         const std::string& value) {
    return Store(section, key, QVariant(QString::fromStdString(value)));
}

bool CQSettingsStore::Store(const std::string& section, const std::string& key,
                            const QVariant& value) {
    if (!m_readable) {
        return false;
    }
    // A value this program did not change is not written, so that what another program
    // stored under the key meanwhile stays.
    const QString path = KeyPath(section, key);
    const auto known = m_known.find(path);
    if (known != m_known.end() && known->second == value) {
        return true;
    }
    m_settings->setValue(path, value);
    m_known[path] = value;
    return true;
}

bool CQSettingsStore::Flush() {
    if (!m_readable) {
        return false;
    }
    // Nothing is written when nothing changed. A hand-damaged file keeps reporting its format
    // error; only access errors lose the values.
    m_settings->sync();
    return m_settings->status() != QSettings::AccessError;
}

void CQSettingsStore::Refresh() {
    if (m_readable) {
        m_settings->sync();
    }
}
