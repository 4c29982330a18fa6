// See MailContext.h.
#include "mail/MailContext.h"

#include "core/AppTitle.h"
#include "core/cOptions.h"
#include "platform/sys/SettingsStore.h"
#include "platform/ui/Ui.h"

#include <QDateTime>
#include <QLocale>

namespace mail {

QString budgetContext() {
    if (!core::gOptions)
        return {};
    const QString context = core::gOptions->BudgetNameContext.trimmed();
    if (context.isEmpty() || context.compare(QLatin1String("Nothing"), Qt::CaseInsensitive) == 0)
        return {};
    return core::gOptions->BudgetNameContext;
}

void tell(const QString& text) {
    platform::ui::msgBox(text, platform::ui::Buttons::Ok, core::appTitle());
}

bool askYesNo(const QString& text) {
    return platform::ui::msgBox(text, platform::ui::Buttons::YesNo, core::appTitle(),
                                platform::ui::Icon::Question) == platform::ui::Answer::Yes;
}

bool runtimeFlag(const QString& key) {
    return runtimeSetting(key, QStringLiteral("1")).trimmed() != QLatin1String("0");
}

QString runtimeSetting(const QString& key, const QString& defaultValue) {
    return platform::sys::readSetting(platform::sys::settingsApplication(), QStringLiteral("Runtime"), key,
                                      defaultValue);
}

void writeRuntimeSetting(const QString& key, const QString& value) {
    platform::sys::writeSetting(platform::sys::settingsApplication(), QStringLiteral("Runtime"), key, value);
}

QString dueDateText(const QDate& date) {
    return date.isValid() ? QLocale().toString(date, QLocale::ShortFormat) : QString();
}

QDate dueDateFromText(const QString& text) {
    const QString trimmed = text.trimmed();
    QDate date = QLocale().toDate(trimmed, QLocale::ShortFormat);
    if (!date.isValid())
        date = QDate::fromString(trimmed, Qt::ISODate);
    // A two-digit year of the short form reads as the 1900s; due dates lie ahead.
    if (date.isValid() && date.year() < 1950)
        date = date.addYears(100);
    return date;
}

QDate storedDueDate(const QVariant& value) {
    if (!value.isValid() || value.isNull())
        return {};
    if (value.typeId() == QMetaType::QDate)
        return value.toDate();
    if (value.typeId() == QMetaType::QDateTime)
        return value.toDateTime().date();
    const QString text = value.toString().trimmed();
    const QDateTime stamp = QDateTime::fromString(text, QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    return stamp.isValid() ? stamp.date() : dueDateFromText(text);
}

} // namespace mail
