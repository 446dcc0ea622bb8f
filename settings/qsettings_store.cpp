#include "settings/qsettings_store.h"

#include <QSettings>
#include <QString>
#include <mutex>

#include "core/cp932.h"

namespace quor::core {

namespace {

QString KeyPath(std::string_view section, std::string_view key) {
    // Section and key names are ASCII; "/" is the group separator of QSettings.
    return QString::fromUtf8(section.data(), static_cast<qsizetype>(section.size())) +
           QLatin1Char('/') + QString::fromUtf8(key.data(), static_cast<qsizetype>(key.size()));
}

}  // namespace

struct QSettingsStore::Impl {
    template <typename... Args>
    explicit Impl(Args&&... args) : settings(std::forward<Args>(args)...) {}
    mutable std::mutex mutex;
    QSettings settings;
};

QSettingsStore::QSettingsStore()
    : impl_(std::make_unique<Impl>(QSettings::IniFormat, QSettings::UserScope,
                                   QStringLiteral("QUORSYS"), QStringLiteral("quor"))) {}

QSettingsStore::QSettingsStore(const std::string& iniPath)
    : impl_(std::make_unique<Impl>(QString::fromStdString(iniPath), QSettings::IniFormat)) {}

QSettingsStore::~QSettingsStore() = default;

void QSettingsStore::WriteString(std::string_view section, std::string_view key,
                                 std::string_view value) {
    const std::string utf8 = ToUtf8(value);
    const std::lock_guard lock(impl_->mutex);
    impl_->settings.setValue(KeyPath(section, key), QString::fromStdString(utf8));
    impl_->settings.sync();
}

void QSettingsStore::RemoveKey(std::string_view section, std::string_view key) {
    const std::lock_guard lock(impl_->mutex);
    impl_->settings.remove(KeyPath(section, key));
    impl_->settings.sync();
}

std::optional<std::string> QSettingsStore::ReadRaw(std::string_view section,
                                                   std::string_view key) const {
    QVariant value;
    {
        const std::lock_guard lock(impl_->mutex);
        value = impl_->settings.value(KeyPath(section, key));
    }
    if (!value.isValid())
        return std::nullopt;
    // A hand-edited value with an unquoted comma reads back as a list; join it as written.
    const QString text = value.typeId() == QMetaType::QStringList
                             ? value.toStringList().join(QStringLiteral(", "))
                             : value.toString();
    return FromUtf8(text.toStdString());
}

std::string QSettingsStore::FilePath() const {
    const std::lock_guard lock(impl_->mutex);
    return impl_->settings.fileName().toStdString();
}

}  // namespace quor::core
