// One entry of an address book: a person's name and e-mail addresses (the preferred address
// first), or a group of contacts, which carries no address of its own. Addresses that may not
// go into a mail (MailAddress.h) are kept apart in refused, as they were read, so that the
// import can name them.
#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace platform::mail {

struct Contact {
    QString name;
    QStringList addresses;
    QStringList refused;
    bool group = false;
};

} // namespace platform::mail
