// One entry of an address book: a person's name and e-mail addresses (the preferred address
// first), or a group of contacts, which carries no address of its own.
#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace platform::mail {

struct Contact {
    QString name;
    QStringList addresses;
    bool group = false;
};

} // namespace platform::mail
