#include "settings/qt/CQSettingsStore.h"

#include <QSettings>
#include <QStringList>

#include <limits>
#include <optional>

const char CQSettingsStore::kOrganisation[] = "Corvasse";
const char CQSettingsStore::kApplication[] = "Vantrel";

namespace {

QString KeyPath(const std::string& section, const std::string& key) {
    QString path = QString::fromStdString(section);
    if (!path.isEmpty())
        path += QLatin1Char('/');
    return path + QString::fromStdString(key);
}

// A 32-bit value from a wider integer. Values up to 0xFFFFFFFF are accepted as the unsigned
// form of the same 32 bits (colours such as 0xFF000000 may be written either way).
std::optional<int32_t> FromWide(qlonglong value) {
    if (value < std::numeric_limits<int32_t>::min() ||
        value > qlonglong(std::numeric_limits<uint32_t>::max()))
        return std::nullopt;
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
    if (!ok)
        return std::nullopt;
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

} // namespace

CQSettingsStore::CQSettingsStore()
    : m_settings(std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope,
                                             QString::fromLatin1(kOrganisation),
                                             QString::fromLatin1(kApplication))) {
    m_readable = m_settings->status() != QSettings::AccessError;
}

CQSettingsStore::CQSettingsStore(const QString& fileName)
    : m_settings(std::make_unique<QSettings>(fileName, QSettings::IniFormat)) {
    m_readable = m_settings->status() != QSettings::AccessError;
}

// Whatever was written and not flushed yet is kept at exit.
CQSettingsStore::~CQSettingsStore() {
    Flush();
}

QString CQSettingsStore::FileName() const {
    return m_settings->fileName();
}

int32_t CQSettingsStore::GetProfileInt(const std::string& section, const std::string& key,
                                       int32_t defaultValue) {
    if (!m_readable)
        return defaultValue;
    return ToInt32(m_settings->value(KeyPath(section, key))).value_or(defaultValue);
}

std::string CQSettingsStore::GetProfileString(const std::string& section, const std::string& key,
                                              const std::string& defaultValue) {
    if (!m_readable)
        return defaultValue;
    const std::optional<QString> text = ToText(m_settings->value(KeyPath(section, key)));
    if (!text)
        return defaultValue;
    return text->toStdString();
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
    if (!m_readable)
        return false;
    m_settings->setValue(KeyPath(section, key), value);
    return true;
}

bool CQSettingsStore::Flush() {
    if (!m_readable)
        return false;
    // Nothing is written when nothing changed. A hand-damaged file keeps reporting its format
    // error; only access errors lose the values.
    m_settings->sync();
    return m_settings->status() != QSettings::AccessError;
}
