// See MailConnection.h.
#include "mail/MailConnection.h"

#include "core/frmWait.h"
#include "platform/sys/SettingsStore.h"

namespace mail {

namespace {
constexpr long kDefaultTimeoutSeconds = 30;

QString option(const QString& key) {
    return platform::sys::readSetting(platform::sys::kDesktopApplication, QStringLiteral("Options"), key)
        .trimmed();
}
} // namespace

platform::mail::ConnectionOptions MailConnectionOptions() {
    platform::mail::ConnectionOptions options;
    bool ok = false;
    const long seconds = option(kMailTimeoutKey).toLong(&ok);
    options.timeoutSeconds = ok && seconds > 0 ? seconds : kDefaultTimeoutSeconds;
    options.extraAuthorityFile = option(kMailAuthorityKey);
    options.cancelled = [] { return core::PollCancel(0); };
    return options;
}

QString UntrustedServerText(const QString& server, const QString& reason) {
    return QStringLiteral("The mail server ") + server + QStringLiteral(" could not be reached securely: ") +
           reason + QStringLiteral(".");
}

} // namespace mail
